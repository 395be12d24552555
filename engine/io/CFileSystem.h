#pragma once
// The file system: opens a name from the LZMA packs, ZIP archives, pak archives and folders (each
// list in mounting order; the first that has it wins), then the disk, then through archives named
// by a prefix of the path (data/pack.zip/x.png). Progress lines go to standard output, each
// flushed. Not locked: main thread only. Only regular files are opened from the disk.

#include "engine/core/SAllocator.h"
#include "engine/io/CFile.h"
#include "engine/io/IFileSystem.h"

#include <functional>
#include <map>
#include <vector>

namespace pravik::io {

class CZipReader;
class CZipLZMAReader;
class CPakReader;
class CUnZipReader;

class CFileSystem : public IFileSystem {
public:
    CFileSystem();  // count 0: handed out in a boost::intrusive_ptr
    ~CFileSystem() override;

    IReadFile* createAndOpenFile(const char* name) override;
    IReadFile* createAndOpenFileFromArchives(const char* name);  // null when no archive has it
    IReadFile* createMemoryReadFile(void* memory, int32_t size, const char* name,
                                    bool deleteWhenDropped) override;
    IWriteFile* createAndWriteFile(const char* name, bool append) override;
    bool addZipFileArchive(const char* name, bool ignoreCase, bool ignorePaths,
                           uint32_t poolValue) override;
    bool addZipLZMAFileArchive(const char* name, bool ignoreCase, bool ignorePaths,
                               uint32_t poolValue) override;
    bool addFolderFileArchive(const char* path, bool ignoreCase, bool ignorePaths) override;
    bool addPakFileArchive(const char* name, bool ignoreCase, bool ignorePaths) override;
    // false for a missing or short file, key 0 or a wrong end marker; the map is then unchanged
    bool addObfuscationFileMap(const char* fileName, unsigned char key,
                               const core::stringc& prefix) override;
    bool removeFileArchive(const char* name) override;
    const char* getWorkingDirectory() override;
    bool changeWorkingDirectoryTo(const char* dir) override;  // false for 1024+ characters too
    core::stringc getAbsolutePath(const core::stringc& path) const override;
    core::stringc getFileDir(const core::stringc& path) const override;
    core::stringc getFileBasename(const core::stringc& path, bool keepExtension) const override;
    IFileList* createFileList() const override;
    bool existFile(const char* name) const override;
    bool existFile(const core::stringc& name) const override;
    IVuvXMLReader<wchar_t, IReferenceCounted>* createXMLReader(const char* name) override;
    IVuvXMLReader<wchar_t, IReferenceCounted>* createXMLReader(IReadFile* file) override;
    IVuvXMLReader<char, IReferenceCounted>* createXMLReaderUTF8(const char* name) override;
    IVuvXMLReader<char, IReferenceCounted>* createXMLReaderUTF8(IReadFile* file) override;
    IXMLWriter* createXMLWriter(const char* name) override;
    IXMLWriter* createXMLWriter(IWriteFile* file) override;
    IAttributes* createEmptyAttributes(video::IVideoDriver* driver) override;
    void clear() override;
    int32_t releaseUnusedPoolHandles() override;
    int32_t releaseUnusedPoolHandles(const char* archiveName) override;

    // Opens a disk file by name, through the name map when it has entries; empty on failure
    static CFilePtr open(const char* name, const char* mode);

    using NameMap = std::map<core::stringc, core::stringc, std::less<>,
                             core::SAllocator<std::pair<const core::stringc, core::stringc>>>;
    static char WorkingDirectory[1024];  // the last directory changed to, as given
    static NameMap ObfuscationMap;       // name asked for -> scrambled disk file

    // The name-map scrambling, both ways (in place); the decoder is what loading uses
    static void unscramble(unsigned char* data, size_t size, unsigned char key);
    static void scramble(unsigned char* data, size_t size, unsigned char key);
    static constexpr char ObfuscationMarker[7] = "#QXEND";

private:
    template <class Reader>
    using ReaderList = std::vector<Reader*, core::SAllocator<Reader*>>;

    ReaderList<CZipReader> m_zipReaders;
    ReaderList<CZipLZMAReader> m_lzmaReaders;
    ReaderList<CPakReader> m_pakReaders;
    ReaderList<CUnZipReader> m_folderReaders;
};

IFileSystem* createFileSystem();  // count 0

}  // namespace pravik::io
