// The WAVE writer, read back through the audio engine's WAVE decoder: PCM exactly, IMA ADPCM
// within the codec's error, every frame present (no block padding leaks into the sound).

#include "audio/decoders/DecoderMSWav.h"
#include "tests/audio/decoders/DecoderTestSupport.h"
#include "tools/formats/Wave.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

std::vector<int16_t> sweep(size_t frames, unsigned channels)
{
    std::vector<int16_t> s;
    for (size_t i = 0; i < frames; ++i)
        for (unsigned c = 0; c < channels; ++c)
            s.push_back(int16_t(12000 * std::sin(0.002 * double(i * i) / 100 + c) + (i % 3)));
    return s;
}

std::vector<int16_t> decode(const std::string& file, kez::TrackParams* params)
{
    test::StreamFixture source = test::StreamFixture::memory(file);
    test::DecoderFixture wav(kez::DecoderMSWavFactory, source);
    if (!wav.cursor)
        return {};
    *params = wav.cursor->GetTrackParams();
    return test::decodeAll(*wav.cursor);
}

TEST(WaveWriter, PcmReadsBackExactly)
{
    for (unsigned channels : {1u, 2u}) {
        const std::vector<int16_t> samples = sweep(1001, channels);
        kez::TrackParams params;
        const std::vector<int16_t> back = decode(formats::wave::pcm16(samples, channels, 22050), &params);
        EXPECT_EQ(params.channels, int(channels));
        EXPECT_EQ(params.sampleRate, 22050);
        EXPECT_EQ(params.numSamples, 1001);
        EXPECT_EQ(back, samples);
    }
}

TEST(WaveWriter, ImaAdpcmKeepsEveryFrameWithinTheCodecsError)
{
    struct Case {
        unsigned channels, blockAlign;
        size_t frames;
    } cases[] = {
        {1, 512, 1017},  // exactly one block
        {1, 512, 1000},  // the last block padded
        {1, 36, 130},    // small blocks, many of them
        {2, 1024, 3000},
        {2, 72, 61},     // stereo, shorter than one block
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.channels << " ch, align " << c.blockAlign << ", " << c.frames << " frames");
        const std::vector<int16_t> samples = sweep(c.frames, c.channels);
        kez::TrackParams params;
        const std::vector<int16_t> back = decode(formats::wave::imaAdpcm(samples, c.channels, 44100, c.blockAlign), &params);
        EXPECT_EQ(params.numSamples, int(c.frames));
        ASSERT_EQ(back.size(), samples.size());
        // A step behind a smooth 12000-peak signal: a few hundred at most.
        EXPECT_LT(test::maxDifference(back, samples), 1200);
        EXPECT_EQ(back[0], samples[0]);  // block headers carry the first frame exactly
    }
}

TEST(WaveWriter, ImaBlockSizeFollowsTheFormula)
{
    EXPECT_EQ(formats::wave::imaFramesPerBlock(1, 512), 1017);
    EXPECT_EQ(formats::wave::imaFramesPerBlock(2, 1024), 1017);
    EXPECT_EQ(formats::wave::imaFramesPerBlock(1, 36), 65);
}

}  // namespace
