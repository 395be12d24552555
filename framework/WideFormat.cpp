#include "framework/WideFormat.h"

#include "framework/FixedPointMath.h"

#include <cstdarg>

namespace {

IWideFormatGlyphs s_plain;
IWideFormatGlyphs* s_glyphs = nullptr;

IWideFormatGlyphs& glyphs()
{
    return s_glyphs ? *s_glyphs : s_plain;
}

} // namespace

void SetWideFormatGlyphs(IWideFormatGlyphs* g)
{
    s_glyphs = g;
}

void WSPRINTFW(wchar_t* dst, const wchar_t* format, ...)
{
    IWideFormatGlyphs& g = glyphs();
    const bool indexed = g.IsWCharLanguage();
    // A format character is a directive character as itself or, in an indexed language, as its glyph.
    auto is = [&](wchar_t c, wchar_t wanted) { return c == wanted || (indexed && c == g.GetIndexFromWChar(wanted)); };
    auto digit = [&](wchar_t c) {
        for (wchar_t d = L'1'; d <= L'9'; ++d)
            if (is(c, d))
                return int(d - L'0');
        return 0;
    };
    int n = 0;
    auto append = [&](wchar_t c) { dst[n++] = c; };
    auto appendNumber = [&](int value, int width) {
        wchar_t text[16];
        MyItoa(text, value);
        int len = 0;
        while (text[len])
            ++len;
        for (int i = len; i < width; ++i)
            append(indexed ? g.ChangeWCharToIndex(L'0') : L'0');
        for (int i = 0; i < len; ++i)
            append(indexed ? g.ChangeWCharToIndex(text[i]) : text[i]);
    };

    va_list args;
    va_start(args, format);
    for (const wchar_t* p = format; *p;) {
        if (!is(*p, L'%')) {
            const bool change = indexed && g.IsChangeWCharToIndex();
            append(change ? g.ChangeWCharToIndex(*p) : *p);
            ++p;
            continue;
        }
        ++p;   // past '%'
        if (!*p)
            break;
        if (is(*p, L's') || is(*p, L'w')) {
            const bool wide = is(*p, L'w') && !is(*p, L's');
            const wchar_t* s = va_arg(args, const wchar_t*);
            if (s) {
                if (indexed && wide) {
                    for (int i = 0; i < 31 && s[i]; ++i)
                        append(g.ChangeWCharToIndex(s[i]));
                } else {
                    while (*s)
                        append(*s++);
                }
            }
            ++p;
        } else if (is(*p, L'd')) {
            appendNumber(va_arg(args, int), 0);
            ++p;
        } else if (is(*p, L'0')) {
            ++p;
            const int width = *p ? digit(*p) : 0;
            if (!width) {
                if (*p)
                    ++p;
                continue;
            }
            ++p;
            if (*p && is(*p, L'd')) {
                appendNumber(va_arg(args, int), width);
                ++p;
            } else if (*p) {
                ++p;
            }
        } else {
            ++p;
        }
    }
    va_end(args);
    dst[n] = 0;
    g.ResetFontID();
    g.SetIsChangeWCharToIndex(true);
}
