// 3D vector of the engine (X, Y, Z).
#pragma once

#include <cmath>

namespace pravik::core {

template <typename T>
class vector3d {
public:
    T X{}, Y{}, Z{};

    constexpr vector3d() = default;
    constexpr vector3d(T x, T y, T z) : X(x), Y(y), Z(z) {}
    constexpr explicit vector3d(T n) : X(n), Y(n), Z(n) {}

    constexpr vector3d operator-() const { return {-X, -Y, -Z}; }
    constexpr vector3d operator+(const vector3d& o) const { return {X + o.X, Y + o.Y, Z + o.Z}; }
    constexpr vector3d operator-(const vector3d& o) const { return {X - o.X, Y - o.Y, Z - o.Z}; }
    constexpr vector3d operator*(const vector3d& o) const { return {X * o.X, Y * o.Y, Z * o.Z}; }
    constexpr vector3d operator/(const vector3d& o) const { return {X / o.X, Y / o.Y, Z / o.Z}; }
    constexpr vector3d operator*(T v) const { return {X * v, Y * v, Z * v}; }
    constexpr vector3d operator/(T v) const { return {X / v, Y / v, Z / v}; }
    vector3d& operator+=(const vector3d& o) { X += o.X; Y += o.Y; Z += o.Z; return *this; }
    vector3d& operator-=(const vector3d& o) { X -= o.X; Y -= o.Y; Z -= o.Z; return *this; }
    vector3d& operator*=(const vector3d& o) { X *= o.X; Y *= o.Y; Z *= o.Z; return *this; }
    vector3d& operator*=(T v) { X *= v; Y *= v; Z *= v; return *this; }
    vector3d& operator/=(T v) { X /= v; Y /= v; Z /= v; return *this; }
    constexpr bool operator==(const vector3d& o) const { return X == o.X && Y == o.Y && Z == o.Z; }
    constexpr bool operator!=(const vector3d& o) const { return !(*this == o); }

    vector3d& set(T x, T y, T z) { X = x; Y = y; Z = z; return *this; }
    bool equals(const vector3d& o, T tolerance) const
    {
        return std::abs(X - o.X) <= tolerance && std::abs(Y - o.Y) <= tolerance && std::abs(Z - o.Z) <= tolerance;
    }

    constexpr T dotProduct(const vector3d& o) const { return X * o.X + Y * o.Y + Z * o.Z; }
    constexpr vector3d crossProduct(const vector3d& p) const
    {
        return {Y * p.Z - Z * p.Y, Z * p.X - X * p.Z, X * p.Y - Y * p.X};
    }
    constexpr T getLengthSQ() const { return Y * Y + X * X + Z * Z; }
    T getLength() const { return static_cast<T>(std::sqrt(static_cast<double>(getLengthSQ()))); }
    T getDistanceFrom(const vector3d& o) const { return (*this - o).getLength(); }
    T getDistanceFromSQ(const vector3d& o) const { return (*this - o).getLengthSQ(); }

    // Scales to length 1; the squared length is summed y, x, z and a zero vector stays zero.
    vector3d& normalize()
    {
        const T l = Y * Y + X * X + Z * Z;
        if (l == T(0))
            return *this;
        const T k = static_cast<T>(1) / static_cast<T>(std::sqrt(l));
        X *= k;
        Y *= k;
        Z *= k;
        return *this;
    }

    vector3d& setLength(T length) { normalize(); return *this *= length; }
    vector3d& invert() { X = -X; Y = -Y; Z = -Z; return *this; }

    // Rotations by an angle in degrees about a centre, in one coordinate plane; the angle is
    // converted and its sine and cosine taken in double precision, then used as T.
    void rotateXYBy(double degrees, const vector3d& center = vector3d())
    {
        rotatePair(X, Y, center.X, center.Y, degrees);
    }
    void rotateYZBy(double degrees, const vector3d& center = vector3d())
    {
        rotatePair(Y, Z, center.Y, center.Z, degrees);
    }
    void rotateXZBy(double degrees, const vector3d& center = vector3d())
    {
        rotatePair(X, Z, center.X, center.Z, degrees);
    }

    // Linear interpolation: d = 1 gives this vector, d = 0 the other.
    vector3d getInterpolated(const vector3d& other, double d) const
    {
        const double e = 1.0 - d;
        return {static_cast<T>(other.X * e + X * d), static_cast<T>(other.Y * e + Y * d),
                static_cast<T>(other.Z * e + Z * d)};
    }

private:
    // Turns (a, b) about (ca, cb), a towards b.
    static void rotatePair(T& a, T& b, T ca, T cb, double degrees)
    {
        const double r = degrees * 0.017453292519943295;
        const T c = static_cast<T>(std::cos(r)), s = static_cast<T>(std::sin(r));
        const T x = a - ca, y = b - cb;
        a = c * x - s * y + ca;
        b = s * x + c * y + cb;
    }
};

template <typename T>
constexpr vector3d<T> operator*(T s, const vector3d<T>& v) { return v * s; }

using vector3df = vector3d<float>;
using vector3di = vector3d<int>;

} // namespace pravik::core
