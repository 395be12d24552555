#pragma once
// The engine's built-in font, drawn from the glyph tables of BuiltInFont.cpp: characters 32 to
// 256 (ASCII, a box for the codes 127-159, Latin-1 letters as base letter plus accent, and
// A with macron) and the 22 skin icons as characters 257-278, laid out in the bitmap font's
// marker convention on a 128x128 image and written as a 4-bit BMP of 8266 bytes.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace formats::builtinfont {

constexpr int ImageSize = 128;
constexpr int CellHeight = 10;  // rows of a glyph cell; the lower-right marker sits below it
constexpr int FirstCharacter = 32;
constexpr int GlyphCount = 247;

// Palette indices of the image.
enum EColor : std::uint8_t { Background = 0, UpperLeftMarker = 1, LowerRightMarker = 2, Ink = 3, Unused = 4 };

struct SCell {
    int x, y;   // upper-left marker
    int width;  // to the lower-right marker, spacing column included
};

// Where each glyph lands; empty when the tables do not fit the image.
std::vector<SCell> layout();
// The palette indices of the whole image, top row first.
std::vector<std::uint8_t> image();
// The BMP file.
std::vector<std::uint8_t> build();

}  // namespace formats::builtinfont
