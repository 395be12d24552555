#include "tests/effects/EffectsTestSupport.h"

#include "effects/IAffector.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>

namespace {

using pravik::core::vector3d;

class Emitter : public test::EffectsTest {
protected:
    // A sphere burst: radii 10, thickness 0, no speed, 20 a frame for 5 frames after 2,
    // billboards of size 8 living 10 frames, the white texture.
    IEmitter* sphereBurst()
    {
        IEmitter* e = newEmitter();
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
        d.SetTextureName("white.tga", true);
        return e;
    }

    static int live(const IEmitter& e)
    {
        return int(std::count_if(e.GetParticles().begin(), e.GetParticles().end(),
                                 [](const IParticle* p) { return !p->m_idle; }));
    }
};

TEST_F(Emitter, SphereBurstLifecycle)
{
    IEmitter* e = sphereBurst();
    EXPECT_EQ(std::string(e->GetParticleDesc()->GetTextureName()), "SFX/white.tga");
    ASSERT_EQ(e->GetParticleDesc()->GetTexture(), white);
    e->reset();
    int peak = 0;
    int finishedAt = -1;
    for (int frame = 1; frame <= 30; ++frame) {
        const size_t blocksBefore = host.blocks.size();
        animate(e, 1, 33);
        const int alive = live(*e);
        peak = std::max(peak, alive);
        EXPECT_LE(int(e->GetParticles().size()), peak);
        for (const IParticle* p : e->GetParticles())
            if (!p->m_idle) {
                EXPECT_NEAR(p->m_position.getLength(), 10.f, 1e-4f);
            }
        if (finishedAt < 0 && e->IsFinished())
            finishedAt = e->m_elapsed;
        if (alive > 0 && e->isVisible()) {
            ASSERT_EQ(host.blocks.size(), blocksBefore + 1) << "frame " << frame;
            EXPECT_EQ(host.blocks.back().vertices.size(), size_t(4 * alive));
            EXPECT_EQ(host.blocks.back().blendMode, 2);
            EXPECT_EQ(host.blocks.back().texture, white);
        }
    }
    EXPECT_EQ(peak, 100);
    // The last particles end at emitter time 528; at 561, with nothing left and nothing to
    // emit, the emitter goes inactive before its time reaches 17 frames (5 + 2 + 10).
    EXPECT_EQ(finishedAt, -1);
    EXPECT_FALSE(e->m_active);
    EXPECT_EQ(e->m_elapsed, 561);

    const size_t pool = e->GetParticles().size();
    e->setVisible(true);
    e->reset();
    EXPECT_EQ(e->GetParticles().size(), pool);
    EXPECT_EQ(live(*e), 0);
    animate(e, 10, 33);
    EXPECT_EQ(e->GetParticles().size(), pool);
}

TEST_F(Emitter, FinishedAtLifetimePlusDelayTwicePlusParticleLife)
{
    IEmitter* e = sphereBurst();
    e->GetParticleDesc()->m_lifeVariation = 100;  // particles outlive the emitter's 17 frames
    e->reset();
    int finishedAt = -1;
    for (int frame = 1; frame <= 30 && finishedAt < 0; ++frame) {
        animate(e, 1, 33);
        if (e->IsFinished())
            finishedAt = e->m_elapsed;
    }
    EXPECT_EQ(finishedAt, 594);  // the first update whose time reaches 17 x 33.333332 ms
    EXPECT_TRUE(e->isVisible());
    animate(e, 1, 33);
    EXPECT_FALSE(e->isVisible());  // hidden by its next update

    IEmitter* endless = newEmitter();
    endless->reset();
    animate(endless, 200, 33, false);
    EXPECT_FALSE(endless->IsFinished());
}

TEST_F(Emitter, NeverResetDoesNothing)
{
    IEmitter* e = sphereBurst();
    animate(e, 5, 33);
    EXPECT_TRUE(e->GetParticles().empty());
    EXPECT_TRUE(host.blocks.empty());
    EXPECT_EQ(e->getType(), pravik::scene::E_SCENE_NODE_TYPE(pravik::scene::makeNodeTypeCode('e', 'm', 'i', 't')));
    EXPECT_EQ(e->getParent(), sceneManager->getRootSceneNode());
}

TEST_F(Emitter, FrameStepRules)
{
    IEmitter* e = newEmitter();
    e->GetParticleDesc()->SetTextureName("white.tga", true);
    e->m_burstCount.addKeyData({0, 0.f});
    e->reset();
    e->onAnimate(1500);  // first call at 1500 ms: the whole step
    EXPECT_EQ(e->m_elapsed, 1500);
    e->onAnimate(4000);  // more than 2000 ms later: one frame
    EXPECT_EQ(e->m_elapsed, 1533);

    IEmitter* f = newEmitter();
    f->m_startDelay = 3;  // 99 ms
    f->reset();
    f->onAnimate(60);
    f->onAnimate(120);
    EXPECT_EQ(f->m_elapsed, 20);  // only the overshoot past the delay (3 frames: 100 ms in single precision)
    EXPECT_EQ(f->m_delayElapsed, 120);
}

TEST_F(Emitter, BurstSizes)
{
    const struct { float burst; int particles; } cases[] = {
        {2.9f, 2}, {0.5f, 0}, {-3.f, 0}, {std::nanf(""), 0}, {1e30f, IEmitter::kMaxParticles},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.burst);
        IEmitter* e = newEmitter();
        e->m_burstCount.addKeyData({0, c.burst});
        e->m_lifetime = 1;
        e->reset();
        animate(e, 1, 33, false);
        EXPECT_EQ(int(e->GetParticles().size()), c.particles);
    }
}

