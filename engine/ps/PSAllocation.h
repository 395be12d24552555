#pragma once
// Particle memory goes through the application's allocation hooks: a block from PS_NEW is
// released only with PS_FREE (render buffers move between nodes and render-data models).

#include "engine/memory/AllocationHooks.h"

namespace pravik::ps {

inline void* PS_NEW(unsigned size) { return PravikAlloc(size, memory::EMH_DEFAULT); }
inline void PS_FREE(void* p) { PravikFree(p); }

} // namespace pravik::ps
