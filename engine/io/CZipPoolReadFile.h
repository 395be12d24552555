#pragma once
// A window onto a pooled handle of a ZIP reader: it shares the handle instead of cloning it, and
// gives it back to the reader when it closes. It keeps the reader alive while it is open.

#include "engine/io/CLimitReadFile.h"

namespace pravik::io {

class CZipReader;

class CZipPoolReadFile : public CLimitReadFile {
public:
    // handle is positioned at the member's first byte; reader and handle gain a reference
    CZipPoolReadFile(CZipReader* reader, IReadFile* handle, int32_t size, const char* name,
                     const char* fullPath);
    ~CZipPoolReadFile() override;

private:
    CZipReader* m_reader;
};

}  // namespace pravik::io
