// 3D line segment from start to end.
#pragma once

#include "engine/core/vector3d.h"

namespace pravik::core {

template <typename T>
class line3d {
public:
    vector3d<T> start, end;

    constexpr line3d() = default;
    constexpr line3d(const vector3d<T>& s, const vector3d<T>& e) : start(s), end(e) {}

    constexpr bool operator==(const line3d& o) const { return start == o.start && end == o.end; }
    T getLength() const { return start.getDistanceFrom(end); }
    constexpr T getLengthSQ() const { return (end - start).getLengthSQ(); }
    constexpr vector3d<T> getVector() const { return end - start; }
    constexpr vector3d<T> getMiddle() const { return (start + end) / static_cast<T>(2); }

    // The point of the segment nearest to p.
    vector3d<T> getClosestPoint(const vector3d<T>& p) const
    {
        const vector3d<T> v = end - start;
        const T l = v.getLengthSQ();
        if (l == T(0))
            return start;
        T t = (p - start).dotProduct(v) / l;
        if (t < T(0))
            t = T(0);
        else if (t > T(1))
            t = T(1);
        return start + v * t;
    }
};

using line3df = line3d<float>;

} // namespace pravik::core
