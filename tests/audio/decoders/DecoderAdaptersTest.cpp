#include <gtest/gtest.h>

#include <libmodplug/modplug.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "audio/decoders/DecoderMPC8.h"
#include "audio/decoders/DecoderMod.h"
#include "audio/decoders/DecoderStbVorbis.h"
#include "tests/audio/decoders/DecoderTestSupport.h"
#include "tools/formats/TrackerModule.h"
#include "tests/support/TempDir.h"

namespace {

using test::DecoderFixture;
using test::StreamFixture;

// A 1.5 s stereo sweep made by sox, encoded by `encode`, decoded by `reference` into a raw file.
struct Encoded {
    std::string file;
    std::vector<int16_t> reference;
};

Encoded encodeWith(const test::TempDir& dir, const std::string& ext,
                   std::string (*encode)(const std::string& wav, const std::string& out),
                   std::string (*reference)(const std::string& in, const std::string& raw)) {
    const std::string wav = dir.file("src.wav");
    const std::string file = dir.file("sound." + ext);
    const std::string raw = dir.file("ref.raw");
    if (!test::run("sox -n -r 44100 -c 2 -b 16 " + wav + " synth 1.5 sine 200-1200 sine 700 gain -4"))
        return {};
    if (!test::run(encode(wav, file))) return {};
    if (reference && !test::run(reference(file, raw))) return {};
    return {file, reference ? test::readRawS16(raw) : std::vector<int16_t>{}};
}

std::string oggenc(const std::string& wav, const std::string& out) { return "oggenc -Q -o " + out + " " + wav; }
std::string oggdec(const std::string& in, const std::string& raw) { return "oggdec -Q -R -o " + raw + " " + in; }
std::string mpcenc(const std::string& wav, const std::string& out) { return "mpcenc --silent " + wav + " " + out; }
std::string mpcdec(const std::string& in, const std::string& raw) { return "mpcdec -r " + in + " " + raw; }

// Both sounds from their first clearly audible sample: the decoders differ in leading silence.
void expectCloseAfterSilence(const std::vector<int16_t>& decoded, const std::vector<int16_t>& reference,
                             int tolerance) {
    const size_t a = test::firstAbove(decoded, 200) & ~size_t(1);
    const size_t b = test::firstAbove(reference, 200) & ~size_t(1);
    ASSERT_LT(a, decoded.size());
    ASSERT_LT(b, reference.size());
    const size_t n = std::min(decoded.size() - a, reference.size() - b);
    EXPECT_GT(n, reference.size() * 9 / 10);
    int worst = 0;
    double sum = 0;
    for (size_t i = 0; i < n; ++i) {
        const int d = std::abs(int(decoded[a + i]) - int(reference[b + i]));
        worst = std::max(worst, d);
        sum += double(d) * d;
    }
    EXPECT_LE(worst, tolerance);
    EXPECT_LE(std::sqrt(sum / double(n)), 2.0);
}

TEST(DecoderStbVorbis, MatchesOggdecAndRewinds) {
    if (!test::haveTool("oggenc") || !test::haveTool("oggdec") || !test::haveTool("sox"))
        GTEST_SKIP() << "vorbis-tools or sox is not installed";
    test::TempDir dir;
    const Encoded ogg = encodeWith(dir, "ogg", oggenc, oggdec);
    ASSERT_FALSE(ogg.reference.empty());
    StreamFixture source = StreamFixture::file(ogg.file);
    DecoderFixture vorbis(kez::DecoderStbVorbisFactory, source);
    EXPECT_EQ(vorbis.decoder->GetType(), 2);
    const kez::TrackParams& params = vorbis.cursor->GetTrackParams();
    EXPECT_EQ(params.channels, 2);
    EXPECT_EQ(params.sampleRate, 44100);
    EXPECT_EQ(params.bitsPerSample, 16);
    EXPECT_EQ(params.numSamples, 66150);
    const std::vector<int16_t> decoded = test::decodeAll(*vorbis.cursor, 4000);
    EXPECT_EQ(decoded.size(), ogg.reference.size());
    expectCloseAfterSilence(decoded, ogg.reference, 8);
    EXPECT_FALSE(vorbis.cursor->HasData());

    EXPECT_EQ(vorbis.cursor->Seek(1), -1);
    ASSERT_EQ(vorbis.cursor->Seek(0), 0);
    std::vector<int16_t> again(2000);
    ASSERT_EQ(vorbis.cursor->Decode(again.data(), 4000), 4000);
    EXPECT_EQ(again, std::vector<int16_t>(decoded.begin(), decoded.begin() + 2000));
}

TEST(DecoderMPC8, MatchesMpcdecLoopsAndRewinds) {
    if (!test::haveTool("mpcenc") || !test::haveTool("mpcdec") || !test::haveTool("sox"))
        GTEST_SKIP() << "musepack-tools or sox is not installed";
    test::TempDir dir;
    const Encoded mpc = encodeWith(dir, "mpc", mpcenc, mpcdec);
    ASSERT_FALSE(mpc.reference.empty());
    StreamFixture source = StreamFixture::file(mpc.file);
    DecoderFixture musepack(kez::DecoderMPC8Factory, source);
    EXPECT_EQ(musepack.decoder->GetType(), 3);
    const kez::TrackParams& params = musepack.cursor->GetTrackParams();
    ASSERT_EQ(params.channels, 2);
    EXPECT_EQ(params.sampleRate, 44100);
    EXPECT_GE(params.numSamples, 66150);  // the stream's count keeps its leading silence
    const std::vector<int16_t> decoded = test::decodeAll(*musepack.cursor, 3000);
    EXPECT_EQ(decoded.size(), size_t(params.numSamples) * 2);
    expectCloseAfterSilence(decoded, mpc.reference, 2);
    EXPECT_FALSE(musepack.cursor->HasData());

    // Looping: the end inside one call continues from the start.
    EXPECT_EQ(musepack.cursor->Seek(1), -1);
    ASSERT_EQ(musepack.cursor->Seek(0), 0);
    musepack.cursor->SetLoop(true);
    const size_t total = decoded.size();
    std::vector<int16_t> head(total - 100);
    ASSERT_EQ(musepack.cursor->Decode(head.data(), int(head.size() * 2)), int(head.size() * 2));
    std::vector<int16_t> wrap(300);
    ASSERT_EQ(musepack.cursor->Decode(wrap.data(), 600), 600);
    EXPECT_EQ(std::vector<int16_t>(wrap.begin(), wrap.begin() + 100),
              std::vector<int16_t>(decoded.end() - 100, decoded.end()));
    EXPECT_EQ(std::vector<int16_t>(wrap.begin() + 100, wrap.end()),
              std::vector<int16_t>(decoded.begin(), decoded.begin() + 200));

    // The rate override replaces the stream's own.
    kez::DecoderMPC8Params override{32000};
    StreamFixture again = StreamFixture::file(mpc.file);
    DecoderFixture overridden(kez::DecoderMPC8Factory, again, &override);
    EXPECT_EQ(overridden.cursor->GetTrackParams().sampleRate, 32000);
}

TEST(DecoderMPC8, FloatToSixteenBits) {
    const struct { float in; int16_t out; } cases[] = {
        {1.0f, 32767}, {-1.0f, -32768}, {0.5f, 16384}, {-0.00002f, 0}, {2.0f, 32767}, {-3.0f, -32768},
        {0.99999f, 32767}, {NAN, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(kez::DecoderMPC8Cursor::ToS16(c.in), c.out);
    }
}

TEST(DecoderMPC8, StreamCutShortEndsTheSound) {
    if (!test::haveTool("mpcenc") || !test::haveTool("sox")) GTEST_SKIP() << "musepack-tools or sox is not installed";
    test::TempDir dir;
    const Encoded mpc = encodeWith(dir, "mpc", mpcenc, nullptr);
    std::string damaged = test::readFile(mpc.file);
    ASSERT_GT(damaged.size(), 4000u);
    // The audio packets of the second half are gone; header, seek table and end packet stay.
    std::fill(damaged.begin() + long(damaged.size() / 2), damaged.end() - 200, '\0');
    StreamFixture source = StreamFixture::memory(damaged);
    DecoderFixture musepack(kez::DecoderMPC8Factory, source);
    ASSERT_EQ(musepack.cursor->GetTrackParams().channels, 2);
    const std::vector<int16_t> decoded = test::decodeAll(*musepack.cursor, 4096);
    EXPECT_LT(decoded.size(), size_t(musepack.cursor->GetTrackParams().numSamples) * 2);
    EXPECT_FALSE(musepack.cursor->HasData());
}

TEST(DecoderAdapters, StreamsTheLibrariesCannotOpenGiveEmptyCursors) {
    const std::string junk(3000, '\x5a');
    const struct { const char* why; kez::DecoderFactory factory; } cases[] = {
        {"vorbis", kez::DecoderStbVorbisFactory}, {"musepack", kez::DecoderMPC8Factory}, {"module", kez::DecoderModFactory}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        StreamFixture source = StreamFixture::memory(junk);
        DecoderFixture fixture(c.factory, source);
        ASSERT_NE(fixture.cursor, nullptr);
        EXPECT_EQ(fixture.cursor->GetTrackParams().channels, 0);
        EXPECT_FALSE(fixture.cursor->HasData());
        EXPECT_EQ(fixture.cursor->Seek(0), -1);
        char out[64];
        EXPECT_EQ(fixture.cursor->Decode(out, 64), 0);
    }
}

// libmodplug called directly at the engine's settings: the reference for the module decoder.
std::string renderDirectly(const std::string& module) {
    ModPlug_Settings settings;
    ModPlug_GetSettings(&settings);
    EXPECT_EQ(settings.mChannels, 2);
    EXPECT_EQ(settings.mBits, 16);
    EXPECT_EQ(settings.mFrequency, 32000);
    EXPECT_EQ(settings.mResamplingMode, MODPLUG_RESAMPLE_LINEAR);
    ModPlugFile* file = ModPlug_Load(module.data(), int(module.size()));
    if (!file) return {};
    ModPlug_SetMasterVolume(file, 256);
    std::string out;
    char block[4096];
    for (int n; (n = ModPlug_Read(file, block, sizeof block)) > 0;) out.append(block, size_t(n));
    ModPlug_Unload(file);
    return out;
}

TEST(DecoderMod, RendersLikeLibmodplugAt32000Hz) {
    const std::string module = formats::tracker::tinyProTrackerModule();
    test::TempDir dir;
    StreamFixture source = StreamFixture::file(dir.write("m_title.it", module));
    DecoderFixture mod(kez::DecoderModFactory, source);
    EXPECT_EQ(mod.decoder->GetType(), 100);
    EXPECT_EQ(mod.decoder->GetParam(), nullptr);
    const kez::TrackParams& params = mod.cursor->GetTrackParams();
    EXPECT_EQ(params.channels, 2);
    EXPECT_EQ(params.bitsPerSample, 16);
    EXPECT_EQ(params.sampleRate, 32000);
    EXPECT_GT(params.numSamples, 32000);

    const std::string reference = renderDirectly(module);
    const std::string decoded = test::decodeAllBytes(*mod.cursor, 4096);
    ASSERT_GT(reference.size(), 100000u);
    ASSERT_EQ(decoded.size(), reference.size());
    EXPECT_TRUE(decoded == reference);
    EXPECT_FALSE(mod.cursor->HasData());

    // A second cursor over the file stream loads from the decoder's copy of the bytes.
    unsigned char* cached = static_cast<kez::DecoderMod*>(mod.decoder)->GetData();
    ASSERT_NE(cached, nullptr);
    kez::StreamCursorInterface* second = source.newCursor();
    ASSERT_EQ(second->Seek(int(module.size()), 0), 0);  // nothing left to read there
    kez::DecoderCursorInterface* other = mod.decoder->CreateNewCursor(second);
    EXPECT_EQ(other->GetTrackParams().numSamples, params.numSamples);
    EXPECT_EQ(static_cast<kez::DecoderMod*>(mod.decoder)->GetData(), cached);
    mod.decoder->DestroyCursor(other);
    source.stream()->DestroyCursor(second);

    // Seek by frames, looping back to the start at the end, and the settings left as they were.
    ASSERT_EQ(mod.cursor->Seek(0), 0);
    mod.cursor->SetLoop(true);
    EXPECT_GE(test::decodeAllBytes(*mod.cursor, 5000, decoded.size() + 20000).size(), decoded.size() + 20000);
    EXPECT_TRUE(mod.cursor->HasData());
    ModPlug_Settings settings;
    ModPlug_GetSettings(&settings);
    EXPECT_EQ(settings.mFrequency, 32000);
    EXPECT_EQ(settings.mResamplingMode, MODPLUG_RESAMPLE_LINEAR);
}

TEST(DecoderMod, ParameterRecordRendersAtItsOwnRate) {
    const std::string module = formats::tracker::tinyProTrackerModule();
    StreamFixture source = StreamFixture::memory(module);
    kez::DecoderModParams params{22050, 1, 16, 0};
    DecoderFixture mod(kez::DecoderModFactory, source, &params);
    EXPECT_EQ(mod.decoder->GetParam(), &static_cast<kez::DecoderMod*>(mod.decoder)->Params());
    EXPECT_EQ(mod.cursor->GetTrackParams().channels, 1);
    EXPECT_EQ(mod.cursor->GetTrackParams().sampleRate, 22050);
    ModPlug_Settings settings;
    ModPlug_GetSettings(&settings);
    EXPECT_EQ(settings.mFrequency, 32000);  // restored after the load
    EXPECT_EQ(settings.mChannels, 2);
}

}  // namespace
