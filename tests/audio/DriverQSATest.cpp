// The output driver on the platform's paced PCM stand-in: real writer thread, real update thread,
// what was played read back from the "wav" output.
#include "audio/DriverQSA.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>

#include "audio/KezEngine.h"
#include "audio/KezThread.h"
#include "platform/Pcm.h"
#include "tests/audio/AudioLockstep.h"
#include "tests/audio/AudioTestSupport.h"
#include "tests/support/TempDir.h"

namespace {

using kez::DriverQSA;
using kez::KezEngine;

std::vector<int16_t> wavSamples(const std::string& path) {
    const std::string bytes = test::readFile(path);
    std::vector<int16_t> s;
    if (bytes.size() <= 44) return s;
    s.resize((bytes.size() - 44) / 2);
    std::memcpy(s.data(), bytes.data() + 44, s.size() * 2);
    return s;
}

class DriverQSAOutput : public ::testing::Test {
protected:
    void output(uint32_t rates, bool failOpen = false, bool failSetup = false) {
        platform::PcmOptions o;
        o.backend = "wav:" + capture;
        o.rates = rates;
        o.minRate = 32000;
        o.failOpen = failOpen;
        o.failSetup = failSetup;
        platform::pcm_set_options(o);
    }
    void TearDown() override {
        KezEngine::DestroyKezEngine();
        platform::pcm_set_options(platform::PcmOptions{});
    }

    // Plays one raw stereo source through the whole engine, its threads in step on the test's
    // clock; returns the capture.
    std::vector<int16_t> playThroughEngine(const std::vector<int16_t>& samples) {
        test::AudioLockstep step;
        KezEngine* engine = KezEngine::GetKezEngine();
        engine->Initialize();
        step.settle();
        {
            kez::StreamMemoryBufferParams p{const_cast<int16_t*>(samples.data()), int(samples.size() * 2), true, false};
            kez::TrackParams t{2, 32000, 16, int(samples.size() / 2)};
            kez::DataHandle d = engine->LoadDataSource(0, &p, 0, &t, 2);
            kez::EmitterHandle e = engine->CreateEmitter(d, 0, nullptr);
            EXPECT_TRUE(engine->IsValid(e));
            engine->Play(e, false, 0.0f);
            EXPECT_TRUE(step.run(5.0, [&] { return engine->IsDone(e); }));
            step.run(0.1);  // the last fragments leave the mixer
        }
        step.open();
        KezEngine::DestroyKezEngine();
        return wavSamples(capture);
    }

