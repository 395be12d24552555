#include "Tables.h"

#include "framework/PackTables.h"
#include "tools/formats/PackFolderWriter.h"
#include "tools/formats/TypedArrayWriter.h"

#include <cmath>

namespace qdata {

namespace {

void put(DataFolder& folder, const char* pack, int row, const std::vector<uint8_t>& bytes)
{
    folder.put(formats::packs::ItemPath(pack, row), std::string(bytes.begin(), bytes.end()));
}

}  // namespace

void addTables(DataFolder& folder)
{
    // A quarter turn is 64 steps of the framework's 256-unit circle, 8 fractional bits.
    std::vector<int32_t> cosine;
    for (int i = 0; i <= 64; ++i)
        cosine.push_back(int32_t(std::lround(256 * std::cos(i * 2 * M_PI / 256))));
    put(folder, PACK_MATH, 0, formats::arrays::Ints(cosine));
    std::vector<int32_t> roots;
    for (int i = 0; i < 256; ++i)
        roots.push_back(int32_t(std::lround(256 * std::sqrt(double(i)))));
    put(folder, PACK_MATH, 1, formats::arrays::Ints(roots));

    // Read and let go at once by the game: any valid array.
    put(folder, PACK_FONT, 6, formats::arrays::Bytes({0}));

    // Slope i/512 -> half its angle in 4096 units; the 45-degree entry (256) is kept to a byte.
    std::vector<int32_t> atan;
    for (int i = 0; i <= 512; ++i)
        atan.push_back(std::min(255, int(std::lround(std::atan(i / 512.0) * 1024 / M_PI))));
    put(folder, PACK_DATA1, 0, formats::arrays::Bytes(atan));
    // A quarter wave of 1025 entries, 4096 = 1.
    std::vector<int32_t> quarter;
    for (int i = 0; i <= 1024; ++i)
        quarter.push_back(int32_t(std::lround(4096 * std::cos(i * 2 * M_PI / 4096))));
    put(folder, PACK_DATA1, 1, formats::arrays::Shorts(quarter));
}

}  // namespace qdata
