// Sound files found by fuzzing: each is refused or plays to an end, with no crash, no hang and no
// allocation beyond what the file can justify (the sanitizer build checks the last two).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/decoders/DecoderMPC8.h"
#include "audio/decoders/DecoderStbVorbis.h"
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
                            "ogg-null-deref.ogg"};
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
