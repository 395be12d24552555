#pragma once
// The engine's number parser: a plain decimal reader for attribute values and number lists.
// It skips no white space and takes no '+'; an exponent is read only after a fraction, so
// "2e3" reads as 2 and "1.5e3" as 1500. Accumulators are 32-bit and wrap, as stored files expect.

namespace pravik::core {

// Entry n scales a fraction of n digits: 0, 1e-1, ..., 1e-15.
extern const float fast_atof_table[16];

// Parses one number at the start of text into out; returns the first character not used.
// Fraction digits beyond the 15th are consumed but add nothing.
const char* fast_atof_move(const char* text, float& out);

}  // namespace pravik::core
