#pragma once
// Little-endian numbers read from bytes of a file, whatever the host's order: the one helper
// every reader of the engine and the layers above it uses. The caller has checked that the
// bytes are there.

#include <cstdint>

namespace pravik::core {

inline uint16_t le16(const void* bytes)
{
    const auto* p = static_cast<const unsigned char*>(bytes);
    return uint16_t(p[0] | p[1] << 8);
}

inline uint32_t le32(const void* bytes)
{
    const auto* p = static_cast<const unsigned char*>(bytes);
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

}  // namespace pravik::core
