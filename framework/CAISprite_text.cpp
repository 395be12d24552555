// Bitmap-font text in sprites: a font sprite's frame 0 holds one frame-module a glyph, and
// code c draws frame-module map[c]. Spacing S is the x offset of frame-module 0; module 0
// gives the space advance (S + its width) and the line height (its height + the line gap).

#include "framework/CAISprite.h"

#include "framework/GameInterface.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cwchar>
#include <vector>

int CAISprite::_text_w = 0;
int CAISprite::_text_h = 0;
int CAISprite::_index1 = -1;
int CAISprite::_index2 = -1;

namespace {

constexpr int kMaxPageLines = 500;

bool isBreak(const wchar_t* t, int i, int end)
{
    return t[i] == L'\n' || (t[i] == L'\\' && i + 1 < end && t[i + 1] == L'n');
}

// Printable ASCII that reads as itself in every language: no escape, quote or soft break.
constexpr bool isPlain(int c) { return c > ' ' && c < 127 && c != '"' && c != '\\' && c != '^' && c != '|'; }

// The ASCII codes by what the measuring loops do with them; everything else takes the long way.
enum ECharClass : uint8_t { CLASS_PLAIN, CLASS_SPACE, CLASS_WORD_END, CLASS_OTHER };
constexpr std::array<uint8_t, 128> kCharClass = [] {
    std::array<uint8_t, 128> t{};
    for (int c = 0; c < 128; ++c)
        t[size_t(c)] = isPlain(c) ? CLASS_PLAIN : c == ' ' ? CLASS_SPACE : c == '|' || c == '\n' ? CLASS_WORD_END
                                                                                                 : CLASS_OTHER;
    return t;
}();

// The character map of a sprite without one: code c is record c.
constexpr std::array<uint16_t, 256> kIdentityMap = [] {
    std::array<uint16_t, 256> t{};
    for (int c = 0; c < 256; ++c)
        t[size_t(c)] = uint16_t(c);
    return t;
}();

constexpr std::array<int16_t, 256> kNoAdvances{};

// The code table of a sprite without glyph records: plain characters advance by nothing.
constexpr std::array<int32_t, 128> kNoRecordCodes = [] {
    std::array<int32_t, 128> t{};
    for (int c = 0; c < 128; ++c)
        t[size_t(c)] = kCharClass[size_t(c)] == CLASS_PLAIN   ? 0
                       : kCharClass[size_t(c)] == CLASS_SPACE ? CAISprite::CODE_SPACE
                       : kCharClass[size_t(c)] == CLASS_WORD_END ? CAISprite::CODE_WORD_END
                                                                 : CAISprite::CODE_OTHER;
    return t;
}();

// Adds the code table's advances of the characters from p while they are plain (the table gives
// them no sentinel) and returns where the run stops: at the latest on the terminator.
inline const wchar_t* plainRun(const wchar_t* p, const int32_t* codes, int& width)
{
    int w = width;
    for (;; ++p) {
        const uint32_t u = uint32_t(*p);
        if (u >= 128)
            break;
        const int32_t a = codes[u];
        if (a <= CAISprite::CODE_OTHER)
            break;
        w += a;
    }
    width = w;
    return p;
}

int frenchPlain(int c)
{
    switch (c) {
    case 0xC0: case 0xC2: return 'A';
    case 0xC7: return 'C';
    case 0xC8: case 0xC9: case 0xCA: case 0xCB: return 'E';
    case 0xCE: case 0xCF: return 'I';
    case 0xD4: return 'O';
    case 0xD9: case 0xDA: case 0xDB: return 'U';
    default: return c;
    }
}

}  // namespace

void CAISprite::LoadCharacterMap()
{
    FreeMapChar();
    m_charMap = new uint16_t[256];
    for (int c = 0; c < 256; ++c)
        m_charMap[c] = uint16_t(c < 32 ? 0 : c);
    m_ownsCharMap = true;
    m_codeAdvanceReady = false;
}

void CAISprite::SetCharacterMap(uint16_t* map)
{
    FreeMapChar();
    m_charMap = map;
    m_ownsCharMap = false;
    m_codeAdvanceReady = false;
}

void CAISprite::FreeMapChar()
{
    m_codeAdvanceReady = false;
    if (m_ownsCharMap)
        delete[] m_charMap;
    m_charMap = nullptr;
    m_ownsCharMap = false;
}

