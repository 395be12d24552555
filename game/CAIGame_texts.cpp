// Number, time and money texts of every screen, in the nine languages' conventions: digit groups
// with ",", "." or a space, the minus sign's place, and the dollar sign before or after.
// Built with WSPRINTFW so that in the glyph-index languages the digits become glyph indices too.
#include <cstdint>
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "framework/WideFormat.h"
#include "framework/WideString.h"
#include "game/CAIGame.h"

namespace {

const wchar_t* Separator(int language, uint64_t magnitude)
{
    switch (language) {
    case 0: case 5: case 6: case 7: return L",";
    case 2: case 3: case 8: return L".";
    case 1: case 4: return magnitude >= 10000 ? L" " : L"";
    default: return L"";
    }
}

// Two digits each, the tens digit taken mod 10 (as the clock shows them).
int Tens(int v) { return v / 10 % 10; }
int Ones(int v) { return v % 10; }

}  // namespace

void CAIGame::Text_FormatNumber(long long value, int language, wchar_t* out, unsigned char forMoney)
{
    if (!out)
        return;
    // The magnitude as unsigned, so the most negative value has one too.
    const uint64_t a = value < 0 ? 0 - uint64_t(value) : uint64_t(value);
    wchar_t digits[64];
    if (a < 1000) {
        WSPRINTFW(digits, L"%d", int(a));
    } else {
        const wchar_t* sep = Separator(language, a);
        wchar_t tail[64] = L"";
        wchar_t scratch[64];
        uint64_t rest = a;
        while (rest >= 1000) {
            const int group = int(rest % 1000);
            rest /= 1000;
            const wchar_t* format = group < 10 ? L"00%d%s" : group < 100 ? L"0%d%s" : L"%d%s";
            WSPRINTFW(scratch, format, group, tail);
            WSPRINTFW(tail, L"%s%s", sep, scratch);
        }
        WSPRINTFW(digits, L"%d%s", int(rest), tail);
    }
    if (value >= 0) {
        droid_wcscpy(out, digits);
        return;
    }
    bool spaced, signless = false;
    if (forMoney) {
        signless = language == 0 || language == 4 || language == 8;   // the money text adds it
        spaced = language == 1;
    } else {
        spaced = language == 1 || language == 4;
    }
    if (signless)
        droid_wcscpy(out, digits);
    else
        WSPRINTFW(out, spaced ? L"- %s" : L"-%s", digits);
}

void CAIGame::ConvertTime(long long ms, unsigned char shortForm, wchar_t* out)
{
    if (!out)
        return;
    const int32_t s = int32_t(uint32_t(uint64_t(ms))) / 1000;
    const int h = s / 3600, m = s % 3600 / 60, sec = s % 60;
    if (shortForm && h == 0 && m == 0)
        WSPRINTFW(out, L"0:%d%d", Tens(sec), Ones(sec));
    else if (h == 0)
        WSPRINTFW(out, L"%d%d:%d%d", Tens(m), Ones(m), Tens(sec), Ones(sec));
    else
        WSPRINTFW(out, L"%d%d:%d%d:%d%d", Tens(h), Ones(h), Tens(m), Ones(m), Tens(sec), Ones(sec));
}

uint8_t* CAIGame::ConvertTimeChars(long long ms, unsigned char shortForm)
{
    const int32_t s = int32_t(uint32_t(uint64_t(ms))) / 1000;
    const int h = s / 3600, m = s % 3600 / 60, sec = s % 60;
    char text[64];
    if (shortForm && h == 0 && m == 0)
        std::snprintf(text, sizeof text, "0:%d%d", Tens(sec), Ones(sec));
    else if (h == 0)
        std::snprintf(text, sizeof text, "%d%d:%d%d", Tens(m), Ones(m), Tens(sec), Ones(sec));
    else
        std::snprintf(text, sizeof text, "%d%d:%d%d:%d%d", Tens(h), Ones(h), Tens(m), Ones(m), Tens(sec), Ones(sec));
    const size_t n = std::min(std::strlen(text), sizeof(s_genericChars) - 1);   // the buffer holds "hh:mm:ss"
    std::memcpy(s_genericChars, text, n);
    s_genericChars[n] = 0;
    return s_genericChars;
}

void CAIGame::GetMoneyString(int value, wchar_t* out) { GetMoneyString((long long)value, out); }

void CAIGame::GetMoneyString(long long value, wchar_t* out)
{
    if (!out)
        return;
    out[0] = 0;
    wchar_t number[64];
    const int language = s_gameLanguage;
    Text_FormatNumber(value, language, number, 1);
    switch (language) {
    case 0:
    case 4: WSPRINTFW(out, value < 0 ? L"- $%s" : L"$%s", number); break;
    case 1:
    case 2:
    case 3: WSPRINTFW(out, L"%s $", number); break;
    case 5:
    case 6:
    case 7: WSPRINTFW(out, L"$%s", number); break;
    case 8: WSPRINTFW(out, value < 0 ? L"-$%s" : L"$%s", number); break;
    default: break;
    }
}
