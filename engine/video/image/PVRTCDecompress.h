#pragma once
// Software decoder for PVRTC (2 and 4 bits per pixel): two low-resolution colour images blended
// by per-pixel modulation, blocks of 8x4 or 4x4 pixels in 8 bytes, stored in Morton order.
// Sizes must be powers of two; the decoder reads PVRTCDataSize() bytes (at least 2 x 2 blocks).

namespace pravik::video {

// One compressed block: modulation data, then colour data (both little-endian).
struct AMTC_BLOCK_STRUCT {
    unsigned int PackedData[2];
};

// Decodes width x height pixels into output as R8G8B8A8 rows of exactly width x 4 bytes,
// wrapping around the edges.
void PVRTCDecompress(const void* data, int do2bitMode, int width, int height,
                     unsigned char* output);

// Bytes of compressed data the decoder reads for this size.
unsigned PVRTCDataSize(bool do2bitMode, int width, int height);

}  // namespace pravik::video
