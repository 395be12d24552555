#pragma once
// Which shared track serves an animation record: by the type of its first channel, its key
// storage and, for material parameters, sampler 0's value type and width and the target
// descriptor's component mask and arity. Reads only the record; null when no kind fits,
// including every kind whose keys the record does not store in the form the kind reads.

#include "engine/collada/IAnimationTrackEx.h"
#include "engine/collada/SAnimationRecords.h"

namespace pravik::collada {

const IAnimationTrackEx* getAnimationTrackEx(const SAnimationView* animation);

// The name of a track kind for listings ("position<short>", "material float[3] component 1"),
// or "none" for null.
const char* getAnimationTrackName(const IAnimationTrackEx* track);

} // namespace pravik::collada
