// Glyph-sheet fonts: metrics, measuring, glyph quads, pages and the three languages' line
// breaking.

#include "framework/CZyFont.h"

#include "engine/io/IFileSystem.h"
#include "engine/io/IReadFile.h"
#include "engine/os/Printer.h"
#include "engine/video/CTextureManager.h"
#include "engine/video/ITexture.h"
#include "engine/video/IVideoDriver.h"
#include "framework/CAISprite.h"
#include "framework/ISpriteTarget.h"
#include "framework/ResourceContext.h"
#include "framework/ScreenGeometry.h"
#include "framework/ViDuz.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <string>

using namespace pravik;

const char kFontFiles_CS[2][20] = {"font_cn_small", "font_cn_large"};
const char kFontFiles_JP[2][20] = {"font_jp_small", "font_jp_large"};
const char kFontFiles_KO[2][20] = {"font_ko_small", "font_ko_large"};

namespace {

// Units are read as their low 16 bits, signed: the tables widen them with sign extension.
int unitAt(const wchar_t* text, int i) { return int16_t(uint16_t(uint32_t(text[i]))); }

int textLength(const wchar_t* text) { return text ? int(std::wcslen(text)) : 0; }

video::CTextureManager* textureManager()
{
    video::IVideoDriver* driver = GetResourceContext().driver;
    return driver ? driver->getTextureManager() : nullptr;
}

}  // namespace

CZyFont::~CZyFont()
{
    video::CTextureManager* manager = textureManager();
    for (SStyle& s : m_styles) {
        video::ITexture* raw = s.texture.get();
        if (!raw)
            continue;
        if (CAISprite::m_pCurrentTexture == raw)
            CAISprite::m_pCurrentTexture = nullptr;
        raw->grab();
        s.texture.reset();
        if (manager)
            manager->removeTexture(raw);
        raw->drop();
    }
}

bool CZyFont::LoadMetrics(const uint8_t* data, size_t size, FontStyle style)
{
    if (style != FONT_SMALL && style != FONT_LARGE)
        return false;
    SStyle& s = m_styles[style];
    ++m_metricsGeneration;
    s.glyphs.clear();
    std::memset(s.chars, 0, sizeof s.chars);
    s.cellW = s.cellH = s.cellW2 = s.cellH2 = s.count = 0;
    if (!data || size < 4)
        return false;
    const unsigned n = data[0] | data[1] << 8;
    if (size < 4 + 2 * size_t(n) + 256)
        return false;
    s.count = uint16_t(n);
    s.cellW = s.cellW2 = uint16_t(data[2] * m_factor);
    s.cellH = s.cellH2 = uint16_t(data[3] * m_factor);
    s.glyphs.resize(n);
    for (unsigned g = 0; g < n; ++g)
        s.glyphs[g] = uint16_t(data[4 + 2 * g] | data[5 + 2 * g] << 8);
    std::memcpy(s.chars, data + 4 + 2 * n, 256);
    return true;
}

void CZyFont::LoadFont(const char* name, FontStyle style, bool)
{
    if (!name || (style != FONT_SMALL && style != FONT_LARGE))
        return;
    const int mode = ScreenGeometry_Mode();
    m_factor = mode == 0 ? 2 : 1;
    const std::string base = std::string(mode == 0 ? "unicode_text_res_S/" : "unicode_text_res/") + name;
    SStyle& s = m_styles[style];
    s.texture = nullptr;
    io::IFileSystem* fs = GetResourceContext().fileSystem;
    video::CTextureManager* manager = textureManager();
    if (fs && manager) {
        for (const char* ext : {".png", ".tga"}) {
            const std::string path = base + ext;
            io::IReadFile* file = fs->createAndOpenFile(path.c_str());
            if (!file)
                continue;
            // The file that answered is the one loaded, under the key the path has.
            s.texture = manager->getTexture(file, manager->getHashName(path.c_str()).c_str());
            file->drop();
            break;
        }
    }
    if (video::ITexture* t = s.texture.get()) {
        t->setMinFilter(video::ETFT_NEAREST);
        t->setMagFilter(video::ETFT_NEAREST);
        t->setWrapS(video::ETC_CLAMP);
        t->setWrapT(video::ETC_CLAMP);
    }
    m_vertices.Create(GetResourceContext().driver);
    std::vector<uint8_t> bytes;
    const std::string bin = base + ".bin";
    if (ViDuz::ReadWholeFile(bin.c_str(), bytes) && !LoadMetrics(bytes.data(), bytes.size(), style))
        os::Printer::logf(ELL_WARNING, "%s: glyph metrics cut short, the font draws nothing", bin.c_str());
    else if (bytes.empty())
        LoadMetrics(nullptr, 0, style);
}

