#pragma once
// What a decoder cursor delivers: interleaved linear PCM of this shape. A cursor whose set-up
// failed publishes all four fields as 0, and no emitter is made from it.

#include <cstdint>

namespace kez {

struct TrackParams {
    int32_t channels = 0;       // interleaved channels
    int32_t sampleRate = 0;     // frames per second, Hz
    int32_t bitsPerSample = 0;  // 8 or 16
    int32_t numSamples = 0;     // length in frames (samples per channel)
};

}  // namespace kez
