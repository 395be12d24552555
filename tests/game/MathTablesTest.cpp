// The math tables of the boot loading: the framework's cosine from pack "1" and the game's
// cosine and arctangent tables from pack "6", each taken only when the file holds elements of
// the kind its reader indexes and enough of them.
#include "framework/FixedPointMath.h"
#include "framework/ViDuz.h"
#include "tests/framework/DataDir.h"
#include "tests/game/GameTestSupport.h"
#include "tools/formats/PackFolderWriter.h"
#include "tools/formats/TypedArrayWriter.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

namespace arrays = formats::arrays;
using Values = std::vector<int32_t>;

Values ramp(int count, int from)
{
    Values v;
    for (int i = 0; i < count; ++i)
        v.push_back(from + i % 100);
    return v;
}

struct MathTables : ::testing::Test {
    MathTables() { ViDuz::Pack_Close(); }
    ~MathTables() override
    {
        Math_SetCosTable(nullptr, 0);
        ViDuz::Pack_Close();
    }
    test::GameFixture f;
};

TEST_F(MathTables, FrameworkCosineOnlyFromThirtyTwoBitElements)
{
    const int computedAt0 = Math_Cos(0), computedAt10 = Math_Cos(10);
    const struct {
        const char* why;
        std::vector<uint8_t> file;   // empty: the item is missing
        bool taken;
    } rows[] = {
        {"32-bit elements", arrays::Ints(ramp(65, 200)), true},
        {"more than a quarter turn", arrays::Ints(ramp(70, 200)), true},
        {"16-bit elements would be overread", arrays::Shorts(ramp(65, 200)), false},
        {"bytes", arrays::Bytes(ramp(65, 100)), false},
        {"short of a quarter turn", arrays::Ints(ramp(64, 200)), false},
        {"cut file", arrays::Write(arrays::Header(2, 2, false), ramp(65, 200), 90), false},
        {"missing", {}, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        test::DataDir data;
        if (!row.file.empty()) {
            ASSERT_TRUE(formats::packs::WriteItem(data.root(), "1", 0, row.file));
        }
        CAIGame::MathInit("1", 0);
        EXPECT_EQ(Math_Cos(0), row.taken ? 200 : computedAt0);
        EXPECT_EQ(Math_Cos(10), row.taken ? 210 : computedAt10);
    }
}

TEST_F(MathTables, GameTablesKeepTheirKindAndCount)
{
    const Values cosine = ramp(1025, -40), atan = ramp(513, 100);
    const struct {
        const char* why;
        std::vector<uint8_t> cosineFile, atanFile;
        bool cosineTaken, atanTaken;
    } rows[] = {
        {"as the reader indexes them", arrays::Shorts(cosine), arrays::Bytes(atan), true, true},
        {"kinds swapped", arrays::Bytes(ramp(1025, 0)), arrays::Shorts(atan), false, false},
        {"32-bit elements", arrays::Ints(cosine), arrays::Ints(atan), false, false},
        {"one element short", arrays::Shorts(ramp(1024, 0)), arrays::Bytes(ramp(512, 0)), false, false},
        {"missing", {}, {}, false, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        test::DataDir data;
        if (!row.cosineFile.empty()) {
            ASSERT_TRUE(formats::packs::WriteItem(data.root(), "6", 1, row.cosineFile));
        }
        if (!row.atanFile.empty()) {
            ASSERT_TRUE(formats::packs::WriteItem(data.root(), "6", 0, row.atanFile));
        }
        CAIGame::LoadAndInitMathData();
        ASSERT_EQ(CAIGame::m_cosinusArray != nullptr, row.cosineTaken);
        ASSERT_EQ(CAIGame::s_atanTable != nullptr, row.atanTaken);
        if (row.cosineTaken) {
            EXPECT_EQ(Values(CAIGame::m_cosinusArray, CAIGame::m_cosinusArray + 1025), cosine);
        }
        if (row.atanTaken) {
            EXPECT_EQ(Values(CAIGame::s_atanTable, CAIGame::s_atanTable + 513), atan);
        }
    }
}

}  // namespace