void CZyFont::InitStyles(const char* small, const char* large, bool lowerHeights)
{
    LoadFont(small, FONT_SMALL, false);
    const int8_t* c = m_styles[0].chars;
    m_pipe[0] = c[uint8_t('|')] + 1;
    m_backslash[0] = c[uint8_t('\\')] + 1;
    m_letterN[0] = c[uint8_t('n')] + 1;
    LoadFont(large, FONT_LARGE, false);
    m_pipe[1] = m_styles[1].chars[uint8_t('|')] + 1;
    if (lowerHeights)
        for (SStyle& s : m_styles)
            if (s.cellH2 > 0)
                --s.cellH2;
}

void CZyFontCS::Init() { InitStyles(kFontFiles_CS[0], kFontFiles_CS[1], true); }
void CZyFontKO::Init() { InitStyles(kFontFiles_KO[0], kFontFiles_KO[1], true); }
void CZyFontJP::Init() { InitStyles(kFontFiles_JP[0], kFontFiles_JP[1], false); }

int CZyFont::Glyph(int key) const
{
    if (m_style != 0 && m_style != 1)
        return -1;
    const int* table[3] = {m_pipe, m_backslash, m_letterN};
    return key >= 0 && key < 3 ? table[key][m_style] : -1;
}

int CZyFont::GetBlankWidth() { return m_style == 0 ? 5 : m_style == 1 ? 10 : 7; }

int CZyFont::GetCharWidth(wchar_t glyph)
{
    const SStyle* s = Current();
    const int g = int16_t(uint16_t(uint32_t(glyph)));
    if (g == 0 || !s)
        return 0;
    if (g == 1)
        return GetBlankWidth();
    if (g < 2 || g > s->count)
        return 0;
    return int8_t(s->glyphs[g - 1] >> 8) * m_factor;
}

int CZyFontJP::GetCharWidth(wchar_t glyph)
{
    if (int16_t(uint16_t(uint32_t(glyph))) == Glyph(0))
        return 0;
    return CZyFont::GetCharWidth(glyph);
}

void CZyFont::OffsetFontY(int& y)
{
    if (m_style == 0)
        y -= 3;
    else if (m_style == 1)
        y -= 5;
}

void CZyFontCS::OffsetFontY(int& y)
{
    if (m_style == 0)
        y -= 4;
    else if (m_style == 1)
        y -= 6;
}

void CZyFontKO::OffsetFontY(int& y)
{
    if (m_style == 0)
        y -= 5;
    else if (m_style == 1)
        y -= 7;
}

void CZyFont::OffsetSrc(int glyph, int&, int& srcY, int&, int& h)
{
    const int cell = glyph - 1;
    if (cell >= m_styles[0].chars[uint8_t('0')] && cell <= m_styles[0].chars[uint8_t('z')]) {
        srcY -= 1;
        h += 2;
    }
}

bool CZyFont::IsNewline(const wchar_t* text, int i) const
{
    const int bs = Glyph(1), n = Glyph(2);
    return bs >= 0 && unitAt(text, i) == bs && text[i + 1] != 0 && unitAt(text, i + 1) == n;
}

