#include "engine/core/StringConversion.h"

#include <cstdint>
#include <cstring>
#include <cwchar>

namespace pravik::core {

namespace {

stringw widen(const char* text, std::size_t length)
{
    stringw out;
    out.resize(length);
    for (std::size_t i = 0; i < length; ++i)
        out[i] = wchar_t(static_cast<signed char>(text[i]));
    return out;
}

stringc narrow(const wchar_t* text, std::size_t length)
{
    stringc out;
    out.resize(length);
    for (std::size_t i = 0; i < length; ++i)
        out[i] = char(static_cast<unsigned char>(static_cast<std::uint32_t>(text[i]) & 0xffu));
    return out;
}

} // namespace

stringw stringc2stringw(const char* text)
{
    return text ? widen(text, std::strlen(text)) : stringw();
}

stringw stringc2stringw(const stringc& text)
{
    return widen(text.data(), text.size());
}

stringc stringw2stringc(const wchar_t* text)
{
    return text ? narrow(text, std::wcslen(text)) : stringc();
}

stringc stringw2stringc(const stringw& text)
{
    return narrow(text.data(), text.size());
}

stringc string2stringc(const wchar_t* text)
{
    return stringw2stringc(text);
}

} // namespace pravik::core