int CAISprite::SpaceAdvance() const { return FontSpacing() + (m_moduleCount ? m_moduleW[0] : 0); }

// Width plus x offset of every glyph record, and the spacing, decoded once: measuring reads them
// for every character. Entries 0..255 are the records' (0 past the last), 256..511 the glyph
// advances of records 0..255, spacing included (0 past the last record).
const int16_t* CAISprite::BuildRecordAdvances() const
{
    if (m_recordAdvance.empty() && m_fmoduleCount > 0) {
        m_fontSpacing = FModule(0).x;
        m_recordAdvance.assign(512, 0);
        m_codeAdvanceReady = false;
        for (int k = 0, n = std::min(m_fmoduleCount, 256); k < n; ++k) {
            const SFModule fm = FModule(k);
            const bool module = !(fm.flags & FM_NESTED) && fm.index < m_moduleCount;
            m_recordAdvance[size_t(k)] = int16_t((module ? m_moduleW[size_t(fm.index)] : 0) + fm.x);
            m_recordAdvance[256 + size_t(k)] = int16_t(m_fontSpacing + m_recordAdvance[size_t(k)]);
        }
    }
    return m_recordAdvance.empty() ? nullptr : m_recordAdvance.data();
}

const int16_t* CAISprite::GlyphAdvances() const
{
    const int16_t* records = RecordAdvances();
    return records ? records + 256 : kNoAdvances.data();
}

const int32_t* CAISprite::CodeAdvances() const
{
    const int16_t* glyph = GlyphAdvances();   // a load empties the records, and rebuilding them drops the codes
    if (!RecordAdvances())
        return kNoRecordCodes.data();
    if (!m_codeAdvanceReady) {
        const uint16_t* map = m_charMap ? m_charMap : kIdentityMap.data();
        for (int c = 0; c < 128; ++c)
            m_codeAdvance[size_t(c)] = kNoRecordCodes[size_t(c)] == 0 ? glyph[map[c] & 0xFF] : kNoRecordCodes[size_t(c)];
        std::copy_n(m_codeAdvance.begin(), 128, m_codeAdvance.begin() + 128);
        m_codeAdvance[128 + ' '] = SpaceAdvance();
        m_codeAdvanceReady = true;
    }
    return m_codeAdvance.data();
}

const int32_t* CAISprite::MeasureAdvances() const
{
    const int32_t* codes = CodeAdvances();
    return codes == kNoRecordCodes.data() ? codes : codes + 128;
}

int CAISprite::LineHeightBase() const { return m_moduleCount ? (m_moduleH[0] & 0xFF) : 0; }

// The frame-module record of a code (codes from 256 up, other than the handled ones, act as ' ').
int CAISprite::GlyphRecord(int code) const
{
    if (code < 0 || code > 255)
        code = ' ';
    const int r = m_charMap ? (m_charMap[code] & 0xFF) : code;
    return r < m_fmoduleCount ? r : -1;
}

int CAISprite::GlyphAdvance(int code, int scaleX) const
{
    const int k = GlyphRecord(code);
    if (k < 0)
        return 0;
    if (scaleX == 100 && k < 256) {
        const int16_t* advances = RecordAdvances();
        return m_fontSpacing + advances[k];
    }
    const SFModule fm = FModule(k);
    const bool module = !(fm.flags & FM_NESTED) && fm.index < m_moduleCount;
    const int w = module ? uint16_t(m_moduleW[size_t(fm.index)] * scaleX / 100) : 0;
    return FontSpacing() + w + fm.x;
}

