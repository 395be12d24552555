// The software mixer pulled by hand: emitters on raw sources, passes of the update thread called
// directly, and the mixing pass read back.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/audio/AudioTestSupport.h"
#include "tests/audio/decoders/DecoderTestSupport.h"

namespace {

constexpr int kFade = 96;  // 3 ms at 32000 Hz

class Mixer : public ::testing::Test {
protected:
    // Plays to the end, a pass before every block as the update thread would run.
    std::vector<short> playOut(int blockFrames, int maxBlocks) {
        std::vector<short> out;
        for (int b = 0; b < maxBlocks; ++b) {
            h.pass();
            const auto block = h.mix(blockFrames);
            out.insert(out.end(), block.begin(), block.end());
        }
        return out;
    }
    test::EngineHarness h;
};

// An asynchronous emitter opens its cursors at the next pass, then plays the same.
TEST_F(Mixer, StereoRawSourceIsBitExactExceptTheEndFade) {
    const int frames = 8000;
    const auto samples = test::testSignal(frames, 2);
    kez::DataHandle data = h.loadRaw(samples, 2);
    for (const bool async : {false, true}) {
        SCOPED_TRACE(async ? "asynchronous" : "synchronous");
        kez::EmitterHandle e = async ? h.engine->CreateEmitterAsync(data, 0, nullptr)
                                     : h.engine->CreateEmitter(data, 0, nullptr);
        EXPECT_EQ(h.engine->IsReady(e), !async);
        h.engine->Play(e, false, 0.0f);
        const auto out = playOut(1024, 10);
        EXPECT_TRUE(h.engine->IsReady(e));
        for (int i = 0; i < frames - kFade; ++i) {
            ASSERT_EQ(out[2 * i], samples[2 * i]) << "frame " << i;
            ASSERT_EQ(out[2 * i + 1], samples[2 * i + 1]) << "frame " << i;
        }
        for (int i = frames - kFade; i < frames; ++i)
            EXPECT_LE(std::abs(out[2 * i]), std::abs(samples[2 * i])) << "frame " << i;
        for (size_t i = size_t(frames) * 2; i < out.size(); ++i) ASSERT_EQ(out[i], 0);
        EXPECT_TRUE(h.engine->IsDone(e));  // it ended and rests
    }
}

TEST_F(Mixer, SumsClampTo16Bits) {
    const std::vector<int16_t> high(2000, 32767), low(2000, -32768);
    kez::DataHandle a = h.loadRaw(high, 2), b = h.loadRaw(high, 2), c = h.loadRaw(low, 1);
    kez::EmitterHandle ea = h.engine->CreateEmitter(a, 0, nullptr), eb = h.engine->CreateEmitter(b, 0, nullptr);
    h.engine->Play(ea, false, 0.0f);
    h.engine->Play(eb, false, 0.0f);
    h.pass();
    auto out = h.mix(256);
    EXPECT_EQ(out[0], 32767);
    EXPECT_EQ(out[511], 32767);
    h.engine->Stop(ea, 0.0f);
    h.engine->Stop(eb, 0.0f);
    kez::EmitterHandle ec = h.engine->CreateEmitter(c, 0, nullptr);
    kez::EmitterHandle ec2 = h.engine->CreateEmitter(c, 0, nullptr);
    kez::EmitterHandle ec3 = h.engine->CreateEmitter(c, 0, nullptr);
    for (auto* e : {&ec, &ec2, &ec3}) h.engine->Play(*e, false, 0.0f);
    h.pass();
    out = h.mix(256);
    EXPECT_EQ(out[0], -32768);  // three centred mono sources at -0.707 full scale each
}

TEST_F(Mixer, SourceClampsGainAndPitch) {
    kez::TrackParams stereo{2, 32000, 16, 10};
    auto* s = h.mixer->CreateDriverSource(&stereo, nullptr, 0);
    const struct { float in, gain, pitch; } kCases[] = {{1.5f, 1.0f, 1.5f}, {-1.0f, 0.0f, 1.0f / 16384}, {3.0f, 1.0f, 2.0f}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.in);
        s->SetGain(c.in);
        s->SetPitch(c.in);
        EXPECT_FLOAT_EQ(s->GetGain(), c.gain);
        EXPECT_FLOAT_EQ(s->GetPitch(), c.pitch);
    }
    h.mixer->DestroyDriverSource(s);
}

TEST_F(Mixer, EightBitDataIsWidenedNotSilent) {
    std::vector<int16_t> bytes(1000);
    auto* u8 = reinterpret_cast<unsigned char*>(bytes.data());
    for (size_t i = 0; i < bytes.size() * 2; ++i) u8[i] = (i % 2) ? 0x00 : 0xC0;  // left +64, right -128
    kez::StreamMemoryBufferParams p{bytes.data(), int(bytes.size() * 2), true, false};
    const struct { int rate, left, right; } kCases[] = {{32000, 64 * 256, -128 * 256}, {16000, 64 * 256, -128 * 256}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.rate);
        kez::TrackParams t{2, c.rate, 8, 1000};
        kez::DataHandle d = h.engine->LoadDataSource(0, &p, 0, &t, 0);
        kez::EmitterHandle e = h.engine->CreateEmitter(d, 0, nullptr);
        h.engine->Play(e, false, 0.0f);
        h.pass();
        const auto out = h.mix(256);
        EXPECT_EQ(out[20], c.left);
        EXPECT_EQ(out[21], c.right);
        h.engine->KillEmitter(e);
    }
}

