#include "engine/io/CWriteFile.h"

#include "engine/io/CFileSystem.h"

namespace pravik::io {

CWriteFile::CWriteFile(const char* name, bool append) : m_fileName(name ? name : "")
{
    openFile(append);
}

CWriteFile::~CWriteFile() = default;

void CWriteFile::openFile(bool append)
{
    if (m_fileName.empty()) {
        m_handle.reset();
        return;
    }
    m_handle = CFileSystem::open(m_fileName.c_str(), append ? "ab" : "wb");
    if (m_handle) {
        // Reads 0 afterwards in either mode; "ab" still writes every block at the end.
        std::fseek(m_handle->stream, 0, SEEK_END);
        std::fseek(m_handle->stream, 0, SEEK_SET);
    }
}

int32_t CWriteFile::write(const void* data, uint32_t count)
{
    if (!m_handle || !data)
        return 0;
    return int32_t(std::fwrite(data, 1, count, m_handle->stream));
}

void CWriteFile::flush()
{
    if (m_handle)
        std::fflush(m_handle->stream);
}

bool CWriteFile::seek(int32_t position, bool relative)
{
    if (!m_handle)
        return false;
    return std::fseek(m_handle->stream, position, relative ? SEEK_CUR : SEEK_SET) == 0;
}

int32_t CWriteFile::getPos() const
{
    return m_handle ? int32_t(std::ftell(m_handle->stream)) : -1;
}

const char* CWriteFile::getFullPath() const
{
    return m_handle ? m_handle->path.c_str() : m_fileName.c_str();
}

IWriteFile* createWriteFile(const char* name, bool append)
{
    auto* file = new CWriteFile(name, append);
    if (file->isOpen())
        return file;
    file->drop();
    return nullptr;
}

}  // namespace pravik::io
