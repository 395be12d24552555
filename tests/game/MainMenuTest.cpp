// The main menu: what entering plays and starts, what each entry does, and the switch that waits
// for the background and the signboard to finish leaving.
#include <gtest/gtest.h>

#include "framework/CGame.h"
#include "framework/ScreenGeometry.h"
#include "tests/game/GameTestSupport.h"

namespace {

using test::GameFixture;

void Finish(ViDuzPlayer* p) { p->m_bAnimOver = 1; }

// The menu scene's two sprites (slots 104 and 105) in place, as its loading leaves them.
void PlaceMenuSprites()
{
    for (int slot : {104, 105}) {
        if (CAIGame::_sprites[slot])
            CAIGame::_sprites[slot]->drop();
        CAIGame::_sprites[slot] = test::newAnimSprite(32);
    }
    CAIGame::s_bInitedAllMMSprites = true;
}

// Brings the controller into the main menu coming from `from`.
void EnterMenuFrom(GameFixture& f, int from)
{
    PlaceMenuSprites();
    f.frame();
    CAIGame::SwitchState(from);
    f.frame();
    CAIGame::SwitchState(STATE_MAIN);
    f.frame();
    ASSERT_EQ(CAIGame::s_stateCurrent, STATE_MAIN);
}

// The signboard has finished entering: the single bricks idle and input is read.
void Settle(GameFixture& f)
{
    Finish(CAIGame::g_pMenuBrickAnimPlayer);
    f.frame();
    ASSERT_EQ(CAIGame::g_nMenuBrickTranslationMode, 0);
}

int Anim(int layer) { return CAIGame::g_pMenuBGAnimationPlayer[layer]->GetAnim(); }

TEST(MainMenu, EnteringDependsOnWhereItCameFrom)
{
    const struct {
        int from;
        bool music;
        int layer2, layer0;
    } rows[] = {
        {STATE_LOADING, true, 11, 17},
        {STATE_GAME_MODE_MAIN_MENU, true, 13, 17},
        {STATE_BONUS_SETTING, false, 13, 17},   // hubs keep the background still
        {STATE_ISLAND, false, 11, 16},          // the world map and the shop: full enter
        {STATE_SHOP, false, 11, 16},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.from);
        GameFixture f;
        EnterMenuFrom(f, row.from);
        EXPECT_EQ(f.traced("music"), row.music ? std::vector<int>{1} : std::vector<int>{});
        EXPECT_EQ(Anim(2), row.layer2);
        EXPECT_EQ(Anim(0), row.layer0);
        EXPECT_EQ(Anim(8), 1);
        EXPECT_EQ(Anim(7), 18);
        EXPECT_EQ(CAIGame::g_pMenuBrickAnimPlayer->GetAnim(), 0);
        EXPECT_EQ(CAIGame::g_nMenuBrickTranslationMode, 1);
        // The menu produces only the background and signboard flags: nothing switches yet.
        EXPECT_EQ(CAIGame::s_arrUIExitAnimOver[0], 0);
        EXPECT_EQ(CAIGame::s_arrUIExitAnimOver[1], 0);
        EXPECT_EQ(CAIGame::s_arrUIExitAnimOver[2], 1);
        EXPECT_EQ(CAIGame::s_arrUIExitAnimOver[3], 1);
    }
}

