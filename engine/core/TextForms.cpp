// Text helpers of the attribute forms. No character encoding is applied anywhere: a byte is a
// character, and a wide character keeps only its low 8 bits when narrowed.

#include "engine/core/TextForms.h"

#include <strings.h>

#include <cstdio>

namespace pravik::core {

stringc string2stringc(const wchar_t* text)
{
    stringc out;
    if (!text) return out;
    for (const wchar_t* c = text; *c; ++c) out.push_back(char(uint32_t(*c) & 0xFF));
    return out;
}

stringc stringw2stringc(const stringw& text)
{
    stringc out;
    out.reserve(text.size());
    for (wchar_t c : text) out.push_back(char(uint32_t(c) & 0xFF));
    return out;
}

stringw stringc2stringw(const stringc& text)
{
    stringw out;
    out.reserve(text.size());
    for (char c : text) out.push_back(wchar_t(static_cast<signed char>(c)));
    return out;
}

stringc intToText(int value)
{
    char buffer[16];
    snprintf(buffer, sizeof buffer, "%d", value);
    return buffer;
}

stringc floatToText(float value)
{
    char buffer[32];
    snprintf(buffer, sizeof buffer, "%g", double(value));
    return buffer;
}

bool equalsIgnoreCase(const char* a, const char* b)
{
    return strcasecmp(a, b) == 0;
}

}  // namespace pravik::core
