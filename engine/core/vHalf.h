// The half vector of the particle code.
#pragma once

#include "engine/core/vector3d.h"

namespace pravik::ps {

inline constexpr core::vector3d<float> vHalf{0.5f, 0.5f, 0.5f};

} // namespace pravik::ps
