#pragma once
// ZIP archives read by their local headers (30 bytes, little-endian):
//   0 signature 0x04034b50 ("PK\3\4") or 0x504D4247 ("GBMP")   4 version   6 flags (bit 3 only)
//   8 method (0 stored, 8 deflate)   10 time, date   14 CRC-32 (never checked)
//   18 compressed size   22 uncompressed size   26 name length (int16)   28 extra length (int16)
// then the name, the extra field and the data. The central directory is never read: the scan
// stops at the first record with neither signature. Every length and size is checked against
// the archive before use, and the scan always moves forward.
// Stored members open as windows onto the archive, deflated ones are inflated whole to memory.

#include "engine/IReferenceCounted.h"
#include "engine/core/SAllocator.h"
#include "engine/core/pravikString.h"
#include "engine/io/IReadFile.h"

#include <cstdint>
#include <mutex>
#include <vector>

namespace pravik::io {

struct SZIPFileHeader {
    uint32_t Sig = 0;
    uint16_t VersionToExtract = 0;
    uint16_t GeneralBitFlag = 0;
    uint16_t CompressionMethod = 0;
    uint16_t LastModFileTime = 0;
    uint16_t LastModFileDate = 0;
    uint32_t CRC32 = 0;
    uint32_t CompressedSize = 0;
    uint32_t UncompressedSize = 0;
    int16_t FilenameLength = 0;
    int16_t ExtraFieldLength = 0;
};

struct SZipFileEntry {
    core::stringc zipFileName;     // stored name, lower-cased when the reader folds case
    core::stringc simpleFileName;  // lookup name: the sort and search key
    core::stringc path;            // stored name up to and including its last '/'
    int32_t fileDataPosition = 0;  // absolute position of the data in the archive
    SZIPFileHeader header;

    bool operator<(const SZipFileEntry& other) const { return simpleFileName < other.simpleFileName; }
};

class CZipReader : public IReferenceCounted {
public:
    enum : uint32_t {
        FLAG_MOUNTED = 1,  // windows take the lookup name as their full path
        FLAG_IGNORE_CASE = 2,
        FLAG_IGNORE_PATHS = 4,
        FLAG_POOLED = 8,
    };
    static constexpr uint32_t SIGNATURE = 0x04034b50;
    static constexpr uint32_t SIGNATURE_GBMP = 0x504D4247;

    // keeps its own reference to file; a null file gives a reader without members
    CZipReader(IReadFile* file, bool ignoreCase, bool ignorePaths, uint32_t poolValue);
    CZipReader(const char* fileName, bool ignoreCase, bool ignorePaths, uint32_t poolValue);
    ~CZipReader() override;

    virtual IReadFile* openFile(const char* name);  // count 1, or null
    IReadFile* openFile(int32_t index);              // index from findFile or below getFileCount
    int32_t findFile(const char* name) const;        // -1 when missing
    int32_t getFileCount() const { return int32_t(m_entries.size()); }
    const SZipFileEntry* getFileInfo(int32_t index) const { return &m_entries[size_t(index)]; }
    int32_t releaseUnusedPoolHandles();  // how many spare handles were dropped

    uint32_t getFlags() const { return m_flags; }
    void addFlags(uint32_t flags) { m_flags |= flags; }
    IReadFile* getArchiveFile() const { return m_file; }  // null for a folder archive

    static bool isValid(IReadFile* file);  // true only for the standard signature
    static bool isValid(const char* fileName);

private:
    friend class CZipPoolReadFile;
    using HandleList = std::vector<IReadFile*, core::SAllocator<IReadFile*>>;

    void init(bool ignoreCase, bool ignorePaths, uint32_t poolValue);
    bool scanLocalHeader();
    void extractFilename(SZipFileEntry* entry) const;
    IReadFile* openDeflated(const SZipFileEntry& entry);
    IReadFile* openStored(const SZipFileEntry& entry);
    void releaseHandle(IReadFile* handle);  // a pooled window closes

    IReadFile* m_file = nullptr;  // counted
    int32_t m_fileSize = 0;
    uint32_t m_flags = 0;
    std::vector<SZipFileEntry, core::SAllocator<SZipFileEntry>> m_entries;
    // Pooled handles: [0] is the archive file itself, the rest its clones; each counted here.
    HandleList m_handles;
    std::vector<bool, core::SAllocator<bool>> m_handleInUse;
    uint32_t m_handlesInUse = 0;
    std::mutex m_mutex;
};

}  // namespace pravik::io
