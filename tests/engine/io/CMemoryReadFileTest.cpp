#include "engine/io/CMemoryReadFile.h"
#include "tests/engine/io/ArchiveBuilders.h"

#include <gtest/gtest.h>

using namespace pravik::io;

namespace {

TEST(CMemoryReadFile, ReadsAndSeeksStayInsideTheBlock)
{
    auto f = test::adopt(test::memoryFile("0123456789"));
    ASSERT_TRUE(f->seek(8, false));
    char buf[8] = {};
    EXPECT_EQ(f->read(buf, 5), 2);
    EXPECT_EQ(std::string(buf, 2), "89");
    EXPECT_EQ(f->read(buf, 5), 0);
    EXPECT_TRUE(f->seek(10, false));
    EXPECT_FALSE(f->seek(11, false));
    EXPECT_EQ(f->getPos(), 10);
    // A target before the block would read memory that is not the file's.
    EXPECT_FALSE(f->seek(-1, false));
    EXPECT_FALSE(f->seek(-11, true));
    EXPECT_EQ(f->getPos(), 10);
    EXPECT_TRUE(f->seek(-10, true));
    EXPECT_EQ(f->read(buf, 3), 3);
    EXPECT_EQ(std::string(buf, 3), "012");
}

TEST(CMemoryReadFile, ClonesShareAnOwnedBlockAndOutliveTheFirstFile)
{
    IReadFile* first = test::memoryFile("abcdef", "blk");
    first->seek(2, false);
    auto kept = test::adopt(first->clone(true));
    auto fresh = test::adopt(first->clone(false));
    first->drop();
    EXPECT_EQ(kept->getPos(), 2);
    EXPECT_EQ(test::readAll(kept.get()), "cdef");
    EXPECT_EQ(test::readAll(fresh.get()), "abcdef");
    EXPECT_STREQ(fresh->getFileName(), "blk");
    EXPECT_STREQ(fresh->getFullPath(), "blk");
    int32_t pos = -1;
    EXPECT_NE(fresh->getBuffer(&pos), nullptr);
    EXPECT_EQ(pos, 6);
    EXPECT_TRUE(fresh->isAllInMemory());
}

struct AsyncResult {
    int calls = 0;
    int32_t bytes = -1, failed = -1;
};

void onRead(int32_t bytes, int32_t failed, IReadFile*, void* user)
{
    auto* r = static_cast<AsyncResult*>(user);
    ++r->calls;
    r->bytes = bytes;
    r->failed = failed;
}

TEST(CMemoryReadFile, ReadAsyncCallsBackBeforeReturning)
{
    auto f = test::adopt(test::memoryFile("abc"));
    char buf[4];
    AsyncResult r;
    EXPECT_TRUE(f->readAsync(buf, 4, 1, onRead, &r));
    EXPECT_EQ(r.calls, 1);
    EXPECT_EQ(r.bytes, 2);
    EXPECT_EQ(r.failed, 0);
    EXPECT_TRUE(f->readAsync(buf, 4, onRead, &r));
    EXPECT_EQ(r.calls, 2);
    EXPECT_EQ(r.bytes, 0);
    EXPECT_EQ(r.failed, 1);
}

}  // namespace
