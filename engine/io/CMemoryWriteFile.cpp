#include "engine/io/CMemoryWriteFile.h"

#include <cstdint>
#include <cstring>
#include <new>

namespace pravik::io {

CMemoryWriteFile::CMemoryWriteFile(uint32_t initialCapacity)
{
    if (initialCapacity)
        m_buffer.reserve(initialCapacity);
}

bool CMemoryWriteFile::extendTo(uint64_t length)
{
    if (length > uint64_t(INT32_MAX))
        return false;
    if (length <= m_buffer.size())
        return true;
    try {
        if (length > m_buffer.capacity())
            m_buffer.reserve(size_t(2 * length));
        m_buffer.resize(size_t(length), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

int32_t CMemoryWriteFile::write(const void* data, uint32_t count)
{
    if (!data || count == 0)
        return 0;
    const uint64_t e = uint64_t(m_pos) + count;
    if (!extendTo(e))
        return 0;
    std::memcpy(m_buffer.data() + m_pos, data, count);
    m_pos = uint32_t(e);
    return int32_t(count);
}

bool CMemoryWriteFile::seek(int32_t position, bool relative)
{
    int64_t target = relative ? int64_t(m_pos) + position : int64_t(position);
    if (target < 0)
        target = 0;
    // A move past the end leaves the byte at the new position, and every one skipped, as 0.
    if (uint64_t(target) > m_buffer.size() && !extendTo(uint64_t(target) + 1))
        return false;
    m_pos = uint32_t(target);
    return true;
}

}  // namespace pravik::io
