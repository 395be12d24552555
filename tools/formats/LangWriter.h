// Writes ".lang" string tables (layout in framework/CStringManager.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace formats::lang {

// A table of already encoded strings: each is written as given, then its terminator (one 0
// byte, or a 0 unit when wide) and zeros up to a multiple of 4.
std::vector<uint8_t> WriteBytes(const std::vector<std::string>& strings);
std::vector<uint8_t> WriteUnits(const std::vector<std::vector<uint16_t>>& strings);

// A table of text for a language: UTF-8 for languages 0-4 and 8; for 5-7 each code point is
// replaced by its glyph index in the language's small table (a character the table lacks is
// written as glyph 1, the blank).
std::vector<uint8_t> Write(const std::vector<std::u32string>& strings, int language);

std::string Utf8(const std::u32string& text);   // up to three bytes a character

}  // namespace formats::lang
