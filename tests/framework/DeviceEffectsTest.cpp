// Effect files read through the render device: a sphere burst with a trail played into the
// game's 600x1024 surface on the real GL ES driver, and emitters hung under the nodes of a
// scene file the effect names.

#include "effects/EffectImpl.h"
#include "effects/IEmitter.h"
#include "framework/AppPlaybook.h"
#include "framework/CVuvDevice.h"
#include "framework/ScreenGeometry.h"
#include "tools/formats/BeffWriter.h"
#include "tools/formats/BresWriter.h"

#include "engine/scene/CSceneManager.h"
#include "engine/video/CTextureManager.h"
#include "tests/framework/FrameworkGLSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

using formats::effects::constant;
using pravik::core::vector3d;

// A sphere of radius 10 bursting still billboards at once, and an endless trail of line
// stripes drifting down from the emitter.
beff::SFile burstWithTrail()
{
    beff::SFile f;
    beff::SEntry burst;
    beff::SEmitter& b = burst.emitter;
    b.block = {1, 0, 2, 0, 5, 0, 0, 0, 0, 0, 0, 0};
    for (auto& r : b.radius)
        r = constant(10.f);
    b.radialSpeed = constant(0.f);
    b.burstCount = constant(20.f);
    b.particle.life = 40;
    b.particle.texture = "white.tga";
    b.particle.sizes[0] = constant(4.f);
    b.particle.sizes[1] = constant(4.f);
    f.entries.push_back(burst);

    beff::SEntry trail;
    beff::SEmitter& t = trail.emitter;
    t.block = {0, 0, 2, 0, -1, 0, 0, 0, 0, 0, 0, 0};
    t.burstCount = constant(1.f);
    t.radialSpeed = constant(0.f);
    t.directedSpeed = constant(60.f);
    t.direction = constant(vector3d<float>(0.f, -1.f, 0.f));
    t.particle.kind = 5;
    t.particle.life = 10;
    t.particle.texture = "white.tga";
    t.particle.sizes[0] = constant(3.f);
    t.particle.sizes[5] = constant(1.f);
    f.entries.push_back(trail);
    return f;
}

class DeviceEffects : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_context.ok());
        ASSERT_TRUE(getcwd(m_oldDir, sizeof m_oldDir));
        ScreenGeometry_SetMode(RESOLUTION_MODE_600X1024);
        const std::filesystem::path data = m_dir.path() / "app/native/data";
        std::filesystem::create_directories(data / "SFX");
        std::ofstream(data / "SFX/burst.beff", std::ios::binary) << formats::effects::writeBeff(burstWithTrail());
        std::ofstream(data / "SFX/dummy.bdae", std::ios::binary) << formats::bres::effectScene();
        m_data = data;
        std::snprintf(g_appPath, sizeof g_appPath, "%s/", data.string().c_str());
        m_device = new CVuvDevice(600, 1024);
        ASSERT_TRUE(m_device->IsValid());
        auto white = m_device->getVideoDriver()->getTextureManager()->addTexture(
            pravik::core::dimension2d<int>(8, 8), "SFX/white.tga", pravik::video::EPF_R8G8B8A8, true);
        ASSERT_TRUE(white);
        std::memset(white->map(pravik::video::EBMA_CLIENT_WRITE), 255, 8 * 8 * 4);
        white->unmap();
    }
    void TearDown() override
    {
        delete m_device;
        g_appPath[0] = 0;
        EXPECT_EQ(chdir(m_oldDir), 0);
    }

    // The game's frame: the scene animates, its particles are batched and drawn.
    void frames(int n)
    {
        for (int i = 0; i < n; ++i) {
            CVuvDevice::GetSceneManager()->update(33.f);
            m_device->BeginScene();
            CVuvDevice::GetSceneManager()->drawAll(nullptr);
            m_device->GetM3DRender().Flsh3DRender();
            m_device->EndScene();
        }
    }

    // Lit pixels of the whole surface by their distance from (cx, cy): {within r, beyond it}.
    static std::pair<int, int> litAround(int cx, int cy, float r, float* farthest = nullptr)
    {
        std::vector<unsigned char> rgba(600 * 1024 * 4);
        pravik::video::g_gl.glReadPixels(0, 0, 600, 1024, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        int near = 0, far = 0;
        float most = 0;
        for (int row = 0; row < 1024; ++row)
            for (int x = 0; x < 600; ++x) {
                const unsigned char* p = &rgba[(size_t(row) * 600 + size_t(x)) * 4];
                if (p[0] + p[1] + p[2] == 0)
                    continue;
                const float d = std::hypot(float(x - cx), float(1023 - row - cy));
                most = std::max(most, d);
                (d <= r ? near : far)++;
            }
        if (farthest)
            *farthest = most;
        return {near, far};
    }

    test::ProcessBufferHeap m_heap;
    pravik::video::test::GLTestContext m_context{600, 1024};
    test::TempDir m_dir;
    char m_oldDir[1024] = {};
    std::filesystem::path m_data;
    CVuvDevice* m_device = nullptr;
};

