#include "platform/Pcm.h"

#include "platform/Clock.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <thread>
#include <vector>

using namespace platform;

namespace {

// Resets the process-wide options around each test; the paced outputs keep time on a clock
// the test moves.
class Pcm : public ::testing::Test {
protected:
    void SetUp() override { Clock::setSource(&clock); }
    void TearDown() override
    {
        pcm_set_options(PcmOptions{});
        Clock::setSource(nullptr);
    }

    snd_pcm_t* open(const std::string& backend, int32_t fragBytes = 4096, uint32_t rates = 0xE0)
    {
        PcmOptions o;
        o.backend = backend;
        o.minFragmentSize = fragBytes;
        o.rates = rates;
        pcm_set_options(o);
        snd_pcm_t* pcm = nullptr;
        int card = -1, device = -1;
        EXPECT_EQ(snd_pcm_open_preferred(&pcm, &card, &device, SND_PCM_OPEN_PLAYBACK), 0);
        EXPECT_EQ(card, 0);
        EXPECT_EQ(device, 0);
        return pcm;
    }

    // The set-up the audio engine makes: block mode, start when full, two fragments.
    static int configure(snd_pcm_t* pcm, int32_t rate, snd_pcm_channel_setup_t* out = nullptr)
    {
        snd_pcm_channel_info_t info{};
        info.channel = SND_PCM_CHANNEL_PLAYBACK;
        if (int rc = snd_pcm_plugin_info(pcm, &info); rc < 0)
            return rc;
        snd_pcm_channel_params_t p{};
        p.channel = SND_PCM_CHANNEL_PLAYBACK;
        p.mode = SND_PCM_MODE_BLOCK;
        p.start_mode = SND_PCM_START_FULL;
        p.stop_mode = SND_PCM_STOP_STOP;
        p.format = {1, SND_PCM_SFMT_S16_LE, rate, info.max_voices};
        p.buf.block = {info.min_fragment_size, 1, 2};
        std::strcpy(p.sw_mixer_subchn_name, "Wave playback channel");
        if (int rc = snd_pcm_plugin_params(pcm, &p); rc < 0)
            return rc;
        if (int rc = snd_pcm_plugin_prepare(pcm, SND_PCM_CHANNEL_PLAYBACK); rc < 0)
            return rc;
        snd_pcm_channel_setup_t setup{};
        setup.channel = SND_PCM_CHANNEL_PLAYBACK;
        const int rc = snd_pcm_plugin_setup(pcm, &setup);
        if (out)
            *out = setup;
        return rc;
    }

    static snd_pcm_channel_status_t status(snd_pcm_t* pcm)
    {
        snd_pcm_channel_status_t s{};
        s.channel = SND_PCM_CHANNEL_PLAYBACK;
        EXPECT_EQ(snd_pcm_plugin_status(pcm, &s), 0);
        return s;
    }

    // Until a thread blocks in an untimed wait of the device (a paused writer).
    void untilWaiting()
    {
        while (clock.waiters() == 0)
            std::this_thread::yield();
    }
    void advanceMs(uint64_t ms) { clock.advance(ms * 1000000ull); }

    ManualClock clock;
};

std::vector<uint8_t> pattern(size_t bytes, uint32_t seed)
{
    std::vector<uint8_t> v(bytes);
    for (size_t i = 0; i < bytes; ++i)
        v[i] = uint8_t((i * 7 + seed * 13 + (i >> 8)) & 0xff);
    return v;
}

uint32_t le32(const std::string& s, size_t at)
{
    return uint8_t(s[at]) | uint32_t(uint8_t(s[at + 1])) << 8 | uint32_t(uint8_t(s[at + 2])) << 16 |
           uint32_t(uint8_t(s[at + 3])) << 24;
}

}  // namespace

