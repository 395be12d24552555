// A bounded little-endian cursor over bytes read from a file. A read past the end gives 0 and
// marks the reader failed, so a parser can read a whole record and test once afterwards.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/core/LittleEndian.h"

class CByteReader {
public:
    CByteReader(const uint8_t* data, size_t size) : m_data(data), m_size(data ? size : 0) {}

    uint8_t u8() { return has(1) ? m_data[m_pos++] : fail8(); }
    int8_t s8() { return int8_t(u8()); }
    uint16_t u16()
    {
        if (!has(2))
            return fail16();
        const uint16_t v = pravik::core::le16(m_data + m_pos);
        m_pos += 2;
        return v;
    }
    int16_t s16() { return int16_t(u16()); }
    uint32_t u32()
    {
        if (!has(4)) {
            m_failed = true;
            m_pos = m_size;
            return 0;
        }
        const uint32_t v = pravik::core::le32(m_data + m_pos);
        m_pos += 4;
        return v;
    }
    int32_t s32() { return int32_t(u32()); }

    // The next n bytes in place, or null (and failed) when fewer remain.
    const uint8_t* take(size_t n)
    {
        if (!has(n)) {
            m_failed = true;
            m_pos = m_size;
            return nullptr;
        }
        const uint8_t* p = m_data + m_pos;
        m_pos += n;
        return p;
    }
    bool skip(size_t n) { return take(n) != nullptr || n == 0; }

    bool has(size_t n) const { return n <= m_size - m_pos; }
    bool failed() const { return m_failed; }
    size_t pos() const { return m_pos; }
    size_t size() const { return m_size; }
    size_t remaining() const { return m_size - m_pos; }

private:
    uint8_t fail8()
    {
        m_failed = true;
        m_pos = m_size;
        return 0;
    }
    uint16_t fail16()
    {
        m_failed = true;
        m_pos = m_size;
        return 0;
    }

    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
    bool m_failed = false;
};
