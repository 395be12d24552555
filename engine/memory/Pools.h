// Fixed-block pools that engine code takes matrices and boxes from. The application creates
// both before it creates the device (createPools); engine code that needs one assumes it exists.
#pragma once

#include <boost/pool/pool.hpp>

#include "engine/core/SAlignedMalloc.h"

namespace pravik::memory {

using CFixedBlockPool = boost::pool<core::SAlignedMalloc<4>>;

extern CFixedBlockPool* Matrix4Pool;     // blocks of one CMatrix4<float>; null until created
extern CFixedBlockPool* Aabbox3dfPool;   // blocks of one aabbox3d<float>; null until created

// What the application does at start-up and at the very end; each is safe to call twice.
void createPools();
void destroyPools();

} // namespace pravik::memory
