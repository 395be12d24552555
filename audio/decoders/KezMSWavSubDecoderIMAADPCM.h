#pragma once
// IMA ADPCM (format tag 0x11), 1 to 8 channels. A block starts with 4 bytes a channel
// (predictor s16, step index u8, spare); then groups of 4 bytes a channel, 8 samples each,
// low nibble first. Samples per block = (block align − 4 × channels) × 2 / channels + 1.

#include "audio/decoders/AdpcmDecoder.h"
#include "audio/decoders/KezMSWavBlockSubDecoder.h"

namespace kez {

class KezMSWavSubDecoderIMAADPCM : public KezMSWavBlockSubDecoder {
public:
    KezMSWavSubDecoderIMAADPCM(StreamCursorInterface* streamCursor, WaveChunk* chunk);

    int DecodeBlock(void* out) override;

private:
    AdpcmState m_states[8];
};

}  // namespace kez
