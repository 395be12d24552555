#pragma once
// The audio engine's own file system: one process-wide singleton over a table of six plain I/O
// functions, a stack of directory prefixes and at most one sound archive, searched before the
// disk or after it. It holds no lock: it is set up on the main thread before sounds play.

#include <list>
#include <string>

#include "audio/FileInterface.h"

namespace kez {

class CZipReader;

struct KezIOFunctions {
    int (*read)(void* buffer, int size, int count, void* handle) = nullptr;
    int (*write)(const void* buffer, int size, int count, void* handle) = nullptr;
    int (*seek)(void* handle, int offset, KezFileSeekOrigin origin) = nullptr;
    int (*tell)(void* handle) = nullptr;
    void* (*open)(const char* path, KezFileAccessMode mode) = nullptr;
    int (*close)(void* handle) = nullptr;
};

class FileSystemInterface {
public:
    static FileSystemInterface* GetInstance();  // created on first use
    static void DestroyInstance();
    static KezIOFunctions m_IOFunc;

    virtual ~FileSystemInterface();
    virtual FileInterface* OpenFile(const char* path, KezFileAccessMode mode);  // caller owns; null when absent
    virtual int CloseFile(FileInterface* file);                               // 0, or -1 for null
    // 0 when the archive opened. The path is made absolute here, so a later change of the
    // working directory does not lose the archive.
    virtual int SetArchive(const char* path, bool ignoreCase, bool ignorePaths, bool archiveFirst);
    virtual int PushDirectory(const char* directory);  // 0, or -1 for null
    virtual int PopDirectory();                        // 0, or -1 when empty

    // The directory part of path including its last '/'; -1 when absent or too long for capacity.
    static int GetDirectory(char* destination, int capacity, const char* path);

    CZipReader* Archive() const { return archive; }

protected:
    FileSystemInterface() = default;

private:
    FileInterface* OpenFromArchive(const std::string& fullName, KezFileAccessMode mode);

    static FileSystemInterface* m_instance;
    bool archiveFirst = false;
    CZipReader* archive = nullptr;
    std::list<std::string> directories;
};

class FileSystemStdio : public FileSystemInterface {
public:
    FileSystemStdio();  // fills the I/O table with stdio
    ~FileSystemStdio() override = default;
};

FileSystemInterface* KezNewFileSystem();

// True for the access modes that only read ("r", "rb"); the archive is never opened otherwise.
bool IsReadOnlyMode(KezFileAccessMode mode);

}  // namespace kez
