// 3D triangle of the points pointA, pointB, pointC.
#pragma once

#include "engine/core/plane3d.h"
#include "engine/core/vector3d.h"

namespace pravik::core {

template <typename T>
class triangle3d {
public:
    vector3d<T> pointA, pointB, pointC;

    constexpr triangle3d() = default;
    constexpr triangle3d(const vector3d<T>& a, const vector3d<T>& b, const vector3d<T>& c)
        : pointA(a), pointB(b), pointC(c) {}

    constexpr bool operator==(const triangle3d& o) const
    {
        return pointA == o.pointA && pointB == o.pointB && pointC == o.pointC;
    }

    void set(const vector3d<T>& a, const vector3d<T>& b, const vector3d<T>& c)
    {
        pointA = a;
        pointB = b;
        pointC = c;
    }

    // True when p and q lie on the same side of the line through a and b (or on it).
    bool isOnSameSide(const vector3d<T>& p, const vector3d<T>& q, const vector3d<T>& a, const vector3d<T>& b) const
    {
        const vector3d<T> ba = b - a;
        const vector3d<T> cp1 = ba.crossProduct(p - a);
        const vector3d<T> cp2 = ba.crossProduct(q - a);
        return cp1.dotProduct(cp2) >= T(0);
    }

    // Assumes p lies in the triangle's plane.
    bool isPointInside(const vector3d<T>& p) const
    {
        return isOnSameSide(p, pointA, pointB, pointC) && isOnSameSide(p, pointB, pointA, pointC) &&
               isOnSameSide(p, pointC, pointA, pointB);
    }

    vector3d<T> getNormal() const { return (pointB - pointA).crossProduct(pointC - pointA); }
    plane3d<T> getPlane() const { return plane3d<T>(pointA, pointB, pointC); }
    T getArea() const { return (pointB - pointA).crossProduct(pointC - pointA).getLength() / T(2); }

    // True when the triangle faces against the given look direction.
    bool isFrontFacing(const vector3d<T>& lookDirection) const
    {
        vector3d<T> n = getNormal();
        n.normalize();
        return n.dotProduct(lookDirection) <= T(0);
    }
};

using triangle3df = triangle3d<float>;

} // namespace pravik::core
