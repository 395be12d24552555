#include "engine/scene/CSceneCollisionManager.h"

#include <gtest/gtest.h>

#include "engine/scene/CCameraSceneNode.h"
#include "engine/scene/CEmptySceneNode.h"
#include "engine/scene/ITriangleSelector.h"
#include "tests/engine/scene/SceneTestSupport.h"

#include <numbers>

namespace pravik::scene {
namespace {

using core::vector3d;

// Hands out a fixed list of triangles, transformed when asked.
class CListSelector : public ITriangleSelector {
public:
    explicit CListSelector(std::vector<core::triangle3d<float>> triangles) : m_triangles(std::move(triangles)) {}
    int getTriangleCount() const override { return int(m_triangles.size()); }
    void getTriangles(core::triangle3d<float>* out, int capacity, int& written, const core::aabbox3d<float>&,
                      const core::CMatrix4<float>* transform) const override
    {
        written = 0;
        for (const auto& t : m_triangles) {
            if (written >= capacity) break;
            core::triangle3d<float> copy = t;
            if (transform) {
                transform->transformVect(copy.pointA);
                transform->transformVect(copy.pointB);
                transform->transformVect(copy.pointC);
            }
            out[written++] = copy;
        }
    }

private:
    std::vector<core::triangle3d<float>> m_triangles;
};

class CSceneCollisionManagerTest : public test::SceneFixture {
protected:
    ISceneCollisionManager& collisions() { return *manager->getSceneCollisionManager(); }
    // The render device's camera over the null driver's 600 x 1024 screen.
    CCameraSceneNode* addDeviceCamera()
    {
        auto* camera = static_cast<CCameraSceneNode*>(manager->addSceneNode("camera"));
        camera->setPosition(vector3d<float>(0, 0, 512));
        camera->setTarget({0, 0, 0});
        camera->setFOV(std::numbers::pi_v<float> / 2);
        camera->setAspectRatio(600.f / 1024.f);
        manager->update(0);
        manager->drawAll();
        return camera;
    }
    ISceneNode* addBox(int id, const vector3d<float>& position, ISceneNode* parent = nullptr)
    {
        ISceneNode* node = manager->addSceneNode("empty", parent);
        node->setID(id);
        node->setPosition(position);
        manager->update(0);
        return node;
    }
};

TEST_F(CSceneCollisionManagerTest, ScreenPointsAndRaysForTheDeviceCamera)
{
    EXPECT_EQ(collisions().getScreenCoordinatesFrom3DPosition({0, 0, 0}), core::position2d<int>(-1000, -1000));
    addDeviceCamera();
    EXPECT_EQ(collisions().getScreenCoordinatesFrom3DPosition({0, 0, 0}), core::position2d<int>(300, 512));
    EXPECT_EQ(collisions().getScreenCoordinatesFrom3DPosition({300, 512, 0}), core::position2d<int>(600, 0));
    EXPECT_EQ(collisions().getScreenCoordinatesFrom3DPosition({0, 0, 600}), core::position2d<int>(-10000, -10000));

    for (const core::position2d<int> p : {core::position2d<int>(300, 512), core::position2d<int>(150, 256)}) {
        SCOPED_TRACE(p.X);
        const core::line3d<float> ray = collisions().getRayFromScreenCoordinates(p);
        EXPECT_EQ(ray.start, vector3d<float>(0, 0, 512));
        const core::position2d<int> back = collisions().getScreenCoordinatesFrom3DPosition(ray.end);
        EXPECT_NEAR(back.X, p.X, 1);
        EXPECT_NEAR(back.Y, p.Y, 1);
    }
}

TEST_F(CSceneCollisionManagerTest, BoxPickingWithMasksAndDebugObjects)
{
    addDeviceCamera()->setVisible(false);  // its frustum box is no candidate
    ISceneNode* nearBox = addBox(3, {0, 0, 100});
    ISceneNode* farBox = addBox(4, {0, 0, -100});
    ISceneNode* child = addBox(8, {0, 0, -300}, nearBox);  // behind the far box
    const core::line3d<float> ray({0, 0, 500}, {0, 0, -500});
    const struct { const char* why; int mask; bool skipDebug; bool debugNear; ISceneNode* want; } cases[] = {
        {"no mask: the nearest", 0, false, false, nearBox},
        {"mask 4: not the id-3 node, its child is searched", 4, false, false, farBox},
        {"mask 8: the child under a skipped parent", 8, false, false, child},
        {"debug object kept", 0, false, true, nearBox},
        {"debug object skipped", 0, true, true, farBox},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        nearBox->setIsDebugObject(c.debugNear);
        EXPECT_EQ(collisions().getSceneNodeFromRayBB(ray, c.mask, c.skipDebug), c.want);
    }
    nearBox->setIsDebugObject(false);
    nearBox->setVisible(false);  // hides its subtree too
    EXPECT_EQ(collisions().getSceneNodeFromRayBB(ray, 8, false), nullptr);
    EXPECT_EQ(collisions().getSceneNodeFromScreenCoordinatesBB({300, 512}), farBox);
}

TEST_F(CSceneCollisionManagerTest, EllipsoidUnderGravityRestsOnTheFloor)
{
    // A floor quad at y = 0, wound so that its plane normal faces up.
    const float s = 100;
    auto* floor = new CListSelector({{{-s, 0, -s}, {s, 0, -s}, {s, 0, s}}, {{-s, 0, -s}, {s, 0, s}, {-s, 0, s}}});
    core::triangle3d<float> hit;
    bool falling = true;
    const vector3d<float> rest = collisions().getCollisionResultPosition(floor, {0, 10, 0}, {1, 2, 1}, {0, 0, 0}, hit,
                                                                         falling, 0.0005f, {0, -20, 0});
    EXPECT_FALSE(falling);
    EXPECT_NEAR(rest.Y, 2.f, 0.01f);  // the ellipsoid's lower pole touches the floor
    EXPECT_EQ(hit.pointA.Y, 0.f);

    const vector3d<float> fall = collisions().getCollisionResultPosition(floor, {500, 10, 0}, {1, 2, 1}, {0, 0, 0}, hit,
                                                                         falling, 0.0005f, {0, -20, 0});
    EXPECT_TRUE(falling);  // beside the floor
    EXPECT_FLOAT_EQ(fall.Y, -10.f);
    EXPECT_EQ(collisions().getCollisionResultPosition(floor, {1, 2, 3}, {1, 0, 1}, {0, -5, 0}, hit, falling, 0.0005f,
                                                      {0, 0, 0}),
              vector3d<float>(1, 2, 3));

    vector3d<float> point;
    EXPECT_TRUE(collisions().getCollisionPoint({{10, 50, 10}, {10, -50, 10}}, floor, point, hit));
    EXPECT_NEAR(point.Y, 0.f, 1e-4f);
    EXPECT_FALSE(collisions().getCollisionPoint({{10, 50, 10}, {10, -50, 10}}, nullptr, point, hit));
    EXPECT_FALSE(collisions().getCollisionPoint({{10, 5, 10}, {10, 5, 10}}, floor, point, hit));
    floor->drop();

    float root = -1;
    EXPECT_FALSE(CSceneCollisionManager::getLowestRoot(1, -1, 0, 1, &root));  // roots 0 and 1 are both excluded
    EXPECT_TRUE(CSceneCollisionManager::getLowestRoot(1, -1, 0.21f, 1, &root));
    EXPECT_NEAR(root, 0.3f, 1e-5f);
}

}  // namespace
}  // namespace pravik::scene
