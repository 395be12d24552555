// The engine's number parser: what it reads, where it stops, and long fractions.

#include <gtest/gtest.h>

#include "engine/core/fast_atof.h"

using pravik::core::fast_atof_move;

TEST(FastAtof, ReadsOneNumberAndStopsAfterIt)
{
    const struct {
        const char* text;
        float value;
        int used;
    } kCases[] = {
        {"3.25", 3.25f, 4},
        {"-7", -7.f, 2},
        {"0.5x", 0.5f, 3},
        {"1.5e3", 1500.f, 5},
        {"1.5e-2", 0.015f, 6},
        {"2e3", 2.f, 1},
        {"1.5e+3", 1.5f, 4},
        {".5", 0.5f, 2},
        {"-.5", -0.5f, 3},
        {"abc", 0.f, 0},
        {"-", -0.f, 1},
        {" 1", 0.f, 0},
        {"+1", 0.f, 0},
        {"12.", 12.f, 3},
        {"", 0.f, 0},
        // The integer part wraps at 32 bits, as stored files expect.
        {"4294967297", 1.f, 10},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.text);
        float value = 99.f;
        const char* end = fast_atof_move(c.text, value);
        EXPECT_FLOAT_EQ(value, c.value);
        EXPECT_EQ(end - c.text, c.used);
    }
}

TEST(FastAtof, FractionDigitsPastTheTableAddNothing)
{
    float fifteen = 0.f, twenty = 0.f;
    fast_atof_move("0.100000000000001", fifteen);
    const char* text = "0.10000000000000199999";
    EXPECT_EQ(fast_atof_move(text, twenty) - text, 22);
    EXPECT_EQ(twenty, fifteen);
}

TEST(FastAtof, TableScalesFractions)
{
    EXPECT_EQ(pravik::core::fast_atof_table[0], 0.f);
    EXPECT_EQ(pravik::core::fast_atof_table[1], 0.1f);
    EXPECT_EQ(pravik::core::fast_atof_table[15], 1e-15f);
}
