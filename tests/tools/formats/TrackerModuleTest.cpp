// The Impulse Tracker writer, played through the audio engine's module decoder (libmodplug):
// notes sound where the patterns put them, the song lasts as long as its rows, and a module
// without notes is silent for the same time.

#include "audio/decoders/DecoderMod.h"
#include "tests/audio/decoders/DecoderTestSupport.h"
#include "tools/formats/TrackerModule.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace formats::tracker;

Module twoPatternSong(bool withNotes)
{
    Module m;
    m.name = "test";
    m.speed = 6;
    m.tempo = 125;  // 6 ticks of 20 ms: 0.12 s a row
    Sample s;
    s.name = "square";
    for (int i = 0; i < 64; ++i)
        s.pcm.push_back(int16_t(i < 32 ? 20000 : -20000));
    s.c5Speed = 64 * 523;
    s.loop = true;
    s.loopEnd = 64;
    m.samples.push_back(s);
    for (int p = 0; p < 2; ++p) {
        Pattern pat(16, 2);
        if (withNotes) {
            pat.at(0, 0).note = 60;
            pat.at(0, 0).sample = 1;
            pat.at(8, 0).note = kNoteCut;
            pat.at(8, 1).note = 67;
            pat.at(8, 1).sample = 1;
            pat.at(8, 1).volume = 32;
        }
        m.patterns.push_back(pat);
    }
    m.orders = {0, 1};
    return m;
}

// The loudest sample of each 0.12 s row, decoded at 32000 Hz stereo.
std::vector<int> rowPeaks(const std::string& file, int* frames)
{
    test::StreamFixture source = test::StreamFixture::memory(file);
    test::DecoderFixture mod(kez::DecoderModFactory, source);
    if (!mod.cursor)
        return {};
    const std::vector<int16_t> pcm = test::decodeAll(*mod.cursor);
    *frames = int(pcm.size() / 2);
    std::vector<int> peaks;
    const size_t row = 32000 * 12 / 100 * 2;
    for (size_t at = 0; at + row <= pcm.size(); at += row) {
        int peak = 0;
        for (size_t i = at; i < at + row; ++i)
            peak = std::max(peak, std::abs(int(pcm[i])));
        peaks.push_back(peak);
    }
    return peaks;
}

TEST(TrackerModuleWriter, ItNotesSoundWhereThePatternsPutThem)
{
    int frames = 0;
    const std::vector<int> peaks = rowPeaks(itFile(twoPatternSong(true)), &frames);
    // 32 rows of 0.12 s.
    EXPECT_NEAR(frames, 32 * 32000 * 12 / 100, 32000 / 5);  // the player rounds to its mixing chunks
    ASSERT_GE(peaks.size(), 31u);
    for (int p = 0; p < 2; ++p) {
        EXPECT_GT(peaks[size_t(16 * p + 1)], 1000) << "pattern " << p << ", first note";
        EXPECT_GT(peaks[size_t(16 * p + 10)], 500) << "pattern " << p << ", second note";
    }
    int silent = 0;
    const std::vector<int> none = rowPeaks(itFile(twoPatternSong(false)), &silent);
    EXPECT_NEAR(silent, frames, 32000 / 10);
    for (int peak : none)
        EXPECT_LT(peak, 50);
}

TEST(TrackerModuleWriter, HeaderCountsAndOffsetsMatchTheBody)
{
    const std::string it = itFile(twoPatternSong(true));
    ASSERT_GT(it.size(), 192u);
    EXPECT_EQ(it.substr(0, 4), "IMPM");
    auto u16 = [&](size_t at) { return unsigned(uint8_t(it[at]) | uint8_t(it[at + 1]) << 8); };
    auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
    EXPECT_EQ(u16(32), 3u);  // two orders and the end mark
    EXPECT_EQ(u16(36), 1u);
    EXPECT_EQ(u16(38), 2u);
    EXPECT_EQ(uint8_t(it[192 + 2]), 255);
    const size_t offsets = 192 + 3;
    const unsigned sample = u32(offsets);
    EXPECT_EQ(it.substr(sample, 4), "IMPS");
    EXPECT_EQ(u32(sample + 48), 64u);                     // length
    EXPECT_EQ(u32(sample + 72) + 128, unsigned(it.size()));  // 16-bit data ends the file
    for (int p = 0; p < 2; ++p) {
        const unsigned pattern = u32(offsets + 4 + 4 * size_t(p));
        EXPECT_EQ(u16(pattern + 2), 16u);  // rows
        EXPECT_LT(pattern + 8 + u16(pattern), it.size());
    }
}

}  // namespace
