#pragma once
// Small matrix helpers the scene shares: a determinant, and an inverse that counts a
// determinant of magnitude 1e-6 or less as singular.

#include "engine/core/CMatrix4.h"

namespace pravik::scene {

double determinant(const core::CMatrix4<float>& m);
// A copy for a flagged identity; false (out untouched) when |det| <= 1e-6.
bool inverseOf(const core::CMatrix4<float>& m, core::CMatrix4<float>& out);

}  // namespace pravik::scene
