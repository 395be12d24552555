// User allocator for boost::pool that hands out blocks aligned to Alignment bytes through the
// engine's allocation hooks.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <cstdint>

#include "engine/memory/AllocationHooks.h"

namespace pravik::core {

template <std::size_t Alignment = 4>
struct SAlignedMalloc {
    static_assert((Alignment & (Alignment - 1)) == 0, "alignment must be a power of two");
    using size_type = std::size_t;
    using difference_type = std::ptrdiff_t;

    // The hooks give malloc alignment; larger alignments keep the original pointer just below
    // the block.
    static char* malloc(size_type bytes)
    {
        if (Alignment <= alignof(std::max_align_t))
            return static_cast<char*>(PravikAlloc(bytes, memory::EMH_DEFAULT));
        char* raw = static_cast<char*>(PravikAlloc(bytes + Alignment + sizeof(void*), memory::EMH_DEFAULT));
        if (!raw)
            return nullptr;
        const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(raw) + sizeof(void*);
        char* aligned = reinterpret_cast<char*>((start + Alignment - 1) & ~std::uintptr_t(Alignment - 1));
        reinterpret_cast<void**>(aligned)[-1] = raw;
        return aligned;
    }
    static void free(char* block)
    {
        if (Alignment <= alignof(std::max_align_t))
            PravikFree(block);
        else if (block)
            PravikFree(reinterpret_cast<void**>(block)[-1]);
    }
};

} // namespace pravik::core
