// Standard allocator over the application's allocation hooks; every engine container and
// string uses it (hint 0 unless stated). A refused block surfaces as std::bad_alloc, the one
// kind of exception the standard containers may raise.
#pragma once

#include <cstddef>
#include <limits>
#include <new>
#include <type_traits>

#include "engine/memory/AllocationHooks.h"

namespace pravik::core {

template <typename T, memory::E_MEMORY_HINT Hint = memory::EMH_DEFAULT>
struct SAllocator {
    using value_type = T;
    using is_always_equal = std::true_type;

    template <typename U>
    struct rebind {
        using other = SAllocator<U, Hint>;
    };

    SAllocator() noexcept = default;
    template <typename U>
    SAllocator(const SAllocator<U, Hint>&) noexcept {}

    T* allocate(std::size_t n)
    {
        if (n > std::numeric_limits<std::size_t>::max() / sizeof(T))
            throw std::bad_array_new_length();
        void* p = PravikAlloc(n * sizeof(T), Hint);
        if (!p)
            throw std::bad_alloc();
        return static_cast<T*>(p);
    }

    void deallocate(T* p, std::size_t) noexcept { PravikFree(p); }

    template <typename U>
    bool operator==(const SAllocator<U, Hint>&) const noexcept { return true; }
};

} // namespace pravik::core
