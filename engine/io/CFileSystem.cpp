// Construction, mounting and opening: the search order of the file system.
#include "engine/io/CFileSystem.h"

#include "engine/io/CFileList.h"
#include "engine/io/CMemoryReadFile.h"
#include "engine/io/CPakReader.h"
#include "engine/io/CReadFile.h"
#include "engine/io/CUnZipReader.h"
#include "engine/io/CWriteFile.h"
#include "engine/io/CZipLZMAReader.h"
#include "engine/io/CZipReader.h"

#include <cstdio>
#include <cstring>

namespace pravik::io {

namespace {

void progress(const char* format, const char* arg = nullptr)
{
    std::printf(format, arg);
    std::fflush(stdout);
}

template <class List>
void dropAll(List& list)
{
    for (auto* reader : list)
        reader->drop();
    list.clear();
}

}  // namespace

CFileSystem::CFileSystem() : IFileSystem(0)
{
    progress("\nCreated CFILE SYSTEM");
    std::memset(WorkingDirectory, 0, sizeof WorkingDirectory);
}

CFileSystem::~CFileSystem()
{
    clear();
}

IFileSystem* createFileSystem()
{
    return new CFileSystem();
}

IReadFile* CFileSystem::createAndOpenFileFromArchives(const char* name)
{
    progress("\nCFileSystem::createAndOpenFileFromArchives OPENING FILE");
    for (auto* r : m_lzmaReaders)
        if (IReadFile* f = r->openFile(name))
            return f;
    for (auto* r : m_zipReaders)
        if (IReadFile* f = r->openFile(name))
            return f;
    for (auto* r : m_pakReaders)
        if (IReadFile* f = r->openFile(name))
            return f;
    for (auto* r : m_folderReaders)
        if (IReadFile* f = r->openFile(name))
            return f;
    progress("\nCFileSystem::createAndOpenFileFromArchives RETURN NULL");
    return nullptr;
}

IReadFile* CFileSystem::createAndOpenFile(const char* name)
{
    if (!name)
        return nullptr;
    progress("\nCFileSystem::createAndOpenFile %s", name);
    if (IReadFile* f = createAndOpenFileFromArchives(name))
        return f;
    progress("CFileSystem::createAndOpenFile FILE DIDN'T EXIST, Creating ReadFile");
    if (IReadFile* f = createReadFile(name))
        return f;

    // A prefix of the path may name an archive that holds the rest: a/b.zip/x.txt.
    progress("CFileSystem::createAndOpenFile Browse archives");
    const core::stringc full(name);
    core::stringc prefix = full;
    size_t cut = core::stringc::npos;
    IReadFile* f = nullptr;
    for (;;) {
        const size_t slash = prefix.rfind('/');
        cut = slash;
        if (slash != core::stringc::npos)
            prefix.resize(slash);
        f = createAndOpenFileFromArchives(prefix.c_str());
        if (!f)
            f = createReadFile(prefix.c_str());
        if (f || slash == core::stringc::npos)
            break;
    }
    progress("CFileSystem::createAndOpenFile no file");
    if (!f)
        return nullptr;
    progress("CFileSystem::createAndOpenFile return file");
    if (cut == core::stringc::npos)
        return f;
    progress("CFileSystem::createAndOpenFile is valid");
    if (!CZipReader::isValid(f)) {
        f->drop();
        return nullptr;
    }
    // Each further component is one archive level; the last is the member.
    size_t start = cut + 1;
    while (f) {
        auto* reader = new CZipReader(f, true, true, 0);
        const size_t end = full.find('/', start);
        const core::stringc component =
            full.substr(start, end == core::stringc::npos ? core::stringc::npos : end - start);
        f->drop();
        f = reader->openFile(component.c_str());
        reader->drop();
        if (end == core::stringc::npos)
            break;
        start = end + 1;
    }
    progress("CFileSystem::createAndOpenFile END");
    return f;
}

IReadFile* CFileSystem::createMemoryReadFile(void* memory, int32_t size, const char* name,
                                             bool deleteWhenDropped)
{
    if (!memory)
        return nullptr;
    return new CMemoryReadFile(memory, size, name, deleteWhenDropped);
}

IWriteFile* CFileSystem::createAndWriteFile(const char* name, bool append)
{
    return createWriteFile(name, append);
}

bool CFileSystem::addZipFileArchive(const char* name, bool ignoreCase, bool ignorePaths,
                                    uint32_t poolValue)
{
    IReadFile* file = createAndOpenFile(name);
    if (!file)
        return false;
    auto* reader = new CZipReader(file, ignoreCase, ignorePaths, poolValue);
    reader->addFlags(CZipReader::FLAG_MOUNTED);
    m_zipReaders.push_back(reader);
    file->drop();
    return true;
}

bool CFileSystem::addZipLZMAFileArchive(const char* name, bool ignoreCase, bool ignorePaths,
                                        uint32_t poolValue)
{
    IReadFile* file = createAndOpenFile(name);
    if (!file)
        return false;
    auto* reader = new CZipLZMAReader(file, ignoreCase, ignorePaths, poolValue);
    reader->setMounted(true);
    m_lzmaReaders.push_back(reader);
    file->drop();
    return true;
}

bool CFileSystem::addPakFileArchive(const char* name, bool ignoreCase, bool ignorePaths)
{
    IReadFile* file = createAndOpenFile(name);
    if (!file)
        return false;
    m_pakReaders.push_back(new CPakReader(file, ignoreCase, ignorePaths));
    file->drop();
    return true;
}

bool CFileSystem::addFolderFileArchive(const char* path, bool ignoreCase, bool ignorePaths)
{
    if (!path)
        return false;
    for (auto it = m_folderReaders.rbegin(); it != m_folderReaders.rend(); ++it)
        if (std::strcmp((*it)->getBasePath(), path) == 0)
            return false;
    m_folderReaders.push_back(new CUnZipReader(this, path, ignoreCase, ignorePaths));
    return true;
}

bool CFileSystem::removeFileArchive(const char* name)
{
    if (!name)
        return false;
    auto removeFirst = [name](auto& list, auto nameOf) {
        for (auto it = list.begin(); it != list.end(); ++it) {
            const char* n = nameOf(*it);
            if (n && std::strcmp(n, name) == 0) {
                (*it)->drop();
                list.erase(it);
                return true;
            }
        }
        return false;
    };
    auto archiveName = [](auto* r) {
        return r->getArchiveFile() ? r->getArchiveFile()->getFileName() : nullptr;
    };
    return removeFirst(m_zipReaders, archiveName) || removeFirst(m_lzmaReaders, archiveName) ||
           removeFirst(m_pakReaders, archiveName) ||
           removeFirst(m_folderReaders, [](CUnZipReader* r) { return r->getBasePath(); });
}

void CFileSystem::clear()
{
    dropAll(m_zipReaders);
    dropAll(m_lzmaReaders);
    dropAll(m_pakReaders);
    dropAll(m_folderReaders);
}

int32_t CFileSystem::releaseUnusedPoolHandles()
{
    int32_t total = 0;
    for (auto* r : m_zipReaders)
        total += r->releaseUnusedPoolHandles();
    return total;
}

int32_t CFileSystem::releaseUnusedPoolHandles(const char* archiveName)
{
    for (auto* r : m_zipReaders)
        if (archiveName && r->getArchiveFile() &&
            std::strcmp(r->getArchiveFile()->getFileName(), archiveName) == 0)
            return r->releaseUnusedPoolHandles();
    return 0;
}

bool CFileSystem::existFile(const char* name) const
{
    if (!name)
        return false;
    for (auto* r : m_zipReaders)
        if (r->findFile(name) >= 0)
            return true;
    for (auto* r : m_lzmaReaders)
        if (r->findFile(name) >= 0)
            return true;
    for (auto* r : m_pakReaders)
        if (r->findFile(name) >= 0)
            return true;
    for (auto* r : m_folderReaders)
        if (r->findFile(name) >= 0)
            return true;
    return bool(open(name, "rb"));
}

bool CFileSystem::existFile(const core::stringc& name) const
{
    return existFile(name.c_str());
}

IFileList* CFileSystem::createFileList() const
{
    return new CFileList();
}

}  // namespace pravik::io
