#include "framework/WideString.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

int droid_wcslen(const wchar_t* s)
{
    int n = 0;
    while (s[n] != 0)
        ++n;
    return n;
}

wchar_t* droid_wcscpy(wchar_t* dst, const wchar_t* src)
{
    if (!dst || !src)
        return dst;
    int i = 0;
    do {
        dst[i] = src[i];
    } while (src[i++] != 0);
    return dst;
}

wchar_t* droid_wcscat(wchar_t* dst, const wchar_t* src)
{
    droid_wcscpy(dst + droid_wcslen(dst), src);
    return dst;
}

int droid_wcstombs(char* dst, const wchar_t* src, int n)
{
    int i = 0;
    for (; i < n && src[i] != 0; ++i)
        dst[i] = char(src[i] & 0xFF);
    if (i < n)
        dst[i] = 0;
    return i;
}

int droid_mbstowcs(wchar_t* dst, const char* src, int n)
{
    int i = 0;
    for (; i < n; ++i) {
        dst[i] = wchar_t(static_cast<signed char>(src[i]));
        if (src[i] == 0)
            break;
    }
    return i;
}

int droid_swprintf(wchar_t* dst, int size, const char* format, ...)
{
    if (size <= 0) {
        dst[0] = 0;
        return 0;
    }
    std::vector<char> scratch(std::size_t(size), 0);
    va_list args;
    va_start(args, format);
    std::vsnprintf(scratch.data(), scratch.size(), format, args);
    va_end(args);
    int i = 0;
    for (; scratch[std::size_t(i)] != 0; ++i)
        dst[i] = wchar_t(static_cast<signed char>(scratch[std::size_t(i)]));
    dst[i] = 0;
    return i;
}