TEST_F(Pcm, OffersTheConfiguredRatesAndReportsTheSetUp)
{
    const struct {
        const char* why;
        uint32_t rates;
        int32_t ask;
        bool accepted;
    } kCases[] = {
        {"48000 offered", 0xE0, 48000, true},
        {"32000 and 44100 only", 0x60, 32000, true},
        {"48000 not offered", 0x60, 48000, false},
        {"none of the three: the minimum rate", 0x00, 32000, true},
        {"an odd rate", 0xE0, 22050, false},
    };
    for (const char* backend : {"null", "wav"}) {
        for (const auto& c : kCases) {
            SCOPED_TRACE(std::string(backend) + ": " + c.why);
            test::TempDir dir;
            const std::string name = backend == std::string("wav") ? "wav:" + dir.file("o.wav") : backend;
            snd_pcm_t* pcm = open(name, 4096, c.rates);
            ASSERT_NE(pcm, nullptr);
            snd_pcm_channel_info_t info{};
            ASSERT_EQ(snd_pcm_plugin_info(pcm, &info), 0);
            EXPECT_EQ(info.rates, c.rates);
            EXPECT_EQ(info.max_voices, 2);
            EXPECT_EQ(info.min_fragment_size, 4096);
            snd_pcm_channel_setup_t setup{};
            const int rc = configure(pcm, c.ask, &setup);
            if (c.accepted) {
                EXPECT_EQ(rc, 0);
                EXPECT_EQ(setup.format.rate, c.ask);
                EXPECT_EQ(setup.buf.block.frag_size, 4096);
                EXPECT_EQ(setup.buf.block.frags, 2);
                EXPECT_EQ(status(pcm).status, SND_PCM_STATUS_PREPARED);
            } else {
                EXPECT_EQ(rc, -EINVAL);
                EXPECT_EQ(status(pcm).status, SND_PCM_STATUS_NOTREADY);
            }
            EXPECT_EQ(snd_pcm_close(pcm), 0);
        }
    }
}

TEST_F(Pcm, ARateSuffixOffersThatRateAlone)
{
    test::TempDir dir;
    const struct {
        std::string backend;
        int32_t rate;  // offered alone; 0: the usual rates
        std::string file;  // the capture that must exist, when a WAV output
    } kCases[] = {
        {"null@22050", 22050, ""},
        {"wav:" + dir.file("a.wav") + "@32000", 32000, dir.file("a.wav")},
        {"wav:" + dir.file("b@home.wav"), 0, dir.file("b@home.wav")},  // not digits: part of the path
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.backend);
        snd_pcm_t* pcm = open(c.backend);
        ASSERT_NE(pcm, nullptr);
        snd_pcm_channel_info_t info{};
        ASSERT_EQ(snd_pcm_plugin_info(pcm, &info), 0);
        if (c.rate) {
            EXPECT_EQ(info.rates, 0u);
            EXPECT_EQ(info.min_rate, c.rate);
            EXPECT_EQ(info.max_rate, c.rate);
            EXPECT_EQ(configure(pcm, 48000), -EINVAL);
            EXPECT_EQ(configure(pcm, c.rate), 0);
        } else {
            EXPECT_EQ(info.rates, 0xE0u);
        }
        EXPECT_EQ(snd_pcm_close(pcm), 0);
        if (!c.file.empty()) { EXPECT_TRUE(std::filesystem::exists(c.file)); }
    }
    // An unknown backend stays unknown with a rate; a rate no output offers is no suffix.
    for (const char* backend : {"pulse@32000", "null@123"}) {
        SCOPED_TRACE(backend);
        PcmOptions o;
        o.backend = backend;
        pcm_set_options(o);
        snd_pcm_t* pcm = nullptr;
        EXPECT_EQ(snd_pcm_open_preferred(&pcm, nullptr, nullptr, SND_PCM_OPEN_PLAYBACK), -ENODEV);
    }
}

