// The engine's memory entry points. All of them forward to the two hooks the application
// supplies (the framework defines them over malloc and free). Engine objects themselves use
// the ordinary operator new; containers, strings, work buffers and resource data use these.
// Sizes are size_t: the hooks never see a truncated request on 64-bit builds.
#pragma once

#include <cstddef>

#include "engine/memory/EMemoryHint.h"

// Defined by the application (framework/AllocationHooks.cpp); null passes through unchanged.
void* PravikAlloc(std::size_t size, pravik::memory::E_MEMORY_HINT hint);
void* PravikAlloc(std::size_t size, pravik::memory::E_MEMORY_HINT hint, int tag, const char* file, int line);
void PravikFree(void* p);

void* operator new(std::size_t size, pravik::memory::E_MEMORY_HINT hint);
void* operator new[](std::size_t size, pravik::memory::E_MEMORY_HINT hint);
void* operator new(std::size_t size, pravik::memory::E_MEMORY_HINT hint, int tag, const char* file, int line);
void* operator new[](std::size_t size, pravik::memory::E_MEMORY_HINT hint, int tag, const char* file, int line);
void operator delete(void* p, pravik::memory::E_MEMORY_HINT hint) noexcept;
void operator delete[](void* p, pravik::memory::E_MEMORY_HINT hint) noexcept;
void operator delete(void* p, pravik::memory::E_MEMORY_HINT hint, int tag, const char* file, int line) noexcept;
void operator delete[](void* p, pravik::memory::E_MEMORY_HINT hint, int tag, const char* file, int line) noexcept;

extern "C" {
void* vuv_malloc(int size);  // PravikAlloc(size, 0); a negative size asks for nothing and gets null
int vuv_free(void* p);       // PravikFree(p); always 0
}
