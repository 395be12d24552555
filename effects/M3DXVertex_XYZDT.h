// The quad batcher's vertex record, shared by particles and the batcher: position, colour
// (bytes red, green, blue, alpha), texture coordinates; 24 bytes, four per quad in the order
// (-R, -U), (+R, -U), (-R, +U), (+R, +U), drawn as triangles (0, 2, 1) and (1, 2, 3).
#pragma once

#include <cstddef>
#include <cstdint>

struct M3DXVertex_XYZDT {
    float x = 0.f, y = 0.f, z = 0.f;
    std::uint8_t r = 0, g = 0, b = 0, a = 0;
    float u = 0.f, v = 0.f;
};

static_assert(sizeof(M3DXVertex_XYZDT) == 24, "the batcher copies 96 bytes a quad");
static_assert(offsetof(M3DXVertex_XYZDT, r) == 12 && offsetof(M3DXVertex_XYZDT, u) == 16,
              "colour at 12, texture coordinates at 16");
