#include "engine/io/CMemoryWriteFile.h"
#include "tests/engine/io/ArchiveBuilders.h"

#include <gtest/gtest.h>

using namespace pravik::io;

namespace {

std::string contents(const CMemoryWriteFile& f)
{
    return f.getBuffer() ? std::string(reinterpret_cast<const char*>(f.getBuffer()), f.getBufferSize())
                         : std::string();
}

TEST(CMemoryWriteFile, OverwritesExtendsAndFillsGapsWithZeros)
{
    auto f = test::adopt(new CMemoryWriteFile());
    EXPECT_EQ(f->getBuffer(), nullptr);
    EXPECT_EQ(f->write("abc", 3), 3);
    EXPECT_TRUE(f->seek(-1, true));
    EXPECT_EQ(f->write("XY", 2), 2);
    EXPECT_EQ(contents(*f), "abXY");
    EXPECT_TRUE(f->seek(3, true));
    EXPECT_EQ(f->getPos(), 7);
    EXPECT_EQ(contents(*f), std::string("abXY\0\0\0\0", 8));
    EXPECT_TRUE(f->seek(-100, true));
    EXPECT_EQ(f->getPos(), 0);
    EXPECT_STREQ(f->getFileName(), "<memory>");
}

TEST(CMemoryWriteFile, ManyAppendsKeepEveryByte)
{
    auto f = test::adopt(new CMemoryWriteFile(4));
    std::string expected;
    for (int i = 0; i < 1000; ++i) {
        const std::string chunk = std::to_string(i) + ",";
        expected += chunk;
        ASSERT_EQ(f->write(chunk.data(), uint32_t(chunk.size())), int32_t(chunk.size()));
    }
    EXPECT_EQ(contents(*f), expected);
}

}  // namespace
