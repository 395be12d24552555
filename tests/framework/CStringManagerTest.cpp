#include "framework/CStringManager.h"
#include "framework/GlyphTables.h"
#include "tests/framework/DataDir.h"
#include "tests/framework/GameStub.h"
#include "tools/formats/LangWriter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lang = formats::lang;

namespace {

std::u32string text(const wchar_t* s) { return std::u32string(s, s + std::wcslen(s)); }

// A small table whose string n is "s<n>".
std::vector<std::u32string> numbered()
{
    std::vector<std::u32string> v;
    for (int i = 0; i < SMALL_STRING_COUNT; ++i) {
        const std::string s = "s" + std::to_string(i);
        v.emplace_back(s.begin(), s.end());
    }
    return v;
}

}  // namespace

TEST(CStringManager, IdsAndTheirTables)
{
    test::DataDir data;
    test::GameStub game;
    data.put(SMALL_FONT_STRING_FILES[0], lang::Write(numbered(), 0));
    CStringManager m;
    m.LoadString(0);
    const struct { int id; std::u32string expect; } kIds[] = {
        {0, U"s0"}, {202, U"s202"}, {2049, U"s202"}, {1213, U"s1213"}, {3060, U"s1213"},
        {1214, U""}, {2048, U""}, {3061, U""}, {-1, U""},
    };
    for (const auto& c : kIds) {
        SCOPED_TRACE(c.id);
        ASSERT_NE(m.GetString(c.id), nullptr);
        EXPECT_EQ(text(m.GetString(c.id)), c.expect);
    }
    // A language whose file is missing answers empty texts.
    m.SetLanguage(3);
    m.LoadString(3);
    EXPECT_EQ(text(m.GetString(5)), U"");
}

TEST(CStringManager, DecodesUtf8AndPadsToFour)
{
    const std::vector<std::string> strings = {"", "abc", "abcd", "\xC3\xA9", "\xE2\x80\xA6!", "x"};
    const std::vector<uint8_t> file = lang::WriteBytes(strings);
    EXPECT_EQ(file.size(), 4u + 4 + 4 + 8 + 4 + 8 + 4);   // 0-, 3- and 4-byte strings take 4, 4 and 8
    wchar_t* table[6] = {};
    CStringManager::DecodeTable(file.data(), file.size(), table, 6, 0);
    const std::u32string expect[] = {U"", U"abc", U"abcd", U"\u00E9", U"\u2026!", U"x"};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        ASSERT_NE(table[i], nullptr);
        EXPECT_EQ(text(table[i]), expect[i]);
        delete[] table[i];
    }
}

TEST(CStringManager, CutTablesLoadWithoutOverreading)
{
    // A lead byte whose sequence the terminator or the file cuts ends its string there.
    const std::vector<uint8_t> full = lang::WriteBytes({"ab", "\xE2\x80", "\xC3", "zz\xE2\x80\xA6"});
    for (size_t n = 4; n <= full.size(); ++n) {
        SCOPED_TRACE(n);
        // Copied into a block of exactly n bytes, so a read past it is caught by the sanitizers.
        std::vector<uint8_t> cut(full.begin(), full.begin() + n);
        wchar_t* table[4] = {};
        CStringManager::DecodeTable(cut.data(), cut.size(), table, 4, 0);
        if (table[1]) { EXPECT_EQ(text(table[1]), U""); }
        if (table[2]) { EXPECT_EQ(text(table[2]), U""); }
        if (table[3]) {
            const std::u32string t = text(table[3]);
            EXPECT_TRUE(t == U"zz\u2026" || t == U"zz" || t == U"z" || t.empty()) << n;
        }
        for (wchar_t* s : table)
            delete[] s;
    }
    // The whole file: every string, the cut ones empty.
    wchar_t* table[4] = {};
    CStringManager::DecodeTable(full.data(), full.size(), table, 4, 0);
    EXPECT_EQ(text(table[0]), U"ab");
    EXPECT_EQ(text(table[3]), U"zz\u2026");
    for (wchar_t* s : table)
        delete[] s;
}

