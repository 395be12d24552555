#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "audio/FileSystemInterface.h"
#include "audio/KezEngine.h"
#include "audio/KezMemory.h"
#include "audio/decoders/DecoderMod.h"
#include "audio/decoders/KezUtils.h"
#include "tools/formats/TrackerModule.h"
#include "tools/formats/Wave.h"
#include <libmodplug/modplug.h>
#include "platform/Pcm.h"
#include "tests/audio/AudioLockstep.h"
#include "tests/audio/AudioTestSupport.h"
#include "tests/audio/decoders/DecoderTestSupport.h"
#include "tests/support/TempDir.h"

namespace {


// 0.4 s of a stereo chord at 32000 Hz, as a 16-bit PCM WAVE file.
std::vector<int16_t> stereoSource() {
    std::vector<int16_t> s;
    for (int i = 0; i < 12800; ++i) {
        s.push_back(int16_t(9000 * std::sin(i * 0.05)));
        s.push_back(int16_t(7000 * std::sin(i * 0.031 + 1)));
    }
    return s;
}

std::string wavFile(const std::vector<int16_t>& samples) {
    return formats::wave::pcm16(samples, 2, 32000);
}

// The engine plays into the wav output, its threads in step on the test's clock.
class EngineScope {
public:
    explicit EngineScope(const std::string& capture) {
        platform::PcmOptions options;
        options.backend = "wav:" + capture;
        options.rates = platform::SND_PCM_RATE_32000;
        platform::pcm_set_options(options);
        engine = kez::KezEngine::GetKezEngine();
        engine->Initialize();
        m_step.settle();
    }
    ~EngineScope() {
        m_step.open();
        kez::KezEngine::DestroyKezEngine();
        kez::FileSystemInterface::DestroyInstance();
        platform::pcm_set_options(platform::PcmOptions());
    }

    // False when the sound has not ended within that much played sound.
    bool waitUntilDone(kez::EmitterHandle& emitter, double seconds) {
        return m_step.run(seconds, [&] { return engine->IsDone(emitter); });
    }
    // Lets the output take that much more sound, so the last fragments reach it.
    void playOn(double seconds) { m_step.run(seconds); }

