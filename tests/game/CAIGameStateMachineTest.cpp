// The state machine: which messages each frame sends, what a switch does on its way, the frame
// time every screen sees, the resume countdown and the keys.
#include <gtest/gtest.h>

#include "engine/os/Timer.h"
#include "tests/game/GameTestSupport.h"

namespace {

using test::GameFixture;
using test::Message;
using Messages = std::vector<Message>;

TEST(CAIGameStateMachine, MessagesFrameByFrame)
{
    // Each row: requests made before the frame, then the messages the frame sends.
    const struct {
        const char* why;
        std::vector<int> switches;
        Messages sent;
    } frames[] = {
        {"first frame enters STATE_INIT", {}, {{1, MSG_INIT}}},
        {"then updates it", {}, {{1, MSG_UPDATE}}},
        {"a switch exits the old state and enters the new one", {26}, {{1, MSG_EXIT}, {26, MSG_INIT}}},
        {"the new state's first update comes a frame later", {}, {{26, MSG_UPDATE}}},
        {"several requests: one exit, the last wins", {20, 9, 27}, {{26, MSG_EXIT}, {27, MSG_INIT}}},
        {"", {}, {{27, MSG_UPDATE}}},
        {"a state without handler gets nothing", {6}, {{27, MSG_EXIT}}},
        {"", {}, {}},
        {"", {}, {}},
        {"leaving it enters the next state", {12}, {{12, MSG_INIT}}},
        {"a number outside the table is accepted", {99}, {{12, MSG_EXIT}}},
        {"", {}, {}},
    };
    GameFixture f;
    for (const auto& row : frames) {
        SCOPED_TRACE(row.why);
        for (int next : row.switches)
            CAIGame::SwitchState(next);
        EXPECT_EQ(f.frame(), row.sent);
    }
    EXPECT_EQ(CAIGame::s_stateCurrent, 99);
    EXPECT_EQ(CAIGame::s_stateLast, 12);
    EXPECT_EQ(CAIGame::s_stateNext, -1);
}

TEST(CAIGameStateMachine, PaintGoesToTheCurrentState)
{
    GameFixture f;
    EXPECT_EQ(f.paint(), (Messages{{1, MSG_PAINT}}));   // before the first update too
    f.frame();
    CAIGame::SwitchState(28);
    EXPECT_EQ(f.paint(), (Messages{{1, MSG_PAINT}}));   // a request waits for the next update
    f.frame();
    EXPECT_EQ(f.paint(), (Messages{{28, MSG_PAINT}}));
}

TEST(CAIGameStateMachine, HandlerTable)
{
    int handlers = 0;
    for (int state = -2; state < STATE_COUNT + 2; ++state) {
        const bool none = state < 0 || state >= STATE_COUNT || state == 6 || state == 7 || state == 8
                          || state == 11 || state == 35 || state == 50;
        EXPECT_EQ(CAIGame::HasStateHandler(state), !none) << state;
        handlers += CAIGame::HasStateHandler(state);
    }
    EXPECT_EQ(handlers, 47);
    EXPECT_FALSE(CAIGame::IsPlaceholderHandler(STATE_SELECTBALL));   // built: it is empty
    EXPECT_FALSE(CAIGame::IsPlaceholderHandler(STATE_RANKING));
    EXPECT_FALSE(CAIGame::IsPlaceholderHandler(STATE_MAIN));
}

TEST(CAIGameStateMachine, SwitchPausesOrResumesTheTouchZoneEffect)
{
    const struct {
        int next;
        bool effectVisible;   // the touch-zone effect starts hidden when resuming, shown otherwise
        bool startsVisible;
    } rows[] = {
        {STATE_INGAME, true, false},              // resumes
        {STATE_MAIN, true, true},                 // effects untouched
        {STATE_MAIN, false, false},
        {STATE_GAME_POPUP_BOX, false, true},      // the four that pause
        {STATE_INGAME_MENU, false, true},
        {STATE_CONFIRM, false, true},
        {STATE_END_LEVEL_ANIMATIONS, false, true},
        {STATE_ISLAND, true, true},               // any other: nothing
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.next);
        GameFixture f;
        CAIGame::s_pTouchZoneEffect = new EffectImpl;
        CAIGame::s_pTouchZoneEffect->SetVisible(row.startsVisible);
        CAIGame::g_bCurrentInGame = 1;
        CAIGame::SwitchState(row.next);
        EXPECT_EQ(CAIGame::s_pTouchZoneEffect->IsVisible(), row.effectVisible);
        EXPECT_EQ(CAIGame::g_bCurrentInGame, 0);
    }
}

