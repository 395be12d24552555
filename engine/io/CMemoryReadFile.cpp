#include "engine/io/CMemoryReadFile.h"

#include <cstdlib>
#include <cstring>

namespace pravik::io {

namespace {
void freeBlock(char* p) { std::free(p); }
}  // namespace

CMemoryReadFile::CMemoryReadFile() = default;

CMemoryReadFile::CMemoryReadFile(void* memory, int32_t size, const char* name,
                                 bool deleteMemoryWhenDropped)
    : m_data(static_cast<char*>(memory)), m_size(size < 0 ? 0 : size), m_name(name ? name : "")
{
    if (deleteMemoryWhenDropped && memory)
        m_owner.reset(m_data, freeBlock);
}

int32_t CMemoryReadFile::read(void* buffer, uint32_t count)
{
    if (!m_data || !buffer)
        return 0;
    const uint32_t left = uint32_t(m_size - m_pos);
    const uint32_t n = count < left ? count : left;
    if (n == 0)
        return 0;
    std::memcpy(buffer, m_data + m_pos, n);
    m_pos += int32_t(n);
    return int32_t(n);
}

bool CMemoryReadFile::readAsync(void* buffer, uint32_t count, ReadAsyncCallback callback,
                                void* user)
{
    const int32_t n = read(buffer, count);
    if (callback)
        callback(n, n == 0 ? 1 : 0, this, user);
    return true;
}

bool CMemoryReadFile::readAsync(void* buffer, uint32_t count, int32_t offset,
                                ReadAsyncCallback callback, void* user)
{
    seek(offset, false);
    return readAsync(buffer, count, callback, user);
}

bool CMemoryReadFile::seek(int32_t position, bool relative)
{
    // 64-bit so that a relative move cannot overflow; a target before the block is refused too.
    const int64_t target = relative ? int64_t(m_pos) + position : int64_t(position);
    if (target < 0 || target > m_size)
        return false;
    m_pos = int32_t(target);
    return true;
}

IReadFile* CMemoryReadFile::clone(bool keepPosition) const
{
    auto* copy = new CMemoryReadFile();
    copy->m_data = m_data;
    copy->m_owner = m_owner;
    copy->m_size = m_size;
    copy->m_name = m_name;
    copy->m_pos = keepPosition ? m_pos : 0;
    return copy;
}

const void* CMemoryReadFile::getBuffer(int32_t* position)
{
    if (position)
        *position = m_pos;
    return m_data;
}

void CMemoryReadFile::set(void* memory, int32_t size, const char* name)
{
    m_data = static_cast<char*>(memory);
    m_size = size < 0 ? 0 : size;
    m_pos = 0;
    m_name = name ? name : "";
}

IReadFile* createMemoryReadFile(void* memory, int32_t size, const char* name,
                                bool deleteMemoryWhenDropped)
{
    return new CMemoryReadFile(memory, size, name, deleteMemoryWhenDropped);
}

}  // namespace pravik::io
