// Writes typed array files (layout in framework/TypedArray.h).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace formats::arrays {

// The header byte for a kind (0-2), a stored size code (bits 4-7) and the count width.
inline uint8_t Header(int kind, int sizeCode, bool wideCount)
{
    return uint8_t((kind & 7) | (wideCount ? 8 : 0) | (sizeCode & 15) << 4);
}

// A whole file: header, count (8- or 16-bit as the header says) and every value stored at the
// size the header gives. A count given stores that number instead (to make broken files).
std::vector<uint8_t> Write(uint8_t header, const std::vector<int32_t>& values,
                           std::optional<int> count = std::nullopt);

// The usual forms: the narrowest count that holds the values.
std::vector<uint8_t> Bytes(const std::vector<int32_t>& values);    // kind 0
std::vector<uint8_t> Shorts(const std::vector<int32_t>& values);   // kind 1, int16 stored
std::vector<uint8_t> Ints(const std::vector<int32_t>& values);     // kind 2, int32 stored

}  // namespace formats::arrays
