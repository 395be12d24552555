#include "tests/effects/EffectsTestSupport.h"

#include "effects/ParticleKinds.h"

#include <algorithm>
#include <cmath>

namespace {

using pravik::core::vector3d;
using test::pos;

class Particle : public test::EffectsTest {
protected:
    // A point emitter at rest: every particle sits on the offset.
    IEmitter* still(const vector3d<float>& at, int kind = 0)
    {
        IEmitter* e = newEmitter();
        e->m_radialSpeed.addKeyData({0, 0.f});
        e->m_offsetX.addKeyData({0, at.X});
        e->m_offsetY.addKeyData({0, at.Y});
        e->m_offsetZ.addKeyData({0, at.Z});
        e->m_lifetime = 1;
        e->GetParticleDesc()->SetParticleType(kind);
        e->GetParticleDesc()->SetTextureName("white.tga", true);
        return e;
    }
};

TEST_F(Particle, LifeFromVariation)
{
    IEmitter* e = newEmitter();
    ParticleDesc& d = *e->GetParticleDesc();
    const struct { int variation; int lo; int hi; } cases[] = {{20, 3333, 4000}, {-20, 2666, 3333}, {0, 3333, 3333}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.variation);
        d.m_lifeVariation = c.variation;
        ParticleBillboard p(e);
        int lo = 1 << 30, hi = -1;
        for (int i = 0; i < 400; ++i) {
            p.init(d);
            lo = std::min(lo, p.m_life);
            hi = std::max(hi, p.m_life);
        }
        EXPECT_EQ(lo, c.lo);
        EXPECT_EQ(hi, c.hi);
    }
}

TEST_F(Particle, FreshDefinitionDefaults)
{
    IEmitter* e = newEmitter();
    ParticleDesc& d = *e->GetParticleDesc();
    EXPECT_EQ(d.GetBlendType(), 1);
    IParticle* p = d.GetParticle();
    ASSERT_NE(dynamic_cast<ParticleBillboard*>(p), nullptr);
    p->init(d);
    EXPECT_EQ(p->m_life, 3333);
    EXPECT_EQ(p->m_width, 1.f);
    EXPECT_EQ(p->m_height, 1.f);
    for (int i = 0; i < 4; ++i) {
        const M3DXVertex_XYZDT& v = p->getVertex(i);
        EXPECT_EQ(v.r & v.g & v.b & v.a, 255);
    }
    delete p;
    d.m_particleType = 7;
    EXPECT_EQ(d.GetParticle(), nullptr);
}

