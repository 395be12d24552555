// Pieces of the menu scene beside its transitions: where a brick caption starts, the turning
// background element, the menu effects outside the world map, and the one-button message tip.
#include <gtest/gtest.h>

#include "engine/video/CTextureManager.h"
#include "engine/video/IVideoDriver.h"
#include "tests/game/GameTestSupport.h"

namespace {

using test::GameFixture;

TEST(MenuScene, CaptionStartsByBrickAndLength)
{
    const struct {
        int brick, length, x, y;
    } rows[] = {
        {0, 10, 200 - 138, 300 + 97},
        {0, 0, 200 - 58, 300 + 67},
        {1, 4, 200 - 144, 300 + 82},
        {2, 4, 200 - 160, 300 + 85},
        {3, 4, 200, 300},    // no such brick: left where it was
        {-1, 4, 200, 300},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.brick);
        int x = 200, y = 300;
        CAIGame::MenuCaptionOrigin(row.brick, row.length, x, y);
        EXPECT_EQ(x, row.x);
        EXPECT_EQ(y, row.y);
    }
}

TEST(MenuScene, CaptionNeedsAShownBrick)
{
    GameFixture f;
    wchar_t text[] = L"Play";
    CAIGame::g_nMenuBrickTranslationMode = 0;
    CAIGame::g_nMenuBrickPosX[0] = CAIGame::g_nMenuBrickPosY[0] = -1;
    // No brick player, and no signboard while it moves: nothing is drawn and nothing is stored.
    CAIGame::DrawMenuTitle_New(text, 0, 100, 100);
    CAIGame::g_nMenuBrickTranslationMode = 1;
    CAIGame::DrawMenuTitle_New(text, 0, 100, 100);
    CAIGame::DrawMenuTitle_New(text, 5, 100, 100);
    EXPECT_EQ(CAIGame::g_nMenuBrickPosX[0], -1);
    EXPECT_EQ(CAIGame::g_nMenuBrickPosY[0], -1);
}

TEST(MenuScene, BackgroundElementTurnsWithTime)
{
    test::GameDevice device;
    ASSERT_TRUE(device.ok());
    GameFixture f;
    CAIGame::_timeElapsed = 33;
    CAIGame::g_fBackGroundElementCounter = 0;
    for (int i = 0; i < 10; ++i)
        CAIGame::DrawBackGroundElement(0, 0);
    EXPECT_EQ(CAIGame::g_fBackGroundElementCounter, 0.0f);   // no element texture: no turn

    pravik::video::IVideoDriver* driver = CVuvDevice::GetVideoDriver();
    ASSERT_NE(driver, nullptr);
    CAIGame::g_pBackGroundElementTexture = driver->getTextureManager()->addTexture(
        pravik::core::dimension2d<int>(8, 8), "element.tga", pravik::video::EPF_R8G8B8A8, true);
    ASSERT_TRUE(CAIGame::g_pBackGroundElementTexture);
    for (int i = 0; i < 10; ++i)   // 330 ms
        CAIGame::DrawBackGroundElement(100, 50);
    EXPECT_NEAR(CAIGame::g_fBackGroundElementCounter, 0.1f, 1e-5f);
    CAIGame::g_pBackGroundElementTexture = nullptr;
}

TEST(MenuScene, NoMenuEffectsOnTheWorldMap)
{
    GameFixture f;
    CAIGame::s_stateCurrent = STATE_ISLAND;
    f.game->MMEffectInit();
    EXPECT_TRUE(f.game->m_bMenuEffectsCreated);
    for (EffectImpl* e : f.game->m_pMenuEffects)
        EXPECT_EQ(e, nullptr);
    f.game->MMEffectOpen();
    f.game->MMEffectClose();
    f.game->MMEffectDestroy();
    EXPECT_FALSE(f.game->m_bMenuEffectsCreated);
}

// One frame of the message tip with its touch state: a tap on the OK button is let go this frame.
void TipFrame(GameFixture& f, bool tapOk)
{
    CAITouchObj* ok = CAIGame::Touch_GetObj(2, 0);
    CAIGame::s_curObj = tapOk ? ok : nullptr;
    if (tapOk)
        f.release(7);
    f.game->UpdateMessageTip();
    CAIGame::s_curObj = nullptr;
    f.pad = std::make_unique<CPad>();
    CAIGame::SetKeyPad(f.pad.get());
}

TEST(MenuScene, MessageTipClosesAfterItsButtonBlinked)
{
    GameFixture f;
    CAIGame::_nMenuAlpha = 0;
    CAIGame::s_nPressedBtn_New = -1;
    CAIGame::s_nFrameCount_New = 0;
    f.game->OpenConfirmOneButtonMode(0);
    EXPECT_EQ(f.game->m_oneButtonMessageKind, 0);

    // The veil fades in over 8 frames (24 a frame up to 180); no button meanwhile, so a tap
    // does nothing.
    for (int i = 0; i < 7; ++i) {
        TipFrame(f, true);
        EXPECT_EQ(CAIGame::Touch_GetObj(2, 0), nullptr);
    }
    EXPECT_EQ(f.traced("sound"), std::vector<int>{});
    TipFrame(f, false);
    EXPECT_EQ(CAIGame::_nMenuAlpha, 180);
    CAITouchObj* ok = CAIGame::Touch_GetObj(2, 0);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->m_slot, 51);
    EXPECT_EQ(ok->m_key, 7);

    CAIGame::Touch_Add_Button(1, 3, 0, CAITouchObj::RECT, 0, 0, 10, 10, -1, 7, 0);   // the screen's own
    TipFrame(f, true);
    EXPECT_EQ(f.traced("sound"), std::vector<int>{56});
    EXPECT_EQ(CAIGame::s_nPressedBtn_New, 51);
    for (int i = 0; i < 20; ++i) {   // the button blinks for 20 frames
        TipFrame(f, false);
        EXPECT_TRUE(f.game->m_oneButtonMessageShown);
    }
    TipFrame(f, false);
    EXPECT_FALSE(f.game->m_oneButtonMessageShown);
    EXPECT_EQ(f.game->m_oneButtonMessageKind, -1);
    EXPECT_EQ(CAIGame::s_nPressedBtn_New, -1);
    EXPECT_EQ(CAIGame::Touch_GetObj(2, 0), nullptr);   // every region dropped: the screen's too
    EXPECT_EQ(CAIGame::Touch_GetObj(1, 0), nullptr);
}

}  // namespace