TEST(CAIGameStateMachine, FrameTime)
{
    const struct {
        const char* why;
        int state;            // state current during the measured frame
        uint64_t ms;          // length of the measured frame
        int expectedDt;
    } rows[] = {
        {"ordinary frame", STATE_MAIN, 16, 16},
        {"long frame capped", STATE_MAIN, 400, 50},
        {"about screen cap", STATE_ABOUT, 400, 100},
        {"about screen short frame", STATE_ABOUT, 70, 70},
        {"at the cap", STATE_INGAME, 50, 50},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        GameFixture f;
        f.frame();
        EXPECT_EQ(CAIGame::s_game_frameDT, 0);   // the first frame has no length
        CAIGame::SwitchState(row.state);
        f.frame(16);                             // entry frame
        EXPECT_EQ(CAIGame::s_stateFrameCounter, 1);
        EXPECT_EQ(CAIGame::s_stateTime, 16);
        const int before = CAIGame::s_stateTime;
        const int totalBefore = CAIGame::s_game_totalExecutionTime;
        f.frame(row.ms);
        EXPECT_EQ(CAIGame::s_game_frameDT, row.expectedDt);
        EXPECT_EQ(CAIGame::_timeElapsed, row.expectedDt);
        EXPECT_EQ(CAIGame::_timeElapsedWithoutBulletTime, row.expectedDt);
        EXPECT_EQ(CAIGame::s_stateTime - before, row.expectedDt);
        EXPECT_EQ(CAIGame::s_game_totalExecutionTime - totalBefore, int(row.ms));   // uncapped
        EXPECT_EQ(CAIGame::_stateMillis, row.expectedDt);
        EXPECT_EQ(CAIGame::s_stateFrameCounter, 2);
    }
}

TEST(CAIGameStateMachine, ClockWrapGivesAShortFrame)
{
    GameFixture f;
    f.clock.setMs(0xFFFFFFF0ull);
    f.game->Game_update();
    f.clock.setMs(0x100000010ull);   // the 32-bit millisecond clock wrapped
    f.game->Game_update();
    EXPECT_EQ(CAIGame::s_game_frameDT, 32);
}

TEST(CAIGameStateMachine, BulletTimeSlowsNothing)
{
    GameFixture f;
    CAIGame::SetBulletTime(1, 0);
    f.frame();
    f.frame(33);
    EXPECT_TRUE(CAIGame::s_bulletTime);
    EXPECT_EQ(CAIGame::s_bulletTimeDelay, 0);
    EXPECT_EQ(CAIGame::_timeElapsed, 33);
    EXPECT_EQ(CAIGame::_timeElapsed, CAIGame::_timeElapsedWithoutBulletTime);
}

TEST(CAIGameStateMachine, LivesCappedAtTheNextUpdateMessage)
{
    GameFixture f;
    f.frame();   // init message: no cap
    CAIGame::_life = 150;
    f.paint();
    EXPECT_EQ(CAIGame::_life, 150);
    f.frame();
    EXPECT_EQ(CAIGame::_life, 99);
}

TEST(CAIGameStateMachine, ExitResetsTheTouchBookkeeping)
{
    GameFixture f;
    f.frame();
    f.frame();
    CAIGame::s_press_item_cnt = 4;
    CAIGame::s_can_touch = false;
    CAIGame::SwitchState(STATE_MAIN);
    f.frame();
    EXPECT_EQ(CAIGame::s_press_item_cnt, 0);
    EXPECT_TRUE(CAIGame::s_can_touch);
}