TEST_F(Emitter, IntervalAndLifetimeWindow)
{
    IEmitter* e = newEmitter();
    e->m_emitInterval = 2;  // 66 ms
    e->m_lifetime = 6;      // 199.99 ms
    e->GetParticleDesc()->m_life = 1000;
    e->reset();
    std::vector<int> bursts;
    for (int i = 0; i < 12; ++i) {
        const int before = e->m_lastEmitTime;
        animate(e, 1, 25, false);
        if (e->m_lastEmitTime != before)
            bursts.push_back(e->m_lastEmitTime);
    }
    EXPECT_EQ(bursts, (std::vector<int>{25, 100, 175}));
}

TEST_F(Emitter, EndWithEmitterAndInactivity)
{
    IEmitter* e = newEmitter();
    e->m_lifetime = 2;
    e->m_endWithEmitter = true;
    e->GetParticleDesc()->m_life = 100;
    e->reset();
    animate(e, 2, 33, false);
    EXPECT_EQ(live(*e), 2);
    animate(e, 1, 33, false);  // 99 ms: emission over, particles end at once
    EXPECT_EQ(live(*e), 0);
}

TEST_F(Emitter, InactiveWithoutParticlesOrEmission)
{
    IEmitter* f = newEmitter();
    f->m_lifetime = 1;
    f->GetParticleDesc()->m_life = 1;
    f->reset();
    animate(f, 3, 33, false);  // born at 33, ends in the update starting at age 66
    EXPECT_TRUE(f->m_active);
    animate(f, 1, 33, false);  // nothing left, nothing emitted (and finished: hidden)
    EXPECT_FALSE(f->m_active);
    EXPECT_FALSE(f->isVisible());
}

TEST_F(Emitter, PoolReusesIdleParticlesCyclically)
{
    IEmitter* e = newEmitter();
    e->m_burstCount.addKeyData({0, 30.f});
    e->m_lifetime = 1;
    e->reset();
    animate(e, 1, 33, false);
    ASSERT_EQ(e->GetParticles().size(), 30u);
    const std::vector<IParticle*> before = e->GetParticles();
    e->reset();
    animate(e, 1, 33, false);
    EXPECT_EQ(e->GetParticles(), before);
    EXPECT_EQ(live(*e), 30);
}

