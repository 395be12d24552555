#include "framework/CRandom.h"

#include <gtest/gtest.h>

TEST(CRandom, DrawsFromTheNewestGeneratorInAFixedSequence)
{
    CRandom outer;   // state 0, as the application object's
    EXPECT_EQ(CRandom::Random(100), 70);   // state 1013904223: 15470 mod 100
    EXPECT_EQ(outer.State(), 1013904223u);

    const unsigned before = outer.State();
    EXPECT_EQ(CRandom::Random(0), 0);
    EXPECT_EQ(CRandom::Random(5, 5), 5);
    EXPECT_EQ(outer.State(), before);   // neither advanced

    {
        CRandom inner(7);
        EXPECT_EQ(CRandom::GetRandom(), &inner);
        CRandom::Random(10);
        EXPECT_EQ(outer.State(), before);
    }
    EXPECT_EQ(CRandom::m_pRandom, nullptr);   // the newest one's end leaves none current
}

TEST(CRandom, RangesUseTheUnsignedModulus)
{
    const struct {
        unsigned seed;
        int a, b;
        int expected;
    } kCases[] = {
        {0, 10, 20, 10 + int((1013904223u >> 16) % 10u)},
        {0, -5, 5, -5 + int((1013904223u >> 16) % 10u)},
        // b < a: (b - a) is a huge unsigned modulus, so the draw passes through whole.
        {0, 20, 10, 20 + int(1013904223u >> 16)},
    };
    for (const auto& c : kCases) {
        CRandom r(c.seed);
        SCOPED_TRACE(c.a);
        EXPECT_EQ(CRandom::Random(c.a, c.b), c.expected);
    }
    CRandom r(0);
    EXPECT_TRUE(CRandom::Probability(101));
    CRandom r2(0);
    EXPECT_FALSE(CRandom::Probability(0));
}

TEST(CRandom, ADrawWithNoGeneratorDoesNotCrash)
{
    ASSERT_EQ(CRandom::m_pRandom, nullptr);
    const int v = CRandom::Random(100);
    EXPECT_GE(v, 0);
    EXPECT_LT(v, 100);
    CRandom::m_pRandom = nullptr;
}