TEST(CAIGameStateMachine, ShowNotifyRestartsTheMusicNowAndAfterTheCountdown)
{
    for (const bool ingame : {false, true}) {
        SCOPED_TRACE(ingame ? "in a level" : "outside a level");
        GameFixture f;
        f.frame();
        // Away from the boot screens, whose loadings set the in-level flag themselves.
        CAIGame::SwitchState(STATE_MAIN);
        f.frame();
        f.s_messages.clear();
        CAIGame::s_isIngame = ingame;
        CAIGame::SND_PlayBGMusic(7, true);
        EXPECT_EQ(f.traced("music").size(), 1u);
        f.game->showNotify();
        EXPECT_EQ(f.traced("music"), (std::vector<int>{7, 7}));   // at once
        EXPECT_EQ(f.s_messages, (Messages{{STATE_MAIN, MSG_SHOW_NOTIFY}}));
        EXPECT_EQ(CAIGame::s_keysDisabledTimer, 200);
        // 500 ms and 5 frames: frames are capped at 50 ms, so the time runs out at the tenth.
        for (int i = 0; i < 9; ++i)
            f.frame(100);
        EXPECT_EQ(f.traced("music").size(), 2u);
        EXPECT_TRUE(CAIGame::s_useShowNotifyCounter);
        f.frame(100);
        EXPECT_FALSE(CAIGame::s_useShowNotifyCounter);
        EXPECT_EQ(f.traced("music").size(), ingame ? 2u : 3u);
        f.frame(100);
        EXPECT_EQ(f.traced("music").size(), ingame ? 2u : 3u);
    }
}

TEST(CAIGameStateMachine, CountdownWaitsForBothTimeAndFrames)
{
    GameFixture f;
    f.frame();
    CAIGame::SwitchState(STATE_ABOUT);   // 100 ms frames: time and frames end together
    f.frame();
    CAIGame::SND_PlayBGMusic(3, true);
    f.game->showNotify();
    for (int i = 0; i < 4; ++i)
        f.frame(400);
    EXPECT_TRUE(CAIGame::s_useShowNotifyCounter);
    EXPECT_EQ(CAIGame::s_showNotifyCounter, 100);
    EXPECT_EQ(CAIGame::s_showNotifyFrame, 1);
    f.frame(400);
    EXPECT_FALSE(CAIGame::s_useShowNotifyCounter);
    EXPECT_EQ(CAIGame::s_showNotifyCounter, 0);
    EXPECT_EQ(f.traced("music"), (std::vector<int>{3, 3, 3}));
}

TEST(CAIGameStateMachine, HideNotifyInterruptsTheTouchAnimation)
{
    GameFixture f;
    f.frame();
    CAISprite* sprite = test::newAnimSprite(1);
    CAIGame::s_touchAni = new ViDuzPlayer;
    CAIGame::s_touchAni->SetSprite(sprite);
    CAIGame::s_touchAni->SetAnim(0, 1);
    CAIGame::s_frame_HL_id = 5;
    CAITouchObj::_list_cursor_id = 3;
    f.s_messages.clear();
    f.release(3);
    f.game->hideNotify();
    EXPECT_EQ(f.s_messages, (Messages{{1, MSG_HIDE_NOTIFY}}));
    EXPECT_TRUE(CAIGame::s_touchAniInterrupt);
    EXPECT_EQ(CAIGame::s_touchAni->GetAnim(), -1);
    EXPECT_EQ(CAIGame::s_frame_HL_id, -1);
    EXPECT_EQ(CAITouchObj::_list_cursor_id, -1);
    EXPECT_EQ(CAIGame::WasAnyKeyPressed(), 14);   // the keys were cleared
    f.game->showNotify();
    EXPECT_FALSE(CAIGame::s_touchAniInterrupt);
    EXPECT_EQ(CAIGame::s_touchAni->GetAnim(), 0);
    EXPECT_EQ(CAIGame::s_touch_ani_state, 1);
    CAIGame::s_touchAni->SetSprite(nullptr);
    sprite->drop();
}

TEST(CAIGameStateMachine, DisabledKeysAreClearedUntilTheTimerRunsOut)
{
    GameFixture f;
    f.frame();
    CAIGame::DisableKeys();
    for (int i = 0; i < 5; ++i) {
        f.release(7);
        f.frame(1000);   // the no-argument form never runs out
        EXPECT_FALSE(CAIGame::WasKeyPressed(7));
    }
    EXPECT_EQ(CAIGame::s_keysDisabledTimer, 0x7FFFFFFF);
    CAIGame::DisableKeys(100);
    f.release(7);
    f.frame(60);   // counted down by the uncapped frame time
    EXPECT_FALSE(CAIGame::WasKeyPressed(7));
    EXPECT_EQ(CAIGame::s_keysDisabledTimer, 40);
    f.release(7);
    f.frame(60);
    EXPECT_FALSE(CAIGame::WasKeyPressed(7));   // cleared once more, then the timer is spent
    f.release(7);
    f.frame(60);
    EXPECT_TRUE(CAIGame::WasKeyPressed(7));
    EXPECT_TRUE(CAIGame::WasKeyReleased(7));
    EXPECT_EQ(CAIGame::WasAnyKeyPressed(), 7);
    CAIGame::ResetAKey(3);   // every key, whatever the argument
    EXPECT_EQ(CAIGame::WasAnyKeyPressed(), 14);
    f.pad->KeyClick(5, true);
    EXPECT_TRUE(CAIGame::IsKeyDown(5));
}

