// The game stands behind the framework's interface from the program's start.
#include <gtest/gtest.h>

#include "framework/GameInterface.h"
#include "game/CGameLink.h"
#include "tests/game/GameTestSupport.h"

namespace {

TEST(CGameLink, InstalledAndRunsTheController)
{
    test::GameClock clock;
    IGameInterface& game = GameInterface();
    ASSERT_NE(dynamic_cast<CGameLink*>(&game), nullptr);
    EXPECT_EQ(game.StateCurrent(), -1);   // no controller before the session makes one
    game.Game_update();                   // nothing to run: nothing happens
    game.CreateController();
    EXPECT_EQ(game.StateCurrent(), STATE_INIT);
    CAIGame::SwitchState(STATE_MAIN);
    clock.advanceMs(16);
    game.Game_update();
    EXPECT_EQ(game.StateCurrent(), STATE_MAIN);
    game.SetShakeBrickCount(5);
    EXPECT_EQ(CAIGame::s_nShakeBrickCount, 5);
    game.SetUserMusicPlaying(true);
    EXPECT_TRUE(CAIGame::m_bIsUserMusicPlaying);
    CAIGame::s_gameLanguage = 4;
    EXPECT_EQ(game.GetLanguage(), 4);
    game.DestroyController();
    EXPECT_EQ(game.StateCurrent(), -1);
    EXPECT_EQ(CAIGame::GetInstance(), nullptr);
}

}  // namespace
