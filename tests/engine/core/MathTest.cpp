#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/core/CMatrix4.h"
#include "engine/core/heapsort.h"
#include "engine/core/quaternion.h"
#include "engine/core/rect.h"
#include "engine/core/triangle3d.h"
#include "engine/video/SColor.h"

using pravik::core::CMatrix4;
using pravik::core::vector3df;

namespace {

void expectElements(const CMatrix4<float>& m, const float (&expected)[16])
{
    for (int i = 0; i < 16; ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(m[i], expected[i], 1e-6f);
    }
}

} // namespace

TEST(Vector3d, Normalize)
{
    const struct {
        vector3df in, out;
    } kCases[] = {{{0, 0, 0}, {0, 0, 0}}, {{3, 0, 4}, {0.6f, 0, 0.8f}}, {{0, -2, 0}, {0, -1, 0}}};
    for (const auto& c : kCases) {
        vector3df v = c.in;
        v.normalize();
        EXPECT_TRUE(v.equals(c.out, 1e-6f)) << v.X << " " << v.Y << " " << v.Z;
    }
}

TEST(Vector3d, RotationsInPlanesAboutACentre)
{
    vector3df v(2, 1, 5);
    v.rotateXYBy(90, vector3df(1, 1, 0));
    EXPECT_TRUE(v.equals({1, 2, 5}, 1e-6f));
    v.set(0, 1, 0);
    v.rotateYZBy(90);
    EXPECT_TRUE(v.equals({0, 0, 1}, 1e-6f));
    v.set(1, 7, 0);
    v.rotateXZBy(90);
    EXPECT_TRUE(v.equals({0, 7, 1}, 1e-6f));
}

TEST(CMatrix4, ConstructorKindsAndIdentity)
{
    for (unsigned kind : {0u, 1u}) {
        CMatrix4<float> m{pravik::core::eConstructor(kind)};
        EXPECT_FALSE(m.getDefinitelyIdentityMatrix());
    }
    CMatrix4<float> id(pravik::core::EM4CONST_IDENTITY);
    EXPECT_EQ(id, pravik::core::IdentityMatrix);
    EXPECT_TRUE(id.getDefinitelyIdentityMatrix());
    EXPECT_TRUE(pravik::core::IdentityMatrix.getDefinitelyIdentityMatrix());
    EXPECT_TRUE(pravik::core::IdentityMatrix.isIdentity());
}

TEST(CMatrix4, CopyModes)
{
    CMatrix4<float> a(pravik::core::EM4CONST_NOTHING);
    const float e[16] = {2, 0, 0, 0, 0, 4, 0, 0, 0, 0, 8, 0, 1, 2, 3, 1};
    for (int i = 0; i < 16; ++i)
        a[i] = e[i];
    const float inv[16] = {0.5f, 0, 0, 0, 0, 0.25f, 0, 0, 0, 0, 0.125f, 0, -0.5f, -0.5f, -0.375f, 1};
    expectElements(CMatrix4<float>(a, pravik::core::EM4CONST_COPY), e);
    expectElements(CMatrix4<float>(a, pravik::core::EM4CONST_INVERSE), inv);
    expectElements(CMatrix4<float>(a, pravik::core::EM4CONST_TRANSPOSED),
                   {2, 0, 0, 1, 0, 4, 0, 2, 0, 0, 8, 3, 0, 0, 0, 1});
    expectElements(CMatrix4<float>(a, pravik::core::EM4CONST_INVERSE_TRANSPOSED),
                   {0.5f, 0, 0, -0.5f, 0, 0.25f, 0, -0.5f, 0, 0, 0.125f, -0.375f, 0, 0, 0, 1});
    CMatrix4<float> singular(pravik::core::EM4CONST_NOTHING);
    CMatrix4<float> out(pravik::core::EM4CONST_IDENTITY);
    EXPECT_FALSE(singular.getInverse(out));
    EXPECT_TRUE(out.isIdentity());   // untouched
    expectElements(CMatrix4<float>(pravik::core::IdentityMatrix, pravik::core::eConstructor(9)), {});
    EXPECT_TRUE((a * CMatrix4<float>(a, pravik::core::EM4CONST_INVERSE)).isIdentity());
}

TEST(MatrixBuilders, LookAt)
{
    // Eye on +z looking at the origin: side +x, up +y, forward -z; the third column is +forward.
    const auto m = pravik::core::buildCameraLookAtMatrix(vector3df(0, 0, 512), vector3df(0, 0, 0), vector3df(0, 1, 0));
    expectElements(m, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 0, 0, 512, 1});
    EXPECT_FALSE(m.getDefinitelyIdentityMatrix());

    const auto side = pravik::core::buildCameraLookAtMatrix(vector3df(10, 0, 0), vector3df(0, 0, 0), vector3df(0, 1, 0));
    // f = (-1,0,0), s = f x up = (0,0,-1), u = s x f = (0,1,0)
    expectElements(side, {0, 0, -1, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 10, 1});

    // Target equal to the eye: the forward vector stays zero, and so do s and u.
    const auto degenerate = pravik::core::buildCameraLookAtMatrix(vector3df(1, 2, 3), vector3df(1, 2, 3), vector3df(0, 1, 0));
    expectElements(degenerate, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1});
}

