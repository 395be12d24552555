#pragma once
// Geometric questions about the scene: the ray through a screen point and the screen point of
// a world position (through the viewport of the driver's current render target), picking the
// nearest node whose box a ray meets, the nearest triangle a segment hits, and where an
// ellipsoid sliding through triangles comes to rest, with an optional gravity pass. The
// triangle queries read from a caller's selector.

#include "engine/IReferenceCounted.h"
#include "engine/core/CMatrix4.h"
#include "engine/core/aabbox3d.h"
#include "engine/core/line3d.h"
#include "engine/core/position2d.h"
#include "engine/core/triangle3d.h"
#include "engine/core/vector3d.h"

#include <vector>

namespace pravik::video {
class IVideoDriver;
}

namespace pravik::scene {

class CSceneManager;
class ICameraSceneNode;
class ISceneNode;
class ITriangleSelector;

class ISceneCollisionManager : public IReferenceCounted {
public:
    virtual bool getCollisionPoint(const core::line3d<float>& ray, ITriangleSelector* selector,
                                   core::vector3d<float>& outPoint, core::triangle3d<float>& outTriangle) = 0;
    virtual core::vector3d<float> getCollisionResultPosition(ITriangleSelector* selector,
                                                             const core::vector3d<float>& position,
                                                             const core::vector3d<float>& radius,
                                                             const core::vector3d<float>& velocity,
                                                             core::triangle3d<float>& outTriangle, bool& falling,
                                                             float slidingDistance,
                                                             const core::vector3d<float>& gravity) = 0;
    virtual core::line3d<float> getRayFromScreenCoordinates(const core::position2d<int>& pos,
                                                            ICameraSceneNode* camera = nullptr) = 0;
    virtual core::position2d<int> getScreenCoordinatesFrom3DPosition(const core::vector3d<float>& pos,
                                                                     ICameraSceneNode* camera = nullptr) = 0;
    virtual ISceneNode* getSceneNodeFromScreenCoordinatesBB(const core::position2d<int>& pos, int idMask = 0,
                                                            bool skipDebugObjects = false) = 0;
    virtual ISceneNode* getSceneNodeFromRayBB(const core::line3d<float>& ray, int idMask = 0,
                                              bool skipDebugObjects = false, ISceneNode* root = nullptr) = 0;
    virtual ISceneNode* getSceneNodeFromCameraBB(ICameraSceneNode* camera, int idMask = 0,
                                                 bool skipDebugObjects = false) = 0;
};

class CSceneCollisionManager : public ISceneCollisionManager {
public:
    struct SCollisionData {
        core::vector3d<float> Radius;
        core::vector3d<float> WorldVelocity;
        core::vector3d<float> WorldPosition;
        core::vector3d<float> Velocity;
        core::vector3d<float> Direction;
        core::vector3d<float> Start;
        bool Hit = false;
        float HitDistance = 0;
        core::vector3d<float> HitPoint;
        core::triangle3d<float> HitTriangle;
        int HitCount = 0;
        float CloseDistance = 0;
        ITriangleSelector* Selector = nullptr;
    };

    CSceneCollisionManager(CSceneManager* manager, video::IVideoDriver* driver);  // holds the driver
    ~CSceneCollisionManager() override;

    bool getCollisionPoint(const core::line3d<float>& ray, ITriangleSelector* selector, core::vector3d<float>& outPoint,
                           core::triangle3d<float>& outTriangle) override;
    core::vector3d<float> getCollisionResultPosition(ITriangleSelector* selector, const core::vector3d<float>& position,
                                                     const core::vector3d<float>& radius,
                                                     const core::vector3d<float>& velocity,
                                                     core::triangle3d<float>& outTriangle, bool& falling,
                                                     float slidingDistance,
                                                     const core::vector3d<float>& gravity) override;
    core::line3d<float> getRayFromScreenCoordinates(const core::position2d<int>& pos,
                                                    ICameraSceneNode* camera = nullptr) override;
    core::position2d<int> getScreenCoordinatesFrom3DPosition(const core::vector3d<float>& pos,
                                                             ICameraSceneNode* camera = nullptr) override;
    ISceneNode* getSceneNodeFromScreenCoordinatesBB(const core::position2d<int>& pos, int idMask = 0,
                                                    bool skipDebugObjects = false) override;
    ISceneNode* getSceneNodeFromRayBB(const core::line3d<float>& ray, int idMask = 0, bool skipDebugObjects = false,
                                      ISceneNode* root = nullptr) override;
    ISceneNode* getSceneNodeFromCameraBB(ICameraSceneNode* camera, int idMask = 0,
                                         bool skipDebugObjects = false) override;

    void getPickedNodeBB(ISceneNode* root, const core::line3d<float>& ray, int idMask, bool skipDebugObjects,
                         float& bestDistance, ISceneNode*& bestNode);
    core::vector3d<float> collideEllipsoidWithWorld(ITriangleSelector* selector, const core::vector3d<float>& position,
                                                    const core::vector3d<float>& radius,
                                                    const core::vector3d<float>& velocity, float slidingDistance,
                                                    const core::vector3d<float>& gravity,
                                                    core::triangle3d<float>& outTriangle, bool& falling);
    core::vector3d<float> collideWithWorld(int depth, SCollisionData& data, core::vector3d<float> start,
                                           core::vector3d<float> velocity);
    bool testTriangleIntersection(SCollisionData* data, const core::triangle3d<float>& triangle);
    static bool getLowestRoot(float a, float b, float c, float limit, float* root);

private:
    bool viewport(int& x0, int& y0, int& x1, int& y1) const;
    int fetchTriangles(ITriangleSelector* selector, const core::aabbox3d<float>& box,
                       const core::CMatrix4<float>* transform);

    CSceneManager* SceneManager;
    video::IVideoDriver* Driver;
    std::vector<core::triangle3d<float>> Triangles;
};

}  // namespace pravik::scene
