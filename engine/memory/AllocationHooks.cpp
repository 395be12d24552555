// Engine allocation forms: thin forwards to the application's hooks.
#include "engine/memory/AllocationHooks.h"

#include <new>

void* operator new(std::size_t size, pravik::memory::E_MEMORY_HINT hint)
{
    return PravikAlloc(size, hint);
}

void* operator new[](std::size_t size, pravik::memory::E_MEMORY_HINT hint)
{
    return PravikAlloc(size, hint);
}

void* operator new(std::size_t size, pravik::memory::E_MEMORY_HINT hint, int tag, const char* file, int line)
{
    return PravikAlloc(size, hint, tag, file, line);
}

void* operator new[](std::size_t size, pravik::memory::E_MEMORY_HINT hint, int tag, const char* file, int line)
{
    return PravikAlloc(size, hint, tag, file, line);
}

void operator delete(void* p, pravik::memory::E_MEMORY_HINT) noexcept { PravikFree(p); }
void operator delete[](void* p, pravik::memory::E_MEMORY_HINT) noexcept { PravikFree(p); }
void operator delete(void* p, pravik::memory::E_MEMORY_HINT, int, const char*, int) noexcept { PravikFree(p); }
void operator delete[](void* p, pravik::memory::E_MEMORY_HINT, int, const char*, int) noexcept { PravikFree(p); }

extern "C" void* vuv_malloc(int size)
{
    // A negative size would become a huge request once widened; nothing asks for that.
    if (size < 0)
        return nullptr;
    return PravikAlloc(static_cast<std::size_t>(size), pravik::memory::EMH_DEFAULT);
}

extern "C" int vuv_free(void* p)
{
    PravikFree(p);
    return 0;
}
