#include "audio/decoders/KezMSWavSubDecoderMSADPCM.h"

#include <algorithm>

#include "audio/StreamInterface.h"
#include "audio/decoders/DecoderLog.h"
#include "audio/decoders/WaveChunk.h"

namespace kez {

const int32_t adaptive[16] = {230, 230, 230, 230, 307, 409, 512, 614,
                              768, 614, 512, 409, 307, 230, 230, 230};

// The extension is read from where the "fmt " chunk really is, and bounded: 6 bytes of fields,
// then at most 256 coefficient pairs.
KezMSWavSubDecoderMSADPCM::KezMSWavSubDecoderMSADPCM(StreamCursorInterface* streamCursor,
                                                     WaveChunk* chunk)
    : KezMSWavBlockSubDecoder(streamCursor, chunk) {
    const int channels = chunk->channels;
    const int blockAlign = chunk->blockAlign;
    if (channels < 1 || channels > 2 || blockAlign <= 7 * channels) {
        DecoderLog("wav: MS ADPCM with %d channels and block align %d is not playable", channels,
                   blockAlign);
        return;
    }
    const uint32_t extensionSize = chunk->fmtSize - 16;
    if (chunk->fmtSize < 16 + 6 || chunk->fmtOffset < 0) {
        DecoderLog("wav: MS ADPCM without its format extension");
        return;
    }
    unsigned char extension[6 + 4 * kMaxPairs];
    const int wanted = int(std::min<uint32_t>(extensionSize, sizeof extension));
    if (streamCursor->Seek(chunk->fmtOffset + 16, 0) != 0 ||
        streamCursor->Read(extension, wanted) != wanted) {
        DecoderLog("wav: MS ADPCM format extension cut short");
        return;
    }
    const int samplesPerBlock = int16_t(extension[2] | (extension[3] << 8));
    const int pairs = extension[4] | (extension[5] << 8);
    if (pairs < 1 || pairs > kMaxPairs || 6 + 4 * pairs > wanted) {
        DecoderLog("wav: MS ADPCM with %d coefficient pairs is not playable", pairs);
        return;
    }
    m_pairCount = pairs;
    for (int i = 0; i < 2 * pairs; ++i)
        m_coefficients[i] = int16_t(extension[6 + 2 * i] | (extension[7 + 2 * i] << 8));
    if (samplesPerBlock <= 0 || samplesPerBlock > 2 * (blockAlign - 7 * channels) / channels + 2) {
        DecoderLog("wav: MS ADPCM with %d samples per block is not playable", samplesPerBlock);
        return;
    }
    SetUp(samplesPerBlock);
}

int16_t KezMSWavSubDecoderMSADPCM::DecodeSample(MsAdpcmState* state, unsigned int nibble,
                                                const int16_t* coefficients) {
    const int signedNibble = (nibble & 8) ? int(nibble) - 16 : int(nibble);
    int predicted = (state->sample1 * coefficients[0] + state->sample2 * coefficients[1]) >> 8;
    predicted += signedNibble * state->delta;
    const int delta = (adaptive[nibble & 15] * state->delta) >> 8;
    state->delta = uint16_t(std::max(delta, 16));
    state->sample2 = state->sample1;
    state->sample1 = int16_t(std::clamp(predicted, -32768, 32767));
    return state->sample1;
}

int KezMSWavSubDecoderMSADPCM::DecodeBlock(void* out) {
    const int channels = m_params.channels;
    const int bytes = ReadBlock();
    if (bytes < 7 * channels) return 0;  // a final block shorter than its header
    const unsigned char* in = m_rawBlock;
    auto* samples = static_cast<int16_t*>(out);
    MsAdpcmState states[2];
    const int16_t* pairs[2] = {};
    for (int c = 0; c < channels; ++c) {
        MsAdpcmState& s = states[c];
        s.predictorIndex = in[c];
        s.delta = uint16_t(in[channels + 2 * c] | (in[channels + 2 * c + 1] << 8));
        s.sample1 = int16_t(in[3 * channels + 2 * c] | (in[3 * channels + 2 * c + 1] << 8));
        s.sample2 = int16_t(in[5 * channels + 2 * c] | (in[5 * channels + 2 * c + 1] << 8));
        if (s.predictorIndex >= m_pairCount) {
            DecoderLog("wav: MS ADPCM predictor index %d beyond %d pairs", s.predictorIndex,
                       m_pairCount);
            return 0;
        }
        pairs[c] = m_coefficients + 2 * s.predictorIndex;
        samples[c] = s.sample2;
        samples[channels + c] = s.sample1;
    }
    int16_t* dst = samples + 2 * channels;
    const int dataBytes = bytes - 7 * channels;
    for (int i = 0; i < dataBytes; ++i) {
        const unsigned byte = in[7 * channels + i];
        const int second = channels == 2 ? 1 : 0;
        *dst++ = DecodeSample(&states[0], byte >> 4, pairs[0]);
        *dst++ = DecodeSample(&states[second], byte & 15, pairs[second]);
    }
    return CutToSound(2 * dataBytes / channels + 2);
}

}  // namespace kez
