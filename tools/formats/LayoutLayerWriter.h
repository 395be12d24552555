// Writes UI layout layer items: elements of 5 + n little-endian int16 values, to the item end.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace formats::layers {

struct Element {
    int16_t kind = 1;  // 1 graphic, 2 text area, 4 filled rectangle, 5 gradient rectangle
    int16_t id = 0;
    int16_t x = 0;
    int16_t y = 0;
    std::vector<int16_t> values;   // value 5 onwards; n = their count
    std::optional<int16_t> n{};    // stored instead of the count (to make broken items)
};

// Value `index` of an element (5 onwards) set, growing the values with zeros as needed.
void SetValue(Element& e, int index, int16_t value);

std::vector<uint8_t> Write(const std::vector<Element>& elements);

}  // namespace formats::layers
