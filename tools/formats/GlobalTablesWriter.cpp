#include "tools/formats/GlobalTablesWriter.h"

namespace formats::globals {

static void put(std::vector<uint8_t>& out, int16_t v)
{
    out.push_back(uint8_t(uint16_t(v) & 0xFF));
    out.push_back(uint8_t(uint16_t(v) >> 8));
}

std::vector<uint8_t> Write(const std::vector<Record>& records)
{
    std::vector<uint8_t> out;
    for (const Record& r : records) {
        out.push_back(r.type);
        if (r.type == 9) {
            put(out, r.extra[0]);
            put(out, r.extra[1]);
        }
        out.push_back(r.n ? *r.n : uint8_t(r.values.size()));
        for (int16_t v : r.values)
            put(out, v);
    }
    return out;
}

std::vector<uint8_t> Templates(const std::vector<std::vector<int16_t>>& columns)
{
    const size_t t = columns.size();
    const size_t rows = t ? columns[0].size() : 0;
    std::vector<uint8_t> out{uint8_t(t), uint8_t(rows), 0, 0, 0};
    for (size_t j = 0; j < rows; ++j)
        for (size_t k = 0; k < t; ++k)
            put(out, j < columns[k].size() ? columns[k][j] : int16_t(-1));
    return out;
}

}  // namespace formats::globals
