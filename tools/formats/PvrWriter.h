// Writes PVR textures: the 52-byte header ("PVR!" at 44), then the levels largest first, as
// given; optionally behind the 8-byte "BTEXpvr" prefix of ".btex" files. Every field is written
// as set, so tests can also make broken files.
#pragma once

#include <cstdint>
#include <string>

namespace formats::pvr {

// Flag word: pixel type in the low byte, then these bits.
inline constexpr uint32_t kMipMaps = 0x100, kTwiddled = 0x200, kCubeMap = 0x1000, kAlpha = 0x8000;
inline constexpr uint32_t kPVRTC4 = 13, kRGBA8888 = 18;   // pixel types

struct File {
    uint32_t width = 4, height = 4, mips = 0;
    uint32_t flags = kPVRTC4 | kAlpha;
    uint32_t dataSize = 32;          // stored as given (not taken from data)
    uint32_t bits = 4;
    uint32_t masks[4] = {0, 0, 0, 0};   // red, green, blue, alpha
    uint32_t surfaces = 1;
    bool prefixed = false;           // the ".btex" prefix
    std::string data = std::string(32, '\0');

    std::string bytes() const;
};

}  // namespace formats::pvr
