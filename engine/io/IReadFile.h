#pragma once
// Read-only byte stream: disk files, memory blocks, windows onto archives. Sizes and positions
// are signed 32-bit; every creator returns a file with a count of 1 (the caller drops it), or
// null when it cannot open, never an unopened object.

#include "engine/IReferenceCounted.h"

#include <cstdint>

namespace pravik::io {

class IReadFile;

// bytes read, 1 when nothing was read (else 0), the file, the user pointer given to readAsync
using ReadAsyncCallback = void (*)(int32_t bytes, int32_t failed, IReadFile* file, void* user);

class IReadFile : public IReferenceCounted {
public:
    virtual int32_t read(void* buffer, uint32_t count) = 0;  // bytes read; 0 at the end
    virtual bool readAsync(void* buffer, uint32_t count, ReadAsyncCallback callback, void* user) = 0;
    virtual bool readAsync(void* buffer, uint32_t count, int32_t offset, ReadAsyncCallback callback,
                           void* user) = 0;
    virtual bool seek(int32_t position, bool relative = false) = 0;  // false leaves the position
    virtual IReadFile* clone(bool keepPosition) const = 0;  // count 1, own position; null on failure
    virtual int32_t getSize() const = 0;
    virtual int32_t getPos() const = 0;
    virtual const char* getFileName() const = 0;
    virtual const char* getFullPath() const = 0;  // what is really read
    virtual const void* getBuffer(int32_t* position) { (void)position; return nullptr; }
    virtual const void* getExternalBuffer(const char*, int32_t*) { return nullptr; }
    virtual bool isAllInMemory() const { return false; }
};

}  // namespace pravik::io
