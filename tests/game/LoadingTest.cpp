// Loading step tables and bookkeeping, and the touch registry's hit tests and routing.
#include "tests/game/GameTestSupport.h"

#include <gtest/gtest.h>

namespace {

using test::GameFixture;

TEST(Loading, EachTypeRunsItsStepsAndFinishes)
{
    GameFixture f;
    const struct {
        int type, count, first, last;
    } cases[] = {
        {1, 9, 0, 33},  {2, 27, 35, 34}, {3, 26, 35, 33}, {4, 19, 56, 33}, {5, 18, 35, 33},
        {6, 13, 56, 33}, {7, 10, 35, 34}, {8, 24, 57, 33}, {9, 14, 56, 34},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        CAIGame::SetLoadingType(c.type);
        EXPECT_EQ(CAIGame::s_loadingType_Size, c.count);
        EXPECT_EQ(CAIGame::s_loadingType_Data[0], c.first);
        EXPECT_EQ(CAIGame::s_loadingType_Data[c.count - 1], c.last);
        EXPECT_EQ(CAIGame::m_bShowLevelCompleteWhenLoading, 0);
    }
    // Unknown types leave an empty list that finishes at once, running nothing.
    CAIGame::SetLoadingType(42);
    EXPECT_EQ(CAIGame::s_loadingType, 42);
    EXPECT_EQ(CAIGame::s_loadingType_Size, 0);
    CAIGame::Loading_Reset();
    CAIGame::s_loadingNextState = 26;
    CAIGame::Loading_Update();
    EXPECT_TRUE(CAIGame::s_loadingIsFinished);
    EXPECT_EQ(CAIGame::s_loadingNextState, 26);
}

TEST(Loading, PressToContinueRepeatsUntilConfirm)
{
    GameFixture f;
    CAIGame::SetLoadingType(2);
    CAIGame::Loading_Reset();
    CAIGame::s_loadingCurrentStep = 26;   // the last step: press to continue
    for (int i = 0; i < 3; ++i)
        CAIGame::Loading_Update();
    EXPECT_FALSE(CAIGame::s_loadingIsFinished);
    EXPECT_EQ(CAIGame::s_loadingCurrentStep, 26);
    f.release(7);
    CAIGame::Loading_Update();
    EXPECT_TRUE(CAIGame::s_loadingIsFinished);
    EXPECT_TRUE(CAIGame::s_isIngame);
}

TEST(TouchRegistry, HitTests)
{
    CAITouchObj circle, rect, diamond;
    circle.m_shape = CAITouchObj::CIRCLE;
    diamond.m_shape = CAITouchObj::DIAMOND;
    for (CAITouchObj* o : {&circle, &rect, &diamond})
        o->m_w = o->m_h = 100;
    EXPECT_TRUE(circle.isTrigger(50, 0));
    EXPECT_FALSE(circle.isTrigger(0, 0));
    EXPECT_TRUE(rect.isTrigger(0, 0));
    EXPECT_TRUE(rect.isTrigger(100, 100));
    EXPECT_FALSE(rect.isTrigger(101, 50));
    EXPECT_TRUE(diamond.isTrigger(50, 50));
    for (auto [x, y] : {std::pair{0, 0}, {100, 0}, {0, 100}, {100, 100}})
        EXPECT_FALSE(diamond.isTrigger(x, y)) << x << "," << y;
}

TEST(TouchRegistry, HigherLayerThenLastAddedWinsAndSlotsAreExclusive)
{
    GameFixture f;
    CAIGame::s_can_touch = true;
    EXPECT_EQ(CAIGame::Touch_Add_Button(0, 1, 0, 0, 0, 0, 100, 100, -1, 10, 0), 0);
    EXPECT_EQ(CAIGame::Touch_Add_Button(0, 1, 0, 0, 0, 0, 100, 100, -1, 11, 0), -1);   // slot taken
    EXPECT_EQ(CAIGame::Touch_Add_Button(0, 2, 0, 0, 0, 0, 100, 100, -1, 12, 0), 1);
    EXPECT_EQ(CAIGame::Touch_Add_Button(1, 3, 0, 0, 50, 50, 100, 100, -1, 13, 0), 0);
    CAIGame::pointerPressed(60, 60);
    CAIGame::pointerReleased(60, 60);
    CAIGame::Touch_update();
    EXPECT_TRUE(CAIGame::WasKeyPressed(13));
    CAIGame::pointerPressed(10, 10);
    CAIGame::pointerReleased(10, 10);
    CAIGame::s_touchState = 2;
    CAIGame::Touch_update();
    EXPECT_TRUE(CAIGame::WasKeyPressed(12));
    EXPECT_FALSE(CAIGame::WasKeyPressed(10));
    CAIGame::Touch_RemoveAllObj();
    EXPECT_EQ(CAIGame::Touch_Add_Button(0, 1, 0, 0, 0, 0, 1, 1, -1, 10, 0), 0);
}

TEST(TouchRegistry, ClickIsAShortTapThatBarelyMoves)
{
    GameFixture f;
    CAIGame::pointerPressed(0, 0);
    CAIGame::pointerReleased(79, 0);
    EXPECT_TRUE(CAIGame::isClick());
    CAIGame::pointerPressed(0, 0);
    CAIGame::pointerReleased(80, 0);
    EXPECT_FALSE(CAIGame::isClick());
}

}  // namespace

namespace {

TEST(Loading, SoundCacheStepsStartTheTitleMusicOnce)
{
    const struct {
        const char* why;
        int step;
        bool once, afterLoading, finished, playing;
        bool starts;
    } rows[] = {
        {"first batch starts it", 0, true, false, false, false, true},
        {"only the first batch", 3, true, false, false, false, false},
        {"already started once", 0, false, false, false, false, false},
        {"waits for the loading's end", 0, true, true, false, false, false},
        {"loading over", 0, true, true, true, false, true},
        {"already playing", 0, true, false, false, true, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        test::GameAudio audio;
        test::GameFixture f;
        if (row.playing)
            CAIGame::SND_PlayBGMusic(1, true);
        const size_t before = f.traced("music").size();
        CAIGame::IsPlayMusicOnce = row.once;
        CAIGame::s_startMusicAfterLoading = row.afterLoading;
        CAIGame::s_loadingIsFinished = row.finished;
        CAIGame::LoadMMSounds_Step(row.step);
        EXPECT_EQ(f.traced("music").size() - before, row.starts ? 1u : 0u);
        EXPECT_EQ(audio.kez().IsBGMPlaying(1), row.starts || row.playing);
        EXPECT_EQ(CAIGame::IsPlayMusicOnce, row.once && !row.starts);
    }
}

}  // namespace
