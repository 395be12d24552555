#include "audio/StreamMemoryBuffer.h"

#include <gtest/gtest.h>

#include <cstring>

#include "audio/KezMemory.h"

namespace {

TEST(StreamMemoryBuffer, SeekTableFromTheEndCountsFromTheLastByte) {
    unsigned char bytes[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    kez::StreamMemoryBufferParams p{bytes, 10, false, false};
    kez::StreamMemoryBuffer stream(&p);
    kez::StreamCursorInterface* c = stream.CreateNewCursor();
    ASSERT_NE(c, nullptr);
    const struct { int offset, origin, result, tell; } kSeeks[] = {
        {0, 2, 0, 9}, {-1, 2, 0, 10}, {-2, 2, -1, 10}, {11, 0, -1, 10}, {10, 0, 0, 10}, {3, 5, 0, 10}, {-4, 1, 0, 6},
    };
    for (const auto& s : kSeeks) {
        SCOPED_TRACE(testing::Message() << "Seek(" << s.offset << ", " << s.origin << ")");
        EXPECT_EQ(c->Seek(s.offset, s.origin), s.result);
        EXPECT_EQ(c->Tell(), s.tell);
    }
    ASSERT_EQ(c->Seek(8, 0), 0);
    unsigned char out[5] = {};
    EXPECT_EQ(c->Read(out, 5), 2);
    EXPECT_TRUE(c->EndOfStream());
    ASSERT_EQ(c->Seek(8, 0), 0);
    unsigned char* ref = nullptr;
    EXPECT_EQ(c->ReadRef(ref, 5), 2);
    EXPECT_EQ(ref, bytes + 8);  // no copy
    stream.DestroyCursor(c);
}

TEST(StreamMemoryBuffer, OwnershipFlags) {
    const struct { bool copy, transfer, ownsBlock, copies; } kCases[] = {
        {true, false, true, true}, {true, true, true, false}, {false, false, false, false}, {false, true, true, false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(testing::Message() << "copy " << c.copy << " transfer " << c.transfer);
        auto* block = static_cast<unsigned char*>(kez::KezAlloc(4));
        std::memcpy(block, "abcd", 4);
        kez::StreamMemoryBufferParams p{block, 4, c.copy, c.transfer};
        {
            kez::StreamMemoryBuffer stream(&p);
            EXPECT_EQ(stream.OwnsData(), c.ownsBlock);
            EXPECT_EQ(stream.Data() != block, c.copies);
        }
        // A block the stream took over was freed with it (checked by the sanitizer runs).
        if (!c.transfer) kez::KezFree(block);
    }
    kez::StreamMemoryBuffer none(nullptr);
    EXPECT_EQ(none.Size(), 0);
    EXPECT_EQ(none.CreateNewCursor(), nullptr);
}

}  // namespace