// Births follow the cyclic search from the cursor over irregular gaps left by random lives:
// the test walks the pool's idle flags itself and predicts which slots the burst takes.
TEST_F(Emitter, BirthsTakeTheNextIdleSlotFromTheCursor)
{
    IEmitter* e = newEmitter();
    e->m_burstCount.addKeyData({0, 3.f});
    e->m_burstCount.addKeyData({20, 1.f});
    e->GetParticleDesc()->m_life = 2;
    e->GetParticleDesc()->m_lifeVariation = 200;
    e->reset();
    int cursor = 0;
    for (int frame = 0; frame < 40; ++frame) {
        SCOPED_TRACE(frame);
        std::vector<bool> idle;
        for (const IParticle* p : e->GetParticles())
            idle.push_back(p->m_idle);
        const int births = int(e->m_burstCount.getDataAtTime(e->m_elapsed + 33));
        std::vector<size_t> expected;
        for (int b = 0; b < births; ++b) {
            const int size = int(idle.size());
            int found = -1;
            for (int attempt = 0; attempt < size && found < 0; ++attempt) {
                if (cursor >= size)
                    cursor = 0;
                if (idle[size_t(cursor)])
                    found = cursor;
                else
                    ++cursor;
            }
            if (found < 0) {
                found = size;
                idle.push_back(false);
            }
            idle[size_t(found)] = false;
            expected.push_back(size_t(found));
        }
        animate(e, 1, 33, false);
        std::vector<size_t> born(e->GetParticles().size());
        for (size_t i = 0; i < born.size(); ++i)
            born[i] = i;
        std::sort(born.begin(), born.end(), [e](size_t a, size_t b) {
            return e->GetParticles()[a]->m_serial < e->GetParticles()[b]->m_serial;
        });
        born.erase(born.begin(), born.end() - births);
        EXPECT_EQ(born, expected);
    }
}

TEST_F(Emitter, ScaleAndClone)
{
    for (int shape : {1, 2, 3}) {
        SCOPED_TRACE(shape);
        IEmitter* e = newEmitter();
        e->m_shape = shape;
        e->m_radiusY.addKeyData({0, 4.f});
        e->m_offsetX.addKeyData({0, 1.f});
        AffectorGravity* g = static_cast<AffectorGravity*>(e->AddAffector(0));
        g->m_strength.addKeyData({0, 2.f});
        AffectorAcc* a = static_cast<AffectorAcc*>(e->AddAffector(1));
        a->m_factor.addKeyData({0, 0.5f});
        e->Scale(2.f);
        EXPECT_EQ(e->m_radiusY.getFirstValue(), shape == 1 ? 8.f : 4.f);  // disc direction counts stay
        EXPECT_EQ(e->m_radiusX.getFirstValue(), 2.f);
        EXPECT_EQ(e->m_offsetX.getFirstValue(), 2.f);
        EXPECT_EQ(e->m_radialSpeed.getFirstValue(), 2.f);
        EXPECT_EQ(e->GetParticleDesc()->m_width.getFirstValue(), 2.f);
        EXPECT_EQ(g->m_strength.getFirstValue(), 4.f);
        EXPECT_EQ(a->m_factor.getFirstValue(), 0.5f);
    }

    IEmitter* e = newEmitter();
    e->setName("spark");
    e->m_orient = false;
    e->m_parentSpace = true;
    e->m_lifetime = 7;
    e->m_burstCount.addKeyData({4, 9.f});
    e->AddAffector(3);
    IEmitter* c = e->Clone();
    emitters.push_back(c);
    EXPECT_STREQ(c->getName(), "spark_clone");
    EXPECT_TRUE(c->m_orient);
    EXPECT_FALSE(c->m_parentSpace);
    EXPECT_EQ(c->m_lifetime, 7);
    EXPECT_EQ(c->m_burstCount.getKeyCount(), 2);
    ASSERT_EQ(c->GetAffectors().size(), 1u);
    EXPECT_EQ(c->GetAffectors()[0]->m_type, 3);
    EXPECT_FALSE(c->m_active);
}

