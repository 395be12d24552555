// 2D line segment from start to end.
#pragma once

#include "engine/core/vector2d.h"

namespace pravik::core {

template <typename T>
class line2d {
public:
    vector2d<T> start, end;

    constexpr line2d() = default;
    constexpr line2d(T xa, T ya, T xb, T yb) : start(xa, ya), end(xb, yb) {}
    constexpr line2d(const vector2d<T>& s, const vector2d<T>& e) : start(s), end(e) {}

    constexpr bool operator==(const line2d& o) const { return start == o.start && end == o.end; }
    T getLength() const { return start.getDistanceFrom(end); }
    constexpr vector2d<T> getVector() const { return end - start; }
    constexpr vector2d<T> getMiddle() const { return (start + end) / static_cast<T>(2); }
};

using line2df = line2d<float>;
using line2di = line2d<int>;

} // namespace pravik::core
