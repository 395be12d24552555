#pragma once
// A folder archive: the files under a directory of the disk, served through the ZIP reader's
// operations. Names are taken exactly as given (no case folding, no path stripping); anything
// that is not a regular file is not served.

#include "engine/io/CZipReader.h"

namespace pravik::io {

class IFileSystem;

class CUnZipReader : public CZipReader {
public:
    // the base path gains a trailing '/' unless it ends with '/' or a backslash
    CUnZipReader(IFileSystem* fileSystem, const char* basePath, bool ignoreCase, bool ignorePaths);

    IReadFile* openFile(const char* name) override;  // count 1, or null
    int32_t findFile(const char* name);              // 1 when the file opens, else -1
    void buildDirectory() {}
    const char* getBasePath() const { return m_basePath.c_str(); }

private:
    IFileSystem* m_fileSystem;  // not counted
    core::stringc m_basePath;
};

}  // namespace pravik::io
