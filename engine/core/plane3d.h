// Plane of the points p with Normal·p + D = 0.
#pragma once

#include "engine/core/vector3d.h"

namespace pravik::core {

enum EIntersectionRelation3D { ISREL3D_FRONT = 0, ISREL3D_BACK, ISREL3D_PLANAR };

template <typename T>
class plane3d {
public:
    vector3d<T> Normal{0, 1, 0};
    T D{};

    constexpr plane3d() = default;
    constexpr plane3d(const vector3d<T>& normal, T d) : Normal(normal), D(d) {}
    plane3d(const vector3d<T>& point, const vector3d<T>& normal) { setPlane(point, normal); }
    plane3d(const vector3d<T>& a, const vector3d<T>& b, const vector3d<T>& c) { setPlane(a, b, c); }

    constexpr bool operator==(const plane3d& o) const { return Normal == o.Normal && D == o.D; }

    void setPlane(const vector3d<T>& point, const vector3d<T>& normal)
    {
        Normal = normal;
        D = -point.dotProduct(normal);
    }
    void setPlane(const vector3d<T>& a, const vector3d<T>& b, const vector3d<T>& c)
    {
        Normal = (b - a).crossProduct(c - a);
        Normal.normalize();
        D = -a.dotProduct(Normal);
    }

    constexpr T getDistanceTo(const vector3d<T>& p) const { return p.dotProduct(Normal) + D; }

    EIntersectionRelation3D classifyPointRelation(const vector3d<T>& p, T tolerance = T(0)) const
    {
        const T d = getDistanceTo(p);
        if (d < -tolerance)
            return ISREL3D_BACK;
        if (d > tolerance)
            return ISREL3D_FRONT;
        return ISREL3D_PLANAR;
    }

    // False when the line runs parallel to the plane.
    bool getIntersectionWithLine(const vector3d<T>& linePoint, const vector3d<T>& lineVector,
                                 vector3d<T>& out) const
    {
        const T t2 = Normal.dotProduct(lineVector);
        if (t2 == T(0))
            return false;
        const T t = -(Normal.dotProduct(linePoint) + D) / t2;
        out = linePoint + lineVector * t;
        return true;
    }
};

using plane3df = plane3d<float>;

} // namespace pravik::core