TEST(MatrixBuilders, Projections)
{
    const auto ortho = pravik::core::buildProjectionMatrixOrtho(0.f, 320.f, 480.f, 0.f, 1.f, 101.f);
    expectElements(ortho, {2.f / 320, 0, 0, 0, 0, 2.f / -480, 0, 0, 0, 0, 1.f / 100, 0, -1, 1, 1.f / -100, 1});

    const auto persp = pravik::core::buildProjectionMatrixPerspectiveFov(float(M_PI / 2), 1.f, 1.f, 11.f);
    expectElements(persp, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1.1f, 1, 0, 0, -1.1f, 0});
    const auto wide = pravik::core::buildProjectionMatrixPerspectiveFov(float(M_PI / 2), 2.f, 1.f, 11.f);
    EXPECT_NEAR(wide[0], 0.5f, 1e-6f);

    // Values equal to the identity still leave the flag clear.
    const auto unit = pravik::core::buildProjectionMatrixOrtho(-1.f, 1.f, -1.f, 1.f, -0.5f, 0.5f);
    EXPECT_FALSE(unit.getDefinitelyIdentityMatrix());
}

TEST(Quaternion, MatrixAngleAxisAndSlerp)
{
    pravik::core::quaternion q;
    q.fromAngleAxis(float(M_PI / 2), vector3df(0, 0, 1));
    EXPECT_TRUE(q.rotate(vector3df(1, 0, 0)).equals({0, 1, 0}, 1e-6f));
    EXPECT_FALSE(q.getMatrix().getDefinitelyIdentityMatrix());

    pravik::core::quaternion id, half;
    half.slerp(id, q, 0.5f);
    EXPECT_TRUE(half.rotate(vector3df(1, 0, 0)).equals({float(M_SQRT1_2), float(M_SQRT1_2), 0}, 1e-6f));
    // The shorter arc: -q is the same rotation.
    pravik::core::quaternion viaNegated;
    viaNegated.slerp(id, q * -1.f, 0.5f);
    EXPECT_TRUE(viaNegated.rotate(vector3df(1, 0, 0)).equals({float(M_SQRT1_2), float(M_SQRT1_2), 0}, 1e-6f));
}

TEST(Triangle3d, PointInside)
{
    const pravik::core::triangle3df t({0, 0, 0}, {10, 0, 0}, {0, 10, 0});
    EXPECT_TRUE(t.isPointInside({1, 1, 0}));
    EXPECT_TRUE(t.isPointInside({0, 0, 0}));
    EXPECT_FALSE(t.isPointInside({6, 6, 0}));
    EXPECT_FALSE(t.isPointInside({-1, 1, 0}));
}

TEST(Rect, ClipAndCollide)
{
    pravik::core::recti r(0, 0, 100, 50);
    EXPECT_TRUE(r.isRectCollided({90, 40, 200, 200}));
    EXPECT_FALSE(r.isRectCollided({100, 0, 200, 50}));
    r.clipAgainst({50, 10, 300, 30});
    EXPECT_EQ(r, pravik::core::recti(50, 10, 100, 30));
    r.clipAgainst({500, 500, 600, 600});
    EXPECT_EQ(r.getWidth(), 0);
    EXPECT_EQ(r.getHeight(), 0);
}

TEST(Heapsort, SortsAscendingInPlace)
{
    const std::vector<std::vector<int>> kCases = {{}, {1}, {2, 1}, {5, 3, 9, 1, 1, 7, 0, -4}, {3, 3, 3}};
    for (const auto& c : kCases) {
        auto v = c;
        pravik::core::heapsort(v.data(), int(v.size()));
        auto expected = c;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(v, expected);
    }
}

TEST(Heapsort, EqualKeysLandInAFixedOrder)
{
    // Equal keys compare by key only; which one lands first is fixed by the sift order, and
    // lookups rely on it being the same every time.
    struct S {
        int key, tag;
        bool operator<(const S& o) const { return key < o.key; }
    };
    S a[] = {{1, 0}, {1, 1}, {0, 2}, {1, 3}};
    pravik::core::heapsort(a, 4);
    EXPECT_EQ(a[0].tag, 2);
    EXPECT_EQ(a[1].tag, 1);
    EXPECT_EQ(a[2].tag, 3);
    EXPECT_EQ(a[3].tag, 0);
}

TEST(SColor, InterpolationAndConversion)
{
    using pravik::video::SColor;
    const SColor black(0, 0, 0, 0), white(255, 255, 255, 255);
    EXPECT_EQ(white.getInterpolated(black, 1.f), white);
    EXPECT_EQ(white.getInterpolated(black, 0.f), black);
    EXPECT_EQ(white.getInterpolated(black, 7.f), white);    // d is clamped
    EXPECT_EQ(white.getInterpolated(black, 0.5f), SColor(127, 127, 127, 127));
    EXPECT_EQ(SColor(1, 2, 3, 4).toWord(), 0x04030201u);
    for (int v = 0; v < 256; ++v) {
        const SColor c(v, v, v, v);
        EXPECT_EQ(pravik::video::SColorf(c).toSColor(), c);
    }
}
