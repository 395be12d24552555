// Construction gives every static its start value, whatever a previous controller left; the
// two teardown paths free what the statics own.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/game/GameTestSupport.h"

namespace {

using test::GameFixture;

// Values a previous run might have left behind.
void poisonStatics()
{
    CAIGame::s_stateCurrent = 44;
    CAIGame::s_stateLast = 7;
    CAIGame::s_scrollingTime = 5;
    CAIGame::s_stateEnterNext = false;
    CAIGame::s_touchStateHasProcessed = false;
    CAIGame::s_nVolumeSFX = 3;
    CAIGame::_story = false;
    CAIGame::_life = 12;
    CAIGame::m_storyModeScore = 777;
    CAIGame::s_confirm = 9;
    CAIGame::__temp_size[0] = 1;
    CAIGame::_stats_HS[104] = 5;
    CAIGame::s_menuCurrent[39] = 3;
    CAIGame::_unlocked_locations[6] = 2;
}

TEST(CAIGameLifecycle, StartValues)
{
    CAIGame::ReleaseStaticData();
    poisonStatics();
    GameFixture f;
    const struct {
        const char* name;
        int64_t value;
        int64_t start;
    } rows[] = {
        {"s_stateCurrent", CAIGame::s_stateCurrent, 1},
        {"s_stateLast", CAIGame::s_stateLast, -1},
        {"s_stateNext", CAIGame::s_stateNext, -1},
        {"s_stateExitCurrent", CAIGame::s_stateExitCurrent, 0},
        {"s_stateEnterNext", CAIGame::s_stateEnterNext, 1},
        {"s_scrollingTime", CAIGame::s_scrollingTime, -2000},
        {"s_stateFrameCounter", CAIGame::s_stateFrameCounter, 0},
        {"s_game_frameDT", CAIGame::s_game_frameDT, 0},
        {"_last_list_id", CAIGame::_last_list_id, -1},
        {"s_nPressingSelectItem", CAIGame::s_nPressingSelectItem, -1},
        {"s_frame_HL_id", CAIGame::s_frame_HL_id, -1},
        {"s_touchStateHasProcessed", CAIGame::s_touchStateHasProcessed, 1},
        {"s_first_intoConfirm", CAIGame::s_first_intoConfirm, 1},
        {"s_loopingMusicId", CAIGame::s_loopingMusicId, -1},
        {"m_ingameBgMusic", CAIGame::m_ingameBgMusic, -1},
        {"m_pals_1", CAIGame::m_pals_1, 1},
        {"m_pals_2", CAIGame::m_pals_2, 3},
        {"m_pals_3", CAIGame::m_pals_3, 7},
        {"m_pals_4", CAIGame::m_pals_4, 15},
        {"s_nDestroyAllBrickesGroup", CAIGame::s_nDestroyAllBrickesGroup, -1},
        {"s_darkenBrickPal", CAIGame::s_darkenBrickPal, 14},
        {"firstBall", CAIGame::firstBall, 1},
        {"m_maximumBallSpeed", CAIGame::m_maximumBallSpeed, 5120},
        {"m_levelInitBallSpeed", CAIGame::m_levelInitBallSpeed, 3584},
        {"s_ballFollowingMaxSpeed", CAIGame::s_ballFollowingMaxSpeed, 12800},
        {"_nMagnetMaxBalls", CAIGame::_nMagnetMaxBalls, 1},
        {"_ball_multiplier", CAIGame::_ball_multiplier, 2},
        {"s_respawnTime", CAIGame::s_respawnTime, 9},
        {"s_addonStackSize", CAIGame::s_addonStackSize, 1},
        {"s_addonTimeLimit", CAIGame::s_addonTimeLimit, 20000},
        {"_life", CAIGame::_life, 0},
        {"s_currentCameraLimitId", CAIGame::s_currentCameraLimitId, -1},
        {"s_lastCameraLimitId", CAIGame::s_lastCameraLimitId, -1},
        {"__temp_size[0]", CAIGame::__temp_size[0], 256},
        {"__temp_size[1]", CAIGame::__temp_size[1], 0},
        {"__temp_order_0001[2]", CAIGame::__temp_order_0001[2], 5},
        {"m_paintFloatingElementsOnBackground", CAIGame::m_paintFloatingElementsOnBackground, 1},
        {"s_bBackgroundRTNeedRedraw", CAIGame::s_bBackgroundRTNeedRedraw, 1},
        {"s_needHelpBonusTimer", CAIGame::s_needHelpBonusTimer, -1},
        {"_drawPress5", CAIGame::_drawPress5, 1},
        {"m_isAccelRecovered", CAIGame::m_isAccelRecovered, 1},
        {"s_bulletTimeDelay", CAIGame::s_bulletTimeDelay, 5},
        {"m_storyModeScore", CAIGame::m_storyModeScore, 0},
        {"_stats_HS[104]", CAIGame::_stats_HS[104], 0},
        {"_unlocked_locations[6]", CAIGame::_unlocked_locations[6], 0},
        {"s_locationToUnlock", CAIGame::s_locationToUnlock, -1},
        {"s_nVolumeSFX", CAIGame::s_nVolumeSFX, 100},
        {"s_nVolumeMusic", CAIGame::s_nVolumeMusic, 100},
        {"_story", CAIGame::_story, 1},
        {"s_menuCurrent[39]", CAIGame::s_menuCurrent[39], 0},
        {"s_scrollMenuTime_oneStep", CAIGame::s_scrollMenuTime_oneStep, 500},
        {"s_scrollMenuSelected_New", CAIGame::s_scrollMenuSelected_New, 7},
        {"s_scrollMenuSelectedLast_New", CAIGame::s_scrollMenuSelectedLast_New, 7},
        {"s_scrollMenuItemShown_New", CAIGame::s_scrollMenuItemShown_New, 4},
        {"s_scrollMenuItemMax_New", CAIGame::s_scrollMenuItemMax_New, 8},
        {"s_nPressedBtn_New", CAIGame::s_nPressedBtn_New, -1},
        {"s_stateEnterShop", CAIGame::s_stateEnterShop, 26},
        {"s_curFrameInfoIcon", CAIGame::s_curFrameInfoIcon, 51},
        {"s_curFrameOptionsIcon", CAIGame::s_curFrameOptionsIcon, 61},
        {"s_nNumCurShownIGM", CAIGame::s_nNumCurShownIGM, 8},
        {"FAKE_FRAME_ID", CAIGame::FAKE_FRAME_ID, 999},
        {"s_nShakeBrickCount", CAIGame::s_nShakeBrickCount, 1},
        {"m_lastBGMId", CAIGame::m_lastBGMId, -1},
        {"s_confirm", CAIGame::s_confirm, -1},
        {"s_message", CAIGame::s_message, -1},
        {"one-button message kind", f.game->m_oneButtonMessageKind, -1},
        {"equipment focus", f.game->m_equipFocus, 2},
        {"equipment focus on entry", f.game->m_equipFocusOnEntry, 2},
        {"one-button message shown", f.game->m_oneButtonMessageShown, 0},
        {"return states", int64_t(f.game->m_returnStates.size()), 0},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.value, row.start) << row.name;

    EXPECT_EQ(CAIGame::_map.length, 0);
    EXPECT_EQ(CAIGame::_stars_location.length, 0);
    EXPECT_EQ(CAIGame::s_secretLevels.length, 0);

    ASSERT_EQ(CAIGame::s_slots.length, 52);
    EXPECT_TRUE(std::all_of(CAIGame::s_slots.data, CAIGame::s_slots.data + 52, [](uint8_t s) { return s == 0; }));
    ASSERT_EQ(CAIGame::s_touch_vector.length, 3);
    for (int i = 0; i < 3; ++i) {
        ASSERT_NE(CAIGame::s_touch_vector.data[i], nullptr);
        EXPECT_TRUE(CAIGame::s_touch_vector.data[i]->empty());
    }
    ASSERT_EQ(CAIGame::s_Racket_button_TouchObj.length, 20);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(CAIGame::s_Racket_button_TouchObj.data[i], nullptr);

    EXPECT_EQ(CAIGame::GetInstance(), f.game.get());
    EXPECT_NE(CAIGame::GetStringManager(), nullptr);
    EXPECT_EQ(CAchievement::GetAchievement(), &f.game->m_achievement);
}

TEST(CAIGameLifecycle, ReleaseWithNothingLoadedFailsNothing)
{
    CAIGame::ReleaseStaticData();
    CAIGame::ReleaseStaticData();
    GameFixture f;
    CAIGame::ReleaseStaticData();
    CAIGame::ReleaseStaticData();
    EXPECT_EQ(CAIGame::_map.length, 0);
}

TEST(CAIGameLifecycle, ReleaseFreesWhatTheStaticsOwn)
{
    GameFixture f;
    CAIGame::_sprites[3] = new CAISprite;
    CAIGame::_groups[569] = new CAIBrick;
    CAIGame::s_ballPool[0] = new CAIBall;
    CAIGame::_rackets[19] = new CAIRacket;
    CAIGame::s_enemyCount = 2;
    CAIGame::s_enemyInstance[1] = new CAIEnemy;
    CAIGame::_bullets_instance[7] = new CAIObject;
    CAIGame::s_bulletCount = 1;
    CAIGame::s_target = new int32_t[9];
    CAIGame::s_touchAni = new ViDuzPlayer;
    CAIGame::g_pMenuBGAnimationPlayer[8] = new ViDuzPlayer;
    CAIGame::m_cosinusArray = new int16_t[1025];
    CAITouchObj* region = new CAITouchObj;
    region->m_children.push_back(new CAITouchObj);
    CAIGame::s_touch_vector.data[2]->push_back(region);
    CAIGame::_map.NewArray(4);
    CAIGame::_map.data[1].NewArray(20);
    CAIGame::m_gameData.NewArray(2);
    CAIGame::m_gameData.data[0].NewArray(3);
    CAIGame::m_gameData.data[0].data[2].NewArray(6);
    CAIGame::_stars_location.NewArray(13);
    CAIGame::m_spritesGUI.NewArray(39);
    CAIGame::m_spritesGUI.data[38] = new CAISprite;

    CAIGame::ReleaseStaticData();

    EXPECT_EQ(CAIGame::_sprites[3], nullptr);
    EXPECT_EQ(CAIGame::_groups[569], nullptr);
    EXPECT_EQ(CAIGame::s_ballPool[0], nullptr);
    EXPECT_EQ(CAIGame::_rackets[19], nullptr);
    EXPECT_EQ(CAIGame::s_enemyInstance[1], nullptr);
    EXPECT_EQ(CAIGame::_bullets_instance[7], nullptr);
    EXPECT_EQ(CAIGame::s_bulletCount, 0);
    EXPECT_EQ(CAIGame::s_target, nullptr);
    EXPECT_EQ(CAIGame::s_touchAni, nullptr);
    EXPECT_EQ(CAIGame::g_pMenuBGAnimationPlayer[8], nullptr);
    EXPECT_EQ(CAIGame::m_cosinusArray, nullptr);
    EXPECT_EQ(CAIGame::s_touch_vector.data[2], nullptr);
    EXPECT_EQ(CAIGame::_map.length, 0);
    EXPECT_EQ(CAIGame::_map.data, nullptr);
    EXPECT_EQ(CAIGame::m_gameData.length, 0);
    EXPECT_EQ(CAIGame::_stars_location.length, 0);
    EXPECT_EQ(CAIGame::m_spritesGUI.length, 0);
    // What is left for the sanitizer run to see: nothing (every block above was freed).
}

TEST(CAIGameLifecycle, InitLocationLeavesThirteenZeroStars)
{
    for (const int before : {0, 5, 13, 40}) {
        SCOPED_TRACE(before);
        GameFixture f;
        CAIGame::_stars_location.NewArray(before);
        for (int i = 0; i < before; ++i)
            CAIGame::_stars_location.data[i] = 1;
        CAIGame::m_blockMasterRowsDestroyed = 8;
        CAIGame::_game_mode = 9;
        CAIGame::m_arrayEquipCount[0] = 1;
        CAIGame::InitLocation(4);
        ASSERT_EQ(CAIGame::_stars_location.length, 13);
        EXPECT_TRUE(std::all_of(CAIGame::_stars_location.data, CAIGame::_stars_location.data + 13,
                                [](uint8_t s) { return s == 0; }));
        EXPECT_TRUE(CAIGame::_blink_stars);
        EXPECT_EQ(CAIGame::_last_random_level_played, 1);
        EXPECT_EQ(CAIGame::m_blockMasterRowsDestroyed, 0);
        EXPECT_EQ(CAIGame::_life, 4);   // three lives while location 1 is locked, one equipped
    }
}

TEST(CAIGameLifecycle, AchievementReachesTheBannerQueue)
{
    GameFixture f;
    f.game->m_achievement.TestAndMakeAchievement(GAME_ACHIEVEMENT(5));
    f.game->m_achievement.TestAndMakeAchievement(GAME_ACHIEVEMENT(5));   // made once only
    f.game->m_achievement.TestAndMakeAchievement(GAME_ACHIEVEMENT(29));
    EXPECT_EQ(CAIGame::m_nCurrentAchievementCount, 2);
    EXPECT_EQ(CAIGame::m_CurrentAchievement[0], 5);
    EXPECT_EQ(CAIGame::m_CurrentAchievement[1], 29);
    EXPECT_EQ(CAIGame::m_nAchievementShowCounter, 6000);
    EXPECT_TRUE(f.game->m_achievement.IsAchievementMake(GAME_ACHIEVEMENT(29)));
    EXPECT_FALSE(f.game->m_achievement.IsAchievementMake(GAME_ACHIEVEMENT(30)));
}

TEST(CAIGameLifecycle, DestroyUnregisters)
{
    {
        GameFixture f;
    }
    EXPECT_EQ(CAIGame::GetInstance(), nullptr);
    EXPECT_EQ(CAIGame::GetStringManager(), nullptr);
    EXPECT_EQ(CAchievement::GetAchievement(), nullptr);
}

}  // namespace
