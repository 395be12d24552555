// The application's memory entry points: the 3D engine's hooks (PravikAlloc, PravikFree,
// declared by the engine) and the tagged forms through which the framework and the game
// allocate, each carrying the source file and line of the request. All end in malloc and free;
// file, line, tags and hints are accepted and not kept.
//
// The tagged operator new takes its memory from the standard operator new (so delete is its
// partner) and answers null for a size of 0 or of 2^31 and above. It is noexcept,
// so a new-expression that gets null yields null instead of constructing into it; a refused
// request of any other size (malloc failing) prints one line and aborts.
#pragma once

#include <cstddef>

#include "engine/memory/AllocationHooks.h"

void* malloc(int size, const char* file, int line, int tag1, int tag2);   // null when size <= 0
void free(void* p, int tag1, int tag2);                                   // null is ignored

void* operator new(std::size_t size, const char* file, int line, int tag1, int tag2) noexcept;
void* operator new[](std::size_t size, const char* file, int line, int tag1, int tag2) noexcept;
// Only reached when a constructor throws after the tagged new; objects are freed with delete.
void operator delete(void* p, const char* file, int line, int tag1, int tag2) noexcept;
void operator delete[](void* p, const char* file, int line, int tag1, int tag2) noexcept;

// The application object brackets its life with these; they do nothing on this platform.
void MemStack_Begin_SnapShot();
void MemStack_End_SnapShot();
