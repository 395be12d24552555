#include "tools/formats/TextRaster.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace formats {

std::string dejaVuSans(bool bold)
{
    return bold ? "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf" : "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
}

std::string cjkFont()
{
    return "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc";
}

struct Typeface::Library {
    FT_Library library = nullptr;
    Library() { FT_Init_FreeType(&library); }
    ~Library() { FT_Done_FreeType(library); }
};

Typeface::Typeface(const std::string& path) : m_library(std::make_shared<Library>())
{
    FT_Face face = nullptr;
    if (m_library->library && FT_New_Face(m_library->library, path.c_str(), 0, &face) == 0)
        m_face = face;
    else
        std::fprintf(stderr, "font: cannot open %s\n", path.c_str());
}

Typeface::~Typeface()
{
    if (m_face)
        FT_Done_Face(static_cast<FT_Face>(m_face));
}

bool Typeface::hasGlyph(uint32_t codepoint) const
{
    return m_face && FT_Get_Char_Index(static_cast<FT_Face>(m_face), codepoint) != 0;
}

Glyph Typeface::glyph(uint32_t codepoint, int pixelSize) const
{
    Glyph g;
    if (!m_face)
        return g;
    FT_Face face = static_cast<FT_Face>(m_face);
    FT_Set_Pixel_Sizes(face, 0, FT_UInt(std::max(pixelSize, 1)));
    if (FT_Load_Char(face, codepoint, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0)
        return g;
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bm = slot->bitmap;
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.advance = int((slot->advance.x + 32) >> 6);
    g.image = Canvas(int(bm.width), int(bm.rows));
    for (unsigned y = 0; y < bm.rows; ++y)
        for (unsigned x = 0; x < bm.width; ++x) {
            const uint8_t a = bm.buffer[size_t(y) * size_t(std::abs(bm.pitch)) + x];
            g.image.set(int(x), int(y), Rgba(255, 255, 255, a));
        }
    return g;
}

uint32_t nextCodePoint(std::string_view s, size_t& at)
{
    const auto byte = [&](size_t i) { return i < s.size() ? uint8_t(s[i]) : 0; };
    const uint8_t c = byte(at);
    int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
    if (extra < 0) {
        ++at;
        return 0xFFFD;
    }
    uint32_t cp = extra == 0 ? c : c & (0x3F >> extra);
    for (int i = 1; i <= extra; ++i) {
        const uint8_t k = byte(at + size_t(i));
        if ((k & 0xC0) != 0x80) {
            at += size_t(i);
            return 0xFFFD;
        }
        cp = (cp << 6) | (k & 0x3F);
    }
    at += size_t(extra) + 1;
    return cp;
}

TextExtent Typeface::measure(std::string_view utf8, int pixelSize) const
{
    TextExtent e;
    for (size_t at = 0; at < utf8.size();) {
        const Glyph g = glyph(nextCodePoint(utf8, at), pixelSize);
        e.width += g.advance;
        e.ascent = std::max(e.ascent, g.top);
        e.descent = std::max(e.descent, g.image.height() - g.top);
    }
    return e;
}

int Typeface::draw(Canvas& canvas, std::string_view utf8, float x, float baseline, int pixelSize, Rgba color) const
{
    float pen = x;
    for (size_t at = 0; at < utf8.size();) {
        const Glyph g = glyph(nextCodePoint(utf8, at), pixelSize);
        const int gx = int(std::lround(pen)) + g.left, gy = int(std::lround(baseline)) - g.top;
        for (int j = 0; j < g.image.height(); ++j)
            for (int i = 0; i < g.image.width(); ++i)
                canvas.blend(gx + i, gy + j, color, g.image.at(i, j).a / 255.0f);
        pen += float(g.advance);
    }
    return int(std::lround(pen - x));
}

void Typeface::drawCentred(Canvas& canvas, std::string_view utf8, float cx, float cy, int pixelSize, Rgba color,
                           int maxWidth) const
{
    TextExtent e = measure(utf8, pixelSize);
    while (maxWidth > 0 && e.width > maxWidth && pixelSize > 6) {
        pixelSize = std::max(6, pixelSize * maxWidth / std::max(e.width, 1));
        e = measure(utf8, pixelSize);
        if (e.width > maxWidth)
            --pixelSize;
    }
    e = measure(utf8, pixelSize);
    const float baseline = cy + float(e.ascent - e.descent) / 2;
    draw(canvas, utf8, cx - float(e.width) / 2, baseline, pixelSize, color);
}

}  // namespace formats
