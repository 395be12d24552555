#include "audio/FileSystemInterface.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "audio/CZipReader.h"
#include "audio/KezMemory.h"

namespace kez {

KezIOFunctions FileSystemInterface::m_IOFunc;
FileSystemInterface* FileSystemInterface::m_instance = nullptr;

namespace {

const char* const kModes[] = {"r", "w", "a", "r+", "w+", "a+", "rb", "wb", "ab", "r+b", "w+b", "a+b"};

int readStdIO(void* buffer, int size, int count, void* handle) {
    return static_cast<int>(std::fread(buffer, size_t(size), size_t(count), static_cast<FILE*>(handle)));
}
int writeStdIO(const void* buffer, int size, int count, void* handle) {
    return static_cast<int>(std::fwrite(buffer, size_t(size), size_t(count), static_cast<FILE*>(handle)));
}
int seekStdIO(void* handle, int offset, KezFileSeekOrigin origin) {
    const int whence = int(origin) == 2 ? SEEK_END : int(origin) == 1 ? SEEK_CUR : SEEK_SET;
    return std::fseek(static_cast<FILE*>(handle), offset, whence);
}
int tellStdIO(void* handle) { return static_cast<int>(std::ftell(static_cast<FILE*>(handle))); }
void* openStdIO(const char* path, KezFileAccessMode mode) {
    if (!path || int(mode) < 0 || int(mode) > 11) return nullptr;
    return std::fopen(path, kModes[int(mode)]);
}
int closeStdIO(void* handle) { return std::fclose(static_cast<FILE*>(handle)); }

}  // namespace

bool IsReadOnlyMode(KezFileAccessMode mode) { return int(mode) == 0 || int(mode) == 6; }

FileSystemStdio::FileSystemStdio() {
    m_IOFunc.read = readStdIO;
    m_IOFunc.write = writeStdIO;
    m_IOFunc.seek = seekStdIO;
    m_IOFunc.tell = tellStdIO;
    m_IOFunc.open = openStdIO;
    m_IOFunc.close = closeStdIO;
}

FileSystemInterface* KezNewFileSystem() { return KezNew<FileSystemStdio>(); }

FileSystemInterface* FileSystemInterface::GetInstance() {
    if (!m_instance) m_instance = KezNewFileSystem();
    return m_instance;
}

void FileSystemInterface::DestroyInstance() {
    KezDelete(m_instance);
    m_instance = nullptr;
}

FileSystemInterface::~FileSystemInterface() { KezDelete(archive); }

FileInterface* FileSystemInterface::OpenFromArchive(const std::string& fullName, KezFileAccessMode mode) {
    int offset = 0, size = 0;
    if (!archive || !archive->getFileInfo(fullName.c_str(), offset, size)) return nullptr;
    if (!m_IOFunc.open) return nullptr;
    void* handle = m_IOFunc.open(archive->GetPath(), mode);
    if (!handle) return nullptr;
    return KezNew<FileLimited>(handle, fullName.c_str(), offset, size);
}

FileInterface* FileSystemInterface::OpenFile(const char* path, KezFileAccessMode mode) {
    if (!path || !m_IOFunc.open) return nullptr;
    const std::string fullName = directories.empty() ? std::string(path) : directories.back() + path;
    // A writing mode goes to the disk only: opening the archive itself with "w+b" would truncate it.
    const bool archiveAllowed = archive && IsReadOnlyMode(mode);
    if (archiveAllowed && archiveFirst)
        if (FileInterface* member = OpenFromArchive(fullName, mode)) return member;
    if (void* handle = m_IOFunc.open(fullName.c_str(), mode)) return KezNew<FileInterface>(fullName.c_str(), handle);
    if (archiveAllowed && !archiveFirst) return OpenFromArchive(fullName, mode);
    return nullptr;
}

int FileSystemInterface::CloseFile(FileInterface* file) {
    if (!file) return -1;
    if (file->GetFilePtr() && m_IOFunc.close) m_IOFunc.close(file->GetFilePtr());
    KezDelete(file);
    return 0;
}

int FileSystemInterface::SetArchive(const char* path, bool ignoreCase, bool ignorePaths, bool first) {
    KezDelete(archive);
    archive = nullptr;
    if (!path) {
        archiveFirst = false;
        return -1;
    }
    std::error_code ec;
    std::string absolute = std::filesystem::absolute(path, ec).lexically_normal().string();
    if (ec) absolute = path;
    CZipReader* reader = KezNew<CZipReader>(absolute.c_str(), ignoreCase, ignorePaths);
    if (reader && reader->isValid()) {
        archive = reader;
        archiveFirst = first;
        return 0;
    }
    KezDelete(reader);
    archiveFirst = false;
    return -1;
}

int FileSystemInterface::PushDirectory(const char* directory) {
    if (!directory) return -1;
    directories.emplace_back(directory);
    return 0;
}

int FileSystemInterface::PopDirectory() {
    if (directories.empty()) return -1;
    directories.pop_back();
    return 0;
}

int FileSystemInterface::GetDirectory(char* destination, int capacity, const char* path) {
    if (!destination || !path) return -1;
    const char* slash = std::strrchr(path, '/');
    if (!slash) {
        destination[0] = '\0';
        return -1;
    }
    const long n = slash - path + 1;
    if (n + 1 > capacity) return -1;
    std::memcpy(destination, path, size_t(n));
    destination[n] = '\0';
    return 0;
}

}  // namespace kez
