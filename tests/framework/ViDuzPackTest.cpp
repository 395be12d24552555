#include "framework/ViDuz.h"
#include "tests/framework/DataDir.h"
#include "tests/framework/GameStub.h"
#include "tools/formats/PackFolderWriter.h"
#include "tools/formats/TypedArrayWriter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace arrays = formats::arrays;

namespace {

struct PackTest : ::testing::Test {
    PackTest() { ViDuz::Pack_Close(); }
    ~PackTest() override { ViDuz::Pack_Close(); }
    test::DataDir data;
    test::GameStub game;
};

// Reads row 0 of pack "1" (COS.ARRAY) after writing bytes there.
template <class T>
std::vector<int> readArray(const test::DataDir& data, const std::vector<uint8_t>& bytes, int* count)
{
    EXPECT_TRUE(formats::packs::WriteItem(data.root(), "1", 0, bytes));
    ViDuz::Pack_Open("1");
    void* out = reinterpret_cast<void*>(uintptr_t(1));  // poisoned: must be written
    *count = -7;
    ViDuz::Pack_ReadArray(0, &out, count);
    std::vector<int> values;
    for (int i = 0; i < *count; ++i)
        values.push_back(static_cast<T*>(out)[i]);
    delete[] static_cast<T*>(out);
    return values;
}

}  // namespace

TEST_F(PackTest, TypedArrayHeaders)
{
    int count = 0;
    // 0x19: kind 1, code 1, 16-bit count: signed 16-bit values.
    EXPECT_EQ(readArray<short>(data, arrays::Write(0x19, {-2, 300, 32767}), &count),
              (std::vector<int>{-2, 300, 32767}));
    // 0x01: unsigned bytes widened to 16 bits, 0xFF reads 255.
    EXPECT_EQ(readArray<short>(data, arrays::Write(0x01, {0xFF, 0, 7}), &count), (std::vector<int>{255, 0, 7}));
    // 0x12: 16-bit stored values sign-extended to 32 bits.
    EXPECT_EQ(readArray<int>(data, arrays::Write(0x12, {-1, -32768, 5}), &count),
              (std::vector<int>{-1, -32768, 5}));
    // 0x22: full 32-bit values.
    EXPECT_EQ(readArray<int>(data, arrays::Write(0x22, {-100000, 0x7fffffff}), &count),
              (std::vector<int>{-100000, 0x7fffffff}));
    // 0x08: raw bytes with a 16-bit count; the size code is ignored for kind 0.
    EXPECT_EQ(readArray<unsigned char>(data, arrays::Write(0x78, {1, 2, 250}), &count),
              (std::vector<int>{1, 2, 250}));
}

TEST_F(PackTest, TwoHundredElementsNeedTheWideCount)
{
    std::vector<int32_t> v;
    for (int i = 0; i < 200; ++i)
        v.push_back(i * 1000 - 50000);
    const std::vector<uint8_t> file = arrays::Ints(v);
    ASSERT_EQ(file[0] & 8, 8);
    int count = 0;
    EXPECT_EQ(readArray<int>(data, file, &count), std::vector<int>(v.begin(), v.end()));
    EXPECT_EQ(count, 200);
}

TEST_F(PackTest, RefusedArraysGiveNullAndZero)
{
    std::vector<int32_t> many(200, 1);
    const std::vector<uint8_t> full = arrays::Write(0x12, {1, 2, 3});
    const struct { const char* why; std::vector<uint8_t> bytes; } kCases[] = {
        {"empty file", {}},
        {"header only", {0x12}},
        {"8-bit count above 127 reads negative", arrays::Write(0x00, many)},
        {"negative 16-bit count", arrays::Write(0x09, {1}, -3)},
        {"kind 3", arrays::Write(0x13, {1, 2})},
        {"kind 7", arrays::Write(0x07, {1, 2})},
        {"one element short", std::vector<uint8_t>(full.begin(), full.end() - 1)},
        {"count past the end", arrays::Write(0x22, {1}, 100)},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        int count = 0;
        EXPECT_TRUE(readArray<int>(data, c.bytes, &count).empty());
        EXPECT_EQ(count, 0);
    }
    // A missing item sets the outputs too.
    ViDuz::Pack_Open("6");
    void* out = reinterpret_cast<void*>(uintptr_t(1));
    int count = 5;
    ViDuz::Pack_ReadArray(0, &out, &count);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(count, 0);
}