bool CZyFont::CellOf(int glyph, int& cellX, int& cellY) const
{
    const SStyle* s = Current();
    if (!s || !s->texture || s->cellW == 0 || glyph < 1)
        return false;
    const int columns = (m_factor * int(s->texture->getWidth()) - 1) / s->cellW;
    if (columns < 1)
        return false;
    const int k = glyph - 1;
    cellX = (k % columns) * s->cellW;
    cellY = (k / columns) * s->cellH + 3;
    return true;
}

const int16_t* CZyFont::CharWidths(int& count)
{
    static const int16_t kNothing[1] = {0};   // without a style every glyph is 0 wide
    const SStyle* s = Current();
    if (!s) {
        count = 0;
        return kNothing;
    }
    SWidthCache& c = m_widthCache[m_style];
    const int pipe = Glyph(0);
    if (c.factor != m_factor || c.pipe != pipe || c.generation != m_metricsGeneration ||
        c.widths.size() != size_t(s->count) + 1) {
        c.widths.resize(size_t(s->count) + 1);
        for (int g = 0; g <= s->count; ++g)
            c.widths[size_t(g)] = int16_t(GetCharWidth(wchar_t(g)));
        c.factor = m_factor;
        c.pipe = pipe;
        c.generation = m_metricsGeneration;
    }
    count = s->count;
    return c.widths.data();
}

int CZyFont::WidthOfRange(const wchar_t* text, int end)
{
    // The style stays put while measuring: its blank and break glyphs and widths are read once.
    const int spacing = m_spacing, blank = spacing + GetBlankWidth(), backslash = Glyph(1), letterN = Glyph(2);
    int count;
    const int16_t* widths = CharWidths(count);
    int width = 0;
    // The unit at i, and whether the unit after it is the 'n' of a "\n" pair (inside the range).
    auto add = [&](int i, bool nextInside) {
        const int u = unitAt(text, i);
        if (u <= 0)
            return 0;
        if (u == 1) {
            width += blank;
            return 0;
        }
        if (u == backslash && backslash >= 0 && nextInside && text[i + 1] != 0 && unitAt(text, i + 1) == letterN)
            return 1;
        width += spacing + (u <= count ? widths[u] : GetCharWidth(wchar_t(u)));
        return 0;
    };
    if (end < 0) {
        for (int i = 0; text[i] != 0; ++i)
            i += add(i, true);
    } else {
        for (int i = 0; i < end; ++i)
            i += add(i, i + 1 < end);
    }
    return width;
}

int CZyFont::GetStringWidth(const wchar_t* text) { return text ? WidthOfRange(text, -1) : 0; }

int CZyFont::DrawRange(const wchar_t* text, int end, int x, int y, int anchor, int alpha)
{
    const SStyle* s = Current();
    if (anchor) {
        const int width = WidthOfRange(text, end);
        if (anchor & 0x8)
            x -= width;
        else if (anchor & 0x1)
            x -= width >> 1;
        const int cellH = s ? s->cellH : 0;
        if (anchor & 0x20)
            y -= cellH;
        else if (anchor & 0x2)
            y -= cellH >> 1;
    }
    for (int i = 0; i < end; ++i) {
        const int u = unitAt(text, i);
        if (u == 1) {
            x += GetBlankWidth();
            continue;
        }
        if (u == Glyph(0))
            continue;
        if (i + 1 < end && IsNewline(text, i)) {
            ++i;
            continue;
        }
        int cellX, cellY;
        if (!s || u < 2 || u > s->count || !CellOf(u, cellX, cellY))
            continue;
        int srcX = cellX + int8_t(s->glyphs[u - 1] & 0xFF) * m_factor, srcY = cellY;
        int w = int8_t(s->glyphs[u - 1] >> 8) * m_factor, h = s->cellH2;
        OffsetSrc(u, srcX, srcY, w, h);
        DrawRegion(srcX, srcY, w, h, 0, x, y, alpha);
        x += m_spacing + GetCharWidth(wchar_t(u));
    }
    return end;
}

