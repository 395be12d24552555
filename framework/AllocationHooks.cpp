// The application's allocation hooks: plain malloc and free underneath every form.
#include "framework/AllocationHooks.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>

// Named in a linker option of the framework target, so that every program linking the
// framework takes these hooks whatever the order in which the static libraries are scanned.
extern "C" const int quendrax_framework_allocation_hooks = 1;

namespace {

enum class EFrom { Malloc, New, NewArray };

// The file-and-line allocation: the size is taken as a signed 32-bit count. Memory for
// objects comes from the standard operator new (malloc underneath), so the ordinary delete
// that releases them is its exact partner.
void* taggedAlloc(std::size_t size, const char* file, int line, EFrom from)
{
    if (size == 0 || size > std::size_t(INT32_MAX))
        return nullptr;
    void* p = from == EFrom::Malloc ? std::malloc(size)
              : from == EFrom::New  ? ::operator new(size, std::nothrow)
                                    : ::operator new[](size, std::nothrow);
    if (!p) {
        // Callers construct into the result untested: stopping here is the only safe answer.
        std::fprintf(stderr, "out of memory: %zu bytes for %s:%d\n", size, file ? file : "?", line);
        std::abort();
    }
    return p;
}

} // namespace

void* PravikAlloc(std::size_t size, pravik::memory::E_MEMORY_HINT)
{
    return std::malloc(size);
}

void* PravikAlloc(std::size_t size, pravik::memory::E_MEMORY_HINT, int, const char* file, int line)
{
    return taggedAlloc(size, file, line, EFrom::Malloc);
}

void PravikFree(void* p)
{
    std::free(p);
}

void* malloc(int size, const char*, int, int, int)
{
    return size > 0 ? std::malloc(std::size_t(size)) : nullptr;
}

void free(void* p, int, int)
{
    if (p)
        std::free(p);
}

void* operator new(std::size_t size, const char* file, int line, int, int) noexcept
{
    return taggedAlloc(size, file, line, EFrom::New);
}

void* operator new[](std::size_t size, const char* file, int line, int, int) noexcept
{
    return taggedAlloc(size, file, line, EFrom::NewArray);
}

void operator delete(void* p, const char*, int, int, int) noexcept
{
    ::operator delete(p);
}

void operator delete[](void* p, const char*, int, int, int) noexcept
{
    ::operator delete[](p);
}

void MemStack_Begin_SnapShot() {}
void MemStack_End_SnapShot() {}
