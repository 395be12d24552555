// The sound facade heard through the platform's "wav" output: effects at their tones, the music
// from the cache and its volume. The engine's threads run in step on the test's clock.

#include "audio/FileSystemInterface.h"
#include "framework/AppPlaybook.h"
#include "framework/CKezManager.h"
#include "framework/SoundTable.h"
#include "platform/Pcm.h"
#include "tests/audio/AudioLockstep.h"
#include "tests/framework/GameStub.h"
#include "tests/framework/ToneFiles.h"
#include "tests/support/TempDir.h"
#include "tools/formats/SoundArchive.h"
#include "tools/formats/TrackerModule.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace {

size_t capturedBytes(const std::string& capture)
{
    std::error_code ec;
    const auto size = std::filesystem::file_size(capture, ec);
    return ec ? 0 : size_t(size);
}

struct Capture {
    int rate = 0;
    std::vector<int16_t> left;   // the left channel from a byte offset on
};

Capture readCapture(const std::string& path, size_t from)
{
    Capture c;
    const std::string bytes = test::readFile(path);
    if (bytes.size() < 44)
        return c;
    std::memcpy(&c.rate, bytes.data() + 24, 4);
    for (size_t at = std::max<size_t>(from, 44); at + 3 < bytes.size(); at += 4) {
        int16_t v;
        std::memcpy(&v, bytes.data() + at, 2);
        c.left.push_back(v);
    }
    return c;
}

// Frequency of the loud part (from the first to the last sample above a tenth of the peak) by
// its zero crossings.
double toneOf(const std::vector<int16_t>& s, int rate)
{
    int peak = 0;
    for (int16_t v : s)
        peak = std::max(peak, std::abs(int(v)));
    size_t first = 0, last = s.size();
    while (first < s.size() && std::abs(int(s[first])) < peak / 10)
        ++first;
    while (last > first && std::abs(int(s[last - 1])) < peak / 10)
        --last;
    int crossings = 0;
    size_t firstCross = 0, lastCross = 0;
    for (size_t i = first + 1; i < last; ++i)
        if ((s[i - 1] < 0) != (s[i] < 0)) {
            if (!crossings)
                firstCross = i;
            lastCross = i;
            ++crossings;
        }
    return crossings > 2 ? (crossings - 1) / 2.0 * rate / double(lastCross - firstCross) : 0;
}

double rms(const std::vector<int16_t>& s)
{
    double sum = 0;
    for (int16_t v : s)
        sum += double(v) * v;
    return s.empty() ? 0 : std::sqrt(sum / double(s.size()));
}

struct KezWavOutput : ::testing::Test {
    KezWavOutput()
    {
        platform::PcmOptions options;
        options.backend = "wav:" + capture;
        platform::pcm_set_options(options);
        dir.write("data/3/Music/m_title.it", formats::tracker::tinyProTrackerModule());
        const std::string wav = dir.write("work/tone.wav", test::sineWave(440, 44100, 44100));
        const std::string mpc = dir.file("work/tone.mpc");
        EXPECT_EQ(test::encodeMusepack(wav, mpc), 0);
        formats::SoundArchive archive;
        archive.add(SOUND_FILE_NAMES[21], test::sineWave(660, 22050, 22050));
        archive.add(std::string(SOUND_FILE_NAMES[56]) + ".mpc", test::readFile(mpc));
        dir.write("data/3.bar", archive.bytes(true));
        std::snprintf(g_appPath, APP_PATH_SIZE, "%s/", dir.file("data").c_str());
        std::snprintf(m_gSavPath, APP_PATH_SIZE, "%s/", dir.file("save").c_str());
        kez = CKezManager::GetInstance();
        kez->EnableKez(true);
        kez->Init();
        CKezManager::RunCacheStep(0);
        step.settle();
    }
    ~KezWavOutput() override
    {
        step.open();
        kez->Destroy();
        CKezManager::DeleteInstance();
        kez::FileSystemInterface::DestroyInstance();
        platform::pcm_set_options(platform::PcmOptions());
        g_appPath[0] = m_gSavPath[0] = 0;
    }
    // Lets the output play `seconds` more of sound (or until done()); the offset it started at.
    template <typename Done>
    size_t hear(double seconds, Done done)
    {
        const size_t from = capturedBytes(capture);
        step.run(seconds, done);
        return from;
    }

    test::AudioLockstep step;
    test::TempDir dir;
    std::string capture = dir.file("capture.wav");
    test::GameStub game;
    CKezManager* kez = nullptr;
};

}  // namespace

TEST_F(KezWavOutput, EffectsAtTheirTonesAndTheMusicAtHalfVolume)
{
    ASSERT_NE(kez->Engine(), nullptr);
    const struct { int id; double hz; } kEffects[] = {{21, 660}, {56, 440}};
    for (const auto& e : kEffects) {
        SCOPED_TRACE(e.id);
        ASSERT_TRUE(kez->PlaySoundWithBank(e.id, false, 0, 500));
        const size_t from = hear(1.5, [&] { return kez->IsSoundPlaying(e.id) == 0; });
        hear(0.2, [] { return false; });   // the last blocks leave the mixer
        const Capture c = readCapture(capture, from);
        ASSERT_GT(c.rate, 0);
        EXPECT_NEAR(toneOf(c.left, c.rate), e.hz, e.hz * 0.02);
    }

    // The title music from the cache, twice from its start: at full volume, then at half.
    ASSERT_TRUE(std::filesystem::exists(CKezManager::CachePath(1)));
    double level[2];
    for (int pass = 0; pass < 2; ++pass) {
        kez->SetBGMVolume(pass == 0 ? 100 : 50);
        ASSERT_TRUE(kez->PlayBGM(1, true, 0));
        EXPECT_FALSE(kez->PlayBGM(1, true, 0));   // asked again while playing
        const size_t from = hear(0.8, [] { return false; });
        EXPECT_FALSE(kez->PlayBGM(0, true, 0));   // the empty entry stops it
        level[pass] = rms(readCapture(capture, from).left);
        hear(0.2, [] { return false; });
    }
    ASSERT_GT(level[0], 100);
    EXPECT_NEAR(level[1] / level[0], 0.5, 0.1);
}
