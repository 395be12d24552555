#include "framework/CGame.h"
#include "framework/CPad.h"

#include <gtest/gtest.h>

TEST(CPad, FlagsLastUntilTheSecondUpdateAfterThem)
{
    CPad pad;
    pad.KeyClick(7, true);
    pad.KeyClick(7, false);
    for (int update = 0; update < 2; ++update) {
        SCOPED_TRACE(update);
        EXPECT_EQ(pad.IsKeyPressed(7), 1);
        EXPECT_EQ(pad.IsKeyReleased(7), 1);
        EXPECT_EQ(pad.IsKeyHold(7), 0);
        EXPECT_TRUE(pad.IsAnyKeyPressed());
        pad.UpdateKeyStatus();
    }
    EXPECT_EQ(pad.IsKeyPressed(7), 0);
    EXPECT_EQ(pad.IsKeyReleased(7), 0);
    EXPECT_FALSE(pad.IsAnyKeyPressed());

    pad.KeyClick(3, true);
    pad.UpdateKeyStatus();
    pad.UpdateKeyStatus();
    pad.KeyClick(3, true);   // still down: no second press
    EXPECT_EQ(pad.IsKeyPressed(3), 0);
    EXPECT_EQ(pad.IsKeyHold(3), 1);
}

TEST(CPad, DoublePressWithinNineFrames)
{
    const struct {
        int framesBetween;
        int doublePress;
    } kCases[] = {{0, 1}, {9, 1}, {10, 0}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.framesBetween);
        CPad pad;
        pad.KeyClick(8, true);
        pad.KeyClick(8, false);
        for (int i = 0; i < c.framesBetween; ++i)
            pad.UpdateKeyStatus();
        pad.KeyClick(8, true);
        EXPECT_EQ(pad.IsKeyDoublePressed(8), c.doublePress);
    }
}

TEST(CPad, KeysOutsideTheTableChangeNothingAndAreNotCounted)
{
    CGame game;
    CPad pad;
    for (int key : {48, -1, 1000}) {
        SCOPED_TRACE(key);
        pad.KeyClick(key, true);
        EXPECT_EQ(pad.IsKeyPressed(key), 0);
        EXPECT_EQ(game.GetKeyPressCount(key), 0);
    }
    EXPECT_FALSE(pad.IsAnyKeyPressed());
    pad.KeyClick(47, true);
    pad.KeyClick(47, false);
    pad.KeyClick(47, true);
    EXPECT_EQ(game.GetKeyPressCount(47), 2);

    pad.ClearKeyPress();
    EXPECT_EQ(pad.IsKeyHold(47), 0);
    EXPECT_EQ(pad.IsKeyDoublePressed(47), 0);
}

TEST(CPad, ALongWaitDoesNotWrapIntoADoublePress)
{
    CPad pad;
    pad.KeyClick(2, true);
    pad.KeyClick(2, false);
    for (int i = 0; i < 65536 + 3; ++i)
        pad.UpdateKeyStatus();
    pad.KeyClick(2, true);
    EXPECT_EQ(pad.IsKeyDoublePressed(2), 0);
}
