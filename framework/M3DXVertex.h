// The quad batcher's vertex records beside the particles' M3DXVertex_XYZDT: position with a
// colour (R, G, B, A bytes), or with one pair of texture coordinates. Four vertices make a quad.
#pragma once

#include "effects/M3DXVertex_XYZDT.h"

#include <cstdint>

struct M3DXVertex_XYZD {
    float x = 0.f, y = 0.f, z = 0.f;
    std::uint8_t r = 0, g = 0, b = 0, a = 0;
};

struct M3DXVertex_XYZT {
    float x = 0.f, y = 0.f, z = 0.f;
    float u = 0.f, v = 0.f;
};

static_assert(sizeof(M3DXVertex_XYZD) == 16 && sizeof(M3DXVertex_XYZT) == 20, "64 and 80 bytes a quad");

// Vertex format codes: 0x002 position, 0x040 colour, 0x100 texture coordinates.
enum E_M3DX_FVF {
    M3DX_FVF_XYZD = 0x42,
    M3DX_FVF_XYZT = 0x102,
    M3DX_FVF_XYZDT = 0x142,
};