TEST_F(Mixer, PausedSourceRampsBackInOverThreeMilliseconds) {
    const std::vector<int16_t> level(64000, 16000);
    kez::DataHandle d = h.loadRaw(level, 2);
    kez::EmitterHandle e = h.engine->CreateEmitter(d, 0, nullptr);
    h.engine->Play(e, false, 0.0f);
    h.pass();
    EXPECT_EQ(h.mix(128)[0], 16000);  // the first block starts at full gain
    h.engine->Pause(e, 0.0f);
    h.pass();
    h.pass();
    for (short v : h.mix(128)) ASSERT_EQ(v, 0);
    h.engine->Resume(e, 0.0f);
    h.pass();
    const auto out = h.mix(256);
    EXPECT_LT(out[0], 1000);
    for (int i = 1; i < kFade; ++i) ASSERT_GE(out[2 * i], out[2 * i - 2]);
    EXPECT_GT(out[2 * (kFade - 1)], 15000);
    EXPECT_EQ(out[2 * 200], 16000);
}

TEST_F(Mixer, ResampledMonoSourceInterpolatesLinearly) {
    std::vector<int16_t> ramp(4000);
    for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = int16_t((i % 2) ? 8000 : 0);
    kez::DataHandle d = h.loadRaw(ramp, 1, 16000);  // half the mixing rate: step 8192
    kez::EmitterHandle e = h.engine->CreateEmitter(d, 0, nullptr);
    h.engine->Play(e, false, 0.0f);
    h.pass();
    const auto out = h.mix(512);
    for (int i = 0; i < 400; ++i) {
        SCOPED_TRACE(i);
        const int k = i / 2;
        const int s0 = ramp[size_t(k)], s1 = ramp[size_t(k) + 1];
        const int expected = (11585 * (i % 2 ? (s0 + s1) / 2 : s0)) >> 14;  // centred pan
        ASSERT_NEAR(out[2 * i], expected, 1);
        ASSERT_EQ(out[2 * i], out[2 * i + 1]);
    }
}

TEST_F(Mixer, GroupAndMasterGainRampOverTheirTime) {
    h.engine->SetGroupGain(0x6, 0.5f, 2.0f);
    const struct { int passes; float group1, group0; } kSteps[] = {{0, 1.0f, 1.0f}, {10, 0.75f, 1.0f}, {21, 0.5f, 1.0f}};
    int done = 0;
    for (const auto& s : kSteps) {
        for (; done < s.passes; ++done) h.pass(0.1f);
        SCOPED_TRACE(s.passes);
        EXPECT_NEAR(h.engine->GetEffectiveGroupGain(1), s.group1, 0.001f);
        EXPECT_NEAR(h.engine->GetEffectiveGroupGain(2), s.group1, 0.001f);
        EXPECT_FLOAT_EQ(h.engine->GetEffectiveGroupGain(0), s.group0);
    }
    EXPECT_FLOAT_EQ(h.engine->GetGroupGain(1), 0.5f);
    EXPECT_EQ(h.engine->GetGroupGain(32), 0.0f);

    h.engine->SetMasterGain(1.7f, 0.0f);
    EXPECT_FLOAT_EQ(h.engine->GetMasterGain(), 1.0f);
    h.engine->SetMasterGain(0.5f, 0.0f);
    h.pass(0.5f);  // a step longer than 0.1 s counts as 0.1 s
    const std::vector<int16_t> level(64000, 16000);
    kez::DataHandle d = h.loadRaw(level, 2, 32000, 2);
    kez::EmitterHandle e = h.engine->CreateEmitter(d, 0, nullptr);
    h.engine->Play(e, false, 0.0f);
    h.pass();
    EXPECT_FLOAT_EQ(h.engine->GetGain(e), 0.25f);
    EXPECT_EQ(h.mix(64)[10], 4000);
}

TEST_F(Mixer, UnreferencedEmittersDieAtTheEndOfThePassInWhichTheyEnd) {
    const auto samples = test::testSignal(3000, 2);
    kez::DataHandle d = h.loadRaw(samples, 2);
    kez::EmitterHandle held = h.engine->CreateEmitter(d, 0, nullptr);
    {
        kez::EmitterHandle dropped = h.engine->CreateEmitter(d, 0, nullptr);
        h.engine->Play(dropped, false, 0.0f);
    }
    h.engine->Play(held, false, 0.0f);
    h.pass();
    int passes = 0;
    while (!h.engine->IsDone(held) && passes < 50) {
        EXPECT_EQ(h.emitterCount(), 2) << "the unheld emitter died before it ended, pass " << passes;
        h.mix(1024);
        h.pass();
        ++passes;
    }
    ASSERT_TRUE(h.engine->IsDone(held));
    EXPECT_EQ(h.emitterCount(), 1);  // gone in the very pass in which both ended
    EXPECT_EQ(h.mixer->SourceCount(), 1);
    EXPECT_TRUE(h.engine->IsValid(held));  // a held emitter stays
}

