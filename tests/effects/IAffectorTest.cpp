#include "tests/effects/EffectsTestSupport.h"

#include "effects/IAffector.h"

namespace {

using pravik::core::vector3d;

class Affectors : public test::EffectsTest {
protected:
    // One particle moving along +x at 10 units a second, at (1, 0, 0).
    IParticle* moving(IEmitter*& e)
    {
        e = newEmitter();
        e->m_radialSpeed.addKeyData({0, 0.f});
        e->m_lifetime = 1;
        e->reset();
        IParticle* p = e->emit_point();
        p->m_position.set(1.f, 0.f, 0.f);
        p->setSpeed({10.f, 0.f, 0.f});
        return p;
    }
};

TEST_F(Affectors, GravityAndAcceleration)
{
    IEmitter* e;
    IParticle* p = moving(e);
    AffectorGravity g(1);
    g.affect(p);  // default tracks: nothing
    EXPECT_EQ(p->m_velocity, vector3d<float>(10.f, 0.f, 0.f));
    g.m_strength.addKeyData({0, 2.f});
    g.m_direction.addKeyData({0, vector3d<float>(0.f, -5.f, 0.f)});
    g.affect(p);
    EXPECT_EQ(p->m_velocity, vector3d<float>(10.f, -2.f, 0.f));

    AffectorAcc a(2);
    a.affect(p);  // the default factor 0 stops the particle
    EXPECT_EQ(p->m_velocity, vector3d<float>());
    p->setSpeed({4.f, 0.f, 0.f});
    a.m_factor.addKeyData({0, 0.5f});
    a.affect(p);
    EXPECT_EQ(p->m_velocity, vector3d<float>(2.f, 0.f, 0.f));
}

TEST_F(Affectors, DisabledAffectorsAreSkipped)
{
    IEmitter* e = newEmitter();
    e->m_radialSpeed.addKeyData({0, 0.f});
    e->m_directedSpeed.addKeyData({0, 0.f});
    AffectorGravity* g = static_cast<AffectorGravity*>(e->AddAffector(0));
    g->m_strength.addKeyData({0, 1.f});
    g->m_direction.addKeyData({0, vector3d<float>(0.f, 1.f, 0.f)});
    g->m_enabled = false;
    e->reset();
    animate(e, 3, 33, false);
    EXPECT_EQ(e->GetParticles()[0]->m_velocity, vector3d<float>());
    g->m_enabled = true;
    animate(e, 2, 33, false);  // per update, not per second
    EXPECT_EQ(e->GetParticles()[0]->m_velocity, vector3d<float>(0.f, 2.f, 0.f));
}

TEST_F(Affectors, RandomFiresAtItsInterval)
{
    IEmitter* e;
    IParticle* p = moving(e);
    AffectorRandom r(1);
    r.m_interval = 10;  // 333.33332 ms
    r.m_strengthY = 1.f;
    std::vector<int> fired;
    for (int t = 0; t <= 1000; t += 50) {
        r.update(t, e);
        if (r.m_fire)
            fired.push_back(t);
    }
    EXPECT_EQ(fired, (std::vector<int>{350, 700}));
    r.update(0, e);  // restarted emitter: silent until past the last fire time plus the interval
    EXPECT_FALSE(r.m_fire);
    r.update(1034, e);
    EXPECT_TRUE(r.m_fire);
    r.affect(p);
    EXPECT_EQ(p->m_velocity.X, 10.f);
    EXPECT_EQ(p->m_velocity.Z, 0.f);
    EXPECT_LE(std::fabs(p->m_velocity.Y), 1.f);
    r.update(1040, e);
    const vector3d<float> before = p->m_velocity;
    r.affect(p);
    EXPECT_EQ(p->m_velocity, before);
}

TEST_F(Affectors, VortexSwirls)
{
    IEmitter* e;
    IParticle* p = moving(e);
    AffectorVortex v(1);
    v.m_strength.addKeyData({0, 3.f});
    v.m_axis.addKeyData({0, vector3d<float>(0.f, 0.f, 2.f)});
    v.update(0, e);
    EXPECT_EQ(v.m_currentAxis, vector3d<float>(0.f, 0.f, 1.f));
    v.affect(p);  // mode 0: tangential about the emitter at the origin
    EXPECT_TRUE(p->m_velocity.equals({10.f, 3.f, 0.f}, 1e-6f));
    p->m_position.set(0.f, 0.f, 0.f);
    v.affect(p);  // at the centre: nothing
    EXPECT_TRUE(p->m_velocity.equals({10.f, 3.f, 0.f}, 1e-6f));
    v.m_mode = 1;
    p->setSpeed({0.f, 5.f, 0.f});
    v.affect(p);  // across the motion
    EXPECT_TRUE(p->m_velocity.equals({-3.f, 5.f, 0.f}, 1e-6f));

    e->m_shape = 2;
    e->m_faceCamera = true;
    v.update(0, e);  // the view direction of the active camera
    EXPECT_TRUE(v.m_currentAxis.equals({0.f, 0.f, -1.f}, 1e-6f));
    e->m_shape = 3;
    v.update(0, e);
    EXPECT_EQ(v.m_currentAxis, vector3d<float>(0.f, 0.f, 1.f));
}

TEST_F(Affectors, ClonesCopySettingsNotState)
{
    AffectorRandom r(4);
    r.m_enabled = false;
    r.m_strengthX = 2.f;
    r.m_interval = 3;
    r.update(500, nullptr);
    std::unique_ptr<IAffector> c(r.clone());
    auto* rc = static_cast<AffectorRandom*>(c.get());
    EXPECT_EQ(rc->m_id, 4);
    EXPECT_FALSE(rc->m_enabled);
    EXPECT_EQ(rc->m_strengthX, 2.f);
    EXPECT_EQ(rc->m_interval, 3);
    EXPECT_EQ(rc->m_lastFireTime, 0);
    EXPECT_FALSE(rc->m_fire);

    AffectorVortex v(2);
    v.m_mode = 1;
    v.m_axis.addKeyData({3, vector3d<float>(1.f, 0.f, 0.f)});
    std::unique_ptr<IAffector> vc(v.clone());
    EXPECT_EQ(static_cast<AffectorVortex*>(vc.get())->m_mode, 1);
    EXPECT_EQ(static_cast<AffectorVortex*>(vc.get())->m_axis.getKeyCount(), 2);
}

}  // namespace
