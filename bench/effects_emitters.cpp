// Emitters of billboards with gravity and drag, animated and handed to a batcher that copies
// their quads, against a plain struct-of-arrays loop doing the same integration and writing the
// same 96-byte quads. Args: emitters (440 = the whole pool, 30 = a busy scene).

#include "effects/IAffector.h"
#include "effects/IEmitter.h"
#include "effects/ParticleDesc.h"
#include "effects/ZuduvaHost.h"
#include "engine/EngineServices.h"
#include "engine/scene/CCameraSceneNode.h"
#include "engine/scene/CSceneManager.h"
#include "engine/video/CNullDriver.h"
#include "engine/video/CTextureManager.h"
#include "engine/video/image/EPixelFormat.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

class CopyingHost : public IZuduvaHost {
public:
    pravik::IDevice* getDevice() override { return nullptr; }
    pravik::video::IVideoDriver* getVideoDriver() override { return driver; }
    pravik::scene::CSceneManager* getSceneManager() override { return sceneManager; }
    boost::intrusive_ptr<pravik::video::CMaterial> getMaterial(int) override { return nullptr; }
    int getBlendMode() const override { return blend; }
    void setBlendMode(int mode) override { blend = mode; }
    void setTexture(const boost::intrusive_ptr<pravik::video::ITexture>& t) override { texture = t; }
    void setWorldMatrix(const pravik::core::CMatrix4<float>&) override {}
    int Blt(M3DXVertex_XYZDT* v, int n) override
    {
        const size_t at = used;
        used += size_t(n) * 4;
        if (used > quads.size())
            quads.resize(used);
        std::memcpy(quads.data() + at, v, size_t(n) * 96);
        return 0;
    }

    pravik::video::IVideoDriver* driver = nullptr;
    pravik::scene::CSceneManager* sceneManager = nullptr;
    boost::intrusive_ptr<pravik::video::ITexture> texture;
    int blend = 0;
    std::vector<M3DXVertex_XYZDT> quads;
    size_t used = 0;
};

void BM_EmittersAnimateAndRender(benchmark::State& state)
{
    pravik::CEngineServicesScope services;
    boost::intrusive_ptr<pravik::video::CNullDriver> driver(pravik::video::createNullDriver(nullptr), false);
    auto* smgr = new pravik::scene::CSceneManager(driver.get(), nullptr);
    auto* camera = new pravik::scene::CCameraSceneNode(-1, {0.f, 0.f, 512.f}, {0.f, 0.f, 0.f});
    smgr->getRootSceneNode()->addChild(camera);
    smgr->setActiveCamera(camera);
    camera->updateAbsolutePosition();
    CopyingHost host;
    host.driver = driver.get();
    host.sceneManager = smgr;
    ZuduvaHostScope scope(&host);
    auto texture = driver->getTextureManager()->addTexture(pravik::core::dimension2d<int>(8, 8), "SFX/white.tga",
                                                           pravik::video::EPF_R8G8B8A8, true);
    std::vector<IEmitter*> emitters;
    for (int i = 0; i < state.range(0); ++i) {
        IEmitter* e = new IEmitter(nullptr);
        e->m_burstCount.addKeyData({0, 2.f});
        e->m_radialSpeed.addKeyData({0, 60.f});
        e->GetParticleDesc()->m_life = 25;  // 2 a frame for 25 frames: about 50 live
        e->GetParticleDesc()->m_width.addKeyData({0, 8.f});
        e->GetParticleDesc()->m_height.addKeyData({0, 8.f});
        e->GetParticleDesc()->SetTextureName("white.tga", true);
        auto* g = static_cast<AffectorGravity*>(e->AddAffector(0));
        g->m_strength.addKeyData({0, 2.f});
        g->m_direction.addKeyData({0, {0.f, -1.f, 0.f}});
        static_cast<AffectorAcc*>(e->AddAffector(1))->m_factor.addKeyData({0, 0.98f});
        e->setPosition(pravik::core::vector3d<float>(float(i % 20) * 20.f - 200.f, float(i / 20) * 20.f - 200.f, 0.f));
        e->reset();
        emitters.push_back(e);
    }
    unsigned now = 0;
    auto frame = [&] {
        now += 33;
        host.used = 0;
        for (IEmitter* e : emitters)
            e->onAnimate(now);
        for (IEmitter* e : emitters)
            e->render(nullptr);
    };
    for (int i = 0; i < 40; ++i)
        frame();
    for (auto _ : state) {
        frame();
        benchmark::DoNotOptimize(host.quads.data());
    }
    state.counters["particles"] = double(host.used / 4);
    for (IEmitter* e : emitters) {
        e->remove();
        e->drop();
    }
    camera->drop();
    smgr->drop();
}
BENCHMARK(BM_EmittersAnimateAndRender)->Arg(440)->Arg(30)->Unit(benchmark::kMillisecond);

// The same work as plain arrays: expiry, motion, gravity, drag, a camera-facing quad per particle.
void BM_EmittersPlainLoop(benchmark::State& state)
{
    const size_t n = size_t(state.range(0)) * 50;
    std::vector<float> px(n), py(n), pz(n), vx(n), vy(n), vz(n), w(n, 8.f);
    std::vector<int> age(n), life(n, 833);
    std::vector<M3DXVertex_XYZDT> quads(n * 4);
    for (size_t i = 0; i < n; ++i) {
        vx[i] = float(int(i * 7 % 13) - 6);
        vy[i] = float(int(i * 5 % 11) - 5);
        vz[i] = float(int(i * 3 % 7) - 3);
        age[i] = int(i % 800);
    }
    for (auto _ : state) {
        const unsigned ms = 33;
        size_t out = 0;
        for (size_t i = 0; i < n; ++i) {
            if (age[i] > life[i]) {
                age[i] = 0;
                px[i] = py[i] = pz[i] = 0.f;
            }
            age[i] += int(ms);
            px[i] += float(ms) * (vx[i] * 0.001f);
            py[i] += float(ms) * (vy[i] * 0.001f);
            pz[i] += float(ms) * (vz[i] * 0.001f);
            vy[i] -= 2.f;
            vx[i] *= 0.98f, vy[i] *= 0.98f, vz[i] *= 0.98f;
            const float h = w[i] * 0.5f;
            M3DXVertex_XYZDT* q = &quads[out];
            q[0] = {px[i] - h, py[i] + h, pz[i], 255, 255, 255, 255, 0, 0};
            q[1] = {px[i] + h, py[i] + h, pz[i], 255, 255, 255, 255, 1, 0};
            q[2] = {px[i] - h, py[i] - h, pz[i], 255, 255, 255, 255, 0, 1};
            q[3] = {px[i] + h, py[i] - h, pz[i], 255, 255, 255, 255, 1, 1};
            out += 4;
        }
        benchmark::DoNotOptimize(quads.data());
    }
    state.counters["particles"] = double(n);
}
BENCHMARK(BM_EmittersPlainLoop)->Arg(440)->Arg(30)->Unit(benchmark::kMillisecond);

}  // namespace
