#include "effects/CRNSpline.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using V = pravik::core::vector3d<float>;

TEST(CRNSpline, ThreeCollinearPoints)
{
    const float p[] = {0, 0, 0, 1, 0, 0, 2, 0, 0};
    CRNSpline s;
    s.Create(3, p, nullptr, nullptr, -1.f);
    ASSERT_EQ(s.GetNodeCount(), 3);
    EXPECT_EQ(s.GetNode(0).tangent, V(2, 0, 0));
    EXPECT_EQ(s.GetNode(1).tangent, V(1, 0, 0));
    EXPECT_EQ(s.GetNode(2).tangent, V(2, 0, 0));
    EXPECT_FLOAT_EQ(s.GetPos(0.5f, 0).X, 0.625f);  // t^3 - 2t^2 + 2t
    EXPECT_FLOAT_EQ(s.GetPos(1.f, 0).X, 1.f);
    EXPECT_FLOAT_EQ(s.GetPos(1.f, 1).X, 2.f);
    float x, y, z, vx, vy, vz;
    s.GetPosAndVelByLength(0.f, x, y, z, vx, vy, vz);
    EXPECT_EQ(V(x, y, z), V(0, 0, 0));
}

TEST(CRNSpline, DuplicatesAndSubdivision)
{
    const struct { const char* why; std::vector<float> points; float maxLength; int nodes; float firstLength; } cases[] = {
        {"duplicate dropped", {0, 0, 0, 0, 0, 0, 3, 0, 0}, -1.f, 2, 3.f},
        {"two equal points nudged", {1, 1, 1, 1, 1, 1}, -1.f, 2, 0.1f},
        {"2.5 in pieces of at most 1", {0, 0, 0, 2.5f, 0, 0}, 1.f, 4, 2.5f / 3.f},
        {"no subdivision at -1", {0, 0, 0, 25, 0, 0}, -1.f, 2, 25.f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        CRNSpline s;
        s.Create(int(c.points.size() / 3), c.points.data(), nullptr, nullptr, c.maxLength);
        ASSERT_EQ(s.GetNodeCount(), c.nodes);
        EXPECT_FLOAT_EQ(s.GetNode(0).length, c.firstLength);
        EXPECT_FLOAT_EQ(s.GetPos(1.f, c.nodes - 2).X, s.GetNode(c.nodes - 1).position.X);
    }
    CRNSpline s;
    const float p[] = {0, 0, 0, 2.5f, 0, 0};
    s.Create(2, p, nullptr, nullptr, 1.f);
    EXPECT_FLOAT_EQ(s.GetNode(1).position.X, 2.5f / 3.f);
    EXPECT_FLOAT_EQ(s.GetNode(2).position.X, 5.f / 3.f);
    EXPECT_FLOAT_EQ(s.GetNode(3).position.X, 2.5f);
}

TEST(CRNSpline, CapacityAndLengthAreBounded)
{
    std::vector<float> p;
    for (int i = 0; i < 100; ++i)
        p.insert(p.end(), {float(i), 0, 0});
    CRNSpline s;
    s.Create(100, p.data(), nullptr, nullptr, -1.f);
    EXPECT_EQ(s.GetNodeCount(), 64);
    EXPECT_EQ(s.GetNode(63).position.X, 63.f);

    const float far[] = {0, 0, 0, 1000, 0, 0};
    s.Create(2, far, nullptr, nullptr, 1.f);  // would need 1000 pieces
    EXPECT_LE(s.GetNodeCount(), 64);

    const float q[] = {0, 0, 0, 1, 0, 0, 2, 0, 0};
    s.Create(3, q, nullptr, nullptr, -1.f);
    float x, y, z, vx, vy, vz;
    s.GetPosAndVelByLength(50.f, x, y, z, vx, vy, vz);  // beyond the end: the last node
    EXPECT_FLOAT_EQ(x, 2.f);
    s.GetPosAndVelByLength(1.5f, x, y, z, vx, vy, vz);
    EXPECT_FLOAT_EQ(x, s.GetPos(0.5f, 1).X);
}

}  // namespace
