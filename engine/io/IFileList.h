#pragma once
// The contents of a directory: numbered entries with a name, a full name and a directory flag.

#include "engine/IReferenceCounted.h"

#include <cstdint>

namespace pravik::io {

class IFileList : public IReferenceCounted {
public:
    virtual uint32_t getFileCount() const = 0;
    virtual const char* getFileName(uint32_t index) const = 0;  // null past the end
    virtual const char* getFullFileName(uint32_t index) = 0;    // null past the end
    virtual bool isDirectory(uint32_t index) const = 0;         // false past the end
};

}  // namespace pravik::io