    test::TempDir dir;
    std::string capture = dir.file("capture.wav");
};

size_t firstNonZeroFrame(const std::vector<int16_t>& s) {
    for (size_t i = 0; i + 1 < s.size(); i += 2)
        if (s[i] != 0 || s[i + 1] != 0) return i / 2;
    return s.size() / 2;
}

TEST_F(DriverQSAOutput, At32000HzARawStereoSourcePlaysBitExactExceptTheEndFade) {
    output(platform::SND_PCM_RATE_32000);
    const int frames = 16000;
    const auto samples = test::testSignal(frames, 2);
    const auto out = playThroughEngine(samples);
    const size_t start = firstNonZeroFrame(out);
    ASSERT_LE((start + frames) * 2, out.size());
    for (int i = 0; i < frames - 96; ++i) {
        ASSERT_EQ(out[(start + i) * 2], samples[size_t(i) * 2]) << "frame " << i;
        ASSERT_EQ(out[(start + i) * 2 + 1], samples[size_t(i) * 2 + 1]) << "frame " << i;
    }
}

TEST_F(DriverQSAOutput, At48000HzTheCaptureIsAPlainLinearResampling) {
    output(platform::SND_PCM_RATE_32000 | platform::SND_PCM_RATE_48000);  // 48000 is preferred
    const int frames = 16000;
    const auto samples = test::testSignal(frames, 2);
    const auto out = playThroughEngine(samples);
    const size_t i0 = firstNonZeroFrame(out);
    ASSERT_LT(i0, out.size() / 2);
    const long long step = (32000LL << 14) / 48000;
    ASSERT_EQ(step, 10922);
    // The mixer's 32000 Hz stream is z silent frames, then the sound: find z from the first sound.
    auto source = [&](long long z, long long k) -> int {
        const long long j = k - z;
        return (k < 0 || j < 0 || j >= frames) ? 0 : samples[size_t(j) * 2];
    };
    auto plain = [&](long long z, long long i) {
        const long long p = i * step, k = p >> 14, f = p & 0x3FFF;
        const int a = source(z, k - 1), b = source(z, k);
        return a + int(((b - a) * f) >> 14);
    };
    long long best = -1;
    for (long long z = (long long)i0 * 2 / 3 - 4; z <= (long long)i0 * 2 / 3 + 4 && best < 0; ++z)
        if (z >= 0 && plain(z, (long long)i0) != 0 && plain(z, (long long)i0 - 1) == 0) best = z;
    ASSERT_GE(best, 0);
    const long long last = i0 + (frames - 200) * 3 / 2;
    ASSERT_LE(size_t(last) * 2, out.size());
    for (long long i = i0; i < last; ++i) ASSERT_NEAR(out[size_t(i) * 2], plain(best, i), 1) << "frame " << i;
}

TEST_F(DriverQSAOutput, OpensAt48000WithoutDeadlockAndShutsDown) {
    output(platform::SND_PCM_RATE_48000 | platform::SND_PCM_RATE_32000);
    auto* driver = static_cast<DriverQSA*>(kez::CreateDriver());
    ASSERT_NE(driver, nullptr);
    EXPECT_TRUE(driver->IsActive());
    EXPECT_EQ(driver->DeviceRate(), 48000);
    EXPECT_TRUE(driver->IsResampling());
    kez::TrackParams t{1, 32000, 16, 10};
    kez::DriverSourceInterface* s = driver->CreateDriverSource(&t, nullptr, 0);
    EXPECT_NE(s, nullptr);
    driver->DestroyDriverSource(s);
    kez::KezDelete(driver);  // joins the writer outside its lock
}

TEST_F(DriverQSAOutput, AFailedChannelLeavesTheDriverInactive) {
    for (bool failOpen : {true, false}) {
        SCOPED_TRACE(failOpen ? "open fails" : "set-up fails");
        output(platform::SND_PCM_RATE_32000, failOpen, !failOpen);
        auto* driver = static_cast<DriverQSA*>(kez::CreateDriver());
        EXPECT_FALSE(driver->IsActive());
        kez::TrackParams t{2, 32000, 16, 10};
        EXPECT_EQ(driver->CreateDriverSource(&t, nullptr, 0), nullptr);
        kez::KezDelete(driver);
    }
}

TEST(DriverQSARates, ChannelRateChoice) {
    const struct { uint32_t rates; int minRate, chosen; } kCases[] = {
        {0x80 | 0x20, 8000, 48000}, {0x20 | 0x40, 8000, 32000}, {0x40, 8000, 44100}, {0, 22050, 22050},
    };
    for (const auto& c : kCases) {
        platform::snd_pcm_channel_info_t info{};
        info.rates = c.rates;
        info.min_rate = c.minRate;
        EXPECT_EQ(DriverQSA::GetChannelRate(&info), c.chosen);
    }
}

// Holds the driver lock from outside while the clock moves on, to starve the device.
class StallableDriver : public DriverQSA {
public:
    void Stall(test::AudioLockstep& step, double seconds) {
        kez::MutexLock l(m_driverLock);
        step.advance(seconds);
    }
};

TEST_F(DriverQSAOutput, AForcedUnderrunIsRecovered) {
    output(platform::SND_PCM_RATE_32000);
    test::AudioLockstep step(false);
    auto* driver = kez::KezNew<StallableDriver>();
    ASSERT_TRUE(driver->IsActive());
    step.run(0.1);
    const int before = driver->Recoveries();
    driver->Stall(step, 0.25);  // the queue holds two 32 ms fragments
    step.run(0.15);
    EXPECT_EQ(driver->Recoveries(), before + 1);
    const size_t afterRecovery = test::readFile(capture).size();
    step.run(0.2);
    EXPECT_GT(test::readFile(capture).size(), afterRecovery + 16000);  // it plays on

    driver->Suspend();
    step.run(0.05);
    const size_t suspended = test::readFile(capture).size();
    step.run(0.15);
    EXPECT_EQ(test::readFile(capture).size(), suspended);  // the writer writes nothing while suspended
    driver->Resume();
    step.open();
    kez::KezDelete(driver);
}

}  // namespace
