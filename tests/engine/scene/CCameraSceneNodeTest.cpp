#include "engine/scene/CCameraSceneNode.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace pravik::scene {
namespace {

using core::vector3d;

// The render device's camera: 90 degrees at (0, 0, 512) looking at the origin.
CCameraSceneNode* makeDeviceCamera()
{
    auto* camera = new CCameraSceneNode(-1, {0, 0, 512}, {0, 0, 0});
    camera->setFOV(std::numbers::pi_v<float> / 2);
    camera->setAspectRatio(600.f / 1024.f);
    camera->updateAbsolutePosition();
    camera->onRegisterSceneNode();
    return camera;
}

vector3d<float> project(const CCameraSceneNode& camera, const vector3d<float>& p)
{
    float h[4];
    camera.getViewFrustum()->Matrices[SViewFrustum::ETS_VIEW_PROJECTION].transformVect(h, p);
    return {h[0] / h[3], h[1] / h[3], h[2] / h[3]};
}

TEST(CCameraSceneNode, DeviceCameraMapsTheWorldPlaneToTheScreenEdges)
{
    CCameraSceneNode* camera = makeDeviceCamera();
    const struct { vector3d<float> world; vector3d<float> ndc; } cases[] = {
        {{0, 0, 0}, {0, 0, 0}}, {{300, 0, 0}, {1, 0, 0}}, {{-300, 0, 0}, {-1, 0, 0}},
        {{0, 512, 0}, {0, 1, 0}}, {{0, -512, 0}, {0, -1, 0}}, {{150, 256, 0}, {0.5f, 0.5f, 0}}};
    const float depth = (3000.f * (512.f - 1.f)) / (512.f * (3000.f - 1.f));
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.world.X << "," << c.world.Y);
        const vector3d<float> ndc = project(*camera, c.world);
        EXPECT_NEAR(ndc.X, c.ndc.X, 1e-5f);
        EXPECT_NEAR(ndc.Y, c.ndc.Y, 1e-5f);
        EXPECT_NEAR(ndc.Z, depth, 1e-5f);
    }
    camera->drop();
}

TEST(CCameraSceneNode, PlanesComeFarNearLeftRightBottomTopWithUnitOutwardNormals)
{
    CCameraSceneNode* camera = makeDeviceCamera();
    const SViewFrustum& f = *camera->getViewFrustum();
    // The outward direction each plane's normal leans to, in world axes.
    const vector3d<float> outward[6] = {{0, 0, -1}, {0, 0, 1}, {-1, 0, 0}, {1, 0, 0}, {0, -1, 0}, {0, 1, 0}};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(f.planes[i].Normal.getLength(), 1.f, 1e-5f);
        EXPECT_GT(f.planes[i].Normal.dotProduct(outward[i]), 0.5f);
        EXPECT_LT(f.planes[i].getDistanceTo({0, 0, 0}), 0.f);  // the origin is inside
    }
    EXPECT_NEAR(f.planes[SViewFrustum::VF_NEAR_PLANE].getDistanceTo({0, 0, 511}), 0.f, 1e-3f);
    EXPECT_NEAR(f.planes[SViewFrustum::VF_FAR_PLANE].getDistanceTo({0, 0, 512 - 3000}), 0.f, 0.5f);
    EXPECT_GT(f.planes[SViewFrustum::VF_RIGHT_PLANE].getDistanceTo({301, 0, 0}), 0.f);
    EXPECT_LT(f.planes[SViewFrustum::VF_RIGHT_PLANE].getDistanceTo({299, 0, 0}), 0.f);
    EXPECT_TRUE(f.boundingBox.isPointInside({0, 0, 512}));
    EXPECT_NEAR(f.boundingBox.MinEdge.Z, 512 - 3000, 0.5f);
    camera->drop();
}

TEST(CCameraSceneNode, LookingAlongTheUpVectorNudgesUp)
{
    auto* straightDown = new CCameraSceneNode(-1, {0, 10, 0}, {0, 0, 0});
    auto* nudged = new CCameraSceneNode(-1, {0, 10, 0}, {0, 0, 0});
    nudged->setUpVector({0.5f, 1, 0});
    for (CCameraSceneNode* c : {straightDown, nudged}) {
        c->updateAbsolutePosition();
        c->onRegisterSceneNode();
    }
    for (int i = 0; i < 16; ++i) {
        EXPECT_TRUE(std::isfinite(straightDown->getViewMatrix()[i]));
        EXPECT_NEAR(straightDown->getViewMatrix()[i], nudged->getViewMatrix()[i], 1e-6f);
    }
    EXPECT_EQ(straightDown->getUpVector(), vector3d<float>(0, 1, 0));  // the stored vector stays
    straightDown->drop();
    nudged->drop();
}

TEST(CCameraSceneNode, ProjectionForms)
{
    CCameraSceneNode camera(-1, {0, 0, 0}, {0, 0, 100}, true);
    const float* P = camera.getProjectionMatrix().M;
    EXPECT_EQ(P[10], 1.f);
    EXPECT_EQ(P[11], 1.f);
    EXPECT_EQ(P[14], -1.f);
    // Far at infinity keeps finite planes and box.
    camera.updateAbsolutePosition();
    camera.onRegisterSceneNode();
    for (const auto& plane : camera.getViewFrustum()->planes) {
        EXPECT_TRUE(std::isfinite(plane.D));
        EXPECT_TRUE(std::isfinite(plane.Normal.getLengthSQ()));
    }
    EXPECT_TRUE(std::isfinite(camera.getBoundingBox().MaxEdge.getLengthSQ()));

    // Orthogonal from MAG (1 until set), aspect, near and far.
    camera.setProjectionMatrix(core::CMatrix4<float>(), true);
    camera.setNearValue(2);
    EXPECT_FLOAT_EQ(P[0], 2.f / (2 * 1 * camera.getAspectRatio()));
    EXPECT_FLOAT_EQ(P[5], 1.f);
    EXPECT_FLOAT_EQ(P[10], 1.f / (3000 - 2));
    EXPECT_FLOAT_EQ(P[14], 2.f / (2 - 3000));
    EXPECT_EQ(P[15], 1.f);
}

}  // namespace
}  // namespace pravik::scene
