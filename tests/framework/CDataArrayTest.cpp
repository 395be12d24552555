#include "framework/CDataArray.h"

#include <gtest/gtest.h>

TEST(CDataArray, NewArrayZeroesAndReplaces)
{
    CDataArray<int> a;
    EXPECT_EQ(a.length, 0);
    EXPECT_EQ(a.data, nullptr);
    a.NewArray(4);
    ASSERT_EQ(a.length, 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(a.data[i], 0);
    a.data[2] = 9;
    a.NewArray(3);
    EXPECT_EQ(a.data[2], 0);
    a.NewArray(0);
    EXPECT_EQ(a.length, 0);
    a.NewArray(-2);   // a negative count leaves it empty rather than allocating a wrapped size
    EXPECT_EQ(a.length, 0);
}

TEST(CDataArray, NestedArraysStartEmptyAndAreFreedLevelByLevel)
{
    CDataArray<CDataArray<CDataArray<short>>> map;
    map.NewArray(3);
    for (int x = 0; x < 3; ++x) {
        EXPECT_EQ(map.data[x].length, 0);
        EXPECT_EQ(map.data[x].data, nullptr);
        map.data[x].NewArray(2);
        map.data[x].data[1].NewArray(5);
        map.data[x].data[1].data[4] = short(x);
    }
    EXPECT_EQ(map.data[2].data[1].data[4], 2);
    map.NewArray(1);   // replacing frees every level below (leaks show under the sanitizer run)
    EXPECT_EQ(map.data[0].length, 0);
}
