#include "engine/io/CFileList.h"
#include "tests/engine/io/ArchiveBuilders.h"

#include <gtest/gtest.h>

using namespace pravik::io;

namespace {

TEST(CFileList, FullNamesJoinThePathOnce)
{
    auto list = test::adopt(new CFileList("/data/levels"));
    list->addEntry("one.lvl", false);
    const char* first = list->getFullFileName(0);
    EXPECT_STREQ(first, "/data/levels/one.lvl");
    EXPECT_EQ(list->getFullFileName(0), first) << "built once";
    EXPECT_EQ(list->getFullFileName(1), nullptr);

    auto shortPath = test::adopt(new CFileList("/d"));
    shortPath->addEntry("x", false);
    EXPECT_STREQ(shortPath->getFullFileName(0), "/dx");
}

TEST(CFileList, DirectoriesFirstThenNamesIgnoringCase)
{
    auto list = test::adopt(new CFileList("dir"));
    list->addEntry("b", true);
    list->addEntry("A.txt", false);
    list->addEntry("a", true);
    list->sort();
    ASSERT_EQ(list->getFileCount(), 3u);
    EXPECT_STREQ(list->getFileName(0), "a");
    EXPECT_STREQ(list->getFileName(1), "b");
    EXPECT_STREQ(list->getFileName(2), "A.txt");
    EXPECT_TRUE(list->isDirectory(0));
    EXPECT_FALSE(list->isDirectory(2));
}

}  // namespace