TEST_F(DeviceEffects, BurstAndTrailLightOnlyTheirPlace)
{
    EffectImpl effect;
    ASSERT_EQ(effect.LoadEffect("SFX/burst.beff"), 1);
    ASSERT_EQ(effect.GetEmitters().size(), 2u);
    // World units are pixels at the game's camera: (100, -200) shows at (400, 712).
    effect.SetPosition(vector3d<float>(100.f, -200.f, 0.f));
    effect.ResetAll();
    frames(30);
    EXPECT_GT(effect.GetEmitters()[0]->GetAliveParticles(), 0);
    EXPECT_GE(effect.GetEmitters()[1]->GetAliveParticles(), 3);
    float farthest = 0;
    const auto [near, far] = litAround(400, 712, 25.f, &farthest);
    EXPECT_GT(near, 100);
    EXPECT_EQ(far, 0) << "farthest lit pixel " << farthest;
    // The trail reaches below the burst: lit pixels past its shell on that side.
    int below = 0;
    for (int y = 726; y <= 733; ++y)
        below += test::pixel(400, y)[0] > 0;
    EXPECT_GT(below, 3);

    // Three times the size: the sphere's shell moves out to 30 pixels, the trail to 60.
    effect.SetScale(vector3d<float>(3.f, 3.f, 3.f));
    effect.SetScale(vector3d<float>(3.f, 3.f, 3.f));   // the same scale again: no change
    effect.ResetAll();
    frames(30);
    EXPECT_GT(litAround(400, 712, 20.f).second, 100);
    EXPECT_EQ(litAround(400, 712, 70.f, &farthest).second, 0) << "farthest lit pixel " << farthest;
}

TEST_F(DeviceEffects, EmittersHangUnderTheNodesOfTheSceneBefore)
{
    beff::SFile file;
    beff::SEntry early = formats::effects::minimalEffect().entries[0];
    early.emitter.nodeId = "dummy01";   // no scene yet: stays top-level
    beff::SEntry scene;
    scene.kind = 1;
    scene.scenePath = "SFX/dummy.bdae";
    beff::SEntry late = early;
    file.entries = {early, scene, late};
    std::ofstream(m_data / "SFX/hung.beff", std::ios::binary) << formats::effects::writeBeff(file);

    pravik::scene::ISceneNode* smgrRoot = CVuvDevice::GetSceneManager()->getRootSceneNode();
    const size_t before = smgrRoot->getChildren().size();
    {
        EffectImpl effect;
        ASSERT_EQ(effect.LoadEffect("SFX/hung.beff"), 1);
        ASSERT_EQ(effect.GetNodes().size(), 2u);   // the early emitter and the scene's root
        ASSERT_EQ(effect.GetEmitters().size(), 2u);
        EXPECT_EQ(effect.GetEmitters()[0]->getParent(), smgrRoot);
        pravik::scene::ISceneNode* root = effect.GetNodes()[1];
        EXPECT_EQ(root->getParent(), smgrRoot);
        EXPECT_EQ(unsigned(root->getType()), pravik::scene::makeNodeTypeCode('d', 'a', 'e', 'r'));
        pravik::scene::ISceneNode* dummy = effect.GetEmitters()[1]->getParent();
        ASSERT_NE(dummy, nullptr);
        EXPECT_STREQ(dummy->getUID(), "Dummy01");
        EXPECT_EQ(dummy->getParent(), root);
        EXPECT_FALSE(effect.IsFinished());
    }
    EXPECT_EQ(smgrRoot->getChildren().size(), before);   // the scene goes with the instance

    // A scene file that is not there builds no scene; the emitter after it stays top-level.
    file.entries[1].scenePath = "SFX/missing.bdae";
    std::ofstream(m_data / "SFX/unhung.beff", std::ios::binary) << formats::effects::writeBeff(file);
    EffectImpl effect;
    ASSERT_EQ(effect.LoadEffect("SFX/unhung.beff"), 1);
    ASSERT_EQ(effect.GetEmitters().size(), 2u);
    EXPECT_EQ(effect.GetEmitters()[1]->getParent(), smgrRoot);
}

}  // namespace
