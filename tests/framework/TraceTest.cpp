#include "framework/GameInterface.h"
#include "framework/Trace.h"

#include "platform/Clock.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

TEST(Trace, OneFlushedLineAnEventPrefixedWithTheFrame)
{
    test::TempDir dir;
    const std::string path = dir.file("trace.txt");
    platform::Clock::reset();
    TraceOpen(path);
    ASSERT_TRUE(TraceEnabled());
    Trace("state %d %d", 0, 1);
    platform::Clock::countPresent();
    Trace("pointer pressed %d %d", 300, 512);
    EXPECT_EQ(test::readFile(path), "0 state 0 1\n1 pointer pressed 300 512\n");   // no close needed
    TraceOpen("");
    EXPECT_FALSE(TraceEnabled());
    Trace("exit");
    EXPECT_EQ(test::readFile(path), "0 state 0 1\n1 pointer pressed 300 512\n");
    platform::Clock::reset();
}

namespace {
struct SRecordingGame : IGameInterface {
    int StateCurrent() override { return 12; }
    void pointerPressed(int x, int y) override { pressed = x * 10000 + y; }
    int pressed = -1;
};
} // namespace

TEST(GameInterface, UnsetDoesNothingAndInstalledAnswers)
{
    EXPECT_EQ(GameInterface().StateCurrent(), -1);
    GameInterface().pointerPressed(1, 2);   // no game: nothing happens
    SRecordingGame game;
    SetGameInterface(&game);
    GameInterface().pointerPressed(3, 4);
    EXPECT_EQ(game.pressed, 30004);
    EXPECT_EQ(GameInterface().StateCurrent(), 12);
    SetGameInterface(nullptr);
    EXPECT_EQ(GameInterface().StateCurrent(), -1);
}
