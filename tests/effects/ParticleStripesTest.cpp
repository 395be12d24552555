#include "tests/effects/EffectsTestSupport.h"

#include "effects/ParticleStripes.h"
#include "engine/scene/CEmptySceneNode.h"

#include <algorithm>

namespace {

using pravik::core::vector3d;
using test::pos;

class Stripes : public test::EffectsTest {
protected:
    IEmitter* lineStripes(int kind)
    {
        IEmitter* e = newEmitter();
        e->GetParticleDesc()->SetParticleType(kind);
        e->GetParticleDesc()->SetTextureName("white.tga", true);
        e->m_radialSpeed.addKeyData({0, 0.f});
        e->m_directedSpeed.addKeyData({0, 30.f});
        return e;
    }
};

TEST_F(Stripes, ThirdLineStripeIsTheFirstDrawn)
{
    for (int kind : {4, 5}) {
        SCOPED_TRACE(kind);
        IEmitter* e = lineStripes(kind);
        e->reset();
        const size_t before = host.blocks.size();
        animate(e, 2, 33);
        EXPECT_EQ(host.blocks.size(), before);  // two particles: no chain yet
        animate(e, 1, 33);
        ASSERT_EQ(host.blocks.size(), before + 1);
        EXPECT_EQ(host.blocks.back().vertices.size(), 16u);  // the third: four quads
        const auto* third = dynamic_cast<const ParticleLineStripeBase*>(e->GetParticles()[2]);
        ASSERT_NE(third, nullptr);
        EXPECT_TRUE(third->m_chainValid);
        EXPECT_EQ(third->m_serial, 2);
        // The ribbon runs from this particle's cross-section to its predecessor's.
        EXPECT_TRUE(pos(third->m_strip[0]).equals(pos(third->getVertex(0)), 1e-5f));
        EXPECT_TRUE(pos(third->m_strip[8]).equals(pos(third->m_previous->getVertex(0)), 1e-5f));
        animate(e, 1, 33);
        EXPECT_EQ(host.blocks.back().vertices.size(), 32u);
    }
}

TEST_F(Stripes, TextureRunsFromNewestToOldest)
{
    IEmitter* e = lineStripes(4);
    e->reset();
    animate(e, 4, 100, false);  // ages 400, 300, 200, 100 after the ordered update
    EXPECT_EQ(e->m_stripeOldestAge, 300);
    EXPECT_EQ(e->m_stripeNewestAge, 0);
    animate(e, 1, 100, false);
    EXPECT_EQ(e->m_stripeOldestAge, 400);
    EXPECT_EQ(e->m_stripeNewestAge, 0);
    // The particle of age 300 after its update, between ages 500 and 100 of span 400 ...
    const auto* p = dynamic_cast<const ParticleLineStripeBase*>(e->GetParticles()[2]);
    ASSERT_TRUE(p->m_chainValid);
    const float span = float(e->m_stripeOldestAge - e->m_stripeNewestAge);
    EXPECT_FLOAT_EQ(p->m_strip[0].v, 1.f - float(p->m_age - e->m_stripeNewestAge) / span);
    EXPECT_EQ(p->m_strip[0].u, 0.f);
    EXPECT_EQ(p->m_strip[1].u, 1.f);
}

TEST_F(Stripes, SpanOfAgesTable)
{
    // Two live particles of ages 500 and 100: span 400, a pair sampled at age 300 gets v = 0.5.
    IEmitter* e = lineStripes(4);
    e->m_stripeOldestAge = 500;
    e->m_stripeNewestAge = 100;
    const float span = float(e->m_stripeOldestAge - e->m_stripeNewestAge);
    EXPECT_EQ(span, 400.f);
    EXPECT_FLOAT_EQ(1.f - float(300 - e->m_stripeNewestAge) / span, 0.5f);
}

TEST_F(Stripes, WeaponStripeSlidesItsTexture)
{
    auto* parent = new pravik::scene::CEmptySceneNode();
    sceneManager->getRootSceneNode()->addChild(parent);
    auto* start = new pravik::scene::CEmptySceneNode();
    auto* end = new pravik::scene::CEmptySceneNode();
    start->setName("Dummy_Weapon_Start");
    end->setName("Dummy_Weapon_End");
    start->setPosition(vector3d<float>(0.f, 1.f, 0.f));
    end->setPosition(vector3d<float>(0.f, 5.f, 0.f));
    parent->addChild(start);
    parent->addChild(end);
    parent->updateAbsolutePosition(true);

    IEmitter* e = newEmitter();
    e->InitForStripeEffect(parent);
    e->GetParticleDesc()->SetTextureName("white.tga", true);  // the golden trail is not there
    EXPECT_EQ(e->GetParticleDesc()->m_particleType, 6);
    EXPECT_EQ(e->GetParticleDesc()->m_life, 8);
    EXPECT_EQ(e->getParent(), parent);
    e->reset();
    e->m_elapsed = 400;
    e->emitByType();
    IParticle& p = *e->m_lastParticle;
    EXPECT_FLOAT_EQ(p.getVertex(2).u, 0.5f);
    EXPECT_TRUE(pos(p.getVertex(2)).equals({0.f, 1.f, 0.f}, 1e-6f));
    EXPECT_TRUE(pos(p.getVertex(3)).equals({0.f, 5.f, 0.f}, 1e-6f));
    EXPECT_TRUE(pos(p.getVertex(0)).equals(pos(p.getVertex(2)), 0.f));  // no predecessor: zero width
    for (int i = 0; i < 6; ++i)
        p.update(33);
    EXPECT_NEAR(p.getVertex(2).u, 0.066875f, 1e-6f);
    EXPECT_EQ(p.getVertex(3).u, p.getVertex(2).u);
    p.update(33);
    EXPECT_EQ(p.getVertex(2).u, 0.f);

    // Without the markers the particle keeps its base quad.
    auto* bare = new pravik::scene::CEmptySceneNode();
    sceneManager->getRootSceneNode()->addChild(bare);
    IEmitter* f = newEmitter();
    f->InitForStripeEffect(bare);
    f->reset();
    f->emitByType();
    EXPECT_EQ(f->m_lastParticle->getVertex(3).u, 1.f);
    bare->drop();
    start->drop();
    end->drop();
    parent->drop();
}

}  // namespace
