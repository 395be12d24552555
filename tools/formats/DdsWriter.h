// Writes DDS textures: "DDS ", the 124-byte header, then the level data as given. Every field is
// written as set, so tests can also make broken files.
#pragma once

#include <cstdint>
#include <string>

namespace formats::dds {

// Header flags, pixel-format flags and caps the engine's loader reads.
inline constexpr uint32_t kCaps = 0x1, kHeight = 0x2, kWidth = 0x4, kPixelFormat = 0x1000, kMipMapCount = 0x20000,
                          kDepth = 0x800000;
inline constexpr uint32_t kAlphaPixels = 0x1, kFourCC = 0x4, kRGB = 0x40;
inline constexpr uint32_t kCubeMap = 0x200, kCubeAllFaces = 0xFC00, kVolume = 0x200000;  // caps2

struct File {
    uint32_t flags = kCaps | kPixelFormat;
    uint32_t width = 4, height = 4, depth = 0, mips = 0;
    uint32_t pfFlags = kFourCC;
    std::string fourCC = "DXT1";   // first four bytes, NUL-padded
    uint32_t bits = 0;
    uint32_t masks[4] = {0, 0, 0, 0};   // red, green, blue, alpha
    uint32_t caps = 0, caps2 = 0;
    std::string data;                   // the levels (and faces), as stored

    std::string bytes() const;
};

}  // namespace formats::dds
