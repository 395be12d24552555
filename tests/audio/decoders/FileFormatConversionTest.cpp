#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "audio/FileSystemInterface.h"
#include "audio/decoders/DecoderMPC8.h"
#include "audio/decoders/FileFormatConversion.h"
#include "audio/decoders/SoundExtension.h"
#include "tests/audio/AudioTestSupport.h"
#include "tests/audio/decoders/DecoderTestSupport.h"
#include "tests/support/TempDir.h"

namespace {

using test::Bytes;

uint32_t le32(const std::string& s, size_t at) {
    return uint32_t(uint8_t(s[at])) | uint32_t(uint8_t(s[at + 1])) << 8 | uint32_t(uint8_t(s[at + 2])) << 16 |
           uint32_t(uint8_t(s[at + 3])) << 24;
}

// The cache check the game makes: RIFF size L - 8, WAVE, and a data size of L - 44.
void expectGoodCacheFile(const std::string& wav, int channels, int rate) {
    ASSERT_GE(wav.size(), 44u);
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(le32(wav, 4), wav.size() - 8);
    EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(le32(wav, 16), 16u);
    EXPECT_EQ(le32(wav, 20), 1u | uint32_t(channels) << 16);
    EXPECT_EQ(le32(wav, 24), uint32_t(rate));
    EXPECT_EQ(le32(wav, 28), uint32_t(rate * channels * 2));
    EXPECT_EQ(le32(wav, 32), uint32_t(channels * 2) | 16u << 16);
    EXPECT_EQ(wav.substr(36, 4), "data");
    EXPECT_EQ(le32(wav, 40), wav.size() - 44);
}

struct ArchiveScope {
    ~ArchiveScope() {
        kez::FileSystemInterface::DestroyInstance();
        kez::FileFormatConversion::SetFolders(nullptr, nullptr);
    }
};

TEST(FileFormatConversion, MusepackMemberOfTheArchiveBecomesACacheFileOnce) {
    if (!test::haveTool("mpcenc") || !test::haveTool("sox")) GTEST_SKIP() << "musepack-tools or sox is not installed";
    test::TempDir dir;
    const std::string wav = dir.file("src.wav");
    const std::string mpc = dir.file("src.mpc");
    ASSERT_TRUE(test::run("sox -n -r 32000 -c 1 -b 16 " + wav + " synth 0.7 sine 440 gain -6"));
    ASSERT_TRUE(test::run("mpcenc --silent " + wav + " " + mpc));
    const std::string member = "3/SFX/interface/sfx_menu_confirm.MPC";
    dir.write("app/3.bar",
              test::ArchiveBuilder().add("3/sfx_bonus.wav", "x").add(member, test::readFile(mpc)).bytes(false));
    std::filesystem::create_directories(dir.path() / "save");

    ArchiveScope scope;
    ASSERT_EQ(kez::FileSystemInterface::GetInstance()->SetArchive(dir.file("app/3.bar").c_str(), true, false, true), 0);
    kez::FileFormatConversion::SetFolders(dir.file("app").c_str(), dir.file("save").c_str());
    ASSERT_EQ(kez::FileFormatConversion::ConvertToWavPCM(member.c_str(), "3_SFX_interface_sfx_menu_confirm.wav"), 0);

    const std::string cachePath = dir.file("save/3_SFX_interface_sfx_menu_confirm.wav");
    std::string cache = test::readFile(cachePath);
    expectGoodCacheFile(cache, 1, 32000);

    // The samples are the Musepack decoder's.
    test::StreamFixture source = test::StreamFixture::file(mpc);
    test::DecoderFixture direct(kez::DecoderMPC8Factory, source);
    EXPECT_TRUE(cache.substr(44) == test::decodeAllBytes(*direct.cursor));
    EXPECT_EQ(cache.size() - 44, size_t(direct.cursor->GetTrackParams().numSamples) * 2);

    // A second run finds a good file and writes nothing: a marked sample stays marked.
    cache[1000] ^= 0x55;
    { std::FILE* f = std::fopen(cachePath.c_str(), "wb"); std::fwrite(cache.data(), 1, cache.size(), f); std::fclose(f); }
    ASSERT_EQ(kez::FileFormatConversion::ConvertToWavPCM(member.c_str(), "3_SFX_interface_sfx_menu_confirm.wav"), 0);
    EXPECT_TRUE(test::readFile(cachePath) == cache);

    // A damaged one is rebuilt.
    { std::FILE* f = std::fopen(cachePath.c_str(), "wb"); std::fwrite(cache.data(), 1, 100, f); std::fclose(f); }
    ASSERT_EQ(kez::FileFormatConversion::ConvertToWavPCM(member.c_str(), "3_SFX_interface_sfx_menu_confirm.wav"), 0);
    expectGoodCacheFile(test::readFile(cachePath), 1, 32000);
}

TEST(FileFormatConversion, ResultCodes) {
    test::TempDir dir;
    Bytes body;
    body.tag("WAVE").chunk("fmt ", test::fmtPayload(1, 1, 8000, 1, 8)).chunk("data", std::string("\x80\xff\x00\x40\xc0", 5));
    const std::string wav8 = Bytes().tag("RIFF").u32(uint32_t(body.data.size())).raw(body.data).data;
    const std::string in = dir.write("in/eight.WAV", wav8);
    dir.write("in/noext", wav8);
    dir.write("in/eight.mp3", wav8);
    dir.write("in/empty.wav", "");
    dir.write("in/junk.ogg", std::string(100, 'j'));
    ArchiveScope scope;
    const struct { const char* why; std::string input, output; int code; } cases[] = {
        {"missing input", dir.file("in/none.wav"), dir.file("a.wav"), -2},
        {"empty input", dir.file("in/empty.wav"), dir.file("a.wav"), -2},
        {"no extension", dir.file("in/noext"), dir.file("a.wav"), -3},
        {"mp3", dir.file("in/eight.mp3"), dir.file("a.wav"), -3},
        {"not Vorbis", dir.file("in/junk.ogg"), dir.file("a.wav"), -4},
        {"output folder missing", in, dir.file("no/such/folder/a.wav"), -5},
        {"8-bit PCM widened", in, dir.file("out8.wav"), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(kez::FileFormatConversion::ConvertToWavPCM(c.input.c_str(), c.output.c_str()), c.code);
    }
    const std::string out = test::readFile(dir.file("out8.wav"));
    expectGoodCacheFile(out, 1, 8000);
    EXPECT_EQ(out.substr(44), Bytes().u16(0).u16(0x7f00).u16(0x8000).u16(0xc000).u16(0x4000).data);
}

// Three channels: no block of the conversion is a whole number of frames unless it asks for one.
TEST(FileFormatConversion, ThreeChannelSoundsConvertWhole) {
    test::TempDir dir;
    ArchiveScope scope;
    for (const unsigned bits : {16u, 8u}) {
        SCOPED_TRACE(bits);
        const uint32_t frames = 30000;
        std::string data(frames * 3 * (bits / 8), '\0');
        for (size_t i = 0; i < data.size(); ++i) data[i] = char(i * 7 + i / 5);
        Bytes body;
        body.tag("WAVE").chunk("fmt ", test::fmtPayload(1, 3, 8000, 3 * bits / 8, bits)).chunk("data", data);
        const std::string in = dir.write("in.wav", Bytes().tag("RIFF").u32(uint32_t(body.data.size())).raw(body.data).data);
        const std::string outPath = dir.file("out" + std::to_string(bits) + ".wav");
        ASSERT_EQ(kez::FileFormatConversion::ConvertToWavPCM(in.c_str(), outPath.c_str()), 0);
        const std::string out = test::readFile(outPath);
        expectGoodCacheFile(out, 3, 8000);
        std::string expected = data;
        if (bits == 8) {
            expected.clear();
            for (char c : data) expected += Bytes().u16(uint16_t(int16_t((uint8_t(c) - 128) * 256))).data;
        }
        EXPECT_EQ(out.size() - 44, expected.size());
        EXPECT_TRUE(out.substr(44) == expected);
    }
}

// The file system's write entry, failing its fourth call: the first block of samples.
int s_writeCalls = 0;
int (*s_realWrite)(const void*, int, int, void*) = nullptr;
int failingWrite(const void* buffer, int size, int count, void* handle) {
    return ++s_writeCalls == 4 ? 0 : s_realWrite(buffer, size, count, handle);
}

TEST(FileFormatConversion, AFailedWriteLeavesNullInPlaceOfRiff) {
    test::TempDir dir;
    Bytes body;
    body.tag("WAVE").chunk("fmt ", test::fmtPayload(1, 1, 8000, 2, 16)).chunk("data", std::string(4000, '\x22'));
    const std::string in = dir.write("in.wav", Bytes().tag("RIFF").u32(uint32_t(body.data.size())).raw(body.data).data);
    ArchiveScope scope;
    kez::FileSystemInterface::GetInstance();
    s_realWrite = kez::FileSystemInterface::m_IOFunc.write;
    kez::FileSystemInterface::m_IOFunc.write = failingWrite;
    const int result = kez::FileFormatConversion::ConvertToWavPCM(in.c_str(), dir.file("out.wav").c_str());
    kez::FileSystemInterface::m_IOFunc.write = s_realWrite;
    EXPECT_EQ(result, -6);
    EXPECT_EQ(test::readFile(dir.file("out.wav")).substr(0, 4), "NULL");
}

TEST(SoundExtension, ChoosesTheDecoderTheEnginesWay) {
    const struct { const char* path; int type; } cases[] = {
        {"a.wav", 1}, {"A.WAV", 1}, {"x/y.Wav", 1}, {"b.ogg", 2}, {"c.mpc", 3}, {"3/SFX/c.MPC", 3},
        {"d.kzn", 4}, {"e.mp3", -1}, {"noext", -1}, {"f.wave", -1}, {"g.wa", -1}, {"dir.wav/file", -1},
        {nullptr, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path ? c.path : "null");
        EXPECT_EQ(kez::DecoderTypeFromExtension(c.path), c.type);
    }
}

}  // namespace
