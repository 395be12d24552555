// The run trace: state switches, music and sounds at the frames they happen.
#include <gtest/gtest.h>

#include "framework/Trace.h"
#include "platform/Clock.h"
#include "tests/game/GameTestSupport.h"
#include "tests/support/TempDir.h"

namespace {

TEST(CAIGameTrace, StateMusicAndSoundLinesAtTheirFrames)
{
    test::TempDir dir;
    const std::string path = dir.file("trace.txt");
    test::GameFixture f;
    platform::Clock::reset();
    TraceOpen(path);
    for (int frame = 0; frame < 8; ++frame) {
        if (frame == 2)
            CAIGame::SwitchState(STATE_MAIN);
        if (frame == 4) {
            CAIGame::SND_PlayBGMusic(1, true);
            CAIGame::SND_PlaySFXSound(12);
            CAIGame::SND_PlaySFXSound(0);   // traced whatever its outcome
        }
        if (frame == 5)
            CAIGame::SwitchState(6);
        f.game->Game_update();
        f.game->Game_Paint();
        platform::Clock::countPresent();
    }
    TraceOpen("");
    EXPECT_EQ(test::readFile(path),
              "0 state -1 1\n"
              "2 state 1 26\n"
              "4 music 1\n"
              "4 sound 12\n"
              "4 sound 0\n"
              "5 state 26 6\n");
}

}  // namespace