int CZyFont::DrawString(const wchar_t* text, int x, int y, int anchor, int alpha)
{
    return text ? DrawRange(text, textLength(text), x, y, anchor, alpha) : 0;
}

// Narrow text through the character table: ' ' and -1 are blanks, '|', "\n" and -2 are skipped.
static std::vector<wchar_t> narrowToGlyphs(const char* text, const int8_t* chars)
{
    std::vector<wchar_t> out;
    for (size_t i = 0; text && text[i]; ++i) {
        const char c = text[i];
        if (c == '|')
            continue;
        if (c == '\\' && text[i + 1] == 'n') {
            ++i;
            continue;
        }
        if (c == ' ') {
            out.push_back(1);
            continue;
        }
        const int v = chars[uint8_t(c)];
        if (v == -2)
            continue;
        out.push_back(wchar_t(v < 0 ? 1 : v + 1));
    }
    out.push_back(0);
    return out;
}

int CZyFont::DrawString(const char* text, int x, int y, int anchor)
{
    const SStyle* s = Current();
    if (!text || !s)
        return 0;
    const std::vector<wchar_t> glyphs = narrowToGlyphs(text, s->chars);
    return DrawRange(glyphs.data(), int(glyphs.size()) - 1, x, y, anchor, 255);
}

int CZyFont::GetStringWidth(const char* text)
{
    const SStyle* s = Current();
    if (!text || !s)
        return 0;
    const std::vector<wchar_t> glyphs = narrowToGlyphs(text, s->chars);
    return WidthOfRange(glyphs.data(), int(glyphs.size()) - 1);
}

void CZyFont::DrawRegion(int srcX, int srcY, int w, int h, int, int x, int y, int alpha)
{
    const SStyle* s = Current();
    ISpriteTarget* target = SpriteTarget();
    if (!target || !s || !s->texture || h < 1 || w < 1 || x >= Screen_Width() || y >= Screen_Height() ||
        x + w < 0 || y + h < 0)
        return;
    float u0 = float(srcX), u1 = float(srcX + w), v0 = float(srcY), v1 = float(srcY + h);
    int L = x, R = x + w, T = y, B = y + h;
    int clip[4];
    target->GetClip(clip);
    if (L > clip[2] || R < clip[0] || T > clip[3] || B < clip[1])
        return;
    if (L < clip[0]) u0 += float(clip[0] - L), L = clip[0];
    if (R > clip[2]) u1 -= float(R - clip[2]), R = clip[2];
    if (T < clip[1]) v0 += float(clip[1] - T), T = clip[1];
    if (B > clip[3]) v1 -= float(B - clip[3]), B = clip[3];
    const float tw = float(m_factor * int(s->texture->getWidth()));
    const float th = float(m_factor * int(s->texture->getHeight()));
    M3DXVertex_XYZDT q[4];
    const struct { int x, y; float u, v; } corner[4] = {{R, B, u1, v1}, {R, T, u1, v0}, {L, B, u0, v1}, {L, T, u0, v0}};
    for (int k = 0; k < 4; ++k) {
        q[k].x = float(corner[k].x);
        q[k].y = float(corner[k].y);
        q[k].z = 0.f;
        q[k].u = corner[k].u / tw;
        q[k].v = corner[k].v / th;
        q[k].r = uint8_t(m_r);
        q[k].g = uint8_t(m_g);
        q[k].b = uint8_t(m_b);
        q[k].a = uint8_t(alpha);
    }
    video::ITexture* texture = s->texture.get();
    CAISprite::m_pCurrentTexture = texture;
    target->SetTexture(texture);
    target->SetAlphaBlend(true);
    target->Blt(EQK_COLOURED_TEXTURED, q);
}

