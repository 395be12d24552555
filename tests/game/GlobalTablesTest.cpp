// The level pack's tuning tables, brick masks and templates, and the secret-level index.
#include "framework/ViDuz.h"
#include "tests/framework/DataDir.h"
#include "tests/game/GameTestSupport.h"
#include "tools/formats/GlobalTablesWriter.h"
#include "tools/formats/PackFolderWriter.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using formats::globals::Record;
using Rows = std::vector<std::vector<int>>;

Rows rows(const CDataArray<CDataArray<int32_t>>& table)
{
    Rows out;
    for (int r = 0; r < table.length; ++r)
        out.emplace_back(table.data[r].data, table.data[r].data + table.data[r].length);
    return out;
}

struct GlobalTables : ::testing::Test {
    GlobalTables() { ViDuz::Pack_Close(); }
    ~GlobalTables() override { ViDuz::Pack_Close(); }
    void load(const std::vector<uint8_t>& bytes)
    {
        ASSERT_TRUE(formats::packs::WriteItem(data.root(), "16", 1, bytes));
        ViDuz::Pack_Open("16");
        CAIGame::LoadGlobals();
        ViDuz::Pack_Close();
    }
    test::GameFixture f;
    test::DataDir data;
};

TEST_F(GlobalTables, RecordsFillTheirTablesPaddedToTheWidestRow)
{
    Record skipped9{9, {7, 7, 7}};
    skipped9.extra[0] = 3;
    skipped9.extra[1] = -1;
    load(formats::globals::Write({
        {3, {1, 2, 3, 4, 5}},
        {2, {0, 3, 14, 1, 0, 30, 2, 1}},
        skipped9,                                  // 12 bytes stepped over
        {3, {6, 7, 8, 9, 10, 11, 12, int16_t(-1)}},
        {7, {1}},
        {200, {9, 9}},                             // past the per-type table: stepped over
        {6, {0, 0, 0, 3, 4, 5}},
        {13, {0, 2}},
        {14, {0, 0, 3, 1, 2, 4, 0, 5, 10}},
        {15, {2, 4}},
        {15, {2, 9, 1}},
    }));
    EXPECT_EQ(rows(CAIGame::_items_stats), (Rows{{1, 2, 3, 4, 5, 0, 0, 0}, {6, 7, 8, 9, 10, 11, 12, -1}}));
    EXPECT_EQ(rows(CAIGame::_bricks_stats), (Rows{{0, 3, 14, 1, 0, 30, 2, 1}}));
    EXPECT_EQ(rows(CAIGame::_location_stats), (Rows{{0, 0, 0, 3, 4, 5}}));
    EXPECT_EQ(rows(CAIGame::_materials_stats), (Rows{{0, 2}}));
    EXPECT_EQ(rows(CAIGame::_shop_stats), (Rows{{0, 0, 3, 1, 2, 4, 0, 5, 10}}));
    EXPECT_EQ(rows(CAIGame::_secret_levels_stats), (Rows{{2, 4, 0}, {2, 9, 1}}));
}

TEST_F(GlobalTables, CutRecordsAreDroppedAndReloadsReplace)
{
    Record cut{3, {1, 2}};
    cut.n = 3;
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        Rows items;
    } cases[] = {
        {"values cut", formats::globals::Write({{3, {4}}, cut}), {{4}}},
        {"head cut", [] {
             auto b = formats::globals::Write({{3, {4, 5}}});
             b.push_back(3);
             return b;
         }(), {{4, 5}}},
        {"type 9 head cut", [] {
             auto b = formats::globals::Write({{3, {4}}});
             b.insert(b.end(), {9, 1, 2, 3});
             return b;
         }(), {{4}}},
        {"empty", {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        load(c.bytes);
        EXPECT_EQ(rows(CAIGame::_items_stats), c.items);
        EXPECT_EQ(CAIGame::_bricks_stats.length, 0);
    }
}

TEST_F(GlobalTables, MasksAndTemplates)
{
    const std::vector<uint8_t> masks = {formats::globals::MaskByte(3, 14), 0x12, 0xF0};
    EXPECT_EQ(masks[0], 0xE3);
    ASSERT_TRUE(formats::packs::WriteItem(data.root(), "16", 0, masks));
    ASSERT_TRUE(formats::packs::WriteItem(data.root(), "16", 110,
                                          formats::globals::Templates({{-1, 0, 5}, {2, -1, 300}})));
    ViDuz::Pack_Open("16");
    CAIGame::LoadMasksAndTemplate();
    EXPECT_EQ(std::vector<uint8_t>(CAIGame::_group_masks.data, CAIGame::_group_masks.data + CAIGame::_group_masks.length),
              masks);
    ASSERT_EQ(CAIGame::_template.length, 2);
    const std::vector<std::vector<int>> want = {{0, 1, 6}, {3, 0, 301}};
    for (int k = 0; k < 2; ++k) {
        ASSERT_EQ(CAIGame::_template.data[k].length, 3);
        EXPECT_EQ(std::vector<int>(CAIGame::_template.data[k].data, CAIGame::_template.data[k].data + 3), want[size_t(k)]);
    }

    // A template item shorter than its sizes say leaves no template.
    auto shortItem = formats::globals::Templates({{1, 2}, {3, 4}});
    shortItem.pop_back();
    ASSERT_TRUE(formats::packs::WriteItem(data.root(), "16", 110, shortItem));
    CAIGame::LoadMasksAndTemplate();
    EXPECT_EQ(CAIGame::_template.length, 0);
    ViDuz::Pack_Close();
}

TEST_F(GlobalTables, SecretLevelIndex)
{
    load(formats::globals::Write({
        {15, {0, 3}}, {15, {6, 12}}, {15, {0, 3}}, {15, {0, 7}}, {15, {9, 0}}, {15, {1, 0}},
    }));
    CAIGame::InitSecretLevels();
    ASSERT_EQ(CAIGame::s_secretLevels.length, 91);
    Rows want(91);
    want[3] = {0, 2};
    want[7] = {3};
    want[13] = {5};
    want[90] = {1};
    EXPECT_EQ(rows(CAIGame::s_secretLevels), want);
    // Location 0 has three rows: the first two are kept.
    EXPECT_EQ(rows(CAIGame::s_extraLevelsIdPerLocalization),
              (Rows{{0, 2}, {5, -1}, {-1, -1}, {-1, -1}, {-1, -1}, {-1, -1}, {1, -1}}));
}

}  // namespace
