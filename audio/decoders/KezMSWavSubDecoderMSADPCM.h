#pragma once
// MS ADPCM (format tag 2), 1 or 2 channels. The "fmt " extension holds its size, samples per
// block, the number of coefficient pairs and the pairs. A block starts with 7 bytes a channel,
// field by field for all channels: predictor index u8, delta s16, sample 1, sample 2; the output
// starts with every channel's sample 2, then sample 1; then each byte gives a high nibble
// (channel 0) and a low nibble (channel 1, or channel 0 again when mono).

#include <cstdint>

#include "audio/decoders/KezMSWavBlockSubDecoder.h"

namespace kez {

struct MsAdpcmState {
    uint8_t predictorIndex = 0;
    uint16_t delta = 0;
    int16_t sample1 = 0;  // the newer
    int16_t sample2 = 0;  // the older
};

extern const int32_t adaptive[16];

class KezMSWavSubDecoderMSADPCM : public KezMSWavBlockSubDecoder {
public:
    KezMSWavSubDecoderMSADPCM(StreamCursorInterface* streamCursor, WaveChunk* chunk);

    int DecodeBlock(void* out) override;
    static int16_t DecodeSample(MsAdpcmState* state, unsigned int nibble, const int16_t* coefficients);

private:
    static constexpr int kMaxPairs = 256;
    int m_pairCount = 0;
    int16_t m_coefficients[2 * kMaxPairs] = {};
};

}  // namespace kez
