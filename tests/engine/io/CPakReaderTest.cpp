#include "engine/io/CPakReader.h"
#include "tests/engine/io/ArchiveBuilders.h"

#include <gtest/gtest.h>

using namespace pravik::io;

namespace {

boost::intrusive_ptr<CPakReader> pakOver(const std::string& bytes, bool ignoreCase,
                                         bool ignorePaths)
{
    auto file = test::adopt(test::memoryFile(bytes, "a.pak"));
    return test::adopt(new CPakReader(file.get(), ignoreCase, ignorePaths));
}

std::string member(CPakReader& reader, const char* name)
{
    auto f = test::adopt(reader.openFile(name));
    return f ? test::readAll(f.get()) : "<null>";
}

TEST(CPakReader, TagsAndDirectoryLengths)
{
    const auto two = [] { return test::PakBuilder().add("a", "AAA").add("b", "BB"); };
    const struct {
        const char* why;
        std::string pak;
        int count;
    } cases[] = {
        {"PACK", two().bytes(), 2},
        {"first byte P", two().tag("Pxyz").bytes(), 2},
        {"second byte A", two().tag("xAyz").bytes(), 2},
        {"neither", two().tag("xyzw").bytes(), 0},
        {"length 130", two().dirLength(130).bytes(), 2},
        {"length 63", two().dirLength(63).bytes(), 0},
        {"directory past the end", two().dirLength(64u << 20).bytes(), 2},
        {"directory offset past the end", two().dirOffset(1u << 30).bytes(), 0},
        {"empty file", "", 0},
        {"header only", "PACK", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        auto reader = pakOver(c.pak, false, false);
        EXPECT_EQ(reader->getFileCount(), c.count);
        if (c.count == 2) {
            EXPECT_EQ(member(*reader, "a"), "AAA");
            EXPECT_EQ(member(*reader, "b"), "BB");
        }
    }
    auto none = test::adopt(new CPakReader(nullptr, true, true));
    EXPECT_EQ(none->getFileCount(), 0);
    EXPECT_EQ(none->openFile("a"), nullptr);
}

TEST(CPakReader, LookupsFoldCaseAndStripPaths)
{
    const std::string pak = test::PakBuilder()
                                .add("textures/Wall.TGA", "wall")
                                .add(std::string(56, 'n'), "long")
                                .bytes();
    const struct {
        bool ignoreCase, ignorePaths;
        const char* key;
        const char* expected;
    } cases[] = {
        {true, true, "wall.tga", "wall"},           {true, true, "WALL.TGA", "wall"},
        {true, true, "other/WALL.tga", "wall"},     {true, true, "other\\wall.tga", "wall"},
        {true, false, "textures/wall.tga", "wall"}, {true, false, "./textures/wall.tga", "<null>"},
        {true, false, "wall.tga", "<null>"},        {false, false, "textures/Wall.TGA", "wall"},
        {false, false, "textures/wall.tga", "<null>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        auto reader = pakOver(pak, c.ignoreCase, c.ignorePaths);
        EXPECT_EQ(member(*reader, c.key), c.expected);
    }
    auto reader = pakOver(pak, false, false);
    EXPECT_EQ(member(*reader, std::string(56, 'n').c_str()), "long");
    EXPECT_EQ(reader->getFileInfo(reader->findFile("textures/Wall.TGA"))->path, "textures/");
}

TEST(CPakReader, OrderIsBySignedBytes)
{
    const std::string pak =
        test::PakBuilder().add("b", "1").add("\xe9t\xe9", "2").add("a", "3").add("ab", "4").bytes();
    auto reader = pakOver(pak, false, false);
    ASSERT_EQ(reader->getFileCount(), 4);
    EXPECT_EQ(reader->getFileInfo(0)->simpleFileName, "\xe9t\xe9");
    EXPECT_EQ(reader->getFileInfo(1)->simpleFileName, "a");
    EXPECT_EQ(reader->getFileInfo(2)->simpleFileName, "ab");
    EXPECT_EQ(reader->getFileInfo(3)->simpleFileName, "b");
    EXPECT_EQ(member(*reader, "\xe9t\xe9"), "2");
}

TEST(CPakReader, InterleavedMembersAndMembersOutsideTheArchive)
{
    std::string x(5000, 'x'), y(5000, 'y');
    for (size_t i = 0; i < x.size(); ++i)
        x[i] = char('a' + i % 26), y[i] = char('A' + i % 26);
    std::string pak = test::PakBuilder().add("x", x).add("y", y).add("bad", "zz").bytes();
    // Point "bad" far past the end of the archive.
    const size_t badRecord = pak.size() - 64;
    pak.replace(badRecord + 56, 4, test::le32(1u << 30));
    auto reader = pakOver(pak, false, false);
    EXPECT_EQ(reader->openFile("bad"), nullptr);
    auto fx = test::adopt(reader->openFile("x"));
    auto fy = test::adopt(reader->openFile("y"));
    reader.reset();  // windows keep their own handle
    std::string rx, ry;
    char buf[300];
    for (int32_t n; (n = fx->read(buf, sizeof buf)) > 0;) {
        rx.append(buf, size_t(n));
        n = fy->read(buf, sizeof buf);
        ry.append(buf, size_t(n));
    }
    EXPECT_EQ(rx, x);
    EXPECT_EQ(ry, y);
}

}  // namespace
