#include "tests/effects/EffectsTestSupport.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace {

using pravik::core::vector3d;

class Shapes : public test::EffectsTest {
protected:
    IEmitter* burst(int shape, int count)
    {
        IEmitter* e = newEmitter();
        e->m_shape = shape;
        e->m_burstCount.addKeyData({0, float(count)});
        e->m_lifetime = 1;
        e->GetParticleDesc()->m_life = 1000;
        return e;
    }
    // Emits one burst and returns the particles' start positions and velocities.
    void fire(IEmitter* e)
    {
        e->reset();
        e->m_elapsed = 0;
        e->emitByType();
        for (int i = 1; i < int(e->m_burstCount.getFirstValue()); ++i)
            e->emitByType();
    }
};

TEST_F(Shapes, PointAtRestSitsOnTheOffset)
{
    IEmitter* e = burst(0, 10);
    e->m_radialSpeed.addKeyData({0, 0.f});
    e->m_offsetX.addKeyData({0, 4.f});
    e->m_offsetZ.addKeyData({0, -2.f});
    fire(e);
    ASSERT_EQ(e->GetParticles().size(), 10u);
    for (const IParticle* p : e->GetParticles()) {
        EXPECT_EQ(p->m_position, vector3d<float>(4.f, 0.f, -2.f));
        EXPECT_EQ(p->m_velocity, vector3d<float>());
    }
}

TEST_F(Shapes, SphereShell)
{
    const struct { int thickness; float lo, hi; } cases[] = {{0, 10.f, 10.f}, {20, 8.f, 10.f}, {-20, 10.f, 12.f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.thickness);
        IEmitter* e = burst(1, 300);
        for (auto* t : {&e->m_radiusX, &e->m_radiusY, &e->m_radiusZ})
            t->addKeyData({0, 10.f});
        e->m_shellThickness.addKeyData({0, c.thickness});
        e->m_radialSpeed.addKeyData({0, 5.f});
        fire(e);
        float lo = 1e9f, hi = 0.f;
        for (const IParticle* p : e->GetParticles()) {
            const float r = p->m_position.getLength();
            lo = std::min(lo, r);
            hi = std::max(hi, r);
            EXPECT_NEAR(p->m_velocity.getLength(), 5.f, 1e-4f);  // outward at the radial speed
            EXPECT_GT(p->m_velocity.dotProduct(p->m_position), 0.f);
        }
        EXPECT_GE(lo, c.lo - 1e-4f);
        EXPECT_LE(hi, c.hi + 1e-4f);
        if (c.thickness != 0) {
            EXPECT_GT(hi - lo, 0.5f);
        }
    }
}

TEST_F(Shapes, DiscWithFixedDirections)
{
    IEmitter* e = burst(2, 8);
    e->m_radiusY.addKeyData({0, 4.f});
    e->m_radiusY.addKeyData({5, 9.f});  // later keys do not change the count
    e->m_radiusX.addKeyData({0, 3.f});
    e->m_radiusZ.addKeyData({0, 3.f});
    e->m_radialSpeed.addKeyData({0, 0.f});
    fire(e);
    const vector3d<float> expected[4] = {{3, 0, 0}, {0, 0, 3}, {-3, 0, 0}, {0, 0, -3}};
    for (const IParticle* p : e->GetParticles()) {
        EXPECT_TRUE(p->m_position.equals(expected[p->m_serial % 4], 1e-5f)) << p->m_serial;
        EXPECT_EQ(p->m_position.Y, 0.f);
    }
}

TEST_F(Shapes, FlatDiscLiesInTheXZPlane)
{
    IEmitter* e = burst(3, 50);
    fire(e);
    for (const IParticle* p : e->GetParticles()) {
        EXPECT_EQ(p->m_position.Y, 0.f);
        EXPECT_NEAR(p->m_position.getLength(), 1.f, 1e-5f);
    }
}

TEST_F(Shapes, CameraFacingDiscLiesInTheViewPlane)
{
    IEmitter* e = burst(2, 50);
    e->m_faceCamera = true;
    e->setPosition(vector3d<float>(5.f, 0.f, 0.f));
    e->updateAbsolutePosition();
    fire(e);
    for (const IParticle* p : e->GetParticles()) {
        EXPECT_NEAR(p->m_position.Z, 0.f, 1e-5f);  // the camera looks along -z
        EXPECT_NEAR((p->m_position - vector3d<float>(5.f, 0.f, 0.f)).getLength(), 1.f, 1e-5f);
    }
}

