#include "Globals.h"

#include "tools/formats/GlobalTablesWriter.h"
#include "tools/formats/PackFolderWriter.h"

namespace qdata {

namespace {

using formats::globals::Record;

// Brick type r: colour key r % 12, shape key r / 12, so each has its own mask byte (tile r).
constexpr int kBrickTypes = 147;
constexpr int kColours = 12;
constexpr int kItems = 60;
constexpr int kMaterials = 17;
constexpr int kLocations = 7;
constexpr int kShopUpgrades = 14;
constexpr int kSecretLevels = 14;

void put(DataFolder& folder, int row, const std::vector<uint8_t>& bytes)
{
    folder.put(formats::packs::ItemPath("16", row), std::string(bytes.begin(), bytes.end()));
}

std::vector<Record> tables()
{
    std::vector<Record> out;
    for (int r = 0; r < kBrickTypes; ++r) {
        // Types 123-146 are the arcs; the first materials are the ordinary ones.
        const int16_t property = r >= 123 ? 30 : 0;
        out.push_back({2, {int16_t(r), int16_t(r % kColours), int16_t(r / kColours), int16_t(r % kColours), 0,
                           property, 1, 1}});
    }
    for (int id = 1; id <= kItems; ++id)
        out.push_back({3, {int16_t(id), int16_t(id <= 20 ? 1 : 0), int16_t(id <= 51 ? 1 : 0)}});
    for (int l = 0; l < kLocations; ++l)
        out.push_back({6, {int16_t(l), 0, 0, int16_t(l), int16_t(l), int16_t(l)}});
    // 12 physical object, 13 puck, 14 spacer, 16 nothing.
    for (int m = 0; m < kMaterials; ++m)
        out.push_back({13, {int16_t(m), int16_t(m < 12 ? 1 + m % 3 : 0), 0, 0, int16_t(m < 12 ? 1 : 0)}});
    for (int u = 0; u < kShopUpgrades; ++u)
        out.push_back({14, {int16_t(u), 0, 3, int16_t(1 + u % 3), int16_t(3 + u % 3), int16_t(6 + u % 3), 0,
                            int16_t(5 + u), int16_t(10 + u)}});
    // Two secret levels a location, behind its fourth and ninth levels.
    for (int s = 0; s < kSecretLevels; ++s)
        out.push_back({15, {int16_t(s / 2), int16_t(s % 2 ? 8 : 3), int16_t(91 + s), 0}});
    return out;
}

std::vector<uint8_t> masks()
{
    std::vector<uint8_t> out;
    for (int t = 0; t < kBrickTypes; ++t)
        out.push_back(formats::globals::MaskByte(t % kColours, t / kColours));
    return out;
}

// Four templates of three rows: a plain brick, a wide one and two empty cells.
std::vector<uint8_t> templates()
{
    return formats::globals::Templates({{0, 1, 2}, {12, 13, -1}, {24, -1, -1}, {3, 15, 27}});
}

}  // namespace

void addGlobals(DataFolder& folder)
{
    put(folder, 0, masks());
    put(folder, 1, formats::globals::Write(tables()));
    put(folder, 110, templates());
}

}  // namespace qdata