TEST_F(Pcm, WavPacesInRealTimeAndKeepsEveryByte)
{
    test::TempDir dir;
    const std::string path = dir.file("out.wav");
    // 1000-frame fragments at 32000 Hz: 32 make one second.
    snd_pcm_t* pcm = open("wav:" + path, 4000);
    ASSERT_NE(pcm, nullptr);
    ASSERT_EQ(configure(pcm, 32000), 0);
    const std::vector<uint8_t> audio = pattern(32 * 4000, 1);

    const uint64_t start = Clock::monotonicNs();
    for (size_t at = 0; at < audio.size(); at += 4000) {
        ASSERT_EQ(snd_pcm_plugin_write(pcm, audio.data() + at, 4000), 4000);
        // Two fragments fill the queue and start it; every later write waits for one to play.
        const uint64_t played = at < 4000 ? 0 : at / 4000 - 1;
        EXPECT_EQ(Clock::monotonicNs() - start, played * 1000000000ull / 32) << at;
    }
    // The last write returns once two fragments are left to play: 30 of 32 have been heard.
    EXPECT_EQ(Clock::monotonicNs() - start, 30 * 1000000000ull / 32);
    EXPECT_EQ(status(pcm).status, SND_PCM_STATUS_RUNNING);
    EXPECT_EQ(status(pcm).scount, 30u * 4000u);

    const std::string wav = test::readFile(path);  // complete before the close
    ASSERT_EQ(wav.size(), 44 + audio.size());
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(le32(wav, 4), 36 + audio.size());
    EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(le32(wav, 24), 32000u);
    EXPECT_EQ(le32(wav, 40), audio.size());
    EXPECT_EQ(std::memcmp(wav.data() + 44, audio.data(), audio.size()), 0);
    EXPECT_EQ(snd_pcm_close(pcm), 0);
}

TEST_F(Pcm, StarvedChannelReportsUnderrunUntilPrepared)
{
    for (const char* backend : {"null", "wav"}) {
        SCOPED_TRACE(backend);
        test::TempDir dir;
        const std::string name = backend == std::string("wav") ? "wav:" + dir.file("o.wav") : backend;
        // 320-frame fragments: 10 ms each.
        snd_pcm_t* pcm = open(name, 1280);
        ASSERT_NE(pcm, nullptr);
        ASSERT_EQ(configure(pcm, 32000), 0);
        const auto frag = pattern(1280, 2);
        ASSERT_EQ(snd_pcm_plugin_write(pcm, frag.data(), frag.size()), 1280);
        EXPECT_EQ(status(pcm).status, SND_PCM_STATUS_PREPARED);  // starts only when full
        ASSERT_EQ(snd_pcm_plugin_write(pcm, frag.data(), frag.size()), 1280);
        advanceMs(19);
        EXPECT_EQ(status(pcm).status, SND_PCM_STATUS_RUNNING);  // the second fragment still plays
        advanceMs(1);
        const auto s = status(pcm);
        EXPECT_EQ(s.status, SND_PCM_STATUS_UNDERRUN);
        EXPECT_EQ(s.underrun, 1);
        EXPECT_EQ(s.count, 0);
        EXPECT_EQ(s.scount, 2560u);
        EXPECT_EQ(snd_pcm_plugin_write(pcm, frag.data(), frag.size()), -EPIPE);

        ASSERT_EQ(snd_pcm_plugin_prepare(pcm, SND_PCM_CHANNEL_PLAYBACK), 0);
        EXPECT_EQ(status(pcm).status, SND_PCM_STATUS_PREPARED);
        EXPECT_EQ(snd_pcm_plugin_write(pcm, frag.data(), frag.size()), 1280);
        EXPECT_EQ(snd_pcm_close(pcm), 0);
    }
}