TEST(MainMenu, EntriesLeaveAfterTheirAnimations)
{
    const struct {
        int slot, next, signboard, info, options;
        bool fullLeave;
    } rows[] = {
        {1, STATE_ISLAND, 1, 51, 61, true},
        {2, STATE_BONUS_SETTING, 2, 51, 61, false},
        {3, STATE_SHOP, 3, 51, 61, true},
        {6, STATE_INFORMATION, 27, 52, 61, false},
        {7, STATE_OPTIONS_MAIN_MENU, 27, 51, 62, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.slot);
        GameFixture f;
        EnterMenuFrom(f, STATE_LOADING);
        Settle(f);
        CAIGame::s_stateEnterShop = -1;
        CAITouchObj picked;
        picked.m_slot = row.slot;
        CAIGame::s_curObj = &picked;
        f.release(7);
        f.frame();
        CAIGame::s_curObj = nullptr;
        EXPECT_EQ(f.traced("sound"), std::vector<int>{56});
        EXPECT_EQ(CAIGame::s_loadingNextState, row.next);
        EXPECT_EQ(CAIGame::g_pMenuBrickAnimPlayer->GetAnim(), row.signboard);
        EXPECT_EQ(CAIGame::g_pTitleBrickAnimPlayer->GetAnim(), row.signboard);
        EXPECT_EQ(CAIGame::s_curFrameInfoIcon, row.info);
        EXPECT_EQ(CAIGame::s_curFrameOptionsIcon, row.options);
        EXPECT_EQ(CAIGame::s_stateEnterShop, row.slot == 3 ? STATE_MAIN : -1);
        EXPECT_TRUE(CAIGame::s_IsMMOtherItemHide);
        EXPECT_EQ(Anim(8), 2);
        EXPECT_EQ(Anim(7), 19);
        EXPECT_EQ(Anim(0), row.fullLeave ? 14 : 17);

        // Nothing switches while the signboard or a leave animation still runs.
        f.frame();
        EXPECT_EQ(CAIGame::s_stateCurrent, STATE_MAIN);
        Finish(CAIGame::g_pMenuBrickAnimPlayer);
        for (int layer : {0, 2, 5, 6, 7, 8})
            Finish(CAIGame::g_pMenuBGAnimationPlayer[layer]);
        f.frame();   // the flags are set
        f.frame();   // the switch is asked for
        EXPECT_EQ(CAIGame::s_stateCurrent, STATE_MAIN);
        f.frame();   // and made: the target is not built yet, so the menu comes back in
        EXPECT_EQ(CAIGame::s_stateCurrent, STATE_MAIN);
        EXPECT_EQ(CAIGame::s_stateLast, STATE_MAIN);   // "state 26 26"
        EXPECT_EQ(f.traced("state").back(), STATE_MAIN);
        EXPECT_EQ(CAIGame::g_nMenuBrickTranslationMode, 1);   // the signboard enters again
        EXPECT_EQ(CAIGame::g_pMenuBrickAnimPlayer->GetAnim(), 0);
        EXPECT_FALSE(CAIGame::s_IsMMOtherItemHide);
    }
}

TEST(MainMenu, ALinkLeavesTheMenuAsItIs)
{
    GameFixture f;
    EnterMenuFrom(f, STATE_LOADING);
    Settle(f);
    CAITouchObj picked;
    picked.m_slot = 4;
    CAIGame::s_curObj = &picked;
    f.release(7);
    f.frame();
    CAIGame::s_curObj = nullptr;
    f.frame();
    EXPECT_EQ(CAIGame::s_stateCurrent, STATE_MAIN);
    EXPECT_EQ(CAIGame::g_nMenuBrickTranslationMode, 0);
    EXPECT_FALSE(CAIGame::s_IsMMOtherItemHide);
    EXPECT_EQ(CAIGame::s_loopingMusicId, 1);
}

TEST(MainMenu, LinkLanguageAndStoreFrame)
{
    const struct {
        int language;
        const char* code;
        int storeFrame;
    } rows[] = {
        {0, "EN", 0}, {1, "FR", 1}, {2, "DE", 4}, {3, "IT", 2}, {4, "ES", 3},
        {5, "CN", 6}, {6, "JA", 7}, {7, "KO", 8}, {8, "BR", 5}, {9, "EN", 0}, {-1, "EN", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.language);
        const std::string url = CAIGame::MMOnlineServiceUrl(row.language);
        EXPECT_NE(url.find("https://online.quendrax.example/zyliveweb/index/index?lg=" + std::string(row.code) + "&TXR=70342"), std::string::npos)
            << url;
        EXPECT_EQ(CAIGame::MMStoreButtonFrame(row.language), row.storeFrame);
    }
}

// One frame with the finger down on the region of `slot` (0: nowhere), or lifted.
void FrameWithFinger(GameFixture& f, int slot, bool down)
{
    static CAITouchObj under;
    under.m_slot = slot;
    CAIGame::s_curObj = slot ? &under : nullptr;
    CAIGame::s_touchPressedNew = down;
    CAIGame::s_touchReleased = !down;
    f.frame();
    CAIGame::s_curObj = nullptr;
}

