#include "tools/formats/TypedArrayWriter.h"

#include "framework/TypedArray.h"

namespace formats::arrays {

std::vector<uint8_t> Write(uint8_t header, const std::vector<int32_t>& values, std::optional<int> stored)
{
    const int count = stored ? *stored : int(values.size());
    std::vector<uint8_t> out{header};
    out.push_back(uint8_t(count & 0xFF));
    if (TypedArrayWideCount(header))
        out.push_back(uint8_t((count >> 8) & 0xFF));
    int size = TypedArrayStoredSize(header);
    if (size == 0)
        size = 1;
    for (int32_t v : values)
        for (int b = 0; b < size; ++b)
            out.push_back(uint8_t((uint32_t(v) >> (8 * b)) & 0xFF));
    return out;
}

static bool wide(const std::vector<int32_t>& values) { return values.size() > 127; }

std::vector<uint8_t> Bytes(const std::vector<int32_t>& values) { return Write(Header(0, 0, wide(values)), values); }
std::vector<uint8_t> Shorts(const std::vector<int32_t>& values) { return Write(Header(1, 1, wide(values)), values); }
std::vector<uint8_t> Ints(const std::vector<int32_t>& values) { return Write(Header(2, 2, wide(values)), values); }

}  // namespace formats::arrays
