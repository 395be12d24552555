#include "engine/scene/CSceneCollisionManager.h"

#include "engine/scene/CSceneManager.h"
#include "engine/scene/ICameraSceneNode.h"
#include "engine/scene/ITriangleSelector.h"
#include "engine/scene/SceneMath.h"
#include "engine/video/IRenderTarget.h"
#include "engine/video/IVideoDriver.h"

#include <cfloat>
#include <cmath>

namespace pravik::scene {

namespace {

using core::vector3d;

vector3d<float> unitOrSelf(vector3d<float> v)
{
    if (v.getLengthSQ() != 0.f) v.normalize();
    return v;
}

// The engine's plane through three points: normal (P2 - P0) x (P1 - P0), normalised.
core::plane3d<float> trianglePlane(const core::triangle3d<float>& t)
{
    const vector3d<float> n = unitOrSelf((t.pointC - t.pointA).crossProduct(t.pointB - t.pointA));
    return core::plane3d<float>(n, -n.dotProduct(t.pointA));
}

vector3d<float> scaled(const vector3d<float>& a, const vector3d<float>& b) { return {a.X * b.X, a.Y * b.Y, a.Z * b.Z}; }
vector3d<float> divided(const vector3d<float>& a, const vector3d<float>& b) { return {a.X / b.X, a.Y / b.Y, a.Z / b.Z}; }

// Where three planes meet: the line of the first two, then the third plane.
vector3d<float> corner(const core::plane3d<float>& p0, const core::plane3d<float>& p1, const core::plane3d<float>& p2)
{
    const double l0 = p0.Normal.getLength(), l1 = p1.Normal.getLength(), c = p0.Normal.dotProduct(p1.Normal);
    const double det = l0 * l1 - c * c;
    if (std::fabs(det) < 1e-8) return {0, 0, 0};
    const double f0 = (c * p1.D - l1 * p0.D) / det, f1 = (c * p0.D - l0 * p1.D) / det;
    const vector3d<float> q = p0.Normal * float(f0) + p1.Normal * float(f1);
    const vector3d<float> v = p1.Normal.crossProduct(p0.Normal);
    const float d = p2.Normal.dotProduct(v);
    if (d == 0.f) return {0, 0, 0};
    return q + v * (-(p2.Normal.dotProduct(q) + p2.D) / d);
}

}  // namespace

CSceneCollisionManager::CSceneCollisionManager(CSceneManager* manager, video::IVideoDriver* driver)
    : SceneManager(manager), Driver(driver)
{
    if (Driver) Driver->grab();
}

CSceneCollisionManager::~CSceneCollisionManager()
{
    if (Driver) Driver->drop();
}

bool CSceneCollisionManager::viewport(int& x0, int& y0, int& x1, int& y1) const
{
    const video::IRenderTarget* target = Driver ? Driver->getCurrentRenderTarget() : nullptr;
    if (!target) return false;
    const core::rect<int>& v = target->getViewport();
    x0 = v.UpperLeftCorner.X;
    y0 = v.UpperLeftCorner.Y;
    x1 = v.LowerRightCorner.X;
    y1 = v.LowerRightCorner.Y;
    return true;
}

core::position2d<int> CSceneCollisionManager::getScreenCoordinatesFrom3DPosition(const vector3d<float>& pos,
                                                                                 ICameraSceneNode* camera)
{
    if (!camera && SceneManager) camera = SceneManager->getActiveCamera();
    int x0, y0, x1, y1;
    if (!SceneManager || !Driver || !camera || !viewport(x0, y0, x1, y1)) return {-1000, -1000};
    const int halfW = (x1 - x0) / 2, halfH = (y1 - y0) / 2;
    const core::CMatrix4<float>& P = camera->getProjectionMatrix();
    const core::CMatrix4<float>& V = camera->getViewMatrix();
    const core::CMatrix4<float> T = V.getDefinitelyIdentityMatrix() ? P : P.getDefinitelyIdentityMatrix() ? V : P * V;
    const float w = pos.X * T[3] + pos.Y * T[7] + pos.Z * T[11] + T[15];
    if (w < 0) return {-10000, -10000};
    const float k = w == 0 ? 1.f : 1.f / w;
    const float x = float(halfW) + std::floor(0.5f + k * (float(halfW) * (pos.X * T[0] + pos.Y * T[4] + pos.Z * T[8] + T[12])));
    const float y = float(halfH) - std::floor(0.5f + float(halfH) * (k * (pos.X * T[1] + pos.Y * T[5] + pos.Z * T[9] + T[13])));
    return {int(x), int(y)};
}

core::line3d<float> CSceneCollisionManager::getRayFromScreenCoordinates(const core::position2d<int>& pos,
                                                                        ICameraSceneNode* camera)
{
    if (!camera && SceneManager) camera = SceneManager->getActiveCamera();
    int x0, y0, x1, y1;
    if (!SceneManager || !camera || !viewport(x0, y0, x1, y1) || x1 == x0 || y1 == y0) return {};
    const SViewFrustum& f = *camera->getViewFrustum();
    const vector3d<float> lu = corner(f.planes[0], f.planes[5], f.planes[2]);
    const vector3d<float> ru = corner(f.planes[0], f.planes[5], f.planes[3]);
    const vector3d<float> ld = corner(f.planes[0], f.planes[4], f.planes[2]);
    const float dx = float(pos.X) / float(x1 - x0), dy = float(pos.Y) / float(y1 - y0);
    const vector3d<float> across = ru - lu, down = ld - lu;
    core::line3d<float> ray(f.cameraPosition, lu + across * dx + down * dy);
    if (camera->isOrthogonal()) ray.start = f.cameraPosition + across * (dx - 0.5f) + down * (dy - 0.5f);
    return ray;
}

ISceneNode* CSceneCollisionManager::getSceneNodeFromScreenCoordinatesBB(const core::position2d<int>& pos, int idMask,
                                                                        bool skipDebugObjects)
{
    const core::line3d<float> ray = getRayFromScreenCoordinates(pos);
    if (ray.start == ray.end) return nullptr;
    return getSceneNodeFromRayBB(ray, idMask, skipDebugObjects, nullptr);
}

ISceneNode* CSceneCollisionManager::getSceneNodeFromCameraBB(ICameraSceneNode* camera, int idMask, bool skipDebugObjects)
{
    if (!camera) return nullptr;
    const vector3d<float> start = camera->getAbsoluteTransformation().getTranslation();
    const vector3d<float> end = start + unitOrSelf(camera->getTarget() - start) * camera->getFarValue();
    return getSceneNodeFromRayBB({start, end}, idMask, skipDebugObjects, nullptr);
}

ISceneNode* CSceneCollisionManager::getSceneNodeFromRayBB(const core::line3d<float>& ray, int idMask,
                                                          bool skipDebugObjects, ISceneNode* root)
{
    float best = FLT_MAX;
    ISceneNode* bestNode = nullptr;
    if (!root && SceneManager) root = SceneManager->getRootSceneNode();
    if (root) getPickedNodeBB(root, ray, idMask, skipDebugObjects, best, bestNode);
    return bestNode;
}

void CSceneCollisionManager::getPickedNodeBB(ISceneNode* root, const core::line3d<float>& ray, int idMask,
                                             bool skipDebugObjects, float& bestDistance, ISceneNode*& bestNode)
{
    for (ISceneNode* child : root->getChildren()) {
        if (!child->isVisible()) continue;
        const bool candidate = !(skipDebugObjects && child->isDebugObject()) && !(idMask != 0 && !(child->getID() & idMask));
        if (candidate) {
            core::CMatrix4<float> inverse(core::EM4CONST_NOTHING);
            if (!inverseOf(child->getAbsoluteTransformation(), inverse)) continue;  // with its subtree
            vector3d<float> s = ray.start, e = ray.end;
            inverse.transformVect(s);
            inverse.transformVect(e);
            const core::aabbox3d<float>& box = child->getBoundingBox();
            const float smin[3] = {box.MinEdge.X, box.MinEdge.Y, box.MinEdge.Z};
            const float smax[3] = {box.MaxEdge.X, box.MaxEdge.Y, box.MaxEdge.Z};
            const float sv[3] = {s.X, s.Y, s.Z}, ev[3] = {e.X, e.Y, e.Z};
            float t0 = 0, t1 = 1;
            bool hit = true;
            for (int axis = 0; axis < 3 && hit; ++axis) {
                const float a0 = sv[axis], a1 = ev[axis], mn = smin[axis], mx = smax[axis];
                float a, b;
                if (a0 < a1) {
                    if (a0 > mx || a1 < mn) { hit = false; break; }
                    a = a0 < mn ? (mn - a0) / (a1 - a0) : 0.f;
                    b = a1 > mx ? (mx - a0) / (a1 - a0) : 1.f;
                } else {
                    if (a1 > mx || a0 < mn) { hit = false; break; }
                    a = a0 > mx ? (mx - a0) / (a1 - a0) : 0.f;
                    b = a1 < mn ? (mn - a0) / (a1 - a0) : 1.f;
                }
                if (axis == 0) {
                    t0 = std::max(a, 0.f);
                    t1 = std::min(b, 1.f);
                } else {
                    t0 = std::max(t0, a);
                    t1 = std::min(t1, b);
                }
                if (t0 > t1) hit = false;
            }
            if (hit) {
                float farthest = 0;
                for (int c = 0; c < 8; ++c) {
                    const vector3d<float> p(c & 1 ? box.MaxEdge.X : box.MinEdge.X, c & 2 ? box.MaxEdge.Y : box.MinEdge.Y,
                                            c & 4 ? box.MaxEdge.Z : box.MinEdge.Z);
                    farthest = std::max(farthest, s.getDistanceFromSQ(p));
                }
                if (bestDistance > farthest) {
                    bestDistance = farthest;
                    bestNode = child;
                }
            }
        }
        getPickedNodeBB(child, ray, idMask, skipDebugObjects, bestDistance, bestNode);
    }
}

int CSceneCollisionManager::fetchTriangles(ITriangleSelector* selector, const core::aabbox3d<float>& box,
                                           const core::CMatrix4<float>* transform)
{
    const int count = std::max(0, selector->getTriangleCount());
    if (Triangles.size() < size_t(count)) Triangles.resize(size_t(count));
    int written = 0;
    selector->getTriangles(Triangles.data(), count, written, box, transform);
    return std::clamp(written, 0, count);  // a selector cannot make us read past what it was given
}

bool CSceneCollisionManager::getCollisionPoint(const core::line3d<float>& ray, ITriangleSelector* selector,
                                               vector3d<float>& outPoint, core::triangle3d<float>& outTriangle)
{
    if (!selector) return false;
    core::aabbox3d<float> box(ray.start);
    box.addInternalPoint(ray.end);
    const int n = fetchTriangles(selector, box, nullptr);
    const vector3d<float> dir = unitOrSelf(ray.end - ray.start);
    const float L = (ray.end - ray.start).getLengthSQ();
    float nearest = FLT_MAX;
    bool found = false;
    const float lo[3] = {box.MinEdge.X, box.MinEdge.Y, box.MinEdge.Z}, hi[3] = {box.MaxEdge.X, box.MaxEdge.Y, box.MaxEdge.Z};
    for (int i = 0; i < n; ++i) {
        const core::triangle3d<float>& t = Triangles[size_t(i)];
        bool outside = false;
        for (int a = 0; a < 3 && !outside; ++a) {
            const float p0 = (&t.pointA.X)[a], p1 = (&t.pointB.X)[a], p2 = (&t.pointC.X)[a];
            outside = (p0 < lo[a] && p1 < lo[a] && p2 < lo[a]) || (p0 > hi[a] && p1 > hi[a] && p2 > hi[a]);
        }
        if (outside) continue;
        if (t.pointA.getDistanceFromSQ(ray.start) >= nearest && t.pointB.getDistanceFromSQ(ray.start) >= nearest &&
            t.pointC.getDistanceFromSQ(ray.start) >= nearest)
            continue;
        const core::plane3d<float> plane = trianglePlane(t);
        const float nd = plane.Normal.dotProduct(dir);
        if (std::fabs(nd) <= 1e-6f) continue;
        const vector3d<float> p =
            ray.start + dir * (-(plane.Normal.dotProduct(ray.start) - plane.Normal.dotProduct(t.pointA)) / nd);
        if (!(t.isOnSameSide(p, t.pointA, t.pointB, t.pointC) && t.isOnSameSide(p, t.pointB, t.pointA, t.pointC) &&
              t.isOnSameSide(p, t.pointC, t.pointA, t.pointB)))
            continue;
        const float q = p.getDistanceFromSQ(ray.start);
        if (q < L && p.getDistanceFromSQ(ray.end) < L && q < nearest) {
            nearest = q;
            outPoint = p;
            outTriangle = t;
            found = true;
        }
    }
    return found;
}

vector3d<float> CSceneCollisionManager::getCollisionResultPosition(ITriangleSelector* selector,
                                                                   const vector3d<float>& position,
                                                                   const vector3d<float>& radius,
                                                                   const vector3d<float>& velocity,
                                                                   core::triangle3d<float>& outTriangle, bool& falling,
                                                                   float slidingDistance, const vector3d<float>& gravity)
{
    return collideEllipsoidWithWorld(selector, position, radius, velocity, slidingDistance, gravity, outTriangle, falling);
}

vector3d<float> CSceneCollisionManager::collideEllipsoidWithWorld(ITriangleSelector* selector,
                                                                  const vector3d<float>& position,
                                                                  const vector3d<float>& radius,
                                                                  const vector3d<float>& velocity, float slidingDistance,
                                                                  const vector3d<float>& gravity,
                                                                  core::triangle3d<float>& outTriangle, bool& falling)
{
    if (!selector || radius.X == 0 || radius.Y == 0 || radius.Z == 0) return position;
    SCollisionData data;
    data.Radius = radius;
    data.WorldPosition = position;
    data.WorldVelocity = velocity;
    data.HitDistance = FLT_MAX;
    data.Selector = selector;
    data.CloseDistance = slidingDistance;
    vector3d<float> result = collideWithWorld(0, data, divided(position, radius), divided(velocity, radius));
    falling = false;
    if (gravity != vector3d<float>(0, 0, 0)) {
        data.WorldPosition = scaled(result, radius);
        data.WorldVelocity = gravity;
        data.HitCount = 0;
        result = collideWithWorld(0, data, result, divided(gravity, radius));
        falling = data.HitCount == 0;
    }
    if (data.HitCount != 0) {
        outTriangle = data.HitTriangle;
        outTriangle.pointA = scaled(outTriangle.pointA, radius);
        outTriangle.pointB = scaled(outTriangle.pointB, radius);
        outTriangle.pointC = scaled(outTriangle.pointC, radius);
    }
    return scaled(result, radius);
}

vector3d<float> CSceneCollisionManager::collideWithWorld(int depth, SCollisionData& data, vector3d<float> start,
                                                         vector3d<float> velocity)
{
    if (depth > 5) return start;
    data.Velocity = velocity;
    data.Direction = unitOrSelf(velocity);
    data.Start = start;
    data.Hit = false;
    data.HitDistance = FLT_MAX;

    core::aabbox3d<float> box(data.WorldPosition);
    box.addInternalPoint(data.WorldPosition + data.WorldVelocity);
    box.MinEdge -= data.Radius;
    box.MaxEdge += data.Radius;
    core::CMatrix4<float> scale(core::EM4CONST_NOTHING);
    scale[0] = 1.f / data.Radius.X;
    scale[5] = 1.f / data.Radius.Y;
    scale[10] = 1.f / data.Radius.Z;
    scale[15] = 1.f;
    const int n = fetchTriangles(data.Selector, box, &scale);
    for (int i = 0; i < n; ++i) testTriangleIntersection(&data, Triangles[size_t(i)]);
    if (!data.Hit) return start + velocity;

    const float c = data.CloseDistance;
    const vector3d<float> dest = start + velocity;
    vector3d<float> newStart = start;
    if (data.HitDistance >= c) {
        const vector3d<float> u = unitOrSelf(velocity) * (data.HitDistance - c);
        newStart = data.Start + u;
        data.HitPoint -= unitOrSelf(u) * c;
    }
    const vector3d<float> m = unitOrSelf(newStart - data.HitPoint);
    const vector3d<float> newDest = dest - m * (m.dotProduct(dest) - m.dotProduct(data.HitPoint));
    const vector3d<float> newVelocity = newDest - data.HitPoint;
    if (double(newVelocity.getLength()) < double(c)) return newStart;
    return collideWithWorld(depth + 1, data, newStart, newVelocity);
}

bool CSceneCollisionManager::getLowestRoot(float a, float b, float c, float limit, float* root)
{
    const float d = b * b - 4.f * a * c;
    if (d < 0) return false;
    const float sq = std::sqrt(d);
    float r1 = (-b - sq) / (2 * a), r2 = (sq - b) / (2 * a);
    if (r1 > r2) std::swap(r1, r2);
    if (r1 > 0 && r1 < limit) {
        *root = r1;
        return true;
    }
    if (r2 > 0 && r2 < limit) {
        *root = r2;
        return true;
    }
    return false;
}

bool CSceneCollisionManager::testTriangleIntersection(SCollisionData* data, const core::triangle3d<float>& triangle)
{
    const core::plane3d<float> plane = trianglePlane(triangle);
    const vector3d<float>& n = plane.Normal;
    if (n.dotProduct(data->Direction) > 0) return false;
    const float s = n.dotProduct(data->Start) + plane.D;
    const float v = n.dotProduct(data->Velocity);
    bool embedded = false;
    float t0, t1;
    if (std::fabs(v) <= 1e-6f) {
        if (std::fabs(s) >= 1) return false;
        embedded = true;
        t0 = 0;
        t1 = 1;
    } else {
        t0 = (-1 - s) / v;
        t1 = (1 - s) / v;
        if (t0 > t1) std::swap(t0, t1);
        if (t0 > 1 || t1 < 0) return false;
        t0 = std::clamp(t0, 0.f, 1.f);
    }
    bool hit = false;
    float t = 1;
    vector3d<float> point;
    if (!embedded) {
        const vector3d<float> p = data->Start - n + data->Velocity * t0;
        const vector3d<float> f = triangle.pointB - triangle.pointA, g = triangle.pointC - triangle.pointA,
                              h = p - triangle.pointA;
        const float a = f.dotProduct(f), b = f.dotProduct(g), c = g.dotProduct(g);
        const float x = h.dotProduct(f) * c - h.dotProduct(g) * b;
        const float y = h.dotProduct(g) * a - h.dotProduct(f) * b;
        const float z = x + y - (a * c - b * b);
        if (std::signbit(z) && !std::signbit(x) && !std::signbit(y)) {
            hit = true;
            t = t0;
            point = p;
        }
    }
    if (!hit) {
        const vector3d<float>& V = data->Velocity;
        const vector3d<float>& S = data->Start;
        const float a = V.dotProduct(V);
        float root;
        for (const vector3d<float>* P : {&triangle.pointA, &triangle.pointB, &triangle.pointC}) {
            if (hit) break;
            const float b = 2.f * V.dotProduct(S - *P);
            const float c = (*P - S).getLengthSQ() - 1.f;
            if (getLowestRoot(a, b, c, t, &root)) {
                t = root;
                point = *P;
                hit = true;
            }
        }
        const vector3d<float>* edges[3][2] = {{&triangle.pointA, &triangle.pointB},
                                              {&triangle.pointB, &triangle.pointC},
                                              {&triangle.pointC, &triangle.pointA}};
        for (const auto& edge : edges) {
            const vector3d<float> E = *edge[1] - *edge[0];
            const vector3d<float> Q = *edge[0] - S;
            const float ee = E.dotProduct(E), ev = E.dotProduct(V), eq = E.dotProduct(Q);
            const float qa = -ee * V.dotProduct(V) + ev * ev;
            const float qb = ee * 2.f * V.dotProduct(Q) - 2.f * ev * eq;
            const float qc = ee * (1.f - Q.dotProduct(Q)) + eq * eq;
            if (getLowestRoot(qa, qb, qc, t, &root)) {
                const float f = (ev * root - eq) / ee;
                if (f >= 0 && f <= 1) {
                    t = root;
                    point = *edge[0] + E * f;
                    hit = true;
                }
            }
        }
    }
    if (!hit) return false;
    const float distance = float(double(t) * double(data->Velocity.getLength()));
    if (data->Hit && !(distance < data->HitDistance)) return false;
    data->HitDistance = distance;
    data->HitPoint = point;
    data->Hit = true;
    data->HitTriangle = triangle;
    ++data->HitCount;
    return true;
}

}  // namespace pravik::scene
