#pragma once
// Pictures the game opens as single textures rather than sprites: ball glows, touch marker, aim
// line, menu sun rays, end-of-level backdrop and light beams, a rotating background element, and
// the loading screen's word pictures and big brick.

#include "DataFolder.h"

namespace qdata {

void addTextures(DataFolder& folder);

}  // namespace qdata
