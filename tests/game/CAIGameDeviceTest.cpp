// The controller on the real render device: a state switch gives the old screen's 3D resources
// back (the driver's material renderers go and the game's four are built again, the batcher's
// storage shrinks back) and entering the main menu puts the camera back in its place.
#include <gtest/gtest.h>

#include "engine/scene/CSceneManager.h"
#include "engine/scene/ICameraSceneNode.h"
#include "engine/video/CTextureManager.h"
#include "engine/video/material/CMaterialRendererManager.h"
#include "game/CGameLink.h"
#include "game/SpecialFX/CSpecialFXManager.h"
#include "tests/engine/video/DriverTestSupport.h"
#include "tests/game/GameTestSupport.h"
#include "tools/formats/BeffWriter.h"
#include "tools/formats/Canvas.h"

#include <set>
#include <string>

namespace {

TEST(CAIGameDevice, SwitchRemovesTheScreensRenderersAndRebuildsTheGames)
{
    test::GameDevice gl;
    ASSERT_TRUE(gl.ok());
    pravik::video::IVideoDriver& driver = *gl.device().getVideoDriver();
    pravik::video::CMaterialRendererManager& renderers = *driver.getMaterialRendererManager();
    test::GameFixture f;
    f.frame();
    const auto shader = test::addTestShader(driver, "screen shader", {}, {pravik::video::EVA_POSITION});
    test::buildRenderer(driver, "screen renderer one", shader);
    test::buildRenderer(driver, "screen renderer two", shader);
    ASSERT_NE(renderers.getId("screen renderer one"), 0xffff);
    const auto before = renderers.size();
    CM3DRender& batcher = gl.device().GetM3DRender();
    M3DXVertex_XYZD quad[4] = {};
    for (int i = 0; i < 100; ++i)
        batcher.Blt(quad);
    ASSERT_GE(batcher.Run(batcher.CurrentRun()).capacity, 100);
    f.frame();
    EXPECT_EQ(renderers.size(), before);   // an update keeps them

    CAIGame::SwitchState(STATE_MAIN);
    f.frame();
    EXPECT_EQ(renderers.getId("screen renderer one"), 0xffff);
    EXPECT_EQ(renderers.getId("screen renderer two"), 0xffff);
    for (int number = CVuvDevice::FIRST_GAME_MATERIAL; number < CVuvDevice::MATERIAL_COUNT; ++number) {
        SCOPED_TRACE(number);
        EXPECT_GE(gl.device().GetMaterialRenderID(number), 0);
        EXPECT_TRUE(gl.device().CreateMaterial(number));
    }
    for (int i = 0; i < CM3DRender::RUN_COUNT; ++i)
        ASSERT_EQ(batcher.Run(i).capacity, 0) << i;
}

TEST(CAIGameDevice, EnteringTheMainMenuResetsTheCamera)
{
    test::GameDevice gl;
    ASSERT_TRUE(gl.ok());
    test::GameFixture f;
    const struct {
        int next;
        bool reset;
    } rows[] = {{STATE_ISLAND, false}, {STATE_INGAME, false}, {STATE_MAIN, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.next);
        gl.device().UpdateCurCamera({120.f, -40.f, 0.f});
        CAIGame::SwitchState(row.next);
        const pravik::core::vector3d<float> at = gl.device().GetCamera()->getPosition();
        EXPECT_EQ(at.X, row.reset ? 0.f : 120.f);
        EXPECT_EQ(at.Y, row.reset ? 0.f : -40.f);
        EXPECT_EQ(at.Z, 512.f);
        EXPECT_EQ(gl.device().GetM3DRender().m_vCameraPos.X, row.reset ? 0.f : 120.f);
    }
}

// The controller's construction takes the screen-effect pictures with their sampling, eight
// carrier nodes under the scene root and a hidden high-score effect; its destruction gives the
// pictures back to the texture manager.
TEST(CAIGameDevice, EffectPicturesNodesAndTheHighScoreEffect)
{
    test::GameDevice gl;
    ASSERT_TRUE(gl.ok());
    const char* pictures[8] = {"SFX/BallShine_SmallBall.tga", "SFX/BallShine_CannonBall.tga",
                               "SFX/BallShine_FrostBall.tga", "SFX/BallShine_FireBall.tga",
                               "SFX/BallShine_CrazyBall.tga", "SFX/BallShine_BigBall.tga",
                               "SFX/touch_point.tga",         "SFX/lockline.tga"};
    for (int i = 0; i < 8; ++i)   // widths 8 to 15 tell them apart
        gl.dir.write(std::string("app/native/data/") + pictures[i],
                     formats::Canvas(8 + i, 4, formats::Rgba(255, 255, 255, 255)).encode(".tga"));
    gl.dir.write("app/native/data/SFX/words_tail.beff",
                 formats::effects::writeBeff(formats::effects::minimalEffect()));
    GameLink().CreateEffectManager();
    pravik::video::CTextureManager& textures = *gl.device().getVideoDriver()->getTextureManager();
    auto registered = [&textures](const char* name) {
        return textures.getRegistry().getId(textures.getHashName(name).c_str()) != 0xffff;
    };
    {
        test::GameFixture f;
        TextureHandle* held[8] = {&CAIGame::g_pBallShineTex[0], &CAIGame::g_pBallShineTex[1],
                                  &CAIGame::g_pBallShineTex[2], &CAIGame::g_pBallShineTex[3],
                                  &CAIGame::g_pBallShineTex[4], &CAIGame::g_pBallShineTex[5],
                                  &CAIGame::s_TouchPointImage,  &CAIGame::g_pLockLine};
        for (int i = 0; i < 8; ++i) {
            SCOPED_TRACE(pictures[i]);
            ASSERT_TRUE(*held[i]);
            EXPECT_EQ((*held[i])->getWidth(), 8 + i);
            EXPECT_EQ((*held[i])->getMinFilter(), pravik::video::ETFT_NEAREST);
            EXPECT_EQ((*held[i])->getMagFilter(), i == 7 ? pravik::video::ETFT_LINEAR : pravik::video::ETFT_NEAREST);
            EXPECT_EQ((*held[i])->getWrapS(), pravik::video::ETC_CLAMP);
            EXPECT_TRUE(registered(pictures[i]));
        }
        std::set<SceneNode*> nodes(std::begin(CAIGame::s_pDummylNode), std::end(CAIGame::s_pDummylNode));
        EXPECT_EQ(nodes.size(), 8u);
        for (SceneNode* node : CAIGame::s_pDummylNode) {
            ASSERT_NE(node, nullptr);
            EXPECT_EQ(node->getParent(), gl.device().getSceneManager()->getRootSceneNode());
        }
        EXPECT_EQ(CAIGame::s_nCurDummyNodeIdx, 0);
        ASSERT_NE(CAIGame::s_pLeveCompleteHighScoreSfx, nullptr);
        EXPECT_FALSE(CAIGame::s_pLeveCompleteHighScoreSfx->IsVisible());
        EXPECT_FALSE(CAIGame::s_pLeveCompleteHighScoreSfx->GetNodes().empty());
    }
    for (const char* name : pictures) {
        EXPECT_FALSE(registered(name)) << name;
    }
    EXPECT_EQ(CAIGame::s_pLeveCompleteHighScoreSfx, nullptr);
    GameLink().DestroyEffectManager();
}

}  // namespace
