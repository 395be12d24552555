#pragma once
// Helpers of the attribute and XML text forms: the number texts and the float-to-integer
// conversion that file data goes through. Narrowing and widening are StringConversion.h's.

#include <cmath>
#include <cstdint>

#include "engine/core/StringConversion.h"
#include "engine/core/pravikString.h"

namespace pravik::core {

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
