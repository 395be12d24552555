#pragma once
// Helpers of the attribute and XML text forms: narrowing and widening without any encoding,
// the number texts, and the float-to-integer conversion that file data goes through.

#include <cmath>
#include <cstdint>

#include "engine/core/pravikString.h"

namespace pravik::core {

// Each wide character narrowed to its low 8 bits; "" for null.
stringc string2stringc(const wchar_t* text);
stringc stringw2stringc(const stringw& text);
// Each byte taken as signed 8-bit and extended: 0x80..0xFF become 0xFFFFFF80..0xFFFFFFFF.
stringw stringc2stringw(const stringc& text);

stringc intToText(int value);      // "%d"
stringc floatToText(float value);  // at most 6 significant digits, as an output stream writes it
bool equalsIgnoreCase(const char* a, const char* b);  // ASCII letters only

// Truncation toward zero; values beyond the 32-bit range saturate and NaN gives 0, so numbers
// read from files never reach an undefined conversion.
inline int32_t truncateToInt(float x)
{
    if (std::isnan(x)) return 0;
    if (x >= 2147483648.f) return INT32_MAX;
    if (x <= -2147483648.f) return INT32_MIN;
    return int32_t(x);
}

}  // namespace pravik::core
