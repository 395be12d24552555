#pragma once
// Whether a material draws blended: the first pass of its current technique enables blending.
// No material counts as solid.

#include "engine/video/material/CMaterial.h"

namespace pravik::scene {

inline bool isTransparent(const video::CMaterial* material)
{
    if (!material) return false;
    const auto& technique = material->getMaterialRenderer()->getTechnique(material->getTechnique());
    return technique.passCount > 0 && technique.passes[0].renderState.getBlendEnable();
}

}  // namespace pravik::scene
