#pragma once
// Memory hooks of the audio engine. Every engine object is allocated with KezAlloc, built in
// place and destroyed with Destruct<T> followed by KezFree; hints and debug arguments are ignored.

#include <cstddef>
#include <new>
#include <type_traits>
#include <utility>

namespace kez {

enum KezMemHint { KezMemHint_Default = 0 };

void* KezAlloc(unsigned int size);
void* KezAlloc(unsigned int size, KezMemHint hint);
void* KezAlloc(unsigned int size, const char* file, const char* function, int line);
void* KezAlloc(unsigned int size, KezMemHint hint, const char* file, const char* function, int line);
void KezFree(void* memory);

template <typename T>
void Destruct(T* object) { object->~T(); }  // runs the destructor only; the caller frees

// Allocation and construction in one step; null when the allocation fails.
template <typename T, typename... Args>
T* KezNew(Args&&... args) {
    void* memory = KezAlloc(static_cast<unsigned int>(sizeof(T)));
    return memory ? new (memory) T(std::forward<Args>(args)...) : nullptr;
}

// Destruction through the (virtual) destructor, then KezFree; null is ignored.
template <typename T>
void KezDelete(T* object) {
    if (!object) return;
    void* memory;
    if constexpr (std::is_polymorphic_v<T>) memory = dynamic_cast<void*>(object);  // most-derived start
    else memory = static_cast<void*>(object);
    Destruct(object);
    KezFree(memory);
}

// The allocator of the engine's standard containers (memory hint 0).
template <typename T>
struct SAllocator {
    using value_type = T;
    SAllocator() = default;
    template <typename U> SAllocator(const SAllocator<U>&) {}
    T* allocate(std::size_t n) {
        void* p = KezAlloc(static_cast<unsigned int>(n * sizeof(T)), KezMemHint_Default);
        if (!p) throw std::bad_alloc();
        return static_cast<T*>(p);
    }
    void deallocate(T* p, std::size_t) { KezFree(p); }
    template <typename U> bool operator==(const SAllocator<U>&) const { return true; }
};

}  // namespace kez

extern "C" {
void* KezAlloc_c(unsigned int size);  // plain symbols for the decoding libraries
void KezFree_c(void* memory);
}
