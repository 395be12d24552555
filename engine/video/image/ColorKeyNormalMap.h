#pragma once
// The pixel work behind colour-keyed textures and normal maps, on one mapped level of
// A1R5G5B5 (16-bit: alpha bit 15, red 10-14, green 5-9, blue 0-4) or A8R8G8B8 (32-bit: bytes
// alpha, red, green, blue in memory). A row holds pitch / texel-size texels, so padding at the
// end of a row is treated as texels too; rows lie pitch bytes apart.

#include "engine/video/image/EPixelFormat.h"
#include "engine/video/SColor.h"

#include <cstdint>

namespace pravik::video::texture_pixels {

struct SLevelView {
    E_PIXEL_FORMAT format = EPF_COUNT;
    unsigned char* data = nullptr;  // level 0 of face 0, not owned
    unsigned width = 0, height = 0;
    unsigned pitch = 0;  // bytes between rows
};

bool isSupportedFormat(E_PIXEL_FORMAT format);  // A1R5G5B5 and A8R8G8B8 only

// The key of a colour with its alpha forced on, as a texel of the format (little-endian word).
uint32_t colorKeyFromColor(E_PIXEL_FORMAT format, const SColor& color);
// The texel at index y * width + x from the start of the level, alpha forced on; false when
// that index lies outside the level's rows.
bool colorKeyAt(const SLevelView& level, unsigned x, unsigned y, uint32_t& key);
// Every texel with its alpha forced on becomes 0 when it equals key, else stays opaque.
void applyColorKey(const SLevelView& level, uint32_t key);

// Heights (green byte, or the mean of the 5-bit colour fields) become normals scaled by
// amplitude, wrapping at the edges; 32-bit texels keep their height as alpha. False when no
// scratch copy could be had (the level is then unchanged).
bool makeNormalMap(const SLevelView& level, float amplitude);

}  // namespace pravik::video::texture_pixels