TEST_F(Shapes, TargetModeDiscEmitsNothing)
{
    IEmitter* e = burst(2, 5);
    e->m_targetMode = true;
    fire(e);
    EXPECT_TRUE(e->GetParticles().empty());
    EXPECT_EQ(e->m_lastParticle, nullptr);
}

TEST_F(Shapes, SpeedVariationInWholePercents)
{
    const struct { int variation; float lo, hi; } cases[] = {{50, 1.f, 1.5f}, {-50, 0.5f, 1.f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.variation);
        IEmitter* e = burst(0, 400);
        e->m_radialSpeedVariation = c.variation;
        e->m_radialSpeed.addKeyData({0, 100.f});
        fire(e);
        std::set<int> steps;
        for (const IParticle* p : e->GetParticles()) {
            const float s = p->m_velocity.getLength() / 100.f;
            EXPECT_GE(s, c.lo - 1e-5f);
            EXPECT_LE(s, c.hi + 1e-5f);
            steps.insert(int(std::lround(s * 100.f)));
        }
        EXPECT_GT(steps.size(), 30u);
        EXPECT_LE(steps.size(), 51u);
    }
}

TEST_F(Shapes, SpreadNeverTiltsBeyondItsAngle)
{
    IEmitter* e = burst(0, 300);
    e->m_radialSpeed.addKeyData({0, 0.f});
    e->m_directedSpeed.addKeyData({0, 1.f});
    e->m_spreadAngle.addKeyData({0, 90});
    fire(e);
    int tilted = 0;
    for (const IParticle* p : e->GetParticles()) {
        const vector3d<float> d = vector3d<float>(p->m_velocity).normalize();
        const float angle = std::acos(std::clamp(d.Y, -1.f, 1.f)) * 57.29578f;
        EXPECT_LE(angle, 90.01f);
        tilted += angle > 1.f;
    }
    EXPECT_GT(tilted, 100);

    // A sphere whose direction points straight out of the spawn point is not tilted at all.
    IEmitter* s = burst(1, 1);
    s->m_radialSpeed.addKeyData({0, 0.f});
    s->m_radiusX.addKeyData({0, 0.f});
    s->m_radiusZ.addKeyData({0, 0.f});
    s->m_directedSpeed.addKeyData({0, 1.f});
    s->m_spreadAngle.addKeyData({0, 60});
    fire(s);
    const IParticle& q = *s->GetParticles()[0];
    EXPECT_NEAR(std::fabs(q.m_velocity.Y), 1.f, 1e-5f);
}

TEST_F(Shapes, WorldPlacementUnderARotatedNode)
{
    // A quarter turn of the node about z turns the direction +x.
    for (int shape : {0, 1}) {
        SCOPED_TRACE(shape);
        IEmitter* e = burst(shape, 1);
        e->m_orient = false;
        e->m_radialSpeed.addKeyData({0, 0.f});
        e->m_radiusX.addKeyData({0, 0.f});
        e->m_radiusY.addKeyData({0, 0.f});
        e->m_radiusZ.addKeyData({0, 0.f});
        e->m_direction.addKeyData({0, vector3d<float>(1.f, 0.f, 0.f)});
        e->m_directedSpeed.addKeyData({0, 1.f});
        e->setRotation(pravik::core::quaternion(0.f, 0.f, 1.5707964f));
        e->setPosition(vector3d<float>(0.f, 0.f, 7.f));
        e->updateAbsolutePosition();
        fire(e);
        const IParticle& p = *e->GetParticles()[0];
        EXPECT_TRUE(p.m_position.equals({0.f, 0.f, 7.f}, 1e-5f));
        vector3d<float> turned(1.f, 0.f, 0.f);
        e->getAbsoluteTransformation().rotateVect(turned);
        ASSERT_NEAR(std::fabs(turned.Y), 1.f, 1e-5f);
        if (shape == 0)  // points always turn their start velocity
            EXPECT_TRUE(p.m_velocity.equals(turned, 1e-5f));
        else  // spheres only with m_orient
            EXPECT_TRUE(p.m_velocity.equals({1.f, 0.f, 0.f}, 1e-5f));
    }
}

}  // namespace
