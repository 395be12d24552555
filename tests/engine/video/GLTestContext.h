#pragma once
// The tests' headless OpenGL ES 1.1 context: the engine's surfaceless context under the name the
// tests know.

#include "engine/video/gl/CSurfacelessContext.h"

namespace pravik::video::test {

using GLTestContext = CSurfacelessContext;

}  // namespace pravik::video::test
