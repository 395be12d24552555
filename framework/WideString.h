// The framework's wide-string helpers. Wide characters are 32 bits everywhere in the program
// (wchar_t on Linux); narrow bytes widen sign-extended, as the tablet's char did.
#pragma once

#include <cstddef>

int droid_wcslen(const wchar_t* s);                          // units before the first 0
wchar_t* droid_wcscpy(wchar_t* dst, const wchar_t* src);     // nothing when either is null
wchar_t* droid_wcscat(wchar_t* dst, const wchar_t* src);
// Low byte of each unit until a 0 unit or n units; a terminator only when fewer than n were copied.
int droid_wcstombs(char* dst, const wchar_t* src, int n);
// Each byte sign-extended until a 0 byte (copied, not counted) or n bytes.
int droid_mbstowcs(wchar_t* dst, const char* src, int n);
// Formats into a scratch buffer of size bytes, then widens it into dst with a terminator.
int droid_swprintf(wchar_t* dst, int size, const char* format, ...) __attribute__((format(printf, 3, 4)));
