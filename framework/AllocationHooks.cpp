// The application's allocation hooks for the 3D engine: plain malloc and free; the hint and
// the source position are not used on this platform.
#include "engine/memory/AllocationHooks.h"

#include <cstdlib>

// Named in a linker option of the framework target, so that every program linking the
// framework takes these hooks whatever the order in which the static libraries are scanned.
extern "C" const int quendrax_framework_allocation_hooks = 1;

void* PravikAlloc(std::size_t size, pravik::memory::E_MEMORY_HINT)
{
    return std::malloc(size);
}

void* PravikAlloc(std::size_t size, pravik::memory::E_MEMORY_HINT, int, const char*, int)
{
    return size > 0 ? std::malloc(size) : nullptr;
}

void PravikFree(void* p)
{
    std::free(p);
}