// --- pages ------------------------------------------------------------------------------------

// One line breaker for the three languages. Chinese and Korean take '|' as a break candidate
// (one at the line's start does not count) and break before the overflowing glyph when they
// have none; Japanese takes blanks as candidates too, forces a break at '|' and a blank, and
// never breaks without a candidate.
int CZyFont::BreakPage(const wchar_t* text, int width, const SBreakRules& rules)
{
    const int n = textLength(text);
    const int pipe = Glyph(0), backslash = Glyph(1), letterN = Glyph(2);
    int count;
    const int16_t* widths = CharWidths(count);
    int L = 0, w = 0, b = 0;
    bool candidate = false, full = false;
    auto endLine = [&] {
        full = L == MAX_PAGE_LINES - 1;
        L += !full;
    };
    auto forcedBreak = [&](int& i) {   // the pair at i ends the line
        m_lineStart[L] = uint16_t(i);
        endLine();
        ++i;
        w = b = 0;
        candidate = false;
    };
    for (int i = 0; i < n && !full; ++i) {
        const int u = unitAt(text, i);
        const auto nextIs = [&](int glyph) { return i + 1 < n && unitAt(text, i + 1) == glyph; };
        if (rules.japanese && u == pipe && nextIs(1)) {
            forcedBreak(i);
            continue;
        }
        if (u == pipe || (rules.japanese && u == 1)) {
            m_lineStart[L] = uint16_t(i);
            candidate = true;
            b = w;
            w += m_spacing + GetCharWidth(wchar_t(u));
            continue;
        }
        if (backslash >= 0 && u == backslash && nextIs(letterN)) {
            forcedBreak(i);
            continue;
        }
        const int w2 = w + m_spacing + (unsigned(u) <= unsigned(count) ? widths[u] : GetCharWidth(wchar_t(u)));
        if (w2 <= width) {
            w = w2;
        } else if (candidate && (rules.japanese || b > 0)) {
            endLine();
            w = w2 - b - m_spacing;
            b = 0;
            candidate = false;
        } else if (!rules.japanese) {
            m_lineStart[L] = uint16_t(i);
            endLine();
            w = b = 0;
            candidate = false;
        } else {
            w = w2;
        }
    }
    if (!full)
        m_lineStart[L] = uint16_t(std::min(n, 0xFFFF));
    m_pageLines = L + 1;
    m_wrapLines = int16_t(m_pageLines);
    m_wrapWidth = int16_t(width);
    return m_pageLines;
}

int CZyFontCS::InitPage(const wchar_t* text, int width) { return BreakPage(text, width, {false}); }
int CZyFontKO::InitPage(const wchar_t* text, int width) { return BreakPage(text, width, {false}); }
int CZyFontJP::InitPage(const wchar_t* text, int width) { return BreakPage(text, width, {true}); }

void CZyFont::DrawPage(const wchar_t* text, int x, int y, int anchor, int alpha)
{
    const SStyle* s = Current();
    if (!text || !s)
        return;
    const int length = textLength(text);
    const int height = s->cellH + m_lineGap;
    const int n = std::clamp(m_pageLines, 0, int(MAX_PAGE_LINES));
    if (anchor & 0x20)
        y -= (n - 1) * height;
    else if (anchor & 0x2)
        y -= ((n - 1) * height) >> 1;
    int from = 0;
    for (int k = 0; k < n; ++k) {
        const int to = std::clamp(int(m_lineStart[k]), from, length);
        DrawRange(text + from, to - from, x, y, anchor, alpha);
        from = to;
        y += height;
    }
}

void CZyFont::short_strcpy(short* dst, const short* src)
{
    if (!dst || !src)
        return;
    while ((*dst++ = *src++) != 0) {
    }
}

void CZyFont::short_strcat(short* dst, short* src)
{
    if (!dst || !src)
        return;
    while (*dst)
        ++dst;
    short_strcpy(dst, src);
}
