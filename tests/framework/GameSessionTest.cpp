// The application object's frames with the game session on a headless GL context: seven loading
// frames, then each frame in its fixed order, seen through the counting GL dispatch; the scene
// step is capped after a long pause.

#include "framework/AppPlaybook.h"
#include "framework/CGame.h"
#include "framework/CHQGameWndSession.h"
#include "framework/CVuvDevice.h"
#include "framework/GameInterface.h"
#include "framework/ViDuz.h"

#include "engine/os/Timer.h"
#include "engine/video/gl/CGLCallRecorder.h"
#include "tests/framework/FrameworkGLSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <unistd.h>
#include <vector>

using pravik::video::CGLCallRecorder;

namespace {

std::uint64_t g_nowUs = 1'000'000;
std::uint64_t testClock()
{
    return g_nowUs;
}

// Each step draws a different number of quads, so its draw call shows where it ran.
struct SDrawingGame : IGameInterface {
    std::vector<std::string> calls;
    boost::intrusive_ptr<pravik::video::ITexture> particle;
    void CreateController() override { calls.push_back("create"); }
    void DestroyController() override { calls.push_back("destroy"); }
    void Game_update() override
    {
        calls.push_back("update");
        CVuvDevice* device = CVuvDevice::GetVuvDevice();
        device->setTexture(particle);
        device->setBlendMode(2);
        M3DXVertex_XYZDT quads[8] = {};
        device->Blt(quads, 2);   // the particle pass: 12 indices
    }
    void Game_Paint() override
    {
        calls.push_back("paint");
        ViDuz::FillRect(0, 0, 10, 10);   // the 2D pass: 6 indices
    }
    void Render3D() override
    {
        calls.push_back("overlay");
        for (int i = 0; i < 3; ++i)
            ViDuz::FillRect(0, 0, 10, 10);   // the overlay: 18 indices
    }
    void UpdateEffects(int ms) override { calls.push_back("effects " + std::to_string(ms)); }
    void RenderEffects() override { calls.push_back("render effects"); }
};

} // namespace

TEST(GameSession, LoadsInSevenFramesThenDrawsInOrderAndCapsTheSceneStep)
{
    test::ProcessBufferHeap heap;
    pravik::video::test::GLTestContext context(600, 1024);
    ASSERT_TRUE(context.ok());
    test::TempDir dir;
    char oldDir[1024];
    ASSERT_TRUE(getcwd(oldDir, sizeof oldDir));
    std::snprintf(g_appPath, sizeof g_appPath, "%s/", dir.path().c_str());
    pravik::os::Timer::setTimeSource(testClock);

    SDrawingGame game;
    SetGameInterface(&game);
    {
        CGame app;
        ASSERT_TRUE(app.OnInitialize());
        game.particle = CVuvDevice::GetVideoDriver()->createTexture("spark", pravik::video::STextureDesc{});
        auto* session = dynamic_cast<CGamePlay*>(app.GetSession());
        ASSERT_NE(session, nullptr);
        EXPECT_EQ(game.calls, (std::vector<std::string>{"create"}));
        for (int frame = 0; frame < 7; ++frame) {
            SCOPED_TRACE(frame);
            EXPECT_TRUE(session->IsLoading());
            g_nowUs += 16'000;
            app.OnMainLoop();
        }
        EXPECT_FALSE(session->IsLoading());
        EXPECT_EQ(game.calls.size(), 1u);   // loading ran no game frame

        g_nowUs += 16'000;
        CGLCallRecorder gl;
        app.OnMainLoop();
        EXPECT_FLOAT_EQ(session->LastSceneStep(), 16.f);
        EXPECT_EQ(game.calls, (std::vector<std::string>{"create", "update", "paint", "overlay", "effects 16",
                                                       "render effects"}));
        std::vector<std::string> order;
        for (const std::string& call : gl.log()) {
            if (call.rfind("glClear(", 0) == 0)
                order.push_back("clear");
            else if (call.rfind("glDrawElements", 0) == 0)
                order.push_back(call.substr(0, call.find(',', call.find(',') + 1)));
        }
        EXPECT_EQ(order, (std::vector<std::string>{"clear", "glDrawElements(4, 6", "glDrawElements(4, 12",
                                                   "glDrawElements(4, 18"}));

        g_nowUs += 5'000'000;   // a long pause
        app.OnMainLoop();
        EXPECT_FLOAT_EQ(session->LastSceneStep(), 100.f);
        g_nowUs -= 50'000;      // the clock going back gives no step
        app.OnMainLoop();
        EXPECT_FLOAT_EQ(session->LastSceneStep(), 0.f);
    }
    EXPECT_EQ(game.calls.back(), "destroy");
    SetGameInterface(nullptr);
    pravik::os::Timer::setTimeSource(nullptr);
    g_appPath[0] = 0;
    EXPECT_EQ(chdir(oldDir), 0);
}
