// A state switch gives the old screen's 3D resources back: the driver's material renderers go
// and the game's are built again, the batcher's buffers are reset.
#include <gtest/gtest.h>

#include "engine/video/material/CMaterialRendererManager.h"
#include "tests/engine/video/DriverTestSupport.h"
#include "tests/game/GameTestSupport.h"

namespace {

TEST(CAIGameExitResources, SwitchRemovesMaterialRenderersAndRebuilds)
{
    test::ProcessBufferHeap heap;
    auto driver = test::makeNullDriver();
    pravik::video::CMaterialRendererManager& renderers = *driver->getMaterialRendererManager();
    test::GameFixture f;
    game_standin::CVuvDevice::Get().m_driver = driver.get();
    f.frame();
    const auto shader = test::addTestShader(*driver, "screen shader", {}, {pravik::video::EVA_POSITION});
    test::buildRenderer(*driver, "screen renderer one", shader);
    test::buildRenderer(*driver, "screen renderer two", shader);
    const auto before = renderers.size();
    ASSERT_GE(before, 2);
    f.frame();
    EXPECT_EQ(renderers.size(), before);   // an update keeps them
    EXPECT_EQ(game_standin::CVuvDevice::Get().m_initMaterialRenderCalls, 0);

    CAIGame::SwitchState(STATE_MAIN);
    f.frame();
    EXPECT_EQ(renderers.size(), 0);
    EXPECT_EQ(game_standin::CVuvDevice::Get().m_initMaterialRenderCalls, 1);
    EXPECT_EQ(CM3DRender::Get().m_resetCalls, 1);
    game_standin::CVuvDevice::Get().m_driver = nullptr;
}

}  // namespace