TEST(MainMenu, BrickFollowsTheFinger)
{
    GameFixture f;
    EnterMenuFrom(f, STATE_LOADING);
    Settle(f);
    ViDuzPlayer* brick = CAIGame::g_pMenuBrickCtrAniPlayer[1];
    EXPECT_EQ(brick->GetAnim(), 8);
    FrameWithFinger(f, 2, true);
    EXPECT_EQ(brick->GetAnim(), 15);   // press once
    Finish(brick);
    FrameWithFinger(f, 2, true);
    EXPECT_EQ(brick->GetAnim(), 18);   // then held
    FrameWithFinger(f, 2, false);
    EXPECT_EQ(brick->GetAnim(), 12);   // lifted: release once
    Finish(brick);
    FrameWithFinger(f, 0, false);
    EXPECT_EQ(brick->GetAnim(), 8);    // then idle

    // The options icon shows pressed only while the finger is on it.
    FrameWithFinger(f, 7, true);
    EXPECT_EQ(CAIGame::s_curFrameOptionsIcon, 62);
    EXPECT_EQ(CAIGame::s_curFrameInfoIcon, 51);
    FrameWithFinger(f, 7, true);
    EXPECT_EQ(CAIGame::s_curFrameOptionsIcon, 62);
    FrameWithFinger(f, 7, false);
    EXPECT_EQ(CAIGame::s_curFrameOptionsIcon, 61);
}

TEST(MainMenu, TouchRegionsOnceTheSignboardSettles)
{
    GameFixture f;
    EnterMenuFrom(f, STATE_LOADING);
    EXPECT_EQ(CAIGame::Touch_GetObj(1, 0), nullptr);   // none while the signboard enters
    Settle(f);
    const int lw = CGame::GetLogicWidthOffset(), lh = CGame::GetLogicHeighOffset();
    const int w = Screen_Width(), h = Screen_Height();
    const struct {
        int slot, x, y, w, h;
    } rows[] = {
        {1, lw + X_BRICK1_TOUCH, lh + Y_BRICK1_TOUCH, W_BRICK1_TOUCH, H_BRICK1_TOUCH},
        {2, lw + X_BRICK2_TOUCH, lh + Y_BRICK2_TOUCH, W_BRICK2_TOUCH, H_BRICK2_TOUCH},
        {3, lw + X_BRICK3_TOUCH, lh + Y_BRICK3_TOUCH, W_BRICK3_TOUCH, H_BRICK3_TOUCH},
        {4, 0, 0, 134, 132},
        {5, w - 80, 0, 80, 80},
        {6, 10, h - 102, 92, 92},
        {7, 112, h - 102, 92, 92},
    };
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        CAITouchObj* obj = CAIGame::Touch_GetObj(1, i);
        ASSERT_NE(obj, nullptr);
        EXPECT_EQ(obj->m_slot, rows[i].slot);
        EXPECT_EQ(obj->m_x, rows[i].x);
        EXPECT_EQ(obj->m_y, rows[i].y);
        EXPECT_EQ(obj->m_w, rows[i].w);
        EXPECT_EQ(obj->m_h, rows[i].h);
        EXPECT_EQ(obj->m_key, 7);
        EXPECT_EQ(obj->m_highlightFrame, -1);
    }
    EXPECT_EQ(CAIGame::Touch_GetObj(1, 7), nullptr);
}

}  // namespace

TEST(MainMenu, OnlineLinkInKoreanStaysInTheMenu)
{
    GameFixture f;
    EnterMenuFrom(f, STATE_LOADING);
    Settle(f);
    CAIGame::s_gameLanguage = 7;
    const size_t states = f.traced("state").size();
    CAITouchObj picked;
    picked.m_slot = 4;
    CAIGame::s_curObj = &picked;
    f.release(7);
    testing::internal::CaptureStdout();
    f.frame();
    const std::string out = testing::internal::GetCapturedStdout();
    CAIGame::s_curObj = nullptr;
    f.frame();
    EXPECT_EQ(out, "Opening https://online.quendrax.example/zyliveweb/index/index?lg=KO&TXR=70342\n");
    EXPECT_EQ(f.traced("state").size(), states);
    EXPECT_EQ(f.traced("sound").back(), 56);
    EXPECT_EQ(CAIGame::s_stateCurrent, STATE_MAIN);
    CAIGame::s_gameLanguage = 0;
}