TEST(CStringManager, WideTablesAndGlyphIndices)
{
    test::DataDir data;
    test::GameStub game;
    std::vector<std::u32string> strings(SMALL_STRING_COUNT, U"");
    strings[7] = U"A\u6E38\u620F";   // "A" and two ideographs
    data.put(SMALL_FONT_STRING_FILES[5], lang::Write(strings, 5));
    data.put(BIG_FONT_STRING_FILES[5], lang::Write(std::vector<std::u32string>(BIG_STRING_COUNT, U"1"), 5));
    CStringManager m;
    m.SetLanguage(5);
    m.LoadString(5);
    const wchar_t* s = m.GetString(7);
    ASSERT_EQ(std::wcslen(s), 3u);
    EXPECT_EQ(s[0], BinarySearch(charMappingCN, 962, 'A'));
    EXPECT_EQ(charMappingCN[s[1] - 1].codePoint, 0x6E38);
    EXPECT_EQ(charMappingCN[s[2] - 1].codePoint, 0x620F);

    wchar_t plain[] = L"AB";
    m.ChangeWCharToIndex(plain, 0, 2);
    EXPECT_EQ(plain[0], charMappingCN[BinarySearch(charMappingCN, 962, 'A') - 1].index);
    EXPECT_EQ(m.GetIndexFromWChar(L' '), 1);
    game.westDigits = true;
    EXPECT_EQ(m.GetIndexFromWChar(L' '), -1);
    game.westDigits = false;

    // Large style: a glyph the large sheet lacks ends the text there.
    const int lacking = BinarySearch(charMappingCN, 962, 0x4E0D);   // not in the large sheet
    ASSERT_GT(lacking, 0);
    ASSERT_EQ(BinarySearch(charMappingCNBIG, 125, 0x4E0D), -1);
    const wchar_t src[] = {wchar_t(BinarySearch(charMappingCN, 962, '0')), wchar_t(lacking),
                           wchar_t(BinarySearch(charMappingCN, 962, '1')), 0};
    wchar_t dst[128] = {};
    m.MappingSmallFontToLarge(src, dst);
    EXPECT_EQ(dst[0], BinarySearch(charMappingCNBIG, 125, '0'));
    EXPECT_EQ(dst[1], 0);
}

TEST(GlyphTables, SizesBoundsAndOrder)
{
    const struct { const char* name; const SGlyphMapping* t; int n; int c1, c2, c3, last; const SGlyphMapping* small; int smallN; } kTables[] = {
        {"CN", charMappingCN, 962, 0x20, 0x21, 0x23, 0xFF5C, nullptr, 0},
        {"JP", charMappingJP, 670, 0x20, 0x21, 0x23, 0xFF9D, nullptr, 0},
        {"KO", charMappingKO, 674, 0x20, 0x21, 0x23, 0xD798, nullptr, 0},
        {"CNBIG", charMappingCNBIG, 125, 0x20, 0x2C, 0x30, 0xFF01, charMappingCN, 962},
        {"JPBIG", charMappingJPBIG, 119, 0x20, 0x21, 0x2C, 0xFF01, charMappingJP, 670},
        {"KOBIG", charMappingKOBIG, 119, 0x20, 0x21, 0x2C, 0xD761, charMappingKO, 674},
    };
    for (const auto& c : kTables) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.t[0].codePoint, c.c1);
        EXPECT_EQ(c.t[1].codePoint, c.c2);
        EXPECT_EQ(c.t[2].codePoint, c.c3);
        EXPECT_EQ(c.t[c.n - 1].codePoint, c.last);
        for (int i = 0; i < c.n; ++i) {
            ASSERT_EQ(c.t[i].index, i + 1);
            if (i) {
                ASSERT_LT(c.t[i - 1].codePoint, c.t[i].codePoint);
            }
            if (c.small) {
                ASSERT_GT(BinarySearch(c.small, c.smallN, c.t[i].codePoint), 0) << i;
            }
        }
    }
}
