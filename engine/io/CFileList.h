#pragma once
// A directory listing. This platform reads no directory, so the file system hands out empty
// lists; entries can still be added, and are ordered directories first, then by name
// regardless of case.

#include "engine/core/SAllocator.h"
#include "engine/core/pravikString.h"
#include "engine/io/IFileList.h"

#include <vector>

namespace pravik::io {

class CFileList : public IFileList {
public:
    struct FileEntry {
        core::stringc name;
        core::stringc fullName;  // built on first request
        bool isDirectory = false;

        bool operator<(const FileEntry& other) const;
    };

    CFileList() = default;
    CFileList(const char* path) : m_path(path ? path : "") {}

    uint32_t getFileCount() const override { return uint32_t(m_entries.size()); }
    const char* getFileName(uint32_t index) const override;
    const char* getFullFileName(uint32_t index) override;
    bool isDirectory(uint32_t index) const override;

    void addEntry(const char* name, bool isDirectory);
    void sort();

private:
    core::stringc m_path;
    std::vector<FileEntry, core::SAllocator<FileEntry>> m_entries;
};

}  // namespace pravik::io
