// Axis-aligned 2D rectangle from its upper-left corner (inclusive) to its lower-right corner
// (exclusive for integer pixels).
#pragma once

#include <algorithm>

#include "engine/core/dimension2d.h"
#include "engine/core/position2d.h"

namespace pravik::core {

template <typename T>
class rect {
public:
    position2d<T> UpperLeftCorner;
    position2d<T> LowerRightCorner;

    constexpr rect() = default;
    constexpr rect(T x, T y, T x2, T y2) : UpperLeftCorner(x, y), LowerRightCorner(x2, y2) {}
    constexpr rect(const position2d<T>& upperLeft, const position2d<T>& lowerRight)
        : UpperLeftCorner(upperLeft), LowerRightCorner(lowerRight) {}
    constexpr rect(const position2d<T>& pos, const dimension2d<T>& size)
        : UpperLeftCorner(pos), LowerRightCorner(pos.X + size.Width, pos.Y + size.Height) {}

    constexpr bool operator==(const rect& o) const
    {
        return UpperLeftCorner == o.UpperLeftCorner && LowerRightCorner == o.LowerRightCorner;
    }
    constexpr bool operator!=(const rect& o) const { return !(*this == o); }
    constexpr rect operator+(const position2d<T>& p) const { return {UpperLeftCorner + p, LowerRightCorner + p}; }
    constexpr rect operator-(const position2d<T>& p) const { return {UpperLeftCorner - p, LowerRightCorner - p}; }
    rect& operator+=(const position2d<T>& p) { UpperLeftCorner += p; LowerRightCorner += p; return *this; }
    rect& operator-=(const position2d<T>& p) { UpperLeftCorner -= p; LowerRightCorner -= p; return *this; }

    constexpr T getWidth() const { return LowerRightCorner.X - UpperLeftCorner.X; }
    constexpr T getHeight() const { return LowerRightCorner.Y - UpperLeftCorner.Y; }
    constexpr dimension2d<T> getSize() const { return {getWidth(), getHeight()}; }
    constexpr T getArea() const { return getWidth() * getHeight(); }
    constexpr position2d<T> getCenter() const
    {
        return {(UpperLeftCorner.X + LowerRightCorner.X) / 2, (UpperLeftCorner.Y + LowerRightCorner.Y) / 2};
    }
    constexpr bool isValid() const { return LowerRightCorner.X >= UpperLeftCorner.X && LowerRightCorner.Y >= UpperLeftCorner.Y; }

    constexpr bool isPointInside(const position2d<T>& p) const
    {
        return UpperLeftCorner.X <= p.X && UpperLeftCorner.Y <= p.Y && LowerRightCorner.X >= p.X && LowerRightCorner.Y >= p.Y;
    }

    constexpr bool isRectCollided(const rect& o) const
    {
        return LowerRightCorner.Y > o.UpperLeftCorner.Y && UpperLeftCorner.Y < o.LowerRightCorner.Y &&
               LowerRightCorner.X > o.UpperLeftCorner.X && UpperLeftCorner.X < o.LowerRightCorner.X;
    }

    // Shrinks this rectangle to its overlap with the other; an empty overlap leaves a
    // zero-sized rectangle.
    void clipAgainst(const rect& o)
    {
        LowerRightCorner.X = std::min(LowerRightCorner.X, o.LowerRightCorner.X);
        LowerRightCorner.Y = std::min(LowerRightCorner.Y, o.LowerRightCorner.Y);
        UpperLeftCorner.X = std::max(UpperLeftCorner.X, o.UpperLeftCorner.X);
        UpperLeftCorner.Y = std::max(UpperLeftCorner.Y, o.UpperLeftCorner.Y);
        if (UpperLeftCorner.Y > LowerRightCorner.Y)
            UpperLeftCorner.Y = LowerRightCorner.Y;
        if (UpperLeftCorner.X > LowerRightCorner.X)
            UpperLeftCorner.X = LowerRightCorner.X;
    }

    // Swaps corners so that the upper-left one really is upper-left.
    void repair()
    {
        if (LowerRightCorner.X < UpperLeftCorner.X)
            std::swap(LowerRightCorner.X, UpperLeftCorner.X);
        if (LowerRightCorner.Y < UpperLeftCorner.Y)
            std::swap(LowerRightCorner.Y, UpperLeftCorner.Y);
    }

    void addInternalPoint(const position2d<T>& p)
    {
        UpperLeftCorner.X = std::min(UpperLeftCorner.X, p.X);
        UpperLeftCorner.Y = std::min(UpperLeftCorner.Y, p.Y);
        LowerRightCorner.X = std::max(LowerRightCorner.X, p.X);
        LowerRightCorner.Y = std::max(LowerRightCorner.Y, p.Y);
    }
};

using rectf = rect<float>;
using recti = rect<int>;

} // namespace pravik::core
