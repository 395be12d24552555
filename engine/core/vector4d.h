// 4-component vector (X, Y, Z, W).
#pragma once

namespace pravik::core {

template <typename T>
class vector4d {
public:
    T X{}, Y{}, Z{}, W{};

    constexpr vector4d() = default;
    constexpr vector4d(T x, T y, T z, T w) : X(x), Y(y), Z(z), W(w) {}

    constexpr vector4d operator+(const vector4d& o) const { return {X + o.X, Y + o.Y, Z + o.Z, W + o.W}; }
    constexpr vector4d operator-(const vector4d& o) const { return {X - o.X, Y - o.Y, Z - o.Z, W - o.W}; }
    constexpr vector4d operator*(T v) const { return {X * v, Y * v, Z * v, W * v}; }
    constexpr bool operator==(const vector4d& o) const { return X == o.X && Y == o.Y && Z == o.Z && W == o.W; }
    constexpr bool operator!=(const vector4d& o) const { return !(*this == o); }
    constexpr T dotProduct(const vector4d& o) const { return X * o.X + Y * o.Y + Z * o.Z + W * o.W; }
};

using vector4df = vector4d<float>;

} // namespace pravik::core
