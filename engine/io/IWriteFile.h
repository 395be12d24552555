#pragma once
// Write-only byte stream: disk files and growable memory buffers. Count starts at 1.

#include "engine/IReferenceCounted.h"

#include <cstdint>

namespace pravik::io {

class IWriteFile : public IReferenceCounted {
public:
    virtual int32_t write(const void* data, uint32_t count) = 0;  // bytes written
    virtual void flush() = 0;
    virtual bool seek(int32_t position, bool relative = false) = 0;
    virtual int32_t getPos() const = 0;
    virtual const char* getFileName() const = 0;
    virtual const char* getFullPath() const = 0;
};

}  // namespace pravik::io
