#include "engine/io/CReadFile.h"

#include "engine/io/CFileSystem.h"

#include <climits>

namespace pravik::io {

CReadFile::CReadFile(const char* name, bool restoreHeader)
    : m_fileName(name ? name : ""), m_restoreHeader(restoreHeader)
{
    openFile();
}

CReadFile::~CReadFile() = default;

void CReadFile::openFile()
{
    m_size = 0;
    m_restoreHeader = false;
    if (m_fileName.empty()) {
        m_handle.reset();
        return;
    }
    m_handle = CFileSystem::open(m_fileName.c_str(), "rb");
    if (!m_handle)
        return;
    // Positions are 32-bit: a file of 2 GiB or more cannot be addressed, so it is not opened.
    if (std::fseek(m_handle->stream, 0, SEEK_END) != 0) {
        m_handle.reset();
        return;
    }
    const long end = std::ftell(m_handle->stream);
    if (end < 0 || end > INT32_MAX || std::fseek(m_handle->stream, 0, SEEK_SET) != 0) {
        m_handle.reset();
        return;
    }
    m_size = int32_t(end);
    m_restoreHeader = m_handle->restoreHeader && m_size >= 4;
}

int32_t CReadFile::read(void* buffer, uint32_t count)
{
    if (!m_handle || !buffer)
        return 0;
    const int32_t p = getPos();
    const size_t n = std::fread(buffer, 1, count, m_handle->stream);
    if (m_restoreHeader && p >= 0 && p <= 3) {
        auto* bytes = static_cast<unsigned char*>(buffer);
        for (uint32_t i = 0; i < uint32_t(4 - p) && i < n; ++i)
            bytes[i] = (unsigned char)(bytes[i] - (p + i + 1));
    }
    return int32_t(n);
}

bool CReadFile::readAsync(void* buffer, uint32_t count, ReadAsyncCallback callback, void* user)
{
    return readAsync(buffer, count, getPos(), callback, user);
}

bool CReadFile::readAsync(void*, uint32_t, int32_t, ReadAsyncCallback, void*)
{
    return true;
}

bool CReadFile::seek(int32_t position, bool relative)
{
    if (!m_handle)
        return false;
    return std::fseek(m_handle->stream, position, relative ? SEEK_CUR : SEEK_SET) == 0;
}

IReadFile* CReadFile::clone(bool keepPosition) const
{
    auto* copy = new CReadFile(getFullPath(), false);
    if (!copy->isOpen()) {
        copy->drop();
        return nullptr;
    }
    copy->m_restoreHeader = m_restoreHeader;
    if (keepPosition)
        copy->seek(getPos(), false);
    return copy;
}

int32_t CReadFile::getPos() const
{
    return m_handle ? int32_t(std::ftell(m_handle->stream)) : -1;
}

const char* CReadFile::getFullPath() const
{
    return m_handle ? m_handle->path.c_str() : m_fileName.c_str();
}

IReadFile* createReadFile(const char* name)
{
    auto* file = new CReadFile(name, false);
    if (file->isOpen())
        return file;
    file->drop();
    return nullptr;
}

}  // namespace pravik::io
