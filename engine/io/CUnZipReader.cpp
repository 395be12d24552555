#include "engine/io/CUnZipReader.h"

#include "engine/io/CUnzipReadFile.h"

namespace pravik::io {

CUnZipReader::CUnZipReader(IFileSystem* fileSystem, const char* basePath, bool ignoreCase,
                           bool ignorePaths)
    : CZipReader(static_cast<IReadFile*>(nullptr), ignoreCase, ignorePaths, 0),
      m_fileSystem(fileSystem), m_basePath(basePath ? basePath : "")
{
    if (m_basePath.empty() || (m_basePath.back() != '/' && m_basePath.back() != '\\'))
        m_basePath += '/';
}

IReadFile* CUnZipReader::openFile(const char* name)
{
    if (!name)
        return nullptr;
    const core::stringc full = m_basePath + name;
    auto* file = new CUnzipReadFile(full.c_str(), name);
    if (file->isOpen())
        return file;
    file->drop();
    return nullptr;
}

int32_t CUnZipReader::findFile(const char* name)
{
    IReadFile* file = openFile(name);
    if (!file)
        return -1;
    file->drop();
    return 1;
}

}  // namespace pravik::io
