// The controller on the real render device: a state switch gives the old screen's 3D resources
// back (the driver's material renderers go and the game's four are built again, the batcher's
// storage shrinks back) and entering the main menu puts the camera back in its place.
#include <gtest/gtest.h>

#include "engine/scene/ICameraSceneNode.h"
#include "engine/video/material/CMaterialRendererManager.h"
#include "tests/engine/video/DriverTestSupport.h"
#include "tests/game/GameTestSupport.h"

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

}  // namespace
