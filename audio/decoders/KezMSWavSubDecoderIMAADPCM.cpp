#include "audio/decoders/KezMSWavSubDecoderIMAADPCM.h"

#include <cstddef>

#include "audio/decoders/DecoderLog.h"
#include "audio/decoders/WaveChunk.h"

namespace kez {

KezMSWavSubDecoderIMAADPCM::KezMSWavSubDecoderIMAADPCM(StreamCursorInterface* streamCursor,
                                                       WaveChunk* chunk)
    : KezMSWavBlockSubDecoder(streamCursor, chunk) {
    const int channels = chunk->channels;
    const int blockAlign = chunk->blockAlign;
    if (channels < 1 || channels > 8 || blockAlign <= 4 * channels) {
        DecoderLog("wav: IMA ADPCM with %d channels and block align %d is not playable", channels,
                   blockAlign);
        return;
    }
    SetUp((blockAlign - 4 * channels) * 2 / channels + 1);
}

int KezMSWavSubDecoderIMAADPCM::DecodeBlock(void* out) {
    const int channels = m_params.channels;
    const int bytes = ReadBlock();
    const int headerBytes = 4 * channels;
    if (bytes < headerBytes) return 0;
    const unsigned char* in = m_rawBlock;
    auto* samples = static_cast<int16_t*>(out);
    for (int c = 0; c < channels; ++c) {
        AdpcmState& state = m_states[c];
        state.predictor = int16_t(in[4 * c] | (in[4 * c + 1] << 8));
        state.stepIndex = in[4 * c + 2];
        if (state.stepIndex > 88) {
            DecoderLog("wav: IMA ADPCM step index %d out of range", state.stepIndex);
            return 0;
        }
        samples[c] = state.predictor;
    }
    int frames = 1;
    const int groupBytes = 4 * channels;
    for (int used = 0; used + groupBytes <= bytes - headerBytes; used += groupBytes) {
        const unsigned char* group = in + headerBytes + used;
        for (int c = 0; c < channels; ++c) {
            const unsigned char* word = group + 4 * c;
            int16_t* dst = samples + size_t(frames) * channels + c;
            for (int i = 0; i < 4; ++i) {
                dst[(2 * i) * channels] = AdpcmDecoder::DecodeNibble(m_states[c], word[i] & 15);
                dst[(2 * i + 1) * channels] = AdpcmDecoder::DecodeNibble(m_states[c], word[i] >> 4);
            }
        }
        frames += 8;
    }
    return CutToSound(frames);
}

}  // namespace kez
