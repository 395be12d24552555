#include "framework/CTouchPad.h"
#include "framework/GameInterface.h"
#include "framework/ScreenGeometry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct SRecorder : IGameInterface {
    std::vector<std::string> calls;
    void add(const std::string& s, int x, int y) { calls.push_back(s + " " + std::to_string(x) + " " + std::to_string(y)); }
    void pointerPressed(int x, int y) override { add("pressed", x, y); }
    void pointerDragged(int x, int y) override { add("dragged", x, y); }
    void pointerReleased(int x, int y) override { add("released", x, y); }
    void RacketOnClick(int x, int y, bool down) override { add(down ? "racket take" : "racket let go", x, y); }
    void RacketOnMove(int x, int y) override { add("racket move", x, y); }
};

struct TouchPadTest : testing::Test {
    void SetUp() override
    {
        ScreenGeometry_SetMode(RESOLUTION_MODE_600X1024);
        SetGameInterface(&game);
    }
    void TearDown() override { SetGameInterface(nullptr); }
    void* id(int n) { return reinterpret_cast<void*>(intptr_t(n)); }
    SRecorder game;
    CTouchPad pad;
};

} // namespace

TEST_F(TouchPadTest, TwoFingerRacketHandover)
{
    pad.PadTouchEvent(160, 240, id(1), 1);   // logic (300, 512)
    pad.PadTouchEvent(32, 48, id(2), 1);     // logic (60, 102)
    pad.PadMoveEvent(100, 100, id(1));       // two fingers down: ignored
    pad.PadMoveEvent(100, 100, id(2));
    pad.PadUntouchEvent(170, 250, id(1), 1);
    pad.PadMoveEvent(64, 96, id(2));          // one finger again: it drives
    const std::vector<std::string> expected = {
        "pressed 300 512", "racket take 300 512",
        "pressed 60 102",
        "released 318 533", "racket let go 300 512", "racket take 60 102",
        "racket move 120 204", "dragged 120 204",
    };
    EXPECT_EQ(game.calls, expected);
    ASSERT_EQ(pad.Fingers().size(), 1u);
    EXPECT_EQ(pad.Fingers().front().id, id(2));
}

TEST_F(TouchPadTest, ReleaseOfAnUnknownFingerAndDuplicatePresses)
{
    pad.PadTouchEvent(0, 0, id(5), 1);
    pad.PadTouchEvent(0, 0, id(5), 1);   // already down: listed once, racket untouched
    EXPECT_EQ(pad.Fingers().size(), 1u);
    pad.Pause();
    game.calls.clear();
    pad.PadUntouchEvent(320, 480, id(5), 1);
    EXPECT_EQ(game.calls, (std::vector<std::string>{"released 600 1024", "racket let go 600 1024"}));
    EXPECT_TRUE(pad.Fingers().empty());
}

TEST_F(TouchPadTest, AnEventIsVisibleForExactlyOneFrame)
{
    pad.PadTouchEvent(10, 20, id(1), 1);
    EXPECT_EQ(CTouchPad::m_nLastX, 10);
    EXPECT_EQ(CTouchPad::m_nLastY, 20);
    ASSERT_NE(pad.CheckClicked(), nullptr);
    EXPECT_EQ(pad.CheckClicked()[1], 20);
    EXPECT_NE(pad.CheckClickedInRegion({10, 20, 10, 20}), nullptr);   // edges inclusive
    EXPECT_EQ(pad.CheckClickedInRegion({11, 20, 30, 30}), nullptr);
    pad.Update();   // the frame that saw it
    EXPECT_NE(pad.CheckClicked(), nullptr);
    pad.Update();
    EXPECT_EQ(pad.CheckClicked(), nullptr);
    EXPECT_EQ(pad.LiveCount(), 0);

    pad.PadUntouchEvent(1, 2, id(1), 1);
    EXPECT_NE(pad.CheckUnClicked(nullptr), nullptr);
    EXPECT_NE(pad.CheckUnClicked(id(1)), nullptr);
    EXPECT_EQ(pad.CheckUnClicked(id(2)), nullptr);
}

TEST_F(TouchPadTest, AllSlotsLiveOverwritesSlotZero)
{
    for (int i = 0; i < CTouchPad::SLOT_COUNT; ++i)
        pad.PadMoveEvent(i, i, id(1));
    EXPECT_EQ(pad.Slot(19).x, 19);
    pad.PadMoveEvent(99, 99, id(1));
    EXPECT_EQ(pad.Slot(0).x, 99);
    EXPECT_EQ(pad.Slot(1).x, 1);
}
