#pragma once
// The engine's virtual file system: mounted LZMA packs, ZIP archives, pak archives and folders,
// then the disk. Every file it hands out has a count of 1 and the caller drops it.

#include "engine/IReferenceCounted.h"
#include "engine/core/pravikString.h"
#include "engine/io/IReadFile.h"
#include "engine/io/IWriteFile.h"

#include <cstdint>

namespace pravik::video {
class IVideoDriver;
}

namespace pravik::io {

class IFileList;
class IXMLWriter;
class IAttributes;
template <class T, class B>
class IVuvXMLReader;

class IFileSystem : public IReferenceCounted {
public:
    virtual IReadFile* createAndOpenFile(const char* name) = 0;  // null when not found
    // null for a null block; with deleteWhenDropped the block must come from malloc
    virtual IReadFile* createMemoryReadFile(void* memory, int32_t size, const char* name,
                                            bool deleteWhenDropped) = 0;
    virtual IWriteFile* createAndWriteFile(const char* name, bool append) = 0;  // null on failure
    virtual bool addZipFileArchive(const char* name, bool ignoreCase, bool ignorePaths,
                                   uint32_t poolValue) = 0;
    virtual bool addZipLZMAFileArchive(const char* name, bool ignoreCase, bool ignorePaths,
                                       uint32_t poolValue) = 0;
    virtual bool addFolderFileArchive(const char* path, bool ignoreCase, bool ignorePaths) = 0;
    virtual bool addPakFileArchive(const char* name, bool ignoreCase, bool ignorePaths) = 0;
    virtual bool addObfuscationFileMap(const char* fileName, unsigned char key,
                                       const core::stringc& prefix) = 0;
    virtual bool removeFileArchive(const char* name) = 0;
    virtual const char* getWorkingDirectory() = 0;
    virtual bool changeWorkingDirectoryTo(const char* dir) = 0;
    virtual core::stringc getAbsolutePath(const core::stringc& path) const = 0;
    virtual core::stringc getFileDir(const core::stringc& path) const = 0;  // "." without a separator
    virtual core::stringc getFileBasename(const core::stringc& path, bool keepExtension) const = 0;
    virtual IFileList* createFileList() const = 0;  // count 1
    virtual bool existFile(const char* name) const = 0;
    virtual bool existFile(const core::stringc& name) const = 0;
    virtual IVuvXMLReader<wchar_t, IReferenceCounted>* createXMLReader(const char* name) = 0;
    virtual IVuvXMLReader<wchar_t, IReferenceCounted>* createXMLReader(IReadFile* file) = 0;
    virtual IVuvXMLReader<char, IReferenceCounted>* createXMLReaderUTF8(const char* name) = 0;
    virtual IVuvXMLReader<char, IReferenceCounted>* createXMLReaderUTF8(IReadFile* file) = 0;
    virtual IXMLWriter* createXMLWriter(const char* name) = 0;
    virtual IXMLWriter* createXMLWriter(IWriteFile* file) = 0;
    virtual IAttributes* createEmptyAttributes(video::IVideoDriver* driver) = 0;
    virtual void clear() = 0;  // unmounts everything
    virtual int32_t releaseUnusedPoolHandles() = 0;
    virtual int32_t releaseUnusedPoolHandles(const char* archiveName) = 0;

protected:
    explicit IFileSystem(int startCount) : IReferenceCounted(startCount) {}
};

}  // namespace pravik::io
