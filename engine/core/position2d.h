// A 2D position is a 2D vector.
#pragma once

#include "engine/core/vector2d.h"

namespace pravik::core {

template <typename T>
using position2d = vector2d<T>;

using position2df = position2d<float>;
using position2di = position2d<int>;

} // namespace pravik::core
