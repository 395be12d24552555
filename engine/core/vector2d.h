// 2D vector (also used as a 2D position).
#pragma once

#include <cmath>

namespace pravik::core {

template <typename T>
class vector2d {
public:
    T X{}, Y{};

    constexpr vector2d() = default;
    constexpr vector2d(T x, T y) : X(x), Y(y) {}
    constexpr explicit vector2d(T n) : X(n), Y(n) {}

    constexpr vector2d operator-() const { return {-X, -Y}; }
    constexpr vector2d operator+(const vector2d& o) const { return {X + o.X, Y + o.Y}; }
    constexpr vector2d operator-(const vector2d& o) const { return {X - o.X, Y - o.Y}; }
    constexpr vector2d operator*(const vector2d& o) const { return {X * o.X, Y * o.Y}; }
    constexpr vector2d operator/(const vector2d& o) const { return {X / o.X, Y / o.Y}; }
    constexpr vector2d operator*(T v) const { return {X * v, Y * v}; }
    constexpr vector2d operator/(T v) const { return {X / v, Y / v}; }
    vector2d& operator+=(const vector2d& o) { X += o.X; Y += o.Y; return *this; }
    vector2d& operator-=(const vector2d& o) { X -= o.X; Y -= o.Y; return *this; }
    vector2d& operator*=(T v) { X *= v; Y *= v; return *this; }
    vector2d& operator/=(T v) { X /= v; Y /= v; return *this; }
    constexpr bool operator==(const vector2d& o) const { return X == o.X && Y == o.Y; }
    constexpr bool operator!=(const vector2d& o) const { return !(*this == o); }

    vector2d& set(T x, T y) { X = x; Y = y; return *this; }
    constexpr T dotProduct(const vector2d& o) const { return X * o.X + Y * o.Y; }
    constexpr T getLengthSQ() const { return X * X + Y * Y; }
    T getLength() const { return static_cast<T>(std::sqrt(static_cast<double>(getLengthSQ()))); }
    T getDistanceFrom(const vector2d& o) const { return (*this - o).getLength(); }

    vector2d& normalize()   // a zero vector stays zero
    {
        const double l = static_cast<double>(getLengthSQ());
        if (l == 0.0)
            return *this;
        const double k = 1.0 / std::sqrt(l);
        X = static_cast<T>(X * k);
        Y = static_cast<T>(Y * k);
        return *this;
    }

    // Linear interpolation: d = 1 gives this vector, d = 0 the other.
    vector2d getInterpolated(const vector2d& other, double d) const
    {
        const double e = 1.0 - d;
        return {static_cast<T>(other.X * e + X * d), static_cast<T>(other.Y * e + Y * d)};
    }
};

template <typename T>
constexpr vector2d<T> operator*(T s, const vector2d<T>& v) { return v * s; }

using vector2df = vector2d<float>;
using vector2di = vector2d<int>;

} // namespace pravik::core
