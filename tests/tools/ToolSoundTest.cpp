// quendrax-tool sound-ls and play: a sound archive listed as the audio engine sees it, and a
// sound played through the engine into the wav output, from a file and from an archive member.

#include "tests/audio/AudioTestSupport.h"
#include "tests/support/TempDir.h"
#include "tests/tools/ToolRun.h"
#include "tools/formats/Wave.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// A 16-bit PCM WAVE file: 32000 Hz stereo.
std::string wavFile(const std::vector<int16_t>& samples)
{
    return formats::wave::pcm16(samples, 2, 32000);
}

// The largest absolute sample of a 16-bit WAVE capture with a 44-byte header.
int peakOf(const std::string& wav)
{
    int peak = 0;
    for (size_t i = 44; i + 1 < wav.size(); i += 2)
        peak = std::max(peak, std::abs(int(int16_t(uint8_t(wav[i]) | uint8_t(wav[i + 1]) << 8))));
    return peak;
}

}  // namespace

// At the rate the source has, the mixer's output is the source itself: no resampling, unit gain.
TEST(ToolSound, ACaptureAtTheSourceRateHoldsTheSourceSamples)
{
    test::TempDir dir;
    const std::vector<int16_t> source = test::testSignal(16000, 2);  // 0.5 s
    const std::string file = dir.write("tone.wav", wavFile(source));
    const std::string capture = dir.file("capture.wav");
    const auto r = test::runTool("play " + test::quoted(file) + " --seconds 1",
                                 "QUENDRAX_AUDIO=" + test::quoted("wav:" + capture + "@32000"));
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string heard = test::readFile(capture);
    ASSERT_GT(heard.size(), 44u);
    std::vector<int16_t> samples((heard.size() - 44) / 2);
    std::memcpy(samples.data(), heard.data() + 44, samples.size() * 2);
    // Where the sound starts in the capture: its first non-zero sample.
    const size_t start = size_t(std::find_if(samples.begin(), samples.end(), [](int16_t v) { return v != 0; }) -
                                samples.begin()) & ~size_t(1);
    ASSERT_LT(start + source.size(), samples.size());
    // The last 100 ms of the sound may be faded out; everything before it is exact.
    const size_t exact = source.size() - 3200 * 2;
    size_t firstDifference = exact;
    for (size_t i = 0; i < exact; ++i)
        if (samples[start + i] != source[i]) {
            firstDifference = i;
            break;
        }
    EXPECT_EQ(firstDifference, exact);
}

TEST(ToolSound, ListsASoundArchiveWithAndWithoutItsTable)
{
    test::TempDir dir;
    test::ArchiveBuilder builder;
    builder.add("Sfx/Boom.WAV", "boomdata").add("music.mpc", "zz", 0x04034B50, 8);
    // Data offsets: 30-byte headers, names of 12 and 9 bytes, 8 bytes of data before the second.
    const std::string listing = "music.mpc\t89\t2\tmethod-8\nsfx/boom.wav\t42\t8\tstored\n";
    for (const bool table : {false, true}) {
        SCOPED_TRACE(table ? "with table" : "walked");
        const std::string archive = dir.write("3.bar", builder.bytes(table));
        const auto r = test::runTool("sound-ls " + test::quoted(archive));
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, listing);
    }

    const std::string missing = dir.file("missing.bar");
    const auto r = test::runTool("sound-ls " + test::quoted(missing));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "sound-ls: " + missing + ": no such file\n");
}

TEST(ToolSound, PlaysIntoTheWavOutput)
{
    test::TempDir dir;
    const std::string wav = wavFile(test::testSignal(8000, 2));  // 0.25 s
    const std::string file = dir.write("tone.wav", wav);
    const std::string archive = dir.write("3.bar", test::ArchiveBuilder().add("Sfx/Tone.wav", wav).bytes(false));
    const struct {
        std::string target, line;
    } cases[] = {
        {file, "playing " + file + " type=1 duration=0.250 seconds=1.000\n"},
        {archive + ":sfx/TONE.wav", "playing " + archive + ":sfx/TONE.wav type=1 duration=0.250 seconds=1.000\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        const std::string capture = dir.file("capture.wav");
        const auto r = test::runTool("play " + test::quoted(c.target) + " --seconds 1",
                                     "QUENDRAX_AUDIO=" + test::quoted("wav:" + capture));
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, c.line);
        const std::string heard = test::readFile(capture);
        ASSERT_GT(heard.size(), 44u);
        EXPECT_EQ(heard.substr(0, 4), "RIFF");
        EXPECT_GT(peakOf(heard), 0x1000);  // the signal reached the output, not silence
    }

    const std::string missing = dir.file("missing.wav");
    const struct {
        std::string args, err;
    } failures[] = {
        {"play " + missing, "play: cannot load " + missing + "\n"},
        {"play " + archive + ":sfx/none.wav", "play: cannot load " + archive + ":sfx/none.wav\n"},
        {"play " + file + ":x.wav", "play: cannot load " + file + ":x.wav\n"},
        {"play " + dir.file("a.xyz"), "play: no decoder for the extension of " + dir.file("a.xyz") + "\n"},
        {"play " + file + " --seconds -1", "play: --seconds wants a number of seconds\n"},
    };
    for (const auto& f : failures) {
        SCOPED_TRACE(f.args);
        const auto r = test::runTool(f.args, "QUENDRAX_AUDIO=null");
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, f.err);
    }
}
