#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "audio/decoders/DecoderRaw.h"
#include "tests/audio/decoders/DecoderTestSupport.h"
#include "tests/support/TempDir.h"

namespace {

using test::DecoderFixture;
using test::StreamFixture;

// 16-bit stereo, 8 frames: bytes 0..31.
std::string eightFrames() {
    std::string bytes(32, '\0');
    for (int i = 0; i < 32; ++i) bytes[size_t(i)] = char(i);
    return bytes;
}

kez::TrackParams stereo16(int frames) { return {2, 32000, 16, frames}; }

TEST(DecoderRaw, ReportsItsParametersAndType) {
    StreamFixture source = StreamFixture::memory(eightFrames());
    kez::TrackParams params = stereo16(8);
    DecoderFixture raw(kez::DecoderRawFactory, source, &params);
    ASSERT_NE(raw.cursor, nullptr);
    EXPECT_EQ(raw.decoder->GetType(), 0);
    const auto* own = static_cast<kez::TrackParams*>(raw.decoder->GetParam());
    EXPECT_EQ(own->numSamples, 8);
    EXPECT_EQ(raw.cursor->GetTrackParams().channels, 2);
    EXPECT_EQ(raw.cursor->GetTrackParams().numSamples, 8);

    DecoderFixture none(kez::DecoderRawFactory, source, nullptr);
    EXPECT_EQ(none.cursor->GetTrackParams().channels, 0);
    EXPECT_EQ(none.cursor->GetTrackParams().numSamples, 0);
}

TEST(DecoderRaw, MemoryStreamLendsItsBytesAndFileStreamCopies) {
    const std::string bytes = eightFrames();
    StreamFixture memory = StreamFixture::memory(bytes);
    kez::TrackParams params = stereo16(8);
    DecoderFixture raw(kez::DecoderRawFactory, memory, &params);
    ASSERT_TRUE(raw.cursor->AllowBufferReference());
    char mine[32] = {};
    void* where = mine;
    ASSERT_EQ(raw.cursor->DecodeRef(where, 12), 12);
    EXPECT_NE(where, static_cast<void*>(mine));
    EXPECT_EQ(std::memcmp(where, bytes.data(), 12), 0);

    test::TempDir dir;
    StreamFixture file = StreamFixture::file(dir.write("a.raw", bytes));
    DecoderFixture fromFile(kez::DecoderRawFactory, file, &params);
    EXPECT_FALSE(fromFile.cursor->AllowBufferReference());
    where = mine;
    ASSERT_EQ(fromFile.cursor->DecodeRef(where, 12), 12);
    EXPECT_EQ(where, static_cast<void*>(mine));
    EXPECT_EQ(std::memcmp(mine, bytes.data(), 12), 0);
}

TEST(DecoderRaw, LoopingCursorWrapsInsideOneCall) {
    const std::string bytes = eightFrames();
    StreamFixture source = StreamFixture::memory(bytes);
    kez::TrackParams params = stereo16(8);
    DecoderFixture raw(kez::DecoderRawFactory, source, &params);
    raw.cursor->SetLoop(true);
    ASSERT_EQ(raw.cursor->Seek(6), 0);  // 2 frames before the end
    char out[24];
    ASSERT_EQ(raw.cursor->Decode(out, 24), 24);
    EXPECT_EQ(std::string(out, 8), bytes.substr(24, 8));
    EXPECT_EQ(std::string(out + 8, 16), bytes.substr(0, 16));
    EXPECT_TRUE(raw.cursor->HasData());
}

TEST(DecoderRaw, SeekAcceptsTheEndAndRefusesBeyondIt) {
    StreamFixture source = StreamFixture::memory(eightFrames());
    kez::TrackParams params = stereo16(8);
    DecoderFixture raw(kez::DecoderRawFactory, source, &params);
    ASSERT_EQ(raw.cursor->Seek(2), 0);
    EXPECT_EQ(raw.cursor->Seek(9), -1);
    EXPECT_EQ(source.cursor()->Tell(), 8);  // not moved
    EXPECT_EQ(raw.cursor->Seek(8), 0);
    EXPECT_FALSE(raw.cursor->HasData());
    char out[4];
    EXPECT_EQ(raw.cursor->Decode(out, 4), 0);
}

}  // namespace
