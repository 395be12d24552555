#include "framework/FixedPointMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

TEST(FixedPointMath, ArithmeticRoundsHalvesUp)
{
    const struct {
        const char* what;
        int got, expected;
    } kCases[] = {
        {"mul 1.0 x 1.0", Math_FixedPoint_Multiply(256, 256), 256},
        {"mul half up", Math_FixedPoint_Multiply(1, 128), 1},
        {"mul -half up", Math_FixedPoint_Multiply(-1, 128), 0},
        {"mul wide operands", Math_FixedPoint_Multiply(0x40000000, 256), 0x40000000},
        {"div 1/2", Math_FixedPoint_Divide(256, 512), 128},
        {"div 1/3", Math_FixedPoint_Divide(1, 3), 85},
        {"div -1/3", Math_FixedPoint_Divide(-1, 3), -85},
        {"div by 0", Math_FixedPoint_Divide(5, 0), 0x7FFFFFFF},
        {"div -x by 0", Math_FixedPoint_Divide(-5, 0), -0x7FFFFFFF},
        {"div 0 by 0", Math_FixedPoint_Divide(0, 0), 0},
        {"to int 383", Math_FixedPointToInt(383), 1},
        {"to int 384", Math_FixedPointToInt(384), 2},
        {"to int -128", Math_FixedPointToInt(-128), 0},
        {"from int", Math_IntToFixedPoint(-3), -768},
        {"dot", Math_FixedPoint_DotProduct(256, 512, 512, 256), 1024},
        {"norm 3,4", Math_FixedPoint_Norm(3 * 256, 4 * 256), 5 * 256},
        {"norm pow", int(Math_FixedPoint_NormPow(256, 256)), 512},
        {"sqrt 4.0", Math_FixedPoint_Sqrt(1024.0f), 512},
        {"deg 45", Math_DegreeToFixedPointAngle(45), 32},
        {"deg 359", Math_DegreeToFixedPointAngle(359), 255},
        {"deg -90", Math_DegreeToFixedPointAngle(-90), -64},
        {"deg 1", Math_DegreeToFixedPointAngle(1), 0},
        {"log2 24", Math_Log2(24), 4},
        {"log2 16", Math_Log2(16), 4},
        {"log2 1", Math_Log2(1), 0},
        {"log2 -7", Math_Log2(-7), 0},
        {"log2 max", Math_Log2(0x7FFFFFFF), 30},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.got, c.expected);
    }
    EXPECT_EQ(Math_FixedPoint_DotProduct_t(0x7FFFFFFF, 0x7FFFFFFF, 256, 256), 2 * int64_t(0x7FFFFFFF));
    EXPECT_EQ(Math_Angle90, 64);
    EXPECT_EQ(Math_Angle360, 256);
}

TEST(FixedPointMath, CosineUsesQuadrantsOfWhicheverTableIsIn)
{
    // Before any table arrives the computed one answers.
    EXPECT_EQ(Math_Cos(0), 256);
    EXPECT_EQ(Math_Cos(64), 0);
    EXPECT_EQ(Math_Cos(32), 181);   // round(256 cos 45 deg)

    std::vector<int> table(65);
    for (int i = 0; i <= 64; ++i)
        table[size_t(i)] = 1000 + i;   // distinct, so each lookup shows its index
    Math_SetCosTable(table.data(), 65);
    const struct {
        int angle, expected;
    } kCases[] = {{256, 1000}, {-64, 1064}, {100, -1028}, {128, -1000}, {192, -1064}, {200, 1056}, {-300, 1044}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.angle);
        EXPECT_EQ(Math_Cos(c.angle), c.expected);
    }
    EXPECT_EQ(Math_Sin(0), 1064);

    Math_SetCosTable(table.data(), 64);   // too short: the computed table again
    EXPECT_EQ(Math_Cos(0), 256);
    Math_SetCosTable(nullptr, 0);
}

TEST(FixedPointMath, TangentAndArcTangent)
{
    EXPECT_EQ(Math_Tan(0), 0);
    EXPECT_EQ(Math_Tan(64), 0x7FFFFFFF);
    EXPECT_EQ(Math_Tan(32), 256);
    const struct {
        int x, y, expected;
    } kCases[] = {
        {0, 0, 0},     {0, 5, 64},    {0, -5, 192},  {10, 0, 0},     {10, 10, 32},
        {-10, 0, 128}, {-10, 10, 96}, {-10, -10, 160}, {10, -10, 224}, {1000, -1, 256},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        EXPECT_EQ(Math_Atan(c.x, c.y), c.expected);
    }
    // Round trip over the circle stays within a unit of the angle.
    for (int a = 0; a < 256; a += 7) {
        SCOPED_TRACE(a);
        EXPECT_NEAR(Math_Atan(Math_Cos(a) * 16, Math_Sin(a) * 16) % 256, a, 1);
    }
}

TEST(FixedPointMath, SortsIndicesStablyWithoutTouchingValues)
{
    const int values[] = {30, 10, 20, 10};
    int indices[4] = {-1, -1, -1, -1};
    Math_QuickSortIndices(values, indices, 4);
    EXPECT_EQ(std::vector<int>(indices, indices + 4), (std::vector<int>{1, 3, 2, 0}));
    EXPECT_EQ(values[0], 30);

    std::vector<int> many(80), out(80, -1);
    for (int i = 0; i < 80; ++i)
        many[size_t(i)] = 80 - i;
    Math_QuickSortIndices(many.data(), out.data(), 80);   // only 64 are sorted
    EXPECT_EQ(out[0], 63);
    EXPECT_EQ(out[64], -1);
}

TEST(FixedPointMath, ItoaAndArraycopy)
{
    const struct {
        int value;
        const wchar_t* text;
    } kCases[] = {{-305, L"-305"}, {0, L"0"}, {7, L"7"}, {-2147483647 - 1, L"-2147483648"}};
    for (const auto& c : kCases) {
        wchar_t buffer[16];
        MyItoa(buffer, c.value);
        EXPECT_EQ(std::wstring(buffer), c.text);
    }
    MyItoa(nullptr, 5);
    const char src[] = "abcdef";
    char dst[] = "......";
    System_arraycopy(src, 2, dst, 1, 3);
    EXPECT_STREQ(dst, ".cde..");
}