// Reads the unit at i as one character: the code, how many units it takes, and whether it
// ends the text. Escapes give code -1 (skipped), breaks -2, soft breaks -3.
CAISprite::SChar CAISprite::ReadChar(const wchar_t* t, int i, int end, int first, bool applyPalette)
{
    SChar ch{int(int16_t(t[i] & 0xFFFF)), 1, false};
    const int c = ch.code;
    if (isPlain(c))
        return ch;
    if (c == L'\n') { ch.code = -2; return ch; }
    if (c == L'\\' && i + 1 < end && t[i + 1] == L'n') { ch.code = -2; ch.units = 2; return ch; }
    if (c == L'^' && i + 1 < end) {
        if (applyPalette && t[i + 1] >= L'0' && t[i + 1] <= L'9')
            m_palette = int(t[i + 1] - L'0');
        ch.code = -1; ch.units = 2; return ch;
    }
    if (c == L'|') { ch.code = -3; return ch; }
    if (c == L'\\' && i + 1 < end && (t[i + 1] == L'0' || t[i + 1] == L'1')) { ch.code = -1; ch.units = 2; return ch; }
    const int language = GameInterface().GetLanguage();
    if (c == L'"' && language == 1 && i != first && i != end - 1) { ch.code = ' '; return ch; }
    if (c == 0x2122) { ch.code = 253; return ch; }
    if (c == -61 && i + 1 < end && int(int16_t(t[i + 1])) == -89) { ch.code = 231; ch.units = 2; return ch; }
    if (c == -61 && i + 1 < end && int(int16_t(t[i + 1])) == -79) { ch.code = 241; ch.units = 2; return ch; }
    if (c == -127 && i + 2 < end && t[i + 1] == L'_' && t[i + 2] == L'x') { ch.code = 4; ch.units = 3; ch.last = true; return ch; }
    if (language == 1)
        ch.code = frenchPlain(c);
    if (ch.code < 0 || ch.code > 255)
        ch.code = ' ';
    return ch;
}

int CAISprite::StrLength(const wchar_t* text) { return text ? int(std::wcslen(text)) : 0; }

int CAISprite::GetStringSize(const wchar_t* text, int first, int end, bool escapes, bool widest)
{
    if (!text)
        return 0;
    if (first < 0)
        first = 0;
    // A whole text is measured without counting it first: the terminator stops the plain run,
    // and the length is counted only when a character has to take the long way.
    if (end < 0 && first > 0)
        end = StrLength(text);
    const int savedPalette = m_palette;
    const int32_t* codes = MeasureAdvances();
    int w = 0;
    for (int i = first, limit = end < 0 ? INT32_MAX : end; i < limit;) {
        // Runs of plain characters and spaces straight from the code table; a unit past ASCII
        // takes the long way, which reads its low 16 bits.
        if (end < 0) {
            i = int(plainRun(text + i, codes, w) - text);
        } else {
            for (; i < limit; ++i) {
                const uint32_t u = uint32_t(text[i]);
                const int32_t a = u < 128 ? codes[u] : CODE_OTHER;
                if (a <= CODE_OTHER)
                    break;
                w += a;
            }
        }
        if (i >= limit || text[i] == 0)
            break;
        if (end < 0)
            limit = end = i + StrLength(text + i);
        const SChar ch = ReadChar(text, i, end, first, escapes);
        i += ch.units;
        if (ch.code == -2) {
            if (widest) {
                if (w > _text_w)
                    _text_w = w;
                w = 0;
            }
        } else if (ch.code == -3) {
            // a soft break point: no advance while drawing, a lone '|' measures as its glyph
            if (end - first == 1)
                w += GlyphAdvance('|', 100);
        } else if (ch.code == ' ') {
            w += SpaceAdvance();
        } else if (ch.code >= 0) {
            w += GlyphAdvance(ch.code, 100);
        }
        if (ch.last)
            break;
    }
    if (!escapes)
        m_palette = savedPalette;
    return w;
}

int CAISprite::UpdateStringSize(const wchar_t* text, bool escapes)
{
    _text_w = 0;
    _text_h = LineHeightBase();
    const int w = GetStringSize(text, _index1, _index2, escapes, true);
    if (w > _text_w)
        _text_w = w;
    if (_text_w > 0)
        _text_w -= FontSpacing();
    return w;
}

int CAISprite::GetSubStringWidth(const wchar_t* text, int first, int last)
{
    const int s1 = _index1, s2 = _index2;
    _index1 = first;
    _index2 = last < 0 ? -1 : last + 1;
    UpdateStringSize(text, false);
    _index1 = s1;
    _index2 = s2;
    return _text_w + FontSpacing();
}

int CAISprite::FindWordEnd(const wchar_t* text, int start)
{
    return FindWordEnd(text, start, StrLength(text));
}

int CAISprite::FindWordEnd(const wchar_t* text, int start, int len)
{
    if (start >= len)
        return -1;
    for (int i = start; i < len; ++i)
        if (text[i] == L' ' || text[i] == L'|' || isBreak(text, i, len))
            return i - 1;
    return len - 1;
}

int CAISprite::GetSubStringIndex(const wchar_t* text, int start, int maxWidth)
{
    const int len = StrLength(text);
    int sum = 0;
    for (int i = start; i < len; ++i) {
        if (text[i] == L'\n')
            return i;
        if (text[i] == L'\\' && i + 1 < len && text[i + 1] == L'n')
            return i + 1;
        sum += GetStringSize(text, i, i + 1, false, false);
        if (sum > maxWidth)
            return i - 1;
    }
    return len;
}

