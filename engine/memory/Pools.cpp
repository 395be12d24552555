#include "engine/memory/Pools.h"

#include "engine/core/CMatrix4.h"
#include "engine/core/aabbox3d.h"

namespace pravik::memory {

CFixedBlockPool* Matrix4Pool = nullptr;
CFixedBlockPool* Aabbox3dfPool = nullptr;

void createPools()
{
    if (!Matrix4Pool)
        Matrix4Pool = new CFixedBlockPool(sizeof(core::CMatrix4<float>));
    if (!Aabbox3dfPool)
        Aabbox3dfPool = new CFixedBlockPool(sizeof(core::aabbox3d<float>));
}

void destroyPools()
{
    delete Matrix4Pool;
    delete Aabbox3dfPool;
    Matrix4Pool = Aabbox3dfPool = nullptr;
}

} // namespace pravik::memory
