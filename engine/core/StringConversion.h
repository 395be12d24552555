// Byte-by-byte conversion between engine narrow and wide strings. Widening takes each byte as
// a signed 8-bit value (0x80-0xFF become 0xFFFFFF80-0xFFFFFFFF); narrowing keeps the low 8
// bits, so a narrow text survives a round trip. No multi-byte decoding. Null gives "".
#pragma once

#include "engine/core/pravikString.h"

namespace pravik::core {

stringw stringc2stringw(const char* text);
stringw stringc2stringw(const stringc& text);
stringc stringw2stringc(const wchar_t* text);
stringc stringw2stringc(const stringw& text);
stringc string2stringc(const wchar_t* text);   // the same narrowing as stringw2stringc

} // namespace pravik::core