TEST_F(Mixer, RequestsOnEmitters) {
    const auto samples = test::testSignal(64000, 2);
    kez::DataHandle d = h.loadRaw(samples, 2);
    kez::EmitterHandle e = h.engine->CreateEmitter(d, 0, nullptr);
    h.engine->SetGroup(e, 40);
    EXPECT_EQ(h.engine->GetGroup(e), 0);
    h.engine->Stop(e, 0.0f);  // never played
    h.pass();
    EXPECT_TRUE(h.engine->IsDone(e));

    h.engine->Play(e, false, 0.0f);
    h.pass();
    EXPECT_EQ(h.engine->GetStatus(e), kez::EmitterObj::kStatusPlaying);
    h.mix(3200);
    EXPECT_NEAR(h.engine->GetPlayCursor(e), 0.1f, 0.001f);
    h.engine->SetPlayCursor(e, -3.0f);
    EXPECT_NEAR(h.engine->GetPlayCursor(e), 0.0f, 0.001f);
    h.engine->SetPlayCursor(e, 1.0f);
    h.pass();
    h.pass();
    const auto out = h.mix(16);
    EXPECT_EQ(out[0], samples[2 * 32000]);  // plays on from one second
    h.engine->Pause(e, 2.0f);
    h.engine->Pause(e, 0.5f);  // the shorter fade wins
    h.pass(0.1f);
    EXPECT_EQ(h.engine->GetStatus(e), kez::EmitterObj::kStatusPlaying | kez::EmitterObj::kStatusFadingOut);
    for (int i = 0; i < 6; ++i) h.pass(0.1f);
    EXPECT_EQ(h.engine->GetStatus(e), kez::EmitterObj::kStatusPaused);
    h.engine->SetPlayCursor(e, 0.5f);  // on a paused emitter: stopped afterwards
    h.pass();
    h.pass();
    h.pass();
    EXPECT_TRUE(h.engine->IsDone(e));
}

// A raw sound that ends in half a frame: the mixer takes whole frames only, and never reads past
// the sound's memory for the partner of an interpolated frame (the sanitizer build sees it). At
// 22050 Hz with every block queued, the second mix wants the half frame as its partner.
TEST_F(Mixer, RawDataEndingInHalfAFrameStaysInsideItsMemory) {
    auto samples = test::testSignal(1412, 2);
    samples.push_back(1234);
    kez::StreamMemoryBufferParams p{samples.data(), int(samples.size() * 2), true, false};
    kez::TrackParams t{2, 22050, 16, 1412};
    kez::DataHandle d = h.engine->LoadDataSource(0, &p, 0, &t, 0);
    kez::EmitterHandle e = h.engine->CreateEmitter(d, 0, nullptr);
    h.engine->Play(e, false, 0.0f);
    for (int i = 0; i < 3; ++i) h.pass();  // every block queued before the first mix
    for (int i = 0; i < 4; ++i) h.mix(1024);
    h.pass();
    EXPECT_TRUE(h.engine->IsDone(e));
}

// An ADPCM file may declare up to 2^31 - 1 frames in its fact chunk: the emitter's byte counts
// must not overflow, and its play cursor keeps counting.
TEST_F(Mixer, PlayCursorOfASoundDeclaringTwoBillionFrames) {
    std::string blocks;
    for (int b = 0; b < 4; ++b) blocks += std::string(4, '\0') + std::string(4, '\0') + std::string(64, '\x17');
    test::Bytes body;
    body.tag("WAVE")
        .chunk("fmt ", test::fmtPayload(0x11, 2, 32000, 72, 4))
        .chunk("fact", test::Bytes().u32(0x7FFFFFFFu).data)
        .chunk("data", blocks);
    const std::string wav = test::Bytes().tag("RIFF").u32(uint32_t(body.data.size())).raw(body.data).data;
    kez::StreamMemoryBufferParams p{const_cast<char*>(wav.data()), int(wav.size()), true, false};
    kez::DataHandle d = h.engine->LoadDataSource(0, &p, 1, nullptr, 0);
    ASSERT_TRUE(h.engine->IsReady(d));
    kez::EmitterHandle e = h.engine->CreateEmitter(d, 0, nullptr);
    ASSERT_TRUE(h.engine->IsValid(e));
    h.engine->SetPlayCursor(e, 2.0f);
    EXPECT_NEAR(h.engine->GetPlayCursor(e), 2.0f, 0.001f);
}

}  // namespace
