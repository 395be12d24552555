#include "engine/io/CLimitReadFile.h"
#include "tests/engine/io/ArchiveBuilders.h"

#include <gtest/gtest.h>

using namespace pravik::io;

namespace {

std::string bytes200()
{
    std::string s;
    for (int i = 0; i < 200; ++i)
        s += char(i);
    return s;
}

TEST(CLimitReadFile, SeeksAndReadsStayInsideTheWindow)
{
    auto base = test::adopt(test::memoryFile(bytes200(), "base"));
    base->seek(100, false);
    auto w = test::adopt(createLimitReadFile("w", base.get(), 10));
    EXPECT_EQ(w->getPos(), 0);
    EXPECT_EQ(w->getSize(), 10);
    EXPECT_STREQ(w->getFullPath(), "base/w");
    EXPECT_TRUE(w->seek(20, true));
    EXPECT_EQ(w->getPos(), 10);
    EXPECT_FALSE(w->seek(11, false));
    // Before the window lie other members' bytes.
    EXPECT_FALSE(w->seek(-1, false));
    EXPECT_FALSE(w->seek(-11, true));
    EXPECT_EQ(w->getPos(), 10);
    ASSERT_TRUE(w->seek(0, false));
    char buf[50];
    EXPECT_EQ(w->read(buf, 50), 10);
    EXPECT_EQ(std::string(buf, 10), bytes200().substr(100, 10));
}

TEST(CLimitReadFile, SharedHandleIsReseekedBeforeEachRead)
{
    auto base = test::adopt(test::memoryFile(bytes200(), "base"));
    base->seek(50, false);
    auto a = test::adopt(new CLimitReadFile(base.get(), 20, "a", "a", false));
    base->seek(150, false);
    auto b = test::adopt(new CLimitReadFile(base.get(), 20, "b", "b", false));
    std::string ra, rb;
    char c;
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(a->read(&c, 1), 1);
        ra += c;
        ASSERT_EQ(b->read(&c, 1), 1);
        rb += c;
    }
    EXPECT_EQ(ra, bytes200().substr(50, 20));
    EXPECT_EQ(rb, bytes200().substr(150, 20));
}

}  // namespace
