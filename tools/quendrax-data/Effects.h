// The particle effects of the game's effect table and their textures, loose under "SFX/".
#pragma once

#include "DataFolder.h"

namespace qdata {

void addEffects(DataFolder& folder);

}  // namespace qdata
