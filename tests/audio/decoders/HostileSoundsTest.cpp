// Sound files found by fuzzing: each is refused or plays to an end, with no crash, no hang and no
// allocation beyond what the file can justify (the sanitizer build checks the last two).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/decoders/DecoderMPC8.h"
#include "audio/decoders/DecoderStbVorbis.h"
#include "audio/decoders/VorbisStream.h"
#include "tests/audio/decoders/DecoderTestSupport.h"
#include "tests/support/TempDir.h"

namespace {

using test::DecoderFixture;
using test::StreamFixture;

// The fuzzer fed decoders an options byte before the file; the sound starts after it.
std::string sound(const char* name) {
    const std::string bytes = test::readFile(test::sourceDir() + "/tests/fixtures/fuzz-findings/" + name);
    return bytes.empty() ? bytes : bytes.substr(1);
}

// Everything a player does with a cursor: read to the end, rewind, read again while looping.
void playEveryWay(kez::DecoderCursorInterface& cursor) {
    const kez::TrackParams params = cursor.GetTrackParams();
    const size_t limit = size_t(std::max(params.numSamples, 0)) * size_t(std::max(params.channels, 0)) + 8192;
    const std::vector<int16_t> first = test::decodeAll(cursor, 4096, limit * 2 + 65536);
    EXPECT_LE(first.size(), limit);
    EXPECT_FALSE(cursor.HasData());
    if (cursor.Seek(0) != 0) return;
    cursor.SetLoop(true);
    std::vector<int16_t> block(4096);
    for (int i = 0; i < 8; ++i) cursor.Decode(block.data(), int(block.size() * 2));
    cursor.SetLoop(false);
}

TEST(HostileSounds, OggFilesAreRefusedOrPlayToAnEnd) {
    const char* kFiles[] = {"ogg-leak-on-failed-open.ogg",  "ogg-huge-alloc-1.ogg",
                            "ogg-huge-alloc-2.ogg",         "ogg-huge-alloc-3.ogg",
                            "ogg-comment-length-hang-1.ogg", "ogg-comment-length-hang-2.ogg",
                            "ogg-float-cast-ub.ogg",        "ogg-free-uninitialised.ogg",
                            "ogg-null-deref.ogg",           "ogg-serials-lost-on-failed-open.ogg"};
    for (const char* name : kFiles) {
        SCOPED_TRACE(name);
        const std::string bytes = sound(name);
        ASSERT_FALSE(bytes.empty());
        StreamFixture source = StreamFixture::memory(bytes);
        DecoderFixture vorbis(kez::DecoderStbVorbisFactory, source);
        ASSERT_NE(vorbis.cursor, nullptr);
        playEveryWay(*vorbis.cursor);
    }
}

// The library's open loses memory when it fails on headers after the first page, so the first
// link is read first the way it reads it; the cursor is left where it was for the open.
TEST(HostileSounds, VorbisFirstLinkIsReadBeforeTheLibraryOpens) {
    if (!test::haveTool("oggenc") || !test::haveTool("sox")) GTEST_SKIP() << "vorbis-tools or sox is not installed";
    test::TempDir dir;
    const std::string wav = dir.file("src.wav"), ogg = dir.file("sound.ogg");
    ASSERT_TRUE(test::run("sox -n -r 22050 -c 1 -b 16 " + wav + " synth 0.2 sine 440"));
    ASSERT_TRUE(test::run("oggenc -Q -o " + ogg + " " + wav));
    const std::string whole = test::readFile(ogg);
    // Page 1 holds the identification header, page 2 the comment and setup headers.
    const size_t second = whole.find("OggS", 4);
    const size_t third = whole.find("OggS", second + 4);
    ASSERT_NE(third, std::string::npos);
    const struct { const char* why; std::string bytes; bool opens; int64_t length; } kCases[] = {
        {"whole", whole, true, 4410},
        {"a second link after it", whole + whole, true, 4410},
        {"headers without sound", whole.substr(0, third), true, 0},
        {"identification page only", whole.substr(0, second), false, 0},
        {"cut inside the setup header", whole.substr(0, (second + third) / 2), false, 0},
        {"a second identification page", whole.substr(0, second) + whole, false, 0},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        StreamFixture source = StreamFixture::memory(c.bytes);
        ASSERT_NE(source.cursor(), nullptr);
        kez::VorbisLayout layout;
        EXPECT_EQ(kez::ReadVorbisLayout(source.cursor(), layout), c.opens);
        EXPECT_EQ(source.cursor()->Tell(), 0);
        DecoderFixture vorbis(kez::DecoderStbVorbisFactory, source);
        EXPECT_EQ(vorbis.cursor->GetTrackParams().channels, c.opens ? 1 : 0);
        if (!c.opens) continue;
        EXPECT_EQ(layout.length, c.length);
        EXPECT_EQ(vorbis.cursor->GetTrackParams().numSamples, c.length);
        EXPECT_EQ(test::decodeAll(*vorbis.cursor).size(), size_t(c.length));
    }
}

TEST(HostileSounds, MusepackWithADamagedSeekTableRewindsWhenFresh) {
    const std::string bytes = sound("mpc-seek-crash.mpc");
    ASSERT_FALSE(bytes.empty());
    StreamFixture source = StreamFixture::memory(bytes);
    DecoderFixture musepack(kez::DecoderMPC8Factory, source);
    ASSERT_NE(musepack.cursor, nullptr);
    // A fresh cursor is at the start already; rewinding it asks nothing of the seek table.
    EXPECT_EQ(musepack.cursor->Seek(0), musepack.cursor->GetTrackParams().channels ? 0 : -1);
    playEveryWay(*musepack.cursor);
}

}  // namespace
