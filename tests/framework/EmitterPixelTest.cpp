// An emitter built in code drawn through the quad batcher with the render device's camera into
// the game's 600x1024 surface on the real GL ES driver.

#include "effects/IEmitter.h"
#include "effects/IParticle.h"
#include "effects/ParticleDesc.h"
#include "effects/ZuduvaHost.h"
#include "engine/scene/CCameraSceneNode.h"
#include "engine/scene/CSceneManager.h"
#include "framework/CM3DRender.h"
#include "framework/ScreenGeometry.h"
#include "tests/framework/FrameworkGLSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The parts of the render device an emitter uses: its scene manager and the batcher.
class BatcherHost : public IZuduvaHost {
public:
    pravik::IDevice* getDevice() override { return nullptr; }
    pravik::video::IVideoDriver* getVideoDriver() override { return driver; }
    pravik::scene::CSceneManager* getSceneManager() override { return sceneManager; }
    boost::intrusive_ptr<pravik::video::CMaterial> getMaterial(int) override { return nullptr; }
    int getBlendMode() const override { return batcher.m_nBlendMode; }
    void setBlendMode(int mode) override { batcher.m_nBlendMode = mode; }
    void setTexture(const boost::intrusive_ptr<pravik::video::ITexture>& t) override { batcher.SetTexture(t); }
    void setWorldMatrix(const pravik::core::CMatrix4<float>& m) override { batcher.m_worldMatrix = m; }
    int Blt(M3DXVertex_XYZDT* v, int n) override { return batcher.Blt(v, n); }

    pravik::video::IVideoDriver* driver = nullptr;
    pravik::scene::CSceneManager* sceneManager = nullptr;
    CM3DRender batcher;
};

struct EmitterPixels : test::FrameworkGL {
    void SetUp() override
    {
        test::FrameworkGL::SetUp();
        ScreenGeometry_SetMode(RESOLUTION_MODE_600X1024);
        sceneManager = new pravik::scene::CSceneManager(m_driver, nullptr);
        camera = new pravik::scene::CCameraSceneNode(-1, {0.f, 0.f, 512.f}, {0.f, 0.f, 0.f});
        sceneManager->getRootSceneNode()->addChild(camera);
        sceneManager->setActiveCamera(camera);
        camera->updateAbsolutePosition();
        host.driver = m_driver;
        host.sceneManager = sceneManager;
        host.batcher.m_vCameraPos = {0, 0, 512};
        host.batcher.SetVideoDriver(m_driver);
    }
    void TearDown() override
    {
        host.batcher.SetVideoDriver(nullptr);   // its textures go before the driver
        camera->drop();
        sceneManager->drop();
        test::FrameworkGL::TearDown();
    }

    pravik::scene::CSceneManager* sceneManager = nullptr;
    pravik::scene::CCameraSceneNode* camera = nullptr;
    BatcherHost host;
    ZuduvaHostScope scope{&host};
};

TEST_F(EmitterPixels, SphereBurstLightsPixelsAroundTheCentre)
{
    IEmitter* e = new IEmitter(nullptr);
    e->m_shape = 1;
    for (auto* t : {&e->m_radiusX, &e->m_radiusY, &e->m_radiusZ})
        t->addKeyData({0, 10.f});
    e->m_radialSpeed.addKeyData({0, 0.f});
    e->m_burstCount.addKeyData({0, 20.f});
    e->m_lifetime = 5;
    e->m_startDelay = 2;
    ParticleDesc& d = *e->GetParticleDesc();
    d.m_width.addKeyData({0, 8.f});
    d.m_height.addKeyData({0, 8.f});
    d.m_life = 10;
    d.m_texture = makeTexture(8, 8, std::vector<unsigned char>(8 * 8 * 4, 255), "white");
    e->reset();
    unsigned now = 0;
    for (int frame = 0; frame < 10; ++frame) {
        now += 33;
        e->onAnimate(now);
        host.batcher.BeginScene();
        host.batcher.Clear(0, 0, 0);
        e->render(nullptr);
        host.batcher.Flsh3DRender();
    }
    ASSERT_GT(e->GetAliveParticles(), 0);
    int lit = 0, far = 0;
    for (int y = 512 - 60; y <= 512 + 60; ++y)
        for (int x = 300 - 60; x <= 300 + 60; ++x) {
            const auto p = test::pixel(x, y);
            if (p[0] + p[1] + p[2] == 0)
                continue;
            ++lit;
            if (std::hypot(float(x - 300), float(y - 512)) > 20.f)
                ++far;
        }
    EXPECT_GT(lit, 50);
    EXPECT_EQ(far, 0);
    test::expectColour(10, 10, 0, 0, 0);
    e->remove();
    e->drop();
}

}  // namespace
