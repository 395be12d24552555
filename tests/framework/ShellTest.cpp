// The shell in process, headless, on an input script: the order of the application's calls turn
// by turn, with the sleep and the process end recorded instead of done.

#include "framework/AppPlaybook.h"
#include "framework/CGame.h"
#include "framework/GameInterface.h"
#include "framework/ZyGame.h"

#include "platform/Clock.h"
#include "platform/Egl.h"
#include "platform/ScriptPlayer.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::vector<std::string> g_log;
int g_exitStatus = -1;

struct SRecordingGame : IGameInterface {
    void pointerPressed(int x, int y) override { g_log.push_back("pressed " + std::to_string(x) + " " + std::to_string(y)); }
    void pointerReleased(int x, int y) override { g_log.push_back("released " + std::to_string(x) + " " + std::to_string(y)); }
};

void recordSleep(unsigned us)
{
    g_log.push_back("sleep " + std::to_string(us));
}

void recordExit(int status)
{
    g_exitStatus = status;
    g_log.push_back("exit " + std::to_string(status));
}

} // namespace

TEST(Shell, ScriptedTouchPauseResumeAndExitInOrder)
{
    test::TempDir dir;
    const std::string script = dir.write("s.txt", "1 touch 3 599 1023\n3 pause\n6 resume\n9 exit\n");
    setenv("QUENDRAX_VIDEO", "headless", 1);
    setenv("QUENDRAX_SCRIPT", script.c_str(), 1);
    platform::video_close();
    platform::ScriptPlayer::instance().reset();
    platform::Clock::reset();
    char oldDir[1024];
    ASSERT_TRUE(getcwd(oldDir, sizeof oldDir));
    ASSERT_EQ(chdir(dir.path().c_str()), 0);

    SRecordingGame game;
    SetGameInterface(&game);
    ZyGame::SetHooks({recordSleep, recordExit});
    ZyGame& shell = ZyGame::instance();
    testing::internal::CaptureStdout();
    ASSERT_TRUE(shell.init());
    EventHandler::instance().setListener(&shell);
    CGame* app = CGame::GetGame();
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(std::string(g_appPath), dir.path().string() + "/app/native/data/");

    // Per turn (one a frame): main-loop calls so far, paused, and what was logged.
    std::vector<std::string> turns;
    for (int t = 0; t < 12 && g_exitStatus < 0; ++t) {
        const int frame = t;
        g_log.clear();
        shell.turn();
        std::string line = std::to_string(frame) + ": loops " + std::to_string(app->MainLoopCount()) +
                           (app->IsPaused() ? " paused" : "");
        for (const std::string& s : g_log)
            line += ", " + s;
        turns.push_back(line);
    }
    const std::string out = testing::internal::GetCapturedStdout();
    const std::vector<std::string> expected = {
        "0: loops 1",
        "1: loops 2, pressed 598 1021",   // window (599, 1023) -> input (319, 479) -> logic
        "2: loops 3",
        "3: loops 3 paused, sleep 100000",
        "4: loops 3 paused, sleep 100000",
        "5: loops 3 paused, sleep 100000",
        "6: loops 3",                     // the full-screen turn resumes and runs no frame
        "7: loops 4",
        "8: loops 5",
        "9: loops 5, exit 0, sleep 100000",   // the process would have ended here
    };
    EXPECT_EQ(turns, expected);
    EXPECT_EQ(g_exitStatus, 0);
    EXPECT_NE(out.find("INITIALIZED"), std::string::npos);
    EXPECT_NE(out.find("Shutting down Screen\n"), std::string::npos);

    delete app;
    SetGameInterface(nullptr);
    ASSERT_EQ(chdir(oldDir), 0);
    unsetenv("QUENDRAX_SCRIPT");
    platform::ScriptPlayer::instance().reset();
    platform::video_close();
}
