// One contract for every read file: size, reads split at odd sizes, seeks, reads at the end,
// clones. Run on a disk file, a memory file, a window, ZIP members (stored, pooled, deflated),
// a pak member and an LZMA member.

#include "engine/io/CLimitReadFile.h"
#include "engine/io/CPakReader.h"
#include "engine/io/CReadFile.h"
#include "engine/io/CZipLZMAReader.h"
#include "engine/io/CZipReader.h"
#include "tests/engine/io/ArchiveBuilders.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

using namespace pravik::io;

namespace {

const std::string kText = [] {
    std::string s;
    for (int i = 0; i < 5000; ++i)
        s += char('a' + (i * 7) % 26);
    return s;
}();

void expectReadsBack(IReadFile* file, const std::string& text)
{
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->getSize(), int32_t(text.size()));
    EXPECT_EQ(file->getPos(), 0);
    EXPECT_EQ(test::readAll(file), text);
    char byte = 'X';
    EXPECT_EQ(file->read(&byte, 1), 0);
    EXPECT_EQ(file->getPos(), int32_t(text.size()));

    ASSERT_TRUE(file->seek(17, false));
    std::string part(100, '\0');
    EXPECT_EQ(file->read(part.data(), 100), 100);
    EXPECT_EQ(part, text.substr(17, 100));
    ASSERT_TRUE(file->seek(-50, true));
    EXPECT_EQ(file->getPos(), 67);
    EXPECT_TRUE(file->seek(int32_t(text.size()), false));
    EXPECT_FALSE(file->seek(int32_t(text.size()) + 1, false)) << "seek past the end";

    ASSERT_TRUE(file->seek(1000, false));
    auto same = test::adopt(file->clone(true));
    auto fresh = test::adopt(file->clone(false));
    ASSERT_TRUE(same && fresh);
    EXPECT_EQ(same->getPos(), 1000);
    EXPECT_EQ(fresh->getPos(), 0);
    EXPECT_EQ(test::readAll(same.get()), text.substr(1000));
    EXPECT_EQ(test::readAll(fresh.get()), text);
    EXPECT_EQ(file->getPos(), 1000) << "a clone has a position of its own";
}

TEST(ReadFileContract, Disk)
{
    test::TempDir dir;
    auto f = test::adopt(createReadFile(dir.write("a.txt", kText).c_str()));
    // A disk file may seek past its end (stdio allows it); the rest of the contract holds.
    ASSERT_TRUE(f);
    EXPECT_EQ(test::readAll(f.get()), kText);
    EXPECT_EQ(f->getSize(), int32_t(kText.size()));
    ASSERT_TRUE(f->seek(1000, false));
    auto c = test::adopt(f->clone(true));
    EXPECT_EQ(test::readAll(c.get()), kText.substr(1000));
}

TEST(ReadFileContract, Memory)
{
    auto f = test::adopt(test::memoryFile(kText));
    expectReadsBack(f.get(), kText);
}

TEST(ReadFileContract, Window)
{
    auto base = test::adopt(test::memoryFile("head" + kText + "tail"));
    base->seek(4, false);
    auto w = test::adopt(createLimitReadFile("w", base.get(), int32_t(kText.size())));
    expectReadsBack(w.get(), kText);
}

TEST(ReadFileContract, ZipMembers)
{
    const std::string zip =
        test::ZipBuilder().add("s.txt", kText).add("d.txt", kText, true).bytes();
    for (uint32_t pool : {0u, 1u}) {
        SCOPED_TRACE(pool);
        auto archive = test::adopt(test::memoryFile(zip, "a.zip"));
        auto reader = test::adopt(new CZipReader(archive.get(), false, false, pool));
        for (const char* name : {"s.txt", "d.txt"}) {
            SCOPED_TRACE(name);
            auto member = test::adopt(reader->openFile(name));
            expectReadsBack(member.get(), kText);
        }
    }
}

TEST(ReadFileContract, PakMember)
{
    auto archive = test::adopt(test::memoryFile(test::PakBuilder().add("x", "pre").add("a", kText).bytes()));
    auto reader = test::adopt(new CPakReader(archive.get(), false, false));
    auto member = test::adopt(reader->openFile("a"));
    expectReadsBack(member.get(), kText);
}

TEST(ReadFileContract, LzmaMember)
{
    auto archive = test::adopt(test::memoryFile(test::LzmaPackBuilder().add("a.txt", kText).bytes()));
    auto reader = test::adopt(new CZipLZMAReader(archive.get(), false, false, 0));
    auto member = test::adopt(reader->openFile("a.txt"));
    expectReadsBack(member.get(), kText);
}

}  // namespace
