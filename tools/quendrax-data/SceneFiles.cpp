#include "SceneFiles.h"

#include "tools/formats/DefaultEffects.h"

namespace qdata {

void addSceneFiles(DataFolder& folder) { folder.put("DefaultEffects.bdae", formats::bres::defaultEffectsFile()); }

}  // namespace qdata