int CAISprite::WrapTextInternal(wchar_t* text, int maxWidth, bool)
{
    return WrapTextInternal(text, maxWidth);
}

int CAISprite::WrapTextInternal(wchar_t* text, int maxWidth)
{
    if (!text || text[0] == 0)
        return 1;
    // One walk to the terminator: no length first, words measured while their end is found.
    const int32_t* codes = CodeAdvances();
    const int spacing = FontSpacing(), space = SpaceAdvance();
    int lines = 1, w = 0, lastWord = -1;
    for (int i = 0;;) {
        const wchar_t c = text[i];
        if (c == L' ') {
            w += space;
            ++i;
            continue;
        }
        if (c == 0)
            break;
        if (c == L'|') {
            ++i;
            continue;
        }
        if (c == L'\n' || (c == L'\\' && text[i + 1] == L'n')) {
            w = 0;
            if (i > 0)
                ++lines;
            i += c == L'\n' ? 1 : 2;
            continue;
        }
        // The word runs to the next space, '|', break or the end; while it holds plain characters
        // only it is measured as it is scanned, else it is measured whole afterwards.
        int width = 0;
        int end = int(plainRun(text + i, codes, width) - text);
        const uint32_t stop = uint32_t(text[end]);
        const int32_t a = stop < 128 ? codes[stop] : CODE_OTHER;
        const auto wordEnd = [text](int k) {
            const wchar_t e = text[k];
            return e == 0 || e == L' ' || e == L'|' || e == L'\n' || (e == L'\\' && text[k + 1] == L'n');
        };
        const bool plain = a != CODE_OTHER || wordEnd(end);
        if (!plain)
            while (!wordEnd(end))
                ++end;
        // The word's width as GetSubStringWidth gives it (a word measuring nothing counts S).
        lastWord = plain ? width : GetStringSize(text, i, end, false, false);
        int ww = lastWord > 0 ? lastWord : spacing;
        if (text[end] == 0)
            ww -= spacing;
        if (w + ww > maxWidth && i > 0) {
            text[i - 1] = L'\n';
            ++lines;
            w = ww;
        } else {
            w += ww;
        }
        i = end;
    }
    if (lastWord >= 0) {   // the measuring results of the last word, as a measure leaves them
        _text_h = LineHeightBase();
        _text_w = lastWord > 0 ? lastWord - spacing : 0;
    }
    return lines;
}

void CAISprite::GetStringRotateY(int cx, int cy, int& x, int& y, int degrees)
{
    while (degrees < 0)
        degrees += 360;
    while (degrees > 360)
        degrees -= 360;
    const float a = float(degrees) * 3.14159265f / 180.f;
    const float dx = float(x - cx), dy = float(y - cy);
    x = int(dx * std::cos(a) - dy * std::sin(a) + float(cx));
    y = int(dx * std::sin(a) + dy * std::cos(a) + float(cy));
}

