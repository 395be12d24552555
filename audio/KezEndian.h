#pragma once
// Little-endian numbers read from bytes of a file: the audio engine's one helper (it sits below
// the 3D engine, whose readers share engine/core/LittleEndian.h). The caller has checked that
// the bytes are there.

#include <cstdint>

namespace kez {

inline uint16_t le16(const unsigned char* p) { return uint16_t(p[0] | p[1] << 8); }
inline uint32_t le32(const unsigned char* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

}  // namespace kez
