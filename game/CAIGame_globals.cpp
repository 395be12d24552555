// The tuning tables, brick masks and brick templates of the level pack.
#include "game/CAIGame.h"
#include "framework/ViDuz.h"

#include <cstdio>
#include <vector>

namespace {

using Table = CDataArray<CDataArray<int32_t>>;

constexpr int kTypes = 16;
constexpr int kStoryLevels = 91;
constexpr int kLevelsPerLocation = 13;
constexpr int kLocations = 7;

Table* keptTable(int type)
{
    switch (type) {
    case 2: return &CAIGame::_bricks_stats;
    case 3: return &CAIGame::_items_stats;
    case 6: return &CAIGame::_location_stats;
    case 13: return &CAIGame::_materials_stats;
    case 14: return &CAIGame::_shop_stats;
    case 15: return &CAIGame::_secret_levels_stats;
    default: return nullptr;
    }
}

// Walks the records; visit(type, n, offset of the first value) for each whole one. A record
// cut by the item's end is dropped with everything after it.
template <class Visit>
void walkRecords(const unsigned char* bytes, int size, Visit visit)
{
    int pos = 0;
    while (pos < size) {
        const int type = bytes[pos];
        const int head = type == 9 ? 6 : 2;
        if (pos + head > size)
            break;
        const int n = bytes[pos + head - 1];
        if (pos + head + 2 * n > size)
            break;
        visit(type, n, pos + head);
        pos += head + 2 * n;
    }
}

void freeTable(Table& table)
{
    delete[] table.data;
    table.data = nullptr;
    table.length = 0;
}

}  // namespace

void CAIGame::LoadGlobals()
{
    CDataArray<unsigned char> item;
    ViDuz::Pack_ReadData(1, item);
    const unsigned char* bytes = item.data;
    const int size = item.length;

    int rows[kTypes] = {};
    int width[kTypes] = {};
    walkRecords(bytes, size, [&](int type, int n, int) {
        // Types past the per-type table carry nothing the game reads.
        if (type >= kTypes)
            return;
        ++rows[type];
        if (n > width[type])
            width[type] = n;
    });
    for (int type = 0; type < kTypes; ++type) {
        Table* table = keptTable(type);
        if (!table)
            continue;
        freeTable(*table);
        table->NewArray(rows[type]);
        for (int r = 0; r < rows[type]; ++r)
            table->data[r].NewArray(width[type]);
    }
    int filled[kTypes] = {};
    walkRecords(bytes, size, [&](int type, int n, int at) {
        Table* table = type < kTypes ? keptTable(type) : nullptr;
        if (!table)
            return;
        CDataArray<int32_t>& row = table->data[filled[type]++];
        for (int i = 0; i < n; ++i)
            row.data[i] = ViDuz::Mem_GetShort(bytes, at + 2 * i);
    });
}

void CAIGame::LoadMasksAndTemplate()
{
    ViDuz::Pack_ReadData(0, _group_masks);

    delete[] _template.data;
    _template.data = nullptr;
    _template.length = 0;
    CDataArray<unsigned char> item;
    if (!ViDuz::Pack_ReadData(110, item) || item.length < 2)
        return;
    const int columns = item.data[0];
    const int rows = item.data[1];
    if (item.length < 5 + 2 * columns * rows) {
        std::fprintf(stderr, "brick templates: %d bytes, %d x %d values need %d\n", item.length, columns, rows,
                     5 + 2 * columns * rows);
        return;
    }
    _template.NewArray(columns);
    for (int k = 0; k < columns; ++k) {
        _template.data[k].NewArray(rows);
        for (int j = 0; j < rows; ++j)
            _template.data[k].data[j] = int16_t(ViDuz::Mem_GetShort(item.data, 5 + 2 * (j * columns + k)) + 1);
    }
}

void CAIGame::InitSecretLevels()
{
    s_extraLevelsIdPerLocalization.NewArray(kLocations);
    for (int l = 0; l < kLocations; ++l) {
        s_extraLevelsIdPerLocalization.data[l].NewArray(2);
        s_extraLevelsIdPerLocalization.data[l].data[0] = -1;
        s_extraLevelsIdPerLocalization.data[l].data[1] = -1;
    }
    s_secretLevels.NewArray(kStoryLevels);
    const Table& stats = _secret_levels_stats;
    for (int i = 0; i < kStoryLevels; ++i) {
        const int location = i / kLevelsPerLocation;
        const int level = i % kLevelsPerLocation;
        std::vector<int> found;
        for (int k = 0; k < stats.length; ++k)
            if (stats.data[k].length >= 2 && stats.data[k].data[0] == location && stats.data[k].data[1] == level)
                found.push_back(k);
        s_secretLevels.data[i].NewArray(int(found.size()));
        for (size_t f = 0; f < found.size(); ++f) {
            s_secretLevels.data[i].data[f] = found[f];
            int32_t* pair = s_extraLevelsIdPerLocalization.data[location].data;
            if (pair[0] == -1)
                pair[0] = found[f];
            else if (pair[1] == -1)
                pair[1] = found[f];
        }
    }
}