int CAISprite::DrawStringInternal(const wchar_t* text, int x, int y, int anchor, int palette, int alpha, int,
                                  int scaleX, int scaleY, bool, bool, int angle, bool shrink, bool forward,
                                  bool tight)
{
    const int entryPalette = m_palette;
    if (!text)
        return entryPalette;
    const int state = GameInterface().StateCurrent();
    if (state == 21)
        m_lineGap = 2;
    else if (state == 3 || state == 27)
        m_lineGap = -2;
    const int len = StrLength(text);
    const int from = _index1 < 0 ? 0 : _index1;
    const int to = _index2 < 0 || _index2 > len ? len : _index2;
    int ax = x, ay = y;
    if ((anchor & 0x2B) || !forward) {
        UpdateStringSize(text, false);
        const int W = scaleX * _text_w / 100, H = scaleY * _text_h / 100;
        if (anchor & 0x8) ax -= W;
        else if (anchor & 0x1) ax -= W >> 1;
        if (anchor & 0x20) ay -= H;
        else if (anchor & 0x2) ay -= H >> 1;
    }
    int cx = ax, cy = ay, px = ax, py = ay, glyphAngle = angle;
    if (!forward) {
        px = ax + scaleX * _text_w / 100;
        GetStringRotateY(ax, ay, px, py, angle);
        cx = px;
        cy = py;
        glyphAngle = angle - 180;
    }
    int factor = 100, sx = scaleX, sy = scaleY;
    auto paint = [&](int code) {
        const int k = GlyphRecord(code);
        if (k < 0)
            return;
        int gx = px, gy = py;
        if (!forward && glyphAngle != 0 && (code == 'W' || code == 'M'))
            gx += 10 * sx / 100;
        if (glyphAngle != 0)
            GetStringRotateY(cx, cy, gx, gy, glyphAngle);
        PaintFModule(0, k, gx, gy, 0, 0, 0, alpha, 0, sx, sy, nullptr, palette);
        px += GlyphAdvance(code, sx);
        if (tight)
            px -= 3 * sx / 100;
        if (shrink) {
            factor = factor - 4 < 5 ? 5 : factor - 4;
            sx = scaleX * factor / 100;
            sy = scaleY * factor / 100;
        }
    };
    auto lineBreak = [&](int nextStart) {
        px = x;
        py += m_lineGap + ((LineHeightBase() * scaleY / 100) & 0xFF);
        if (anchor & 0x9) {
            const int w = GetSubStringWidth(text, nextStart, to - 1) * scaleX / 100;
            px -= anchor & 0x8 ? w : w >> 1;
        }
    };
    if (forward) {
        for (int i = from; i < to;) {
            const SChar ch = ReadChar(text, i, to, from, true);
            i += ch.units;
            if (ch.code == -2)
                lineBreak(i);
            else if (ch.code == ' ')
                px += SpaceAdvance();
            else if (ch.code >= 0)
                paint(ch.code);
            if (ch.last)
                break;
        }
    } else {
        // Reverse layout: the characters from the last to the first, each placed by the pen
        // turned half a turn about the far end of the text.
        std::vector<int> codes;
        for (int i = from; i < to;) {
            const SChar ch = ReadChar(text, i, to, from, true);
            codes.push_back(ch.code);
            i += ch.units;
            if (ch.last)
                break;
        }
        for (auto it = codes.rbegin(); it != codes.rend(); ++it) {
            if (*it == ' ')
                px += SpaceAdvance();
            else if (*it >= 0)
                paint(*it);
        }
    }
    m_palette = entryPalette;
    return entryPalette;
}

int CAISprite::DrawPageInternal(wchar_t* text, int x, int y, int width, int firstLine, int lineCount, int,
                                int anchor, int, bool, COLOR_NAME colour, bool, bool draw, bool)
{
    if (!text)
        return 0;
    WrapTextInternal(text, width);
    const int state = GameInterface().StateCurrent();
    if (state == 20 || state == 21 || state == 24)
        m_lineGap = 2;
    else if (state == 3 || state == 27)
        m_lineGap = -2;
    const int L = LineHeightBase() + m_lineGap;
    const int len = StrLength(text);
    int starts[kMaxPageLines], ends[kMaxPageLines];
    int lines = 0, start = 0;
    for (int i = 0; i < len && lines < kMaxPageLines - 1; ++i) {
        if (i > 0 && isBreak(text, i, len)) {
            starts[lines] = start;
            ends[lines] = i;
            ++lines;
            start = i + (text[i] == L'\n' ? 1 : 2);
            if (text[i] != L'\n')
                ++i;
        }
    }
    // Past 500 lines the rest of the text is dropped.
    starts[lines] = start;
    ends[lines] = len;
    const int breaks = lines;
    const int count = lines + 1;
    if (!draw)
        return count;
    int lineY = y;
    if (anchor & 0x20) lineY -= breaks * L;
    else if (anchor & 0x2) lineY -= (breaks * L) >> 1;
    const int last = int(std::min<long long>(count, (long long)firstLine + lineCount));
    // Lines before the first one hold no text but keep their rows, so line n stays at its place.
    for (int n = firstLine; n < last; ++n) {
        if (n >= 0) {
            _index1 = starts[n];
            _index2 = ends[n];
            DrawStringInternal(text, x, lineY, anchor, colour, 255, 0, 100, 100, false, false, 0, false, true, false);
        }
        lineY += L;
    }
    _index1 = _index2 = -1;
    return last;
}

int CAISprite::DrawPageInternal(wchar_t* text, int x, int y, int width, int anchor, COLOR_NAME colour, bool b,
                                bool b2)
{
    return DrawPageInternal(text, x, y, width, 0, kMaxPageLines, 0, anchor, 0, b, colour, b2, true, false);
}
