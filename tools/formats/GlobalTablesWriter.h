// Writes the global-table item (typed records of int16 values), the brick mask item and the
// brick template item of the level pack.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace formats::globals {

struct Record {
    uint8_t type = 0;
    std::vector<int16_t> values;
    int16_t extra[2] = {0, 0};     // written only for type 9
    std::optional<uint8_t> n{};    // stored instead of the count (to make cut records)
};

std::vector<uint8_t> Write(const std::vector<Record>& records);

// One mask byte: low nibble colour key, high nibble shape key (14 ends a row, 15 a column).
inline uint8_t MaskByte(int colour, int shape) { return uint8_t((colour & 15) | (shape & 15) << 4); }

// The template item: T columns of R raw tile values (-1 empty), laid out like a level's map.
// columns[k][j] is template k, row j; every column has R values.
std::vector<uint8_t> Templates(const std::vector<std::vector<int16_t>>& columns);

}  // namespace formats::globals
