#include "framework/WideFormat.h"
#include "framework/WideString.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(WideFormat, Directives)
{
    wchar_t out[64];
    const struct {
        const char* what;
        const wchar_t* format;
        int value;
        const wchar_t* expected;
    } kCases[] = {
        {"zero fill", L"%03d", 7, L"007"},
        {"wider number", L"%03d", 1234, L"1234"},
        {"zeros before minus", L"%04d", -5, L"00-5"},
        {"plain", L"n=%d!", -12, L"n=-12!"},
        {"unknown directive dropped", L"A%xB", 0, L"AB"},
        {"zero without width dropped", L"A%0xB", 0, L"AB"},
        {"trailing percent", L"A%", 0, L"A"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        WSPRINTFW(out, c.format, c.value);
        EXPECT_EQ(std::wstring(out), c.expected);
    }
    WSPRINTFW(out, L"[%s|%w|%d]", L"ab", L"cd", 3);
    EXPECT_EQ(std::wstring(out), L"[ab|cd|3]");
}

namespace {
// Glyph index of a character: its code + 1000, so converted text stands out.
struct SGlyphs : IWideFormatGlyphs {
    bool IsWCharLanguage() override { return true; }
    wchar_t GetIndexFromWChar(wchar_t c) override { return c + 1000; }
    wchar_t ChangeWCharToIndex(wchar_t c) override { return c + 1000; }
    bool IsChangeWCharToIndex() override { return change; }
    void ResetFontID() override { ++resets; }
    void SetIsChangeWCharToIndex(bool on) override { change = on; }
    bool change = false;
    int resets = 0;
};
} // namespace

TEST(WideFormat, IndexedLanguagesTakeDirectivesAsGlyphsAndConvertWhatTheyAdd)
{
    SGlyphs g;
    SetWideFormatGlyphs(&g);
    const wchar_t format[] = {L'A', 1000 + L'%', 1000 + L'0', 1000 + L'2', 1000 + L'd', L'%', L's', L'%', L'w', 0};
    const wchar_t glyphText[] = {5, 6, 0};
    wchar_t out[32];
    WSPRINTFW(out, format, 7, glyphText, L"xy");
    const wchar_t expected[] = {L'A', 1000 + L'0', 1000 + L'7', 5, 6, 1000 + L'x', 1000 + L'y', 0};
    EXPECT_EQ(std::wstring(out), std::wstring(expected));   // 'A' kept: the switch was off
    EXPECT_TRUE(g.change);                                   // and is on again after
    EXPECT_EQ(g.resets, 1);

    WSPRINTFW(out, L"B");
    EXPECT_EQ(out[0], 1000 + L'B');
    SetWideFormatGlyphs(nullptr);
}

TEST(WideString, CopiesAndWidening)
{
    wchar_t w[16];
    droid_wcscpy(w, L"ab");
    droid_wcscat(w, L"cd");
    EXPECT_EQ(std::wstring(w), L"abcd");
    EXPECT_EQ(droid_wcslen(w), 4);
    EXPECT_EQ(droid_wcscpy(nullptr, L"x"), nullptr);

    char n[8];
    std::memset(n, 'Z', sizeof n);
    EXPECT_EQ(droid_wcstombs(n, L"abcd", 4), 4);
    EXPECT_EQ(n[4], 'Z');   // exactly n units: no terminator
    EXPECT_EQ(droid_wcstombs(n, L"ab", 4), 2);
    EXPECT_STREQ(n, "ab");

    wchar_t wide[8];
    EXPECT_EQ(droid_mbstowcs(wide, "\xE9x", 8), 2);
    EXPECT_EQ(wide[0], -23);   // sign-extended
    EXPECT_EQ(wide[2], 0);
    EXPECT_EQ(droid_mbstowcs(wide, "abc", 0), 0);

    wchar_t f[16];
    EXPECT_EQ(droid_swprintf(f, 6, "%d-%s", 42, "long"), 5);   // the scratch holds 5 bytes and a 0
    EXPECT_EQ(std::wstring(f), L"42-lo");
}
