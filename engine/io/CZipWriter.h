#pragma once
// ZIP archives of stored members. Each member is written at once as a 30-byte local header, its
// name and its bytes; the 46-byte central records wait in memory and follow, with the 22-byte
// end record, on close. Offsets assume the archive starts at position 0 of the write file.
// Time and date are fixed (1980-01-01 00:00) so that equal input gives equal bytes.

#include "engine/IReferenceCounted.h"
#include "engine/core/SAllocator.h"
#include "engine/core/pravikString.h"
#include "engine/io/IReadFile.h"
#include "engine/io/IWriteFile.h"

#include <cstdint>
#include <vector>

namespace pravik::io {

struct SZIPCDFileHeader {
    uint32_t Sig = 0x02014b50;
    uint16_t VersionMadeBy = 10;
    uint16_t VersionToExtract = 10;
    uint16_t GeneralBitFlag = 0;
    uint16_t CompressionMethod = 0;
    uint16_t LastModFileTime = 0;
    uint16_t LastModFileDate = 0;
    uint32_t CRC32 = 0;
    uint32_t CompressedSize = 0;
    uint32_t UncompressedSize = 0;
    uint16_t FilenameLength = 0;
    uint16_t ExtraFieldLength = 0;
    uint16_t FileCommentLength = 0;
    uint16_t DiskNumberStart = 0;
    uint16_t InternalFileAttributes = 0;
    uint32_t ExternalFileAttributes = 0;
    uint32_t RelativeOffsetOfLocalHeader = 0;
};

class CZipWriter : public IReferenceCounted {
public:
    explicit CZipWriter(IWriteFile* file);  // not counted: the caller keeps the file alive
    ~CZipWriter() override;                 // closes unless close() already ran

    // Returns the data bytes written; a short write marks the archive as failed
    int32_t addNewFile(const core::stringc& name, const void* data, uint32_t size);
    // The file's bytes from its current position to its end; returns the bytes written
    int32_t addNewFile(const core::stringc& name, IReadFile* file);
    bool close();  // false when any write of the archive fell short

    bool failed() const { return m_failed; }

private:
    bool put(const void* data, uint32_t size);

    IWriteFile* m_file;
    bool m_closed = false;
    bool m_failed = false;
    uint32_t m_nextOffset = 0;
    uint32_t m_centralDirectorySize = 0;
    std::vector<SZIPCDFileHeader, core::SAllocator<SZIPCDFileHeader>> m_records;
    std::vector<core::stringc, core::SAllocator<core::stringc>> m_names;
};

}  // namespace pravik::io
