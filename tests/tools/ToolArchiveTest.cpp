// quendrax-tool ls and cat over ZIP, pak and LZMA packs built in the test: the listing lines
// and member bytes exactly, and a one-line reason with a non-zero exit on failure.

#include "tests/engine/io/ArchiveBuilders.h"
#include "tests/support/TempDir.h"
#include "tests/tools/ToolRun.h"

#include <gtest/gtest.h>

namespace {

const std::string kBinary("\x00\x01zip\xff\n", 7);

}  // namespace

TEST(ToolArchive, ListsAndCatsEveryKindOfArchive)
{
    test::TempDir dir;
    const struct {
        const char* kind;
        std::string bytes, listing, member, content;
    } cases[] = {
        {"zip",
         test::ZipBuilder().add("Data/Level1.TXT", "level one").add("b.bin", kBinary, true).bytes(),
         "b.bin\t7\ndata/level1.txt\t9\n", "DATA/level1.txt", "level one"},
        {"zip deflated member", test::ZipBuilder().add("b.bin", kBinary, true).bytes(), "b.bin\t7\n",
         "b.bin", kBinary},
        {"GBMP zip", test::ZipBuilder().signature(0x504D4247).add("x.dat", "gbmp").bytes(),
         "x.dat\t4\n", "x.dat", "gbmp"},
        {"pak", test::PakBuilder().add("maps/E1.bsp", "bsp!").add("a.txt", "A").bytes(),
         "a.txt\t1\nmaps/e1.bsp\t4\n", "maps/e1.BSP", "bsp!"},
        {"lzma pack", test::LzmaPackBuilder().add("A/B.TXT", "member b").bytes(), "#4c31306d\t8\n",
         "a/b.txt", "member b"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        const std::string archive = dir.write("archive.bin", c.bytes);
        const auto ls = test::runTool("ls " + test::quoted(archive));
        EXPECT_EQ(ls.status, 0) << ls.err;
        EXPECT_EQ(ls.out, c.listing);
        EXPECT_EQ(ls.err, "");
        const auto cat = test::runTool("cat " + test::quoted(archive) + " " + test::quoted(c.member));
        EXPECT_EQ(cat.status, 0) << cat.err;
        EXPECT_EQ(cat.out, c.content);
    }
}

TEST(ToolArchive, FailuresExitNonZeroWithOneLine)
{
    test::TempDir dir;
    const std::string zip = dir.write("a.zip", test::ZipBuilder().add("a.txt", "a").bytes());
    const std::string missing = dir.file("missing.zip");
    const struct {
        std::string args, err;
    } cases[] = {
        {"ls " + missing, "ls: " + missing + ": cannot open the archive\n"},
        {"ls " + dir.write("empty.zip", test::ZipBuilder().bytes()), "ls: " + dir.file("empty.zip") + ": no members\n"},
        {"ls", "ls: usage: ls ARCHIVE\n"},
        {"cat " + missing + " a.txt", "cat: " + missing + ": cannot open the archive\n"},
        {"cat " + zip + " b.txt", "cat: no member b.txt in " + zip + "\n"},
        // the disk does not answer for the archive
        {"cat " + zip + " " + zip, "cat: no member " + zip + " in " + zip + "\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const auto r = test::runTool(c.args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, c.err);
    }
}