    kez::KezEngine* engine = nullptr;

private:
    test::AudioLockstep m_step;
};

// Through the whole engine: archive member, loader, emitter, mixer, PCM channel, wav backend.
TEST(KezUtils, StereoWaveFromTheArchivePlaysIntoTheWavBackend) {
    test::TempDir dir;
    const std::vector<int16_t> source = stereoSource();
    dir.write("3.bar", test::ArchiveBuilder().add("3/sfx_bonus.wav", wavFile(source)).bytes(false));
    const std::string capture = dir.file("capture.wav");
    {
        EngineScope scope(capture);
        ASSERT_EQ(kez::FileSystemInterface::GetInstance()->SetArchive(dir.file("3.bar").c_str(), true, false, true), 0);
        kez::DataHandle data = kez::KezUtils::LoadDataSourceFromFileAutoDetectDecoderEx(
            "3/SFX_Bonus.WAV", 2, kez::KezSourceLoadingFlags(0), nullptr);
        ASSERT_TRUE(scope.engine->IsValid(data));
        kez::EmitterHandle emitter = scope.engine->CreateEmitter(data, 0, nullptr);
        ASSERT_TRUE(scope.engine->IsValid(emitter));
        scope.engine->Play(emitter, false, 0.0f);
        EXPECT_TRUE(scope.waitUntilDone(emitter, 5.0));
        scope.playOn(0.2);
    }
    const std::string wav = test::readFile(capture);
    ASSERT_GT(wav.size(), 44u);
    std::vector<int16_t> captured((wav.size() - 44) / 2);
    std::memcpy(captured.data(), wav.data() + 44, captured.size() * 2);
    const size_t start = test::firstAbove(captured, 0) & ~size_t(1);
    ASSERT_LT(start, captured.size());
    ASSERT_GE(captured.size() - start, source.size());
    const size_t fade = 2 * 32 * 4;  // the end of data fades out over a few milliseconds
    int worst = 0;
    for (size_t i = 0; i + fade < source.size(); ++i)
        worst = std::max(worst, std::abs(int(captured[start + i]) - int(source[i])));
    EXPECT_LE(worst, 1);
    EXPECT_EQ(captured[start], source[0]);
}

// The game's music road: the module decoder registered as type 6, streamed from a file.
TEST(KezUtils, TrackerModuleRegisteredAsTypeSixPlaysLikeLibmodplug) {
    const std::string module = formats::tracker::tinyProTrackerModule();
    test::TempDir dir;
    const std::string path = dir.write("m_title.it", module);
    const std::string capture = dir.file("capture.wav");

    // The reference first, while libmodplug's mixer is fresh, at the engine's settings.
    kez::KezDelete(kez::DecoderModFactory(nullptr));  // a decoder's first construction sets them
    std::vector<int16_t> reference;
    {
        ModPlugFile* file = ModPlug_Load(module.data(), int(module.size()));
        ASSERT_NE(file, nullptr);
        ModPlug_SetMasterVolume(file, 256);
        int16_t block[2048];
        for (int n; (n = ModPlug_Read(file, block, sizeof block)) > 0;) reference.insert(reference.end(), block, block + n / 2);
        ModPlug_Unload(file);
    }
    {
        EngineScope scope(capture);
        ASSERT_EQ(scope.engine->RegisterDecoderType(kez::DecoderModFactory), 6);
        kez::DataHandle data = kez::KezUtils::LoadDataSourceFromFileEx(path.c_str(), 6, kez::KezSourceLoadingFlags(0), 1);
        ASSERT_TRUE(scope.engine->IsValid(data));
        kez::EmitterHandle emitter = scope.engine->CreateEmitter(data, 0, nullptr);
        scope.engine->Play(emitter, false, 0.0f);
        EXPECT_TRUE(scope.waitUntilDone(emitter, 8.0));
        scope.playOn(0.2);
    }
    const std::string wav = test::readFile(capture);
    ASSERT_GT(wav.size(), 44u);
    std::vector<int16_t> captured((wav.size() - 44) / 2);
    std::memcpy(captured.data(), wav.data() + 44, captured.size() * 2);
    const size_t a = test::firstAbove(captured, 0) & ~size_t(1);
    const size_t b = test::firstAbove(reference, 0) & ~size_t(1);
    ASSERT_LT(a, captured.size());
    const size_t n = std::min(captured.size() - a, reference.size() - b);
    ASSERT_GT(n, size_t(32000 * 2 * 3 / 2));  // most of the 2 s song
    int worst = 0;
    for (size_t i = 0; i + 2 * 32 * 4 < n; ++i) worst = std::max(worst, std::abs(int(captured[a + i]) - int(reference[b + i])));
    EXPECT_LE(worst, 1);
}

TEST(KezUtils, LoadersChooseByFlagsAndExtension) {
    test::TempDir dir;
    const std::vector<int16_t> source = stereoSource();
    const std::string path = dir.write("a.Wav", wavFile(source));
    dir.write("a.mp3", wavFile(source));
    dir.write("noext", wavFile(source));
    EngineScope scope(dir.file("capture.wav"));
    const struct { const char* why; std::string path; int flags; bool valid; } cases[] = {
        {"streamed", path, 0, true},
        {"into memory", path, 1, true},
        {"memory wins over raw", path, 3, true},
        {"raw PCM", path, 2, true},
        {"mp3", dir.file("a.mp3"), 0, false},
        {"no extension", dir.file("noext"), 0, false},
        {"missing", dir.file("none.wav"), 0, false},
        {"missing into memory", dir.file("none.wav"), 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        kez::DataHandle data = kez::KezUtils::LoadDataSourceFromFileAutoDetectDecoderEx(
            c.path.c_str(), 2, kez::KezSourceLoadingFlags(c.flags), nullptr);
        EXPECT_EQ(scope.engine->IsValid(data), c.valid);
        if (c.valid) {
            EXPECT_NEAR(scope.engine->GetDuration(data), 0.4f, 1e-4);
        }
    }
    kez::DataHandle none = kez::KezUtils::LoadDataSourceFromFileAutoDetectDecoder(nullptr, 2);
    EXPECT_FALSE(scope.engine->IsValid(none));
}

}  // namespace
