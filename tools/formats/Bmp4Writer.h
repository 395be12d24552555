#pragma once
// Writes an uncompressed 4-bit palettised Windows BMP: a 14-byte file header, a 40-byte
// information header, the palette (4 bytes each, blue, green, red, 0) and the rows bottom up,
// two pixels a byte (the left one in the high nibble), each row padded to 4 bytes.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace formats::bmp {

struct SPaletteColor {
    std::uint8_t r, g, b;
};

// indices: width * height palette indices, top row first. Empty on bad arguments.
std::vector<std::uint8_t> write4Bit(int width, int height, const std::vector<SPaletteColor>& palette,
                                   const std::vector<std::uint8_t>& indices);

}  // namespace formats::bmp