TEST(CAIGameStateMachine, TouchEventVisibleForOnePass)
{
    GameFixture f;
    f.frame();
    CAIGame::s_touchState = 1;
    CAIGame::s_touchStateNeedProcessed = true;
    CAIGame::s_touchStateHasProcessed = false;
    CAIGame::s_release_x = 40;
    f.frame();   // the frame's touch pass consumes the event
    EXPECT_EQ(CAIGame::s_touchState, 0);
    EXPECT_FALSE(CAIGame::s_touchStateNeedProcessed);
    EXPECT_EQ(CAIGame::s_release_x, -1);
}

TEST(CAIGameStateMachine, SmallQueries)
{
    GameFixture f;
    f.frame();
    CAIGame::SwitchState(STATE_INGAME);
    f.frame();
    CAIGame::_life = 0;
    EXPECT_TRUE(CAIGame::CanActivateIngameMenu());
    CAIGame::_life = -1;
    EXPECT_FALSE(CAIGame::CanActivateIngameMenu());

    EXPECT_FALSE(CAIGame::ActivatePopupBox());
    CAIGame::_nrPopupBoxItems = 1;
    EXPECT_TRUE(CAIGame::ActivatePopupBox());
    EXPECT_EQ(CAIGame::s_stateNext, STATE_GAME_POPUP_BOX);

    CAIGame::s_pTouchZoneTrail = new EffectImpl;
    CAIGame::WinLevel();
    EXPECT_EQ(CAIGame::s_stateNext, STATE_END_LEVEL_ANIMATIONS);
    EXPECT_FALSE(CAIGame::s_pTouchZoneTrail->IsVisible());
}

TEST(CAIGameStateMachine, MusicAndSoundsReachTheFacade)
{
    test::GameAudio audio;
    GameFixture f;
    CAIGame::SND_StopBGMusic();   // nothing playing: nothing stopped
    EXPECT_EQ(CAIGame::s_loopingMusicId, -1);
    CAIGame::SND_PlayBGMusic(1, true);
    EXPECT_TRUE(audio.kez().IsBGMPlaying(1));
    EXPECT_EQ(CAIGame::s_loopingMusicId, 1);
    CAIGame::SND_StopBGMusic();
    EXPECT_FALSE(audio.kez().IsBGMPlaying(1));
    EXPECT_EQ(CAIGame::s_loopingMusicId, -1);

    EXPECT_EQ(audio.kez().IsSoundPlaying(56), 0);
    CAIGame::SND_PlaySFXSound(56);
    EXPECT_EQ(audio.kez().IsSoundPlaying(56), 1);
    CAIGame::SND_PlaySFXSound(21);   // no such file: nothing plays, the request is still traced
    EXPECT_EQ(audio.kez().IsSoundPlaying(21), 0);
    EXPECT_EQ(f.traced("sound"), (std::vector<int>{56, 21}));
    EXPECT_EQ(f.traced("music"), (std::vector<int>{1}));
}

TEST(CAIGameStateMachine, ConfirmAndSoundNotifications)
{
    GameFixture f;
    f.frame();
    CAIGame::SwitchState(STATE_CONFIRM);
    f.frame();
    CAIGame::s_confirm = 4;
    f.game->hideNotify();
    EXPECT_EQ(CAIGame::s_menuLastIndex[11], 0);
    CAIGame::s_confirm = 2;
    f.game->showNotify();
    EXPECT_EQ(CAIGame::s_menuLastIndex[11], 1);

    CAIGame::SwitchState(STATE_SOUND_QUESTION);
    f.frame();
    CAIGame::s_touch_x = 9;
    CAIGame::s_touchPressed = true;
    CAIGame::s_menuSelection = 0;
    CAIGame::s_first_intoConfirm = false;
    f.game->showNotify();
    EXPECT_EQ(CAIGame::s_menuSelection, 1);
    EXPECT_EQ(CAIGame::s_touch_x, 0);
    EXPECT_FALSE(CAIGame::s_touchPressed);
    EXPECT_TRUE(CAIGame::s_first_intoConfirm);
}

}  // namespace
