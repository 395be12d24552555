#pragma once
// The camera's view volume: its position, six planes with outward unit normals in the order
// far, near, left, right, bottom, top (p is outside plane i when N.p + D > 0), the world box
// of the volume, and the camera matrices indexed like the driver's transformation states
// (0 view, 2 projection, 3 view-projection, 4 inverse view).

#include "engine/core/CMatrix4.h"
#include "engine/core/aabbox3d.h"
#include "engine/core/plane3d.h"
#include "engine/core/vector3d.h"

namespace pravik::scene {

struct SViewFrustum {
    enum VFPLANES { VF_FAR_PLANE = 0, VF_NEAR_PLANE, VF_LEFT_PLANE, VF_RIGHT_PLANE, VF_BOTTOM_PLANE, VF_TOP_PLANE,
                    VF_PLANE_COUNT };
    enum { ETS_VIEW = 0, ETS_PROJECTION = 2, ETS_VIEW_PROJECTION = 3, ETS_VIEW_INVERSE = 4, ETS_COUNT = 6 };

    core::vector3d<float> cameraPosition{0, 0, 0};
    core::plane3d<float> planes[VF_PLANE_COUNT];
    core::aabbox3d<float> boundingBox{-1, -1, -1, 1, 1, 1};
    core::CMatrix4<float> Matrices[ETS_COUNT];

    // Box overlap, then the nearest-corner test against the left, right and far planes only.
    bool intersects3(const core::aabbox3d<float>& box) const;
    // Where three planes meet; (0, 0, 0) when two of them are (nearly) parallel.
    static core::vector3d<float> corner(const core::plane3d<float>& a, const core::plane3d<float>& b,
                                        const core::plane3d<float>& c);
    core::vector3d<float> getFarLeftUp() const { return corner(planes[0], planes[5], planes[2]); }
    core::vector3d<float> getFarRightUp() const { return corner(planes[0], planes[5], planes[3]); }
    core::vector3d<float> getFarLeftDown() const { return corner(planes[0], planes[4], planes[2]); }
    core::vector3d<float> getFarRightDown() const { return corner(planes[0], planes[4], planes[3]); }
};

// Outside-the-plane test of the box corner nearest to the plane's inside.
inline bool boxOutsidePlane(const core::aabbox3d<float>& b, const core::plane3d<float>& p)
{
    const core::vector3d<float> c(p.Normal.X < 0 ? b.MaxEdge.X : b.MinEdge.X, p.Normal.Y < 0 ? b.MaxEdge.Y : b.MinEdge.Y,
                                  p.Normal.Z < 0 ? b.MaxEdge.Z : b.MinEdge.Z);
    return p.Normal.dotProduct(c) + p.D > 0;
}

inline bool boxesApart(const core::aabbox3d<float>& b, const core::aabbox3d<float>& f)
{
    return b.MinEdge.X > f.MaxEdge.X || b.MinEdge.Y > f.MaxEdge.Y || b.MinEdge.Z > f.MaxEdge.Z ||
           b.MaxEdge.X < f.MinEdge.X || b.MaxEdge.Y < f.MinEdge.Y || b.MaxEdge.Z < f.MinEdge.Z;
}

}  // namespace pravik::scene
