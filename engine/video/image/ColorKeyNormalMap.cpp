#include "engine/video/image/ColorKeyNormalMap.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <new>

namespace pravik::video::texture_pixels {

namespace {

constexpr uint32_t ALPHA16 = 0x8000;
constexpr uint32_t ALPHA32 = 0x000000FF;  // alpha is byte 0 of A8R8G8B8

bool is16(E_PIXEL_FORMAT format) { return format == EPF_A1R5G5B5; }
unsigned texelSize(E_PIXEL_FORMAT format) { return is16(format) ? 2 : 4; }
uint32_t alphaBits(E_PIXEL_FORMAT format) { return is16(format) ? ALPHA16 : ALPHA32; }

// Texels are read and written through memcpy: a pitch need not keep them aligned.
uint32_t loadTexel(const unsigned char* p, bool sixteen)
{
    if (sixteen) {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    }
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

void storeTexel(unsigned char* p, uint32_t value, bool sixteen)
{
    if (sixteen) {
        const uint16_t v = uint16_t(value);
        std::memcpy(p, &v, 2);
    } else {
        std::memcpy(p, &value, 4);
    }
}

unsigned texelsPerRow(const SLevelView& level) { return level.pitch / texelSize(level.format); }

// Truncation into 0..255; an amplitude of infinity or NaN must not reach the conversion.
uint32_t toByte(float v)
{
    if (!(v > 0.f))
        return 0;
    return v >= 255.f ? 255u : uint32_t(v);
}

}  // namespace

bool isSupportedFormat(E_PIXEL_FORMAT format) { return format == EPF_A1R5G5B5 || format == EPF_A8R8G8B8; }

uint32_t colorKeyFromColor(E_PIXEL_FORMAT format, const SColor& color)
{
    if (is16(format))
        return ALPHA16 | uint32_t(color.r >> 3) << 10 | uint32_t(color.g >> 3) << 5 | uint32_t(color.b >> 3);
    return ALPHA32 | uint32_t(color.r) << 8 | uint32_t(color.g) << 16 | uint32_t(color.b) << 24;
}

bool colorKeyAt(const SLevelView& level, unsigned x, unsigned y, uint32_t& key)
{
    if (!level.data || !isSupportedFormat(level.format))
        return false;
    const uint64_t index = uint64_t(y) * level.width + x;
    const uint64_t texels = uint64_t(texelsPerRow(level)) * level.height;
    if (index >= texels)
        return false;
    // Rows of width texels from the start of the level, as the keyed fonts were always made.
    const unsigned char* p = level.data + index * texelSize(level.format);
    key = loadTexel(p, is16(level.format)) | alphaBits(level.format);
    return true;
}

void applyColorKey(const SLevelView& level, uint32_t key)
{
    if (!level.data || !isSupportedFormat(level.format))
        return;
    const bool sixteen = is16(level.format);
    const unsigned size = texelSize(level.format), n = texelsPerRow(level);
    const uint32_t alpha = alphaBits(level.format);
    for (unsigned y = 0; y < level.height; ++y) {
        unsigned char* row = level.data + size_t(y) * level.pitch;
        for (unsigned x = 0; x < n; ++x) {
            const uint32_t t = loadTexel(row + x * size, sixteen) | alpha;
            storeTexel(row + x * size, t == key ? 0 : t, sixteen);
        }
    }
}

bool makeNormalMap(const SLevelView& level, float amplitude)
{
    if (!level.data || !isSupportedFormat(level.format) || level.width == 0 || level.height == 0)
        return true;
    const bool sixteen = is16(level.format);
    const unsigned size = texelSize(level.format), n = texelsPerRow(level), rows = level.height;
    if (n == 0)
        return true;
    std::unique_ptr<uint32_t[]> copy(new (std::nothrow) uint32_t[size_t(n) * rows]);
    if (!copy)
        return false;
    for (unsigned y = 0; y < rows; ++y)
        for (unsigned x = 0; x < n; ++x)
            copy[size_t(y) * n + x] = loadTexel(level.data + size_t(y) * level.pitch + x * size, sixteen);

    auto height = [&](int x, int y) -> uint32_t {
        if (x < 0)
            x = int(n) - 1;
        else if (x >= int(n))
            x = 0;
        if (y < 0)
            y = int(rows) - 1;
        else if (y >= int(rows))
            y = 0;
        const uint32_t t = copy[size_t(y) * n + unsigned(x)];
        if (!sixteen)
            return (t >> 16) & 0xFF;
        return ((8 * ((t >> 10) & 31) + 8 * ((t >> 5) & 31) + 8 * (t & 31)) / 3) & 0xFF;
    };

    const float a = amplitude / 255.f;
    const float vh = float(level.height) / float(level.width);
    const float hh = float(level.width) / float(level.height);
    for (int x = 0; x < int(n); ++x) {
        for (int y = 0; y < int(rows); ++y) {
            const float hx = float(x - 1) * hh - float(x + 1) * hh;
            const float hy = a * float(height(x - 1, y)) - a * float(height(x + 1, y));
            // The two texel sizes have always taken their vertical gradient with opposite signs.
            const float vy = sixteen ? a * float(height(x, y - 1)) - a * float(height(x, y + 1))
                                     : a * float(height(x, y + 1)) - a * float(height(x, y - 1));
            const float vz = float(y - 1) * vh - float(y + 1) * vh;
            float nx = hy * vz, ny = -hx * vz, nz = hx * vy;
            const float length2 = nx * nx + ny * ny + nz * nz;
            if (length2 != 0.f) {
                const float inverse = 1.f / std::sqrt(length2);
                nx *= inverse;
                ny *= inverse;
                nz *= inverse;
            }
            const uint32_t ex = toByte((0.5f + 0.5f * nx) * 255.f);
            const uint32_t ey = toByte((0.5f + 0.5f * ny) * 255.f);
            const uint32_t ez = toByte((0.5f + 0.5f * nz) * 255.f);
            unsigned char* p = level.data + size_t(y) * level.pitch + size_t(x) * size;
            if (sixteen)
                storeTexel(p, ALPHA16 | (ex >> 3) << 10 | (ez >> 3) << 5 | (ey >> 3), true);
            else
                storeTexel(p, height(x, y) | ex << 8 | ez << 16 | ey << 24, false);
        }
    }
    return true;
}

}  // namespace pravik::video::texture_pixels
