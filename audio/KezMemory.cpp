#include "audio/KezMemory.h"

#include <cstdlib>

namespace kez {

void* KezAlloc(unsigned int size) { return std::malloc(size ? size : 1); }
void* KezAlloc(unsigned int size, KezMemHint) { return KezAlloc(size); }
void* KezAlloc(unsigned int size, const char*, const char*, int) { return KezAlloc(size); }
void* KezAlloc(unsigned int size, KezMemHint, const char*, const char*, int) { return KezAlloc(size); }
void KezFree(void* memory) { std::free(memory); }

}  // namespace kez

extern "C" void* KezAlloc_c(unsigned int size) { return kez::KezAlloc(size); }
extern "C" void KezFree_c(void* memory) { kez::KezFree(memory); }
