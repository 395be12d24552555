// The engine's number parser. Fraction digits past the table's reach are read and dropped, so a
// long fraction from a file can never index beyond the table.

#include "engine/core/fast_atof.h"

#include <cmath>
#include <cstdint>

namespace pravik::core {

const float fast_atof_table[16] = {0.f,   0.1f,  0.01f,  0.001f, 0.0001f, 1e-5f,  1e-6f,  1e-7f,
                                   1e-8f, 1e-9f, 1e-10f, 1e-11f, 1e-12f,  1e-13f, 1e-14f, 1e-15f};

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Reads digits into a wrapping 32-bit accumulator; counts them when count is given.
const char* readDigits(const char* p, uint32_t& value, uint32_t* count, uint32_t maxCounted)
{
    value = 0;
    uint32_t n = 0;
    while (isDigit(*p)) {
        if (!count || n < maxCounted) {
            value = value * 10u + uint32_t(*p - '0');
            ++n;
        }
        ++p;
    }
    if (count) *count = n;
    return p;
}

}  // namespace

const char* fast_atof_move(const char* text, float& out)
{
    const char* p = text;
    bool negative = false;
    if (*p == '-') {
        negative = true;
        ++p;
    }
    uint32_t whole = 0;
    p = readDigits(p, whole, nullptr, 0);
    float value = float(whole);

    if (*p == '.') {
        ++p;
        uint32_t fraction = 0, digits = 0;
        p = readDigits(p, fraction, &digits, 15);
        value += float(fraction) * fast_atof_table[digits];

        if (*p == 'e') {
            ++p;
            bool negativeExponent = false;
            if (*p == '-') {
                negativeExponent = true;
                ++p;
            }
            uint32_t exponent = 0;
            p = readDigits(p, exponent, nullptr, 0);
            const float e = float(exponent);
            value *= powf(10.f, negativeExponent ? -e : e);
        }
    }
    out = negative ? -value : value;
    return p;
}

}  // namespace pravik::core
