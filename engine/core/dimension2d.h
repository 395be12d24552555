// Width and height of a 2D area.
#pragma once

namespace pravik::core {

template <typename T>
class dimension2d {
public:
    T Width{}, Height{};

    constexpr dimension2d() = default;
    constexpr dimension2d(T width, T height) : Width(width), Height(height) {}

    constexpr bool operator==(const dimension2d& o) const { return Width == o.Width && Height == o.Height; }
    constexpr bool operator!=(const dimension2d& o) const { return !(*this == o); }
    constexpr dimension2d operator*(T s) const { return {Width * s, Height * s}; }
    constexpr dimension2d operator/(T s) const { return {Width / s, Height / s}; }
    constexpr dimension2d operator+(const dimension2d& o) const { return {Width + o.Width, Height + o.Height}; }

    dimension2d& set(T width, T height) { Width = width; Height = height; return *this; }
    constexpr T getArea() const { return Width * Height; }
};

using dimension2df = dimension2d<float>;
using dimension2di = dimension2d<int>;

} // namespace pravik::core
