// The scene files of the data folder: "DefaultEffects.bdae", the effects of the engine's
// built-in material types.
#pragma once

#include "DataFolder.h"

namespace qdata {

void addSceneFiles(DataFolder& folder);

}  // namespace qdata
