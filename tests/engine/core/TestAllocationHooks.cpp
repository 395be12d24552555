#include "tests/engine/core/TestAllocationHooks.h"

#include <cstdlib>

#include "engine/memory/AllocationHooks.h"

namespace test {

SHookRecord& hookRecord()
{
    static SHookRecord record;
    return record;
}

} // namespace test

void* PravikAlloc(std::size_t size, pravik::memory::E_MEMORY_HINT hint)
{
    auto& r = test::hookRecord();
    r.lastSize = size;
    if (size > r.largestSize) r.largestSize = size;
    r.lastHint = hint;
    ++r.allocations;
    return std::malloc(size);
}

void* PravikAlloc(std::size_t size, pravik::memory::E_MEMORY_HINT hint, int tag, const char* file, int line)
{
    auto& r = test::hookRecord();
    r.lastSize = size;
    if (size > r.largestSize) r.largestSize = size;
    r.lastHint = hint;
    r.lastTag = tag;
    r.lastFile = file;
    r.lastLine = line;
    ++r.allocations;
    return size > 0 ? std::malloc(size) : nullptr;
}

void PravikFree(void* p)
{
    auto& r = test::hookRecord();
    r.lastFreed = p;
    ++r.frees;
    std::free(p);
}
