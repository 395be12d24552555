// "DefaultEffects.bdae": the effects of the engine's built-in material types, one per type
// named as the type (type 5 has none), each derived from its name: unlit (no lights);
// "Textured" one texture unit, "Multi" and "Two Texture" two; "Blend" source alpha over one
// minus source alpha, "Additive" source alpha plus one; "No Depth" neither depth test nor
// depth writes; "No Culling" no culling. Types 9 and 11 carry the parameters "Texture" and
// "Diffuse Color"; type 16 has one technique and one sampler per texture type, in type order.
// The others bind the shaders' parameters by themselves.
#pragma once

#include "tools/formats/BresWriter.h"

#include <string>
#include <vector>

namespace formats::bres {

std::vector<SEffectSpec> defaultEffectSpecs();
std::string defaultEffectsFile();

}  // namespace formats::bres
