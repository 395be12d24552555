// The level pack's tables: byte 0 chooses the item. 0: the tuning tables (typed records of int16
// values) and the secret-level index made from them; 1: the brick templates; 2: a typed array
// (the math tables' format). Every row of every table is read to its stated length.

#include "fuzz/FuzzTarget.h"
#include "fuzz/support/FuzzReaders.h"

#include "framework/TypedArray.h"
#include "framework/ViDuz.h"
#include "game/CAIGame.h"
#include "tools/formats/GlobalTablesWriter.h"
#include "tools/formats/TypedArrayWriter.h"

#include <cstdlib>

namespace {

template <typename T>
void useRows(const CDataArray<CDataArray<T>>& table) {
    if (table.length < 0 || (table.length > 0 && !table.data)) std::abort();
    for (int r = 0; r < table.length; ++r) {
        const CDataArray<T>& row = table.data[r];
        if (row.length < 0 || (row.length > 0 && !row.data)) std::abort();
        fuzz::sum(row.data, sizeof(T) * size_t(row.length));
    }
}

void typedArray(const uint8_t* data, size_t size) {
    STypedArray array;
    if (!ParseTypedArray(data, size, array)) return;
    if (array.count < 0 || array.values.size() != size_t(array.count)) std::abort();
    void* elements = NewTypedArrayElements(array);
    const size_t width = array.kind == 0 ? 1 : array.kind == 1 ? 2 : 4;
    if (elements) fuzz::sum(elements, width * array.values.size());
    switch (array.kind) {
    case 0: delete[] static_cast<unsigned char*>(elements); break;
    case 1: delete[] static_cast<short*>(elements); break;
    default: delete[] static_cast<int*>(elements); break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    switch (data[0] % 3) {
    case 0:
        fuzz::openPackItem("16", 1, data + 1, size - 1);
        CAIGame::LoadGlobals();
        CAIGame::InitSecretLevels();
        for (const auto* table : {&CAIGame::_bricks_stats, &CAIGame::_items_stats, &CAIGame::_location_stats,
                                  &CAIGame::_materials_stats, &CAIGame::_shop_stats, &CAIGame::_secret_levels_stats,
                                  &CAIGame::s_secretLevels, &CAIGame::s_extraLevelsIdPerLocalization})
            useRows(*table);
        break;
    case 1:
        fuzz::openPackItem("16", 110, data + 1, size - 1);
        CAIGame::LoadMasksAndTemplate();
        useRows(CAIGame::_template);
        break;
    default:
        typedArray(data + 1, size - 1);
        return 0;
    }
    ViDuz::Pack_Close();
    return 0;
}

std::vector<std::string> fuzz::seeds() {
    namespace g = formats::globals;
    g::Record nine{9, {7, 7, 7}};
    nine.extra[0] = 3;
    const std::vector<uint8_t> tables = g::Write({{3, {1, 2, 3, 4, 5}}, {2, {0, 3, 14, 1}}, nine, {15, {2, 4}},
                                                  {15, {0, 1, 1}}, {13, {0, 2}}, {200, {9}}});
    const std::vector<uint8_t> templates = g::Templates({{1, -1, 2}, {3, 4, -1}});
    std::vector<std::string> all = {'\0' + std::string(tables.begin(), tables.end()),
                                    '\1' + std::string(templates.begin(), templates.end())};
    for (const auto& array : {formats::arrays::Bytes({1, 2, 250}), formats::arrays::Shorts({-40, 4096, 7}),
                              formats::arrays::Ints({1 << 20, -3})})
        all.push_back('\2' + std::string(array.begin(), array.end()));
    return all;
}