TEST_F(Emitter, AffectorList)
{
    IEmitter* e = newEmitter();
    EXPECT_EQ(e->GetAvailbleId(), 1);
    IAffector* a = e->AddAffector(0);
    IAffector* b = e->AddAffector(2);
    EXPECT_EQ(e->AddAffector(7), nullptr);
    EXPECT_EQ(a->m_id, 1);
    EXPECT_EQ(b->m_id, 2);
    EXPECT_EQ(e->GetAffector(2), b);
    e->RemoveAffector(1);
    EXPECT_EQ(e->GetAffector(1), nullptr);
    EXPECT_EQ(e->GetAvailbleId(), 3);
    e->RemoveAffector(b);
    EXPECT_TRUE(e->GetAffectors().empty());
}

TEST_F(Emitter, SubEmittersShowThroughOneClonePerParticle)
{
    IEmitter* parent = newEmitter();
    parent->m_lifetime = 1;
    parent->GetParticleDesc()->m_life = 3;
    IEmitter* child = newEmitter();
    child->GetParticleDesc()->SetTextureName("white.tga", true);
    parent->addChild(child);
    EXPECT_EQ(parent->GetSubEmitterCount(), 1);
    parent->reset();
    animate(parent, 1, 33, false);
    ASSERT_EQ(parent->GetParticles().size(), 1u);
    const IParticle* p = parent->GetParticles()[0];
    ASSERT_EQ(p->GetChildEmitters().size(), 1u);
    IEmitter* clone = p->GetChildEmitters()[0];
    EXPECT_FALSE(child->isVisible());
    EXPECT_TRUE(clone->isVisible());
    EXPECT_TRUE(clone->m_active);
    for (int i = 0; i < 3; ++i) {
        now += 33;
        clone->onAnimate(now);
        parent->onAnimate(now);
    }
    EXPECT_GT(clone->GetAliveParticles(), 0);
    EXPECT_GE(parent->GetAliveParticles(), clone->GetAliveParticles());

    parent->reset();
    animate(parent, 1, 33, false);
    EXPECT_EQ(parent->GetParticles()[0]->GetChildEmitters()[0], clone);  // reused, not piled up
}

