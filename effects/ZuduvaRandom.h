// The random draws of the particle-effect library, all from the program's one rand()
// (0..32767). Tests seed it and assert ranges, never positions.
#pragma once

#include "engine/core/vector3d.h"
#include "engine/os/StandardRandom.h"

#include <algorithm>
#include <cstdlib>

namespace zuduva {

inline int rand() { return pravik::os::standardRand(); }

// Uniform on the integers from min(v, 0) to max(v, 0), from one draw.
inline int signedPercentOf(int draw, int v)
{
    const long span = std::labs(long(v)) + 1;
    return int(long(draw) % span) + std::min(v, 0);
}
inline int signedPercent(int v) { return signedPercentOf(rand(), v); }

// Three draws (rand() & 0x3FF) - 512 in x, y, z order, normalised (zero stays zero).
inline pravik::core::vector3d<float> randomDirection()
{
    int r[3];
    pravik::os::standardRandFill(r, 3);
    const float x = float((r[0] & 0x3FF) - 512);
    const float y = float((r[1] & 0x3FF) - 512);
    const float z = float((r[2] & 0x3FF) - 512);
    return pravik::core::vector3d<float>(x, y, z).normalize();
}

}  // namespace zuduva
