// Number, money and time texts in the languages' own conventions.
#include <gtest/gtest.h>

#include <string>

#include "tests/game/GameTestSupport.h"

namespace {

enum { EN, FR, DE, IT, SP, CN, JP, KO, BR };

std::wstring Number(long long value, int language, bool money = false)
{
    wchar_t out[64];
    std::fill(std::begin(out), std::end(out), L'#');
    CAIGame::Text_FormatNumber(value, language, out, money);
    return out;
}

std::wstring Money(long long value, int language)
{
    CAIGame::s_gameLanguage = language;
    wchar_t out[64];
    std::fill(std::begin(out), std::end(out), L'#');
    CAIGame::GetMoneyString(value, out);
    return out;
}

TEST(NumberText, GroupsBySeparatorOfTheLanguage)
{
    const struct {
        long long value;
        int language;
        const wchar_t* want;
    } rows[] = {
        {0, EN, L"0"},
        {999, EN, L"999"},
        {1000, EN, L"1,000"},
        {1000, FR, L"1000"},
        {1000, SP, L"1000"},
        {1000, DE, L"1.000"},
        {1000, IT, L"1.000"},
        {1000, BR, L"1.000"},
        {1000, JP, L"1,000"},
        {10000, FR, L"10 000"},
        {1002003, EN, L"1,002,003"},
        {1000000, EN, L"1,000,000"},
        {1234567, SP, L"1 234 567"},
        {1000, 9, L"1000"},   // no such language: no separator
        {9999999999999LL, EN, L"9,999,999,999,999"},
        {-1500, EN, L"-1,500"},
        {-1500, FR, L"- 1500"},
        {-1500, SP, L"- 1500"},
        {-1500, DE, L"-1.500"},
        {-12, KO, L"-12"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.value);
        SCOPED_TRACE(row.language);
        EXPECT_EQ(Number(row.value, row.language), row.want);
    }
    // The most negative value still has its digits.
    EXPECT_EQ(Number(-9223372036854775807LL - 1, EN), L"-9,223,372,036,854,775,808");
}

TEST(NumberText, MoneyInEveryLanguage)
{
    const struct {
        long long value;
        int language;
        const wchar_t* want;
    } rows[] = {
        {-1500, EN, L"- $1,500"},
        {-1500, BR, L"-$1.500"},
        {-1500, FR, L"- 1500 $"},
        {-1500, DE, L"-1.500 $"},
        {-1500, IT, L"-1.500 $"},
        {-1500, JP, L"$-1,500"},
        {-1500, CN, L"$-1,500"},
        {-1500, SP, L"- $1500"},
        {1500, EN, L"$1,500"},
        {1500, BR, L"$1.500"},
        {25000, FR, L"25 000 $"},
        {9999999999999LL, EN, L"$9,999,999,999,999"},   // the score cap, beyond 32 bits
        {5, 9, L""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.value);
        SCOPED_TRACE(row.language);
        EXPECT_EQ(Money(row.value, row.language), row.want);
    }
    CAIGame::s_gameLanguage = EN;
}

TEST(NumberText, TimeTexts)
{
    const struct {
        long long ms;
        bool shortForm;
        const wchar_t* want;
    } rows[] = {
        {59999, true, L"0:59"},
        {59999, false, L"00:59"},
        {60000, true, L"01:00"},
        {3600000, true, L"01:00:00"},
        {3599999, false, L"59:59"},
        {(1LL << 32) + 61000, true, L"01:01"},   // the low 32 bits count
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.ms);
        wchar_t out[32];
        CAIGame::ConvertTime(row.ms, row.shortForm, out);
        EXPECT_EQ(std::wstring(out), row.want);
        const std::wstring narrow(row.want);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(CAIGame::ConvertTimeChars(row.ms, row.shortForm))),
                  std::string(narrow.begin(), narrow.end()));
    }
}

}  // namespace
