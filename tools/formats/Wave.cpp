#include "tools/formats/Wave.h"

#include "audio/decoders/AdpcmDecoder.h"
#include "tools/formats/Bytes.h"

#include <cassert>
#include <cstdlib>

namespace formats::wave {

std::string fmtPayload(unsigned tag, unsigned channels, uint32_t rate, unsigned blockAlign, unsigned bits)
{
    Bytes b;
    b.u16(tag).u16(channels).u32(rate).u32(rate * blockAlign).u16(blockAlign).u16(bits);
    return b.data;
}

std::string riff(const std::string& body)
{
    return Bytes().tag("RIFF").u32(uint32_t(body.size())).raw(body).data;
}

std::string pcm16(const std::vector<int16_t>& samples, unsigned channels, uint32_t rate)
{
    Bytes data;
    for (int16_t s : samples)
        data.s16(s);
    Bytes body;
    body.tag("WAVE").chunk("fmt ", fmtPayload(1, channels, rate, 2 * channels, 16)).chunk("data", data.data);
    return riff(body.data);
}

int imaFramesPerBlock(unsigned channels, unsigned blockAlign)
{
    return int((blockAlign - 4 * channels) * 2 / channels + 1);
}

namespace {

// The nibble whose decoded value comes closest to `target`, found by trying all 16: the encoder
// then tracks exactly the state the decoder will have.
unsigned bestNibble(const AdpcmState& state, int target)
{
    unsigned best = 0;
    int bestError = 1 << 30;
    for (unsigned n = 0; n < 16; ++n) {
        AdpcmState trial = state;
        const int error = std::abs(AdpcmDecoder::DecodeNibble(trial, n) - target);
        if (error < bestError) {
            bestError = error;
            best = n;
        }
    }
    return best;
}

int stepIndexFor(int difference)
{
    int index = 0;
    while (index < 88 && AdpcmDecoder::cAdpcmStepSizeTable[index] < std::abs(difference))
        ++index;
    return index;
}

}  // namespace

std::string imaAdpcm(const std::vector<int16_t>& samples, unsigned channels, uint32_t rate, unsigned blockAlign)
{
    assert(channels > 0 && blockAlign > 4 * channels && (blockAlign - 4 * channels) % (4 * channels) == 0);
    const size_t frames = samples.size() / channels;
    const size_t perBlock = size_t(imaFramesPerBlock(channels, blockAlign));
    auto sample = [&](size_t frame, unsigned c) -> int {
        return frame < frames ? samples[frame * channels + c] : 0;
    };
    Bytes data;
    std::vector<AdpcmState> states(channels);
    for (size_t first = 0; first < frames; first += perBlock) {
        for (unsigned c = 0; c < channels; ++c) {
            states[c].predictor = int16_t(sample(first, c));
            states[c].stepIndex = uint8_t(stepIndexFor(sample(first + 1, c) - sample(first, c)));
            data.s16(states[c].predictor).u8(states[c].stepIndex).u8(0);
        }
        for (size_t group = first + 1; group < first + perBlock; group += 8) {
            for (unsigned c = 0; c < channels; ++c) {
                for (int i = 0; i < 4; ++i) {
                    unsigned byte = 0;
                    for (int half = 0; half < 2; ++half) {
                        const unsigned nibble = bestNibble(states[c], sample(group + size_t(2 * i + half), c));
                        AdpcmDecoder::DecodeNibble(states[c], nibble);
                        byte |= nibble << (4 * half);
                    }
                    data.u8(byte);
                }
            }
        }
    }
    Bytes fmt;
    fmt.raw(fmtPayload(0x11, channels, rate, blockAlign, 4)).u16(2).u16(unsigned(perBlock));
    // The byte rate of an ADPCM stream: whole blocks per second.
    fmt.patch32(8, uint32_t(uint64_t(rate) * blockAlign / perBlock));
    Bytes body;
    body.tag("WAVE").chunk("fmt ", fmt.data).chunk("fact", Bytes().u32(uint32_t(frames)).data).chunk("data", data.data);
    return riff(body.data);
}

}  // namespace formats::wave
