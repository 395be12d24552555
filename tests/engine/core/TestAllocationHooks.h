// The engine tests' own allocation hooks (the framework's are not linked here): malloc and
// free, with the last request kept so tests can see what reached the hooks.
#pragma once

#include <cstddef>

#include "engine/memory/EMemoryHint.h"

namespace test {

struct SHookRecord {
    std::size_t lastSize = 0;
    std::size_t largestSize = 0;  // since the last reset of this field
    pravik::memory::E_MEMORY_HINT lastHint = pravik::memory::EMH_DEFAULT;
    int lastTag = 0;
    const char* lastFile = nullptr;
    int lastLine = 0;
    void* lastFreed = reinterpret_cast<void*>(1);
    long allocations = 0;
    long frees = 0;
};

SHookRecord& hookRecord();

} // namespace test
