#include "engine/scene/SViewFrustum.h"

#include <cmath>

namespace pravik::scene {

bool SViewFrustum::intersects3(const core::aabbox3d<float>& box) const
{
    if (boxesApart(box, boundingBox)) return false;
    for (int i : {VF_LEFT_PLANE, VF_RIGHT_PLANE, VF_FAR_PLANE})
        if (boxOutsidePlane(box, planes[i])) return false;
    return true;
}

core::vector3d<float> SViewFrustum::corner(const core::plane3d<float>& a, const core::plane3d<float>& b,
                                           const core::plane3d<float>& c)
{
    const double la = a.Normal.getLength(), lb = b.Normal.getLength();
    const double ab = a.Normal.dotProduct(b.Normal);
    const double det = la * lb - ab * ab;
    if (std::fabs(det) < 1e-8) return {0, 0, 0};
    const double f0 = (lb * -a.D + ab * b.D) / det;
    const double f1 = (la * -b.D + ab * a.D) / det;
    const core::vector3d<float> point = a.Normal * float(f0) + b.Normal * float(f1);
    const core::vector3d<float> direction = a.Normal.crossProduct(b.Normal);
    const float denom = c.Normal.dotProduct(direction);
    if (denom == 0.f) return {0, 0, 0};
    const float t = -(c.Normal.dotProduct(point) + c.D) / denom;
    return point + direction * t;
}

}  // namespace pravik::scene
