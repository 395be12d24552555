#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "audio/decoders/DecoderMSWav.h"
#include "tests/audio/decoders/DecoderTestSupport.h"
#include "tests/support/TempDir.h"

namespace {

using test::Bytes;
using test::DecoderFixture;
using test::StreamFixture;

// sox makes the sound and its own decoding of it; both land in `dir`.
struct SoxSound {
    std::string wav;
    std::vector<int16_t> reference;  // what sox decodes from `wav`, 16-bit interleaved
};

SoxSound makeWithSox(const test::TempDir& dir, const std::string& name, int channels,
                     const std::string& encoding) {
    const std::string source = dir.file(name + "-src.wav");
    const std::string wav = dir.file(name + ".wav");
    const std::string raw = dir.file(name + ".raw");
    const std::string synth = channels == 1 ? "synth 0.4 sine 300-900" : "synth 0.4 sine 300-900 sine 500";
    if (!test::run("sox -n -r 22050 -c " + std::to_string(channels) + " -b 16 " + source + " " + synth +
                   " gain -2"))
        return {};
    if (!test::run("sox " + source + " " + encoding + " " + wav)) return {};
    if (!test::run("sox " + wav + " -t raw -e signed -b 16 -L " + raw)) return {};
    return {wav, test::readRawS16(raw)};
}

// The samples of a PCM WAVE as written by sox (44-byte header, one data chunk).
std::string pcmPayload(const std::string& wavBytes) { return wavBytes.substr(44); }

// RIFF/WAVE with an 18-byte "fmt ", the data split into two chunks, an odd-sized chunk (so a pad
// byte) between them, and a trailing unknown chunk.
std::string twoDataChunks(unsigned channels, const std::string& samples, size_t splitFrame) {
    const unsigned blockAlign = channels * 2;
    Bytes body;
    body.tag("WAVE");
    body.chunk("fmt ", test::fmtPayload(1, channels, 22050, blockAlign, 16) + std::string(2, '\0'));
    body.chunk("data", samples.substr(0, splitFrame * blockAlign));
    body.chunk("junk", "odd", true);
    body.chunk("data", samples.substr(splitFrame * blockAlign));
    body.chunk("LIST", "xy");
    return Bytes().tag("RIFF").u32(uint32_t(body.data.size())).raw(body.data).data;
}

bool soxMissing() { return !test::haveTool("sox"); }

TEST(DecoderMSWav, PcmAcrossTwoDataChunksMatchesSox) {
    if (soxMissing()) GTEST_SKIP() << "sox is not installed";
    test::TempDir dir;
    for (int channels : {1, 2}) {
        SCOPED_TRACE(channels);
        const SoxSound sox = makeWithSox(dir, "pcm" + std::to_string(channels), channels, "-e signed -b 16");
        ASSERT_FALSE(sox.reference.empty());
        const size_t frames = sox.reference.size() / size_t(channels);
        const size_t split = 3001;  // odd, and not on a decode-block border
        const std::string file = twoDataChunks(unsigned(channels), pcmPayload(test::readFile(sox.wav)), split);

        StreamFixture source = StreamFixture::memory(file);
        DecoderFixture wav(kez::DecoderMSWavFactory, source);
        ASSERT_NE(wav.cursor, nullptr);
        const kez::TrackParams& params = wav.cursor->GetTrackParams();
        EXPECT_EQ(params.channels, channels);
        EXPECT_EQ(params.sampleRate, 22050);
        EXPECT_EQ(params.bitsPerSample, 16);
        EXPECT_EQ(size_t(params.numSamples), frames);
        EXPECT_EQ(test::maxDifference(test::decodeAll(*wav.cursor, 1000), sox.reference), 0);

        // A seek into the second chunk, then a call that runs to the end.
        const unsigned target = unsigned(split + 777);
        ASSERT_EQ(wav.cursor->Seek(target), 0);
        const std::vector<int16_t> tail = test::decodeAll(*wav.cursor, 1 << 20);
        const std::vector<int16_t> expected(sox.reference.begin() + target * size_t(channels), sox.reference.end());
        EXPECT_EQ(tail, expected);

        // A seek before the border: one call reads across it, each chunk by its own size.
        ASSERT_EQ(wav.cursor->Seek(unsigned(split - 5)), 0);
        std::vector<int16_t> across(size_t(10 * channels));
        ASSERT_EQ(wav.cursor->Decode(across.data(), 20 * channels), 20 * channels);
        EXPECT_EQ(across, std::vector<int16_t>(sox.reference.begin() + (split - 5) * size_t(channels),
                                               sox.reference.begin() + (split + 5) * size_t(channels)));

        EXPECT_EQ(wav.cursor->Seek(unsigned(frames)), 0);
        EXPECT_FALSE(wav.cursor->HasData());
        EXPECT_EQ(wav.cursor->Seek(unsigned(frames + 1)), -1);
    }
}

TEST(DecoderMSWav, AdpcmMatchesSoxWithinOneStep) {
    if (soxMissing()) GTEST_SKIP() << "sox is not installed";
    test::TempDir dir;
    const struct { const char* name; int channels; const char* encoding; } cases[] = {
        {"ima-mono", 1, "-e ima-adpcm"}, {"ima-stereo", 2, "-e ima-adpcm"},
        {"ms-mono", 1, "-e ms-adpcm"},   {"ms-stereo", 2, "-e ms-adpcm"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SoxSound sox = makeWithSox(dir, c.name, c.channels, c.encoding);
        ASSERT_FALSE(sox.reference.empty());
        test::StreamFixture source = test::StreamFixture::file(sox.wav);
        DecoderFixture wav(kez::DecoderMSWavFactory, source);
        const kez::TrackParams& params = wav.cursor->GetTrackParams();
        ASSERT_EQ(params.channels, c.channels);
        EXPECT_EQ(params.bitsPerSample, 16);
        EXPECT_EQ(params.numSamples, 8820);  // the "fact" count: sox pads the last block beyond it
        const std::vector<int16_t> decoded = test::decodeAll(*wav.cursor, 999 * 4);
        ASSERT_EQ(decoded.size(), size_t(8820 * c.channels));
        const std::vector<int16_t> reference(sox.reference.begin(), sox.reference.begin() + 8820 * c.channels);
        EXPECT_LE(test::maxDifference(decoded, reference), 1);

        // Into the middle of a block, and the end refused.
        ASSERT_EQ(wav.cursor->Seek(4321), 0);
        const std::vector<int16_t> tail = test::decodeAll(*wav.cursor, 1 << 16);
        const std::vector<int16_t> expected(reference.begin() + 4321 * c.channels, reference.end());
        EXPECT_LE(test::maxDifference(tail, expected), 1);
        EXPECT_EQ(tail.size(), expected.size());
        EXPECT_EQ(wav.cursor->Seek(8820), -1);
    }
}

TEST(DecoderMSWav, LoopingAdpcmContinuesFromTheStartInTheSameCall) {
    if (soxMissing()) GTEST_SKIP() << "sox is not installed";
    test::TempDir dir;
    const SoxSound sox = makeWithSox(dir, "loop", 1, "-e ima-adpcm");
    StreamFixture source = StreamFixture::file(sox.wav);
    DecoderFixture wav(kez::DecoderMSWavFactory, source);
    wav.cursor->SetLoop(true);
    ASSERT_EQ(wav.cursor->Seek(8800), 0);
    std::vector<int16_t> out(60);
    ASSERT_EQ(wav.cursor->Decode(out.data(), 120), 120);
    EXPECT_LE(test::maxDifference(std::vector<int16_t>(out.begin() + 20, out.end()),
                                  std::vector<int16_t>(sox.reference.begin(), sox.reference.begin() + 40)),
              1);
    EXPECT_TRUE(wav.cursor->HasData());
}

TEST(DecoderMSWav, SecondCursorReusesTheParsedHeaderAndKeepsItsOwnChunk) {
    Bytes pcm;
    for (int i = 0; i < 100; ++i) pcm.u16(unsigned(i * 300));
    const std::string samples = pcm.data;
    const std::string file = twoDataChunks(1, samples, 30);
    StreamFixture source = StreamFixture::memory(file);
    DecoderFixture wav(kez::DecoderMSWavFactory, source);
    ASSERT_EQ(wav.cursor->GetTrackParams().numSamples, 100);
    kez::StreamCursorInterface* second = source.newCursor();
    kez::DecoderCursorInterface* other = wav.decoder->CreateNewCursor(second);
    EXPECT_EQ(other->GetTrackParams().numSamples, 100);

    // Interleave the two cursors across the chunk border.
    ASSERT_EQ(wav.cursor->Seek(25), 0);
    int16_t a[10], b[10];
    ASSERT_EQ(other->Decode(b, 20), 20);
    ASSERT_EQ(wav.cursor->Decode(a, 20), 20);
    ASSERT_EQ(other->Decode(b, 20), 20);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(uint16_t(a[i]), uint16_t((25 + i) * 300));
        EXPECT_EQ(uint16_t(b[i]), uint16_t((10 + i) * 300));
    }
    wav.decoder->DestroyCursor(other);
    source.stream()->DestroyCursor(second);
}

// Files that must be refused cleanly: every case ends with zero track parameters and no hang.
TEST(DecoderMSWav, RefusesMalformedFiles) {
    const std::string fmt16 = test::fmtPayload(1, 1, 8000, 2, 16);
    const std::string data = std::string(64, '\x11');
    auto riff = [](const std::string& body) {
        return Bytes().tag("RIFF").u32(uint32_t(body.size() + 4)).tag("WAVE").raw(body).data;
    };
    std::string ima = test::fmtPayload(0x11, 1, 8000, 256, 4) + Bytes().u16(2).u16(505).data;
    std::string msExt = Bytes().u16(32).u16(500).u16(7).data;  // 7 pairs promised, none there
    std::string msHuge = Bytes().u16(0xffff).u16(500).u16(0xffff).data + std::string(2000, '\0');
    const struct { const char* why; std::string file; } cases[] = {
        {"empty", ""},
        {"not RIFF", Bytes().chunk("RIFX", "WAVE").data},
        {"not WAVE", Bytes().tag("RIFF").u32(4).tag("AVI ").data},
        {"no data chunk", riff(Bytes().chunk("fmt ", fmt16).data)},
        {"no fmt chunk", riff(Bytes().chunk("data", data).data)},
        {"short fmt", riff(Bytes().chunk("fmt ", fmt16.substr(0, 12)).chunk("data", data).data)},
        {"size that loops back", riff(Bytes().chunk("fmt ", fmt16).tag("junk").u32(0xfffffff8).chunk("data", data).data)},
        {"size past the end", riff(Bytes().chunk("fmt ", fmt16).tag("junk").u32(0x7fffffff).data)},
        {"unknown tag", riff(Bytes().chunk("fmt ", test::fmtPayload(3, 1, 8000, 4, 32)).chunk("data", data).data)},
        {"block align 0", riff(Bytes().chunk("fmt ", test::fmtPayload(1, 1, 8000, 0, 16)).chunk("data", data).data)},
        {"zero channels", riff(Bytes().chunk("fmt ", test::fmtPayload(1, 0, 8000, 2, 16)).chunk("data", data).data)},
        {"12-bit PCM", riff(Bytes().chunk("fmt ", test::fmtPayload(1, 1, 8000, 2, 12)).chunk("data", data).data)},
        {"IMA without fact", riff(Bytes().chunk("fmt ", ima).chunk("data", data).data)},
        {"IMA with 9 channels", riff(Bytes().chunk("fmt ", test::fmtPayload(0x11, 9, 8000, 256, 4)).chunk("fact", Bytes().u32(10).data).chunk("data", data).data)},
        {"MS ADPCM short extension", riff(Bytes().chunk("fmt ", test::fmtPayload(2, 1, 8000, 256, 4) + msExt).chunk("fact", Bytes().u32(10).data).chunk("data", data).data)},
        {"MS ADPCM huge extension", riff(Bytes().chunk("fmt ", test::fmtPayload(2, 1, 8000, 256, 4) + msHuge).chunk("fact", Bytes().u32(10).data).chunk("data", data).data)},
        {"MS ADPCM without extension", riff(Bytes().chunk("fmt ", test::fmtPayload(2, 1, 8000, 256, 4)).chunk("fact", Bytes().u32(10).data).chunk("data", data).data)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        StreamFixture source = StreamFixture::memory(c.file);
        DecoderFixture wav(kez::DecoderMSWavFactory, source);
        ASSERT_NE(wav.cursor, nullptr);
        EXPECT_EQ(wav.cursor->GetTrackParams().channels, 0);
        EXPECT_EQ(wav.cursor->GetTrackParams().numSamples, 0);
        EXPECT_FALSE(wav.cursor->HasData());
        EXPECT_EQ(wav.cursor->Seek(0), -1);
        char out[64];
        EXPECT_EQ(wav.cursor->Decode(out, 64), 0);
    }
}

// Damaged ADPCM blocks end the sound instead of reading outside the tables.
TEST(DecoderMSWav, DamagedAdpcmBlocksEndTheSound) {
    auto riff = [](const std::string& body) {
        return Bytes().tag("RIFF").u32(uint32_t(body.size() + 4)).tag("WAVE").raw(body).data;
    };
    // IMA mono, block align 36: header with step index 200.
    std::string imaBlock = Bytes().u16(0).u8(200).u8(0).data + std::string(32, '\x77');
    std::string ima = riff(Bytes().chunk("fmt ", test::fmtPayload(0x11, 1, 8000, 36, 4) + Bytes().u16(2).u16(65).data)
                               .chunk("fact", Bytes().u32(65).data).chunk("data", imaBlock).data);
    // MS ADPCM mono, block align 16: predictor index 9 of 7 pairs.
    std::string ext = Bytes().u16(32).u16(20).u16(7).data;
    const int pairs[7][2] = {{256, 0}, {512, -256}, {0, 0}, {192, 64}, {240, 0}, {460, -208}, {392, -232}};
    for (const auto& p : pairs) ext += Bytes().u16(unsigned(p[0]) & 0xffff).u16(unsigned(p[1]) & 0xffff).data;
    std::string msBlock = Bytes().u8(9).u16(16).u16(0).u16(0).data + std::string(9, '\x12');
    std::string ms = riff(Bytes().chunk("fmt ", test::fmtPayload(2, 1, 8000, 16, 4) + ext)
                              .chunk("fact", Bytes().u32(20).data).chunk("data", msBlock).data);
    for (const std::string* file : {&ima, &ms}) {
        StreamFixture source = StreamFixture::memory(*file);
        DecoderFixture wav(kez::DecoderMSWavFactory, source);
        ASSERT_EQ(wav.cursor->GetTrackParams().channels, 1);
        wav.cursor->SetLoop(true);  // not even a loop may spin on it
        char out[256];
        EXPECT_EQ(wav.cursor->Decode(out, 256), 0);
    }
}

// Bytes of the headers changed at random: whatever the walk and the sub-decoders make of them,
// decoding ends within the data there is, and nothing reads outside its buffers.
TEST(DecoderMSWav, SurvivesDamagedHeaders) {
    auto riff = [](const std::string& body) {
        return Bytes().tag("RIFF").u32(uint32_t(body.size() + 4)).tag("WAVE").raw(body).data;
    };
    std::string msExt = Bytes().u16(32).u16(500).u16(7).data;
    const int pairs[7][2] = {{256, 0}, {512, -256}, {0, 0}, {192, 64}, {240, 0}, {460, -208}, {392, -232}};
    for (const auto& p : pairs) msExt += Bytes().u16(unsigned(p[0]) & 0xffff).u16(unsigned(p[1]) & 0xffff).data;
    std::string noise;
    uint32_t seed = 12345;
    auto next = [&seed] { seed = seed * 1664525u + 1013904223u; return seed >> 8; };
    for (int i = 0; i < 1100; ++i) noise.push_back(char(next()));
    const std::string files[] = {
        riff(Bytes().chunk("fmt ", test::fmtPayload(1, 2, 8000, 4, 16)).chunk("data", noise.substr(0, 301))
                 .chunk("data", noise.substr(301, 400)).data),
        riff(Bytes().chunk("fmt ", test::fmtPayload(0x11, 2, 8000, 512, 4) + Bytes().u16(2).u16(1017).data)
                 .chunk("fact", Bytes().u32(2000).data).chunk("data", noise.substr(0, 1100)).data),
        riff(Bytes().chunk("fmt ", test::fmtPayload(2, 1, 8000, 256, 4) + msExt)
                 .chunk("fact", Bytes().u32(2000).data).chunk("data", noise.substr(0, 1000)).data),
    };
    for (const std::string& original : files) {
        for (int round = 0; round < 400; ++round) {
            std::string file = original;
            const size_t headerBytes = std::min<size_t>(file.size(), 96);
            for (int k = 0, n = 1 + int(next() % 4); k < n; ++k) file[next() % headerBytes] = char(next());
            StreamFixture source = StreamFixture::memory(file);
            DecoderFixture wav(kez::DecoderMSWavFactory, source);
            const kez::TrackParams params = wav.cursor->GetTrackParams();
            std::string out = test::decodeAllBytes(*wav.cursor, 1000, 1u << 22);
            ASSERT_LT(out.size(), 1u << 22);
            if (params.channels > 0) wav.cursor->Seek(unsigned(params.numSamples) / 2);
            wav.cursor->SetLoop(true);
            char block[4096];
            wav.cursor->Decode(block, sizeof block);
            wav.cursor->HasData();
        }
    }
}

}  // namespace