TEST_F(PackTest, OpeningAnotherPackFreesTheSharedBuffer)
{
    ASSERT_TRUE(formats::packs::WriteItem(data.root(), "9", 82, {1, 2, 3, 4}));
    ViDuz::Pack_Open("9");
    CDataArray<unsigned char>* buffer = ViDuz::Pack_ReadData(82);
    ASSERT_EQ(buffer->length, 4);
    ASSERT_NE(buffer->data, nullptr);
    EXPECT_EQ(buffer->data[3], 4);
    ViDuz::Pack_Open("15");
    EXPECT_EQ(ViDuz::m_ReadData.length, 0);
    EXPECT_EQ(ViDuz::m_ReadData.data, nullptr);
    EXPECT_STREQ(ViDuz::m_szCurrentOpenPackName, "15");

    // The caller's form keeps its copy across packs; a missing item empties it.
    ViDuz::Pack_Open("9");
    CDataArray<unsigned char> mine;
    EXPECT_TRUE(ViDuz::Pack_ReadData(82, mine));
    ViDuz::Pack_Open("15");
    EXPECT_EQ(mine.length, 4);
    EXPECT_FALSE(ViDuz::Pack_ReadData(0, mine));
    EXPECT_EQ(mine.length, 0);
}

TEST_F(PackTest, NamesAndLocationVariants)
{
    EXPECT_EQ(ViDuz::GetResourceNameFromDataID(0), nullptr);  // no pack open
    ViDuz::Pack_Open("16");
    EXPECT_STREQ(ViDuz::GetResourceNameFromDataID(109), "level92.bin");
    EXPECT_EQ(ViDuz::GetTextureNameFromDataID(109), nullptr);
    ViDuz::Pack_Open("5");
    EXPECT_EQ(ViDuz::GetResourceNameFromDataID(0), nullptr);

    const struct { const char* pack; int row; int location; const char* texture; } kCases[] = {
        {"9", 10, 2, "bricks_all_act3;bricks_all_light"},
        {"9", 12, 6, "bricks_all_act7"},
        {"9", 12, 0, "bricks_all_act1"},
        {"9", 12, 9, "bricks_all_act1"},
        {"9", 0, 2, "ball_all"},
        {"15", 26, 1, "UI_bar_2"},
        {"15", 26, 3, "UI_bar_4"},
        {"15", 26, 4, "UI_bar"},
        {"15", 26, 5, "UI_bar_6"},
        {"15", 26, 6, "UI_bar_7"},
        {"15", 26, 0, "UI_bar"},
        {"2", 5, 0, "font02"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.pack) + " " + std::to_string(c.row) + " @" + std::to_string(c.location));
        game.location = c.location;
        ViDuz::Pack_Open(c.pack);
        ASSERT_NE(ViDuz::GetTextureNameFromDataID(c.row), nullptr);
        EXPECT_STREQ(ViDuz::GetTextureNameFromDataID(c.row), c.texture);
    }
}

TEST(ViDuzBytes, ShortsLittleEndian)
{
    char buffer[4] = {};
    EXPECT_EQ(ViDuz::Mem_SetShort(buffer, 1, short(-2)), 3);
    EXPECT_EQ(uint8_t(buffer[1]), 0xFE);
    EXPECT_EQ(uint8_t(buffer[2]), 0xFF);
    EXPECT_EQ(ViDuz::Mem_GetShort(reinterpret_cast<unsigned char*>(buffer), 1), -2);
    const unsigned char positive[] = {0x34, 0x12};
    EXPECT_EQ(ViDuz::Mem_GetShort(positive, 0), 0x1234);
}
