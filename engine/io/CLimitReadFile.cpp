#include "engine/io/CLimitReadFile.h"

namespace pravik::io {

CLimitReadFile::CLimitReadFile(IReadFile* file, int32_t size, const char* name)
    : m_name(name ? name : "")
{
    init(file, size, nullptr, true);
}

CLimitReadFile::CLimitReadFile(IReadFile* file, int32_t size, const char* name,
                               const char* fullPath, bool cloneFile)
    : m_name(name ? name : "")
{
    init(file, size, fullPath, cloneFile);
}

CLimitReadFile::~CLimitReadFile()
{
    if (m_file)
        m_file->drop();
}

void CLimitReadFile::init(IReadFile* file, int32_t size, const char* fullPath, bool cloneFile)
{
    if (!file)
        return;
    m_start = m_pos = file->getPos();
    if (m_start < 0)
        m_start = m_pos = 0;
    // Clamped so that the end stays a valid 32-bit position.
    if (size < 0)
        size = 0;
    m_end = size > INT32_MAX - m_start ? INT32_MAX : m_start + size;
    if (fullPath) {
        m_fullPath = fullPath;
    } else {
        m_fullPath = file->getFullPath();
        m_fullPath += '/';
        m_fullPath += m_name;
    }
    if (cloneFile) {
        m_file = file->clone(true);
    } else {
        file->grab();
        m_file = file;
    }
}

int32_t CLimitReadFile::read(void* buffer, uint32_t count)
{
    if (!m_file)
        return 0;
    if (m_file->getPos() != m_pos && !m_file->seek(m_pos, false))
        return 0;
    if (m_pos >= m_end)
        return 0;
    const uint32_t left = uint32_t(m_end - m_pos);
    const int32_t r = m_file->read(buffer, count < left ? count : left);
    if (r > 0)
        m_pos += r;
    return r;
}

bool CLimitReadFile::readAsync(void* buffer, uint32_t count, ReadAsyncCallback callback,
                               void* user)
{
    return readAsync(buffer, count, getPos(), callback, user);
}

bool CLimitReadFile::readAsync(void* buffer, uint32_t count, int32_t offset,
                               ReadAsyncCallback callback, void* user)
{
    if (!m_file || offset < 0 || offset >= m_end - m_start)
        return false;
    const int32_t a = m_start + offset;
    m_pos = a;
    const uint32_t left = uint32_t(m_end - a);
    const uint32_t n = count < left ? count : left;
    const bool result = m_file->readAsync(buffer, n, a, callback, user);
    m_pos += int32_t(n);
    return result;
}

bool CLimitReadFile::seek(int32_t position, bool relative)
{
    if (!m_file)
        return false;
    int64_t target;
    if (relative) {
        target = int64_t(m_pos) + position;
        if (target > m_end)
            target = m_end;
    } else {
        target = int64_t(m_start) + position;
        if (target > m_end)
            return false;
    }
    // A target before the window would read bytes of other members.
    if (target < m_start)
        return false;
    m_pos = int32_t(target);
    return m_file->seek(m_pos, false);
}

IReadFile* CLimitReadFile::clone(bool keepPosition) const
{
    auto* copy = new CLimitReadFile(m_file, m_end - m_start, m_name.c_str(), m_fullPath.c_str(),
                                    true);
    copy->m_start = m_start;
    copy->m_end = m_end;
    copy->m_pos = keepPosition ? m_pos : m_start;
    return copy;
}

IReadFile* createLimitReadFile(const char* name, IReadFile* file, int32_t size)
{
    return new CLimitReadFile(file, size, name);
}

}  // namespace pravik::io
