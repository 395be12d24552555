#include "engine/video/material/IBatchBaker.h"

namespace pravik {

BakerMapType BakerMap;

}  // namespace pravik