TEST_F(Pcm, PauseHoldsTheClock)
{
    // 100 ms fragments, so the pause comes long before the queue could drain.
    snd_pcm_t* pcm = open("null", 12800);
    ASSERT_NE(pcm, nullptr);
    ASSERT_EQ(configure(pcm, 32000), 0);
    EXPECT_EQ(snd_pcm_playback_resume(pcm), -EINVAL);  // not paused
    const auto frag = pattern(12800, 3);
    ASSERT_EQ(snd_pcm_plugin_write(pcm, frag.data(), frag.size()), 12800);
    ASSERT_EQ(snd_pcm_plugin_write(pcm, frag.data(), frag.size()), 12800);
    ASSERT_EQ(snd_pcm_playback_pause(pcm), 0);
    const auto paused = status(pcm);
    EXPECT_EQ(paused.status, SND_PCM_STATUS_PAUSED);
    advanceMs(300);
    EXPECT_EQ(status(pcm).status, SND_PCM_STATUS_PAUSED);
    EXPECT_EQ(status(pcm).count, paused.count);
    EXPECT_EQ(snd_pcm_playback_pause(pcm), -EINVAL);

    ASSERT_EQ(snd_pcm_playback_resume(pcm), 0);
    EXPECT_EQ(status(pcm).status, SND_PCM_STATUS_RUNNING);
    advanceMs(199);
    EXPECT_EQ(status(pcm).status, SND_PCM_STATUS_RUNNING);  // the pause kept both fragments
    advanceMs(1);
    EXPECT_EQ(status(pcm).status, SND_PCM_STATUS_UNDERRUN);
    EXPECT_EQ(snd_pcm_close(pcm), 0);
}

TEST_F(Pcm, PauseHoldsAWriterWaitingForRoom)
{
    // 200 ms fragments: the pause lands long before the first one has played.
    PcmOptions o;
    o.backend = "null";
    o.minFragmentSize = 25600;
    pcm_set_options(o);
    snd_pcm_t* pcm = nullptr;
    ASSERT_EQ(snd_pcm_open_preferred(&pcm, nullptr, nullptr, SND_PCM_OPEN_PLAYBACK), 0);
    ASSERT_EQ(configure(pcm, 32000), 0);
    const auto frag = pattern(25600, 5);
    ASSERT_EQ(snd_pcm_plugin_write(pcm, frag.data(), frag.size()), 25600);
    ASSERT_EQ(snd_pcm_plugin_write(pcm, frag.data(), frag.size()), 25600);
    ASSERT_EQ(snd_pcm_playback_pause(pcm), 0);
    std::atomic<ssize_t> written{-1};
    std::thread writer([&] { written = snd_pcm_plugin_write(pcm, frag.data(), frag.size()); });
    untilWaiting();
    advanceMs(400);
    EXPECT_EQ(status(pcm).count, 2 * 25600);  // nothing drains while paused
    EXPECT_EQ(written.load(), -1);
    ASSERT_EQ(snd_pcm_playback_resume(pcm), 0);
    writer.join();
    EXPECT_EQ(written.load(), 25600);
    EXPECT_EQ(snd_pcm_close(pcm), 0);
}

TEST_F(Pcm, WriterWaitingThroughAReconfigurationKeepsToTheNewQueue)
{
    // A writer held by a pause while the channel is set up again with smaller fragments must
    // fill only the new queue (or be told the channel stopped), never the old one.
    snd_pcm_t* pcm = open("null", 4096);
    ASSERT_NE(pcm, nullptr);
    snd_pcm_channel_params_t p{};
    p.channel = SND_PCM_CHANNEL_PLAYBACK;
    p.mode = SND_PCM_MODE_BLOCK;
    p.start_mode = SND_PCM_START_FULL;
    p.format = {1, SND_PCM_SFMT_S16_LE, 32000, 2};
    p.buf.block = {25600, 1, 2};
    ASSERT_EQ(snd_pcm_plugin_params(pcm, &p), 0);
    ASSERT_EQ(snd_pcm_plugin_prepare(pcm, SND_PCM_CHANNEL_PLAYBACK), 0);
    const auto frag = pattern(25600, 6);
    ASSERT_EQ(snd_pcm_plugin_write(pcm, frag.data(), frag.size()), 25600);
    ASSERT_EQ(snd_pcm_plugin_write(pcm, frag.data(), frag.size()), 25600);
    ASSERT_EQ(snd_pcm_playback_pause(pcm), 0);
    std::atomic<ssize_t> written{-1};
    std::thread writer([&] { written = snd_pcm_plugin_write(pcm, frag.data(), frag.size()); });
    untilWaiting();
    p.buf.block = {4096, 1, 2};
    ASSERT_EQ(snd_pcm_plugin_params(pcm, &p), 0);
    ASSERT_EQ(snd_pcm_plugin_prepare(pcm, SND_PCM_CHANNEL_PLAYBACK), 0);
    writer.join();
    EXPECT_TRUE(written == 25600 || written == -EINVAL) << written;
    EXPECT_LE(status(pcm).count, 8192);
    EXPECT_EQ(snd_pcm_close(pcm), 0);
}