TEST_F(Particle, TextureCorners)
{
    IEmitter* e = newEmitter();
    ParticleDesc& d = *e->GetParticleDesc();
    using UV = std::pair<float, float>;
    const struct { int rotation; bool flipU; bool flipV; UV v[4]; } cases[] = {
        {0, false, false, {{0, 0}, {1, 0}, {0, 1}, {1, 1}}},
        {1, false, false, {{0, 1}, {0, 0}, {1, 1}, {1, 0}}},
        {2, false, false, {{1, 1}, {0, 1}, {1, 0}, {0, 0}}},
        {9, false, false, {{1, 0}, {1, 1}, {0, 0}, {0, 1}}},
        {1, true, false, {{0, 0}, {0, 1}, {1, 0}, {1, 1}}},
        {0, false, true, {{0, 1}, {1, 1}, {0, 0}, {1, 0}}},
        {0, true, true, {{1, 1}, {0, 1}, {1, 0}, {0, 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rotation << c.flipU << c.flipV);
        d.m_uvRotation = c.rotation;
        d.m_flipU = c.flipU;
        d.m_flipV = c.flipV;
        ParticleBillboard p(e);
        p.init(d);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(UV(p.getVertex(i).u, p.getVertex(i).v), c.v[i]) << "vertex " << i;
    }
}

TEST_F(Particle, BillboardFacesTheCameraWithAnchors)
{
    const vector3d<float> P(3.f, -2.f, 5.f);
    const struct { int ax, ay; int vertexOnP; vector3d<float> v0; } cases[] = {
        {0, 0, -1, P + vector3d<float>(-0.5f, 0.5f, 0.f)},
        {1, 1, 0, P},
        {2, 2, 3, P + vector3d<float>(-1.f, 1.f, 0.f)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.ax << c.ay);
        IEmitter* e = still(P);
        e->GetParticleDesc()->m_anchorX = c.ax;
        e->GetParticleDesc()->m_anchorY = c.ay;
        e->reset();
        animate(e, 1, 33);
        ASSERT_EQ(e->GetParticles().size(), 1u);
        const IParticle& p = *e->GetParticles()[0];
        EXPECT_TRUE(pos(p.getVertex(0)).equals(c.v0, 1e-5f));
        if (c.vertexOnP >= 0) {
            EXPECT_TRUE(pos(p.getVertex(c.vertexOnP)).equals(P, 1e-5f));
        }
        // The quad lies in the view plane: right along +x, vertex 2 below vertex 0 on screen.
        EXPECT_NEAR(p.getVertex(1).x - p.getVertex(0).x, c.ax == 0 ? 1.f : 1.f, 1e-5f);
        EXPECT_NEAR(p.getVertex(2).y - p.getVertex(0).y, -1.f, 1e-5f);
        EXPECT_EQ(p.getVertex(0).z, P.Z);
    }
    EXPECT_EQ(host.blocks.size(), 3u);
}

TEST_F(Particle, SpinIsPerUpdate)
{
    for (unsigned step : {10u, 40u}) {
        IEmitter* e = still({0, 0, 0});
        e->GetParticleDesc()->m_spinZ.addKeyData({0, 0.1f});
        e->reset();
        animate(e, 3, step);
        EXPECT_NEAR(e->GetParticles()[0]->m_angleZ, 0.3f, 1e-6f);
    }
}

TEST_F(Particle, ExpiryComesBeforeTheStep)
{
    IEmitter* e = newEmitter();
    e->GetParticleDesc()->m_life = 10;  // 333 ms
    e->m_radialSpeed.addKeyData({0, 0.f});
    e->m_directedSpeed.addKeyData({0, 1000.f});  // one unit a millisecond along +y
    e->m_lifetime = 1;
    e->reset();
    animate(e, 1, 40, false);  // emitted, then moved in the same update
    IParticle& p = *e->GetParticles()[0];
    ASSERT_EQ(p.m_life, 333);
    EXPECT_EQ(p.m_age, 40);
    EXPECT_FLOAT_EQ(p.m_position.Y, 40.f);
    animate(e, 8, 40, false);  // the updates starting at ages 40 .. 320 still move it
    EXPECT_EQ(p.m_age, 360);
    EXPECT_FALSE(p.m_idle);
    const float y = p.m_position.Y;
    animate(e, 1, 40, false);
    EXPECT_TRUE(p.m_idle);
    EXPECT_EQ(p.m_position.Y, y);
}

TEST_F(Particle, SizeVariation)
{
    IEmitter* e = newEmitter();
    ParticleDesc& d = *e->GetParticleDesc();
    d.m_sizeVariation = 50;
    d.m_width.addKeyData({0, 10.f});
    d.m_height.addKeyData({0, 10.f});
    ParticleBillboard p(e);
    bool differed = false;
    for (bool uniform : {true, false}) {
        d.m_uniformSize = uniform;
        for (int i = 0; i < 200; ++i) {
            p.init(d);
            EXPECT_GE(p.m_width, 5.f);
            EXPECT_LE(p.m_width, 10.f);
            if (uniform)
                EXPECT_EQ(p.m_width, p.m_height);
            else
                differed |= p.m_width != p.m_height;
        }
    }
    EXPECT_TRUE(differed);
}

TEST_F(Particle, ColourOverLife)
{
    IEmitter* e = still({0, 0, 0});
    ParticleDesc& d = *e->GetParticleDesc();
    d.m_alpha.addKeyData({30, 0});
    d.m_green.addKeyData({0, 7});
    e->GetParticleDesc()->m_life = 100;
    e->reset();
    animate(e, 1, 33, false);
    IParticle& p = *e->GetParticles()[0];
    EXPECT_EQ(p.getVertex(0).g, 7);
    animate(e, 14, 33, false);  // age 495 of 999
    EXPECT_NEAR(p.getVertex(3).a, 255 - 255 * 495 / 999, 1);
    animate(e, 20, 33, false);
    EXPECT_EQ(p.getVertex(0).a, 0);
    EXPECT_EQ(p.getVertex(0).r, 255);
}

TEST_F(Particle, SerialWraps)
{
    IEmitter* e = newEmitter();
    e->m_particleSerial = 268435455;
    ParticleBillboard a(e), b(e);
    a.init(*e->GetParticleDesc());
    b.init(*e->GetParticleDesc());
    EXPECT_EQ(a.m_serial, 268435455);
    EXPECT_EQ(b.m_serial, 0);
}

TEST_F(Particle, OtherKindsGeometry)
{
    // Free: all angles 0 -> the X-Z plane. Directional kinds at rest collapse to a point.
    IEmitter* free = still({1, 2, 3}, 1);
    free->reset();
    animate(free, 1, 33);
    const IParticle& f = *free->GetParticles()[0];
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(f.getVertex(i).y, 2.f);
    EXPECT_TRUE(pos(f.getVertex(0)).equals({0.5f, 2.f, 2.5f}, 1e-6f));

    for (int kind : {2, 3}) {
        IEmitter* d = still({1, 2, 3}, kind);
        d->reset();
        animate(d, 1, 33);
        const IParticle& p = *d->GetParticles()[0];
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(pos(p.getVertex(i)).equals({1, 2, 3}, 1e-6f));
    }

    // A spark moving along +y seen from +z: its height runs back along -y, its width along x.
    IEmitter* spark = still({0, 0, 0}, 3);
    spark->m_directedSpeed.addKeyData({0, 10.f});
    spark->GetParticleDesc()->m_height.addKeyData({0, 4.f});
    spark->reset();
    animate(spark, 1, 33);
    const IParticle& s = *spark->GetParticles()[0];
    const vector3d<float> P = s.m_position;
    EXPECT_NEAR(std::fabs(s.getVertex(1).x - s.getVertex(0).x), 1.f, 1e-5f);
    EXPECT_NEAR(s.getVertex(2).y - P.Y, -2.f, 1e-5f);
    EXPECT_NEAR(s.getVertex(0).y - P.Y, 2.f, 1e-5f);
}

TEST_F(Particle, WithoutCameraQuadsKeepTheirCorners)
{
    IEmitter* e = still({0, 0, 0});
    e->m_directedSpeed.addKeyData({0, 100.f});
    e->reset();
    animate(e, 1, 33);
    const IParticle& p = *e->GetParticles()[0];
    const M3DXVertex_XYZDT before = p.getVertex(0);
    sceneManager->setActiveCamera(nullptr);
    const float y = p.m_position.Y;
    animate(e, 1, 33);
    EXPECT_EQ(p.getVertex(0).y, before.y);
    EXPECT_GT(p.m_position.Y, y);
}

TEST_F(Particle, DefinitionAssignmentMergesTracks)
{
    IEmitter* e = newEmitter();
    ParticleDesc& src = *e->GetParticleDesc();
    src.m_red.addKeyData({0, 10});
    src.m_red.addKeyData({5, 200});
    src.m_life = 42;
    src.SetTextureName("white.tga", true);
    IEmitter* f = newEmitter();
    ParticleDesc& dst = *f->GetParticleDesc();
    dst = src;
    ASSERT_EQ(dst.m_red.getKeyCount(), 2);
    EXPECT_EQ(dst.m_red.getKey(0).m_value, 10);
    EXPECT_EQ(dst.m_red.getKey(1).m_value, 200);
    EXPECT_EQ(dst.m_life, 42);
    EXPECT_STREQ(dst.GetTextureName(), "SFX/white.tga");
    EXPECT_EQ(dst.GetTexture(), white);

    IEmitter* g = newEmitter();
    ParticleDesc only(g);
    only.m_red.addKeyData({5, 200});
    ParticleDesc& fresh = *g->GetParticleDesc();
    fresh = only;
    ASSERT_EQ(fresh.m_red.getKeyCount(), 2);
    EXPECT_EQ(fresh.m_red.getKey(0).m_value, 255);
}

TEST_F(Particle, DefinitionTextureAndKind)
{
    IEmitter* e = newEmitter();
    ParticleDesc& d = *e->GetParticleDesc();
    d.SetTextureName("white.tga", true);
    d.SetTextureName("missing.tga", true);  // the name changes, the texture stays
    EXPECT_STREQ(d.GetTextureName(), "SFX/missing.tga");
    EXPECT_EQ(d.GetTexture(), white);

    e->m_burstCount.addKeyData({0, 3.f});
    e->reset();
    animate(e, 1, 33, false);
    ASSERT_EQ(e->GetParticles().size(), 3u);
    d.SetParticleType(0);
    EXPECT_EQ(e->GetParticles().size(), 3u);
    d.SetParticleType(1);
    EXPECT_TRUE(e->GetParticles().empty());

    // Destroying a definition unregisters its texture even while others hold it.
    auto* manager = driver->getTextureManager();
    {
        ParticleDesc other(e);
        other.SetTextureName("white.tga", true);
    }
    EXPECT_EQ(manager->getRegistry().getId("SFX/white.tga"), pravik::video::CTextureManager::Registry::InvalidId);
}

}  // namespace
