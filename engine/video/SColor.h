// Colours: SColor is four bytes in the memory order red, green, blue, alpha (as GL takes
// them); SColorf is four floats in the same order, 1.0 for full intensity.
#pragma once

#include <cstdint>

namespace pravik::video {

class SColor {
public:
    std::uint8_t r = 0, g = 0, b = 0, a = 0;

    constexpr SColor() = default;
    constexpr SColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t alpha)
        : r(red), g(green), b(blue), a(alpha) {}

    constexpr bool operator==(const SColor& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
    constexpr bool operator!=(const SColor& o) const { return !(*this == o); }

    constexpr std::uint8_t getRed() const { return r; }
    constexpr std::uint8_t getGreen() const { return g; }
    constexpr std::uint8_t getBlue() const { return b; }
    constexpr std::uint8_t getAlpha() const { return a; }
    void set(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t alpha)
    {
        r = red;
        g = green;
        b = blue;
        a = alpha;
    }

    // The four bytes read as a little-endian word: red in bits 0-7, alpha in bits 24-31.
    constexpr std::uint32_t toWord() const
    {
        return std::uint32_t(r) | std::uint32_t(g) << 8 | std::uint32_t(b) << 16 | std::uint32_t(a) << 24;
    }
    static constexpr SColor fromWord(std::uint32_t w)
    {
        return {std::uint8_t(w), std::uint8_t(w >> 8), std::uint8_t(w >> 16), std::uint8_t(w >> 24)};
    }

    // d is clamped to [0, 1]; each channel becomes this + (1 - d) * (other - this) in float,
    // clamped to 0..255 and truncated: d = 1 gives this colour, d = 0 the other.
    SColor getInterpolated(const SColor& other, float d) const
    {
        if (d < 0.f)
            d = 0.f;
        if (d > 1.f)
            d = 1.f;
        const float e = 1.f - d;
        auto mix = [e](std::uint8_t self, std::uint8_t o) {
            float v = float(self) + e * (float(o) - float(self));
            if (v < 0.f)
                v = 0.f;
            if (v > 255.f)
                v = 255.f;
            return std::uint8_t(v);
        };
        return {mix(r, other.r), mix(g, other.g), mix(b, other.b), mix(a, other.a)};
    }
};

class SColorf {
public:
    float r = 0.f, g = 0.f, b = 0.f, a = 1.f;

    constexpr SColorf() = default;
    constexpr SColorf(float red, float green, float blue, float alpha = 1.f) : r(red), g(green), b(blue), a(alpha) {}
    // Each byte times the float nearest 1/255.
    constexpr explicit SColorf(const SColor& c)
        : r(c.r * 0.003921569f), g(c.g * 0.003921569f), b(c.b * 0.003921569f), a(c.a * 0.003921569f) {}

    constexpr bool operator==(const SColorf& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
    constexpr bool operator!=(const SColorf& o) const { return !(*this == o); }

    // Each channel times 255, truncated toward zero after clamping to [0, 1].
    SColor toSColor() const
    {
        auto byte = [](float v) {
            if (!(v > 0.f))
                return std::uint8_t(0);
            if (v > 1.f)
                v = 1.f;
            return std::uint8_t(v * 255.f);
        };
        return {byte(r), byte(g), byte(b), byte(a)};
    }
};

} // namespace pravik::video
