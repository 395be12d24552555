#include "tests/effects/EffectsTestSupport.h"

#include "game/SpecialFX/CSfxTrail.h"

namespace {

using pravik::core::vector3d;

class Trail : public test::EffectsTest {};

TEST_F(Trail, LengthGrowsAndShrinks)
{
    CSfxTrail trail(nullptr);
    trail.Custom(500.f, 1.f, 100.f);
    trail.AddTrackPoint({0.f, 10.f, 0.f}, {0.f, 0.f, 0.f});
    EXPECT_FALSE(trail.IsActive());
    trail.AddTrackPoint({10.f, 10.f, 0.f}, {20.f, 0.f, 0.f});  // steps 10 (top) and 20 (bottom)
    EXPECT_TRUE(trail.IsActive());
    EXPECT_FLOAT_EQ(trail.GetLength(), 15.f);
    trail.Update(10);
    EXPECT_FLOAT_EQ(trail.GetLength(), 5.f);
    trail.Update(6);
    EXPECT_FALSE(trail.IsActive());
    EXPECT_EQ(trail.GetLength(), 0.f);
    EXPECT_EQ(trail.GetTop().GetNodeCount(), 0);
}

TEST_F(Trail, StripCoversTheVisibleRails)
{
    CSfxTrail trail(nullptr);
    trail.SetVertexColor(pravik::video::SColor(10, 20, 30, 40));
    trail.AddTrackPointWithNormal({0.f, 0.f, 0.f}, {0.f, 1.f, 0.f});
    EXPECT_EQ(trail.GetTop().GetLastPosition(), vector3d<float>(0.f, 50.f, 0.f));
    EXPECT_EQ(trail.GetBottom().GetLastPosition(), vector3d<float>(0.f, -50.f, 0.f));
    EXPECT_EQ(trail.GetLastTopPoint(0.5f), vector3d<float>(0.f, 50.f, 0.f));  // one node: that node
    trail.AddTrackPointWithNormal({100.f, 0.f, 0.f}, {0.f, 1.f, 0.f});
    trail.Update(0);  // length = the mean rail length: the whole rails
    const CSfxTrail::SVertex& tail = trail.GetVertex(0);
    const CSfxTrail::SVertex& head = trail.GetVertex(63);
    EXPECT_NEAR(tail.x, 0.f, 1e-3f);
    EXPECT_NEAR(tail.y, -50.f, 1e-3f);
    EXPECT_NEAR(head.x, 99.9f, 0.2f);
    EXPECT_NEAR(head.y, 50.f, 1e-3f);
    EXPECT_EQ(tail.u, 1.f);
    EXPECT_NEAR(head.u, 0.f, 1e-6f);
    EXPECT_EQ(tail.v, 0.f);
    EXPECT_EQ(head.v, 1.f);
    EXPECT_EQ(head.a, 255);
    EXPECT_EQ(head.r, 10);
    trail.Render();  // through the null driver: no material, nothing to crash on
    trail.SetTexture("SFX/white.tga");  // no material: ignored
}

TEST_F(Trail, RailsStartOverAfter255Nodes)
{
    RNS rail;
    for (int i = 0; i < 255; ++i)
        rail.AddNode({float(i), 0.f, 0.f});
    EXPECT_EQ(rail.GetNodeCount(), 255);
    EXPECT_FLOAT_EQ(rail.GetTotalLength(), 254.f);
    rail.AddNode({7.f, 7.f, 7.f});
    EXPECT_EQ(rail.GetNodeCount(), 1);
    EXPECT_EQ(rail.GetTotalLength(), 0.f);
    EXPECT_EQ(rail.GetPosition(5.f), vector3d<float>(7.f, 7.f, 7.f));  // kept within the rail
    rail.RemoveExtraNode();
    rail.RemoveExtraNode();  // empty: nothing
    EXPECT_EQ(rail.GetNodeCount(), 0);
}

}  // namespace