// Each frame's pass is checked against a copy of every live particle taken before it and
// advanced the plain way (the particle kind's own update, then each affector); the block the
// host receives must hold the live particles' own quads, newest pool slot first.
TEST_F(Emitter, PassMatchesEachParticlesOwnUpdateAndHandsOverItsQuads)
{
    const struct {
        const char* why;
        int kind;
        std::function<void(IEmitter&)> setUp;
    } cases[] = {
        {"billboards, gravity and drag", 0,
         [](IEmitter& e) {
             auto* g = static_cast<AffectorGravity*>(e.AddAffector(0));
             g->m_strength.addKeyData({0, 2.f});
             g->m_direction.addKeyData({0, {0.f, -1.f, 0.f}});
             static_cast<AffectorAcc*>(e.AddAffector(1))->m_factor.addKeyData({0, 0.98f});
         }},
        {"billboards with anchors, spin, fading and growth", 0,
         [](IEmitter& e) {
             ParticleDesc& d = *e.GetParticleDesc();
             d.m_anchorX = 1;
             d.m_anchorY = 2;
             d.m_spinZ.addKeyData({0, 0.1f});
             d.m_spinZ.addKeyData({6, 0.3f});
             d.m_alpha.addKeyData({5, 0});
             d.m_widthScale.addKeyData({8, 3.f});
             d.m_angleZ = 0.5f;
             d.m_angleVariationZ = 50;
             auto* g = static_cast<AffectorGravity*>(e.AddAffector(0));
             g->m_strength.addKeyData({0, 1.f});
             g->m_strength.addKeyData({4, 5.f});  // read at each particle's age
             g->m_direction.addKeyData({0, {1.f, 1.f, 0.f}});
             static_cast<AffectorVortex*>(e.AddAffector(3))->m_strength.addKeyData({0, 3.f});
         }},
        {"billboards in target mode", 0, [](IEmitter& e) { e.m_targetMode = true; }},
        {"sparks", 3, [](IEmitter& e) { e.AddAffector(2)->m_enabled = false; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        IEmitter* e = newEmitter();
        e->m_burstCount.addKeyData({0, 3.f});
        e->m_radialSpeed.addKeyData({0, 40.f});
        e->setPosition(vector3d<float>(5.f, -3.f, 1.f));
        ParticleDesc& d = *e->GetParticleDesc();
        d.SetParticleType(c.kind);
        d.m_life = 4;
        d.m_lifeVariation = 50;
        d.m_width.addKeyData({0, 6.f});
        d.SetTextureName("white.tga", true);
        c.setUp(*e);
        e->reset();
        int compared = 0;
        for (int frame = 0; frame < 12; ++frame) {
            SCOPED_TRACE(frame);
            std::vector<std::unique_ptr<IParticle>> plain;
            for (const IParticle* p : e->GetParticles()) {
                plain.emplace_back(d.GetParticle());
                IParticle& q = *plain.back();
                q.m_idle = p->m_idle;
                q.m_age = p->m_age;
                q.m_life = p->m_life;
                q.m_position = p->m_position;
                q.m_velocity = p->m_velocity;
                q.m_width = p->m_width;
                q.m_height = p->m_height;
                q.m_angleZ = p->m_angleZ;
                q.m_spinFactorZ = p->m_spinFactorZ;
                for (int i = 0; i < 4; ++i)
                    q.getVertex(i) = p->getVertex(i);
            }
            const size_t blocks = host.blocks.size();
            animate(e, 1, 33);
            const int count = int(std::min(plain.size(), e->GetParticles().size()));
            for (int i = 0; i < count; ++i) {
                const IParticle& p = *e->GetParticles()[size_t(i)];
                IParticle& q = *plain[size_t(i)];
                if (q.m_idle || p.m_age < q.m_age)
                    continue;  // idle before the pass, or born again in it
                q.update(33);
                for (IAffector* a : e->GetAffectors())
                    if (a->m_enabled)
                        a->affect(&q);
                ++compared;
                EXPECT_EQ(p.m_idle, q.m_idle);
                EXPECT_EQ(p.m_age, q.m_age);
                EXPECT_EQ(p.m_velocity, q.m_velocity);
                EXPECT_EQ(p.m_angleZ, q.m_angleZ);
                EXPECT_EQ(0, std::memcmp(&p.getVertex(0), &q.getVertex(0), 4 * sizeof(M3DXVertex_XYZDT)));
            }
            std::vector<M3DXVertex_XYZDT> own;
            for (size_t i = e->GetParticles().size(); i-- > 0;)
                if (!e->GetParticles()[i]->m_idle)
                    own.insert(own.end(), &e->GetParticles()[i]->getVertex(0), &e->GetParticles()[i]->getVertex(0) + 4);
            ASSERT_EQ(host.blocks.size(), blocks + (own.empty() ? 0 : 1));
            if (own.empty())
                continue;
            const std::vector<M3DXVertex_XYZDT>& sent = host.blocks.back().vertices;
            ASSERT_EQ(sent.size(), own.size());
            EXPECT_EQ(0, std::memcmp(sent.data(), own.data(), own.size() * sizeof own[0]));
        }
        EXPECT_GT(compared, 40);
        e->render(nullptr);  // drawn again without a pass: the same block
        EXPECT_EQ(0, std::memcmp(host.blocks.back().vertices.data(), host.blocks[host.blocks.size() - 2].vertices.data(),
                                 host.blocks.back().vertices.size() * sizeof(M3DXVertex_XYZDT)));
        const size_t blocks = host.blocks.size();
        e->endAllParticles();
        e->render(nullptr);
        EXPECT_EQ(host.blocks.size(), blocks);
    }
}

TEST_F(Emitter, RegistersInTheTransparentPassWhenVisible)
{
    IEmitter* e = newEmitter();
    EXPECT_TRUE(e->onRegisterSceneNode());
    e->setVisible(false);
    EXPECT_FALSE(e->onRegisterSceneNode());
}

}  // namespace