TEST_F(Pcm, ForcedFailuresAndBadCalls)
{
    PcmOptions o;
    o.backend = "null";
    o.failOpen = true;
    pcm_set_options(o);
    snd_pcm_t* pcm = reinterpret_cast<snd_pcm_t*>(1);
    EXPECT_EQ(snd_pcm_open_preferred(&pcm, nullptr, nullptr, SND_PCM_OPEN_PLAYBACK), -ENODEV);
    EXPECT_EQ(pcm, nullptr);

    o.failOpen = false;
    o.failSetup = true;
    pcm_set_options(o);
    ASSERT_EQ(snd_pcm_open_preferred(&pcm, nullptr, nullptr, SND_PCM_OPEN_PLAYBACK), 0);
    EXPECT_EQ(configure(pcm, 48000), -EIO);
    snd_pcm_close(pcm);

    o.failSetup = false;
    o.backend = "pulse";
    pcm_set_options(o);
    EXPECT_EQ(snd_pcm_open_preferred(&pcm, nullptr, nullptr, SND_PCM_OPEN_PLAYBACK), -ENODEV);
    o.backend = "wav:/nonexistent-dir/x.wav";  // falls back to the null output
    pcm_set_options(o);
    ASSERT_EQ(snd_pcm_open_preferred(&pcm, nullptr, nullptr, SND_PCM_OPEN_PLAYBACK), 0);
    EXPECT_EQ(configure(pcm, 48000), 0);
    snd_pcm_close(pcm);

    // A null handle, as after an open whose result nobody checked.
    snd_pcm_channel_info_t info{};
    snd_pcm_channel_status_t st{};
    const uint8_t byte = 0;
    EXPECT_EQ(snd_pcm_plugin_info(nullptr, &info), -EINVAL);
    EXPECT_EQ(configure(nullptr, 48000), -EINVAL);
    EXPECT_EQ(snd_pcm_plugin_status(nullptr, &st), -EINVAL);
    EXPECT_EQ(snd_pcm_plugin_write(nullptr, &byte, 1), -EINVAL);
    EXPECT_EQ(snd_pcm_playback_pause(nullptr), -EINVAL);
    EXPECT_EQ(snd_pcm_close(nullptr), -EINVAL);
    EXPECT_EQ(snd_pcm_open_preferred(&pcm, nullptr, nullptr, 0), -EINVAL);  // capture is not offered
}

// ALSA's own "null" device exercises the alsa backend without a sound card.
TEST_F(Pcm, AlsaBackendPlaysIntoAlsaNullDevice)
{
    PcmOptions o;
    o.backend = "alsa";
    o.alsaDevice = "null";
    pcm_set_options(o);
    snd_pcm_t* pcm = nullptr;
    ASSERT_EQ(snd_pcm_open_preferred(&pcm, nullptr, nullptr, SND_PCM_OPEN_PLAYBACK), 0);
    snd_pcm_channel_setup_t setup{};
    ASSERT_EQ(configure(pcm, 48000, &setup), 0);
    EXPECT_EQ(setup.format.rate, 48000);
    EXPECT_GT(setup.buf.block.frag_size, 0);
    EXPECT_EQ(status(pcm).status, SND_PCM_STATUS_PREPARED);
    const auto frag = pattern(size_t(setup.buf.block.frag_size), 4);
    EXPECT_EQ(snd_pcm_plugin_write(pcm, frag.data(), frag.size()), ssize_t(frag.size()));
    EXPECT_EQ(snd_pcm_close(pcm), 0);
}
