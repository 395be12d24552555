#include "engine/video/IBatchBaker.h"

namespace pravik {

BakerMapType BakerMap;

}  // namespace pravik
