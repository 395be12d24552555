#pragma once
// Pak archives: a 12-byte header (tag, directory offset, directory length; little-endian), the
// files' data, then 64-byte directory records {name[56], offset, length}. The tag is accepted
// when its first byte is 'P' or its second is 'A'. Records are read only as far as the file
// holds them, and a record whose data lies outside the archive is not served.

#include "engine/IReferenceCounted.h"
#include "engine/core/SAllocator.h"
#include "engine/core/pravikString.h"
#include "engine/io/IReadFile.h"

#include <cstdint>
#include <vector>

namespace pravik::io {

struct SPakFileEntry {
    core::stringc pakFileName;     // stored name, lower-cased when the reader folds case
    core::stringc simpleFileName;  // lookup name: the sort and search key
    core::stringc path;            // stored name up to and including its last '/'
    uint32_t pos = 0;
    uint32_t length = 0;

    bool operator<(const SPakFileEntry& other) const;  // names as signed bytes
};

class CPakReader : public IReferenceCounted {
public:
    CPakReader(IReadFile* file, bool ignoreCase, bool ignorePaths);  // keeps its own reference
    ~CPakReader() override;

    virtual IReadFile* openFile(const char* name);  // a window onto the archive, or nullptr
    IReadFile* openFile(int32_t index);
    int32_t findFile(const char* name) const;       // -1 when missing
    int32_t getFileCount() const { return int32_t(m_entries.size()); }
    const SPakFileEntry* getFileInfo(int32_t index) const { return &m_entries[size_t(index)]; }
    IReadFile* getArchiveFile() const { return m_file; }

    static void deletePathFromFilename(core::stringc& name);

private:
    bool scanLocalHeader();
    void extractFilename(SPakFileEntry* entry) const;

    IReadFile* m_file = nullptr;  // counted
    unsigned char m_header[12] = {};
    std::vector<SPakFileEntry, core::SAllocator<SPakFileEntry>> m_entries;
    bool m_ignoreCase;
    bool m_ignorePaths;
};

}  // namespace pravik::io
