#include "engine/io/CZipPoolReadFile.h"

#include "engine/io/CZipReader.h"

namespace pravik::io {

CZipPoolReadFile::CZipPoolReadFile(CZipReader* reader, IReadFile* handle, int32_t size,
                                   const char* name, const char* fullPath)
    : CLimitReadFile(handle, size, name, fullPath, false), m_reader(reader)
{
    m_reader->grab();
}

CZipPoolReadFile::~CZipPoolReadFile()
{
    // The window remembers its handle itself, so swaps and releases in the pool cannot mislead it.
    m_reader->releaseHandle(underlying());
    m_reader->drop();
}

}  // namespace pravik::io
