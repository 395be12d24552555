#include "engine/io/CFileSystem.h"
#include "engine/io/IFileList.h"
#include "tests/engine/io/ArchiveBuilders.h"
#include "tests/support/TempDir.h"

#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>

using namespace pravik::io;

namespace {

// A file system over a temporary data folder; the process directory and the process-wide
// name map are put back afterwards.
class CFileSystemTest : public ::testing::Test {
protected:
    CFileSystemTest() : m_cwd(std::filesystem::current_path()), fs(new CFileSystem()) {}
    ~CFileSystemTest() override
    {
        std::filesystem::current_path(m_cwd);
        CFileSystem::ObfuscationMap.clear();
    }

    std::string open(const std::string& name)
    {
        auto f = test::adopt(fs->createAndOpenFile(name.c_str()));
        return f ? test::readAll(f.get()) : "<null>";
    }

    std::filesystem::path m_cwd;
    test::TempDir dir;
    boost::intrusive_ptr<CFileSystem> fs;
};

TEST_F(CFileSystemTest, FirstMountedOfTheFirstKindWins)
{
    const std::string lzma = dir.write("a.pack", test::LzmaPackBuilder().add("x.txt", "lzma").bytes());
    const std::string zip1 = dir.write("1.zip", test::ZipBuilder().add("x.txt", "zip1", true).bytes());
    const std::string zip2 =
        dir.write("2.zip", test::ZipBuilder().add("x.txt", "zip2").add("y.txt", "zip2y").bytes());
    const std::string pak = dir.write("a.pak", test::PakBuilder().add("x.txt", "pak").add("y.txt", "paky").bytes());
    dir.write("folder/x.txt", "folder");
    dir.write("folder/z.txt", "folderz");

    // Mounted in the reverse of the search order, to show order comes from the kind.
    ASSERT_TRUE(fs->addFolderFileArchive(dir.file("folder").c_str(), true, false));
    ASSERT_TRUE(fs->addPakFileArchive(pak.c_str(), false, false));
    ASSERT_TRUE(fs->addZipFileArchive(zip1.c_str(), true, false, 1));
    ASSERT_TRUE(fs->addZipFileArchive(zip2.c_str(), true, false, 1));
    ASSERT_TRUE(fs->addZipLZMAFileArchive(lzma.c_str(), false, false, 0));
    EXPECT_FALSE(fs->addZipFileArchive(dir.file("missing.zip").c_str(), true, false, 1));

    EXPECT_EQ(open("x.txt"), "lzma");
    EXPECT_EQ(open("y.txt"), "zip2y");
    EXPECT_EQ(open("z.txt"), "folderz");
    EXPECT_TRUE(fs->removeFileArchive(lzma.c_str()));
    EXPECT_EQ(open("x.txt"), "zip1");
    EXPECT_TRUE(fs->removeFileArchive(zip1.c_str()));
    EXPECT_EQ(open("x.txt"), "zip2");
    EXPECT_TRUE(fs->removeFileArchive(zip2.c_str()));
    EXPECT_EQ(open("x.txt"), "pak");
    EXPECT_TRUE(fs->removeFileArchive(pak.c_str()));
    EXPECT_EQ(open("x.txt"), "folder");
    EXPECT_FALSE(fs->removeFileArchive(pak.c_str()));

    // Last, the disk relative to the process directory.
    dir.write("x.txt", "disk");
    std::filesystem::current_path(dir.path());
    fs->clear();
    EXPECT_EQ(open("x.txt"), "disk");
    EXPECT_EQ(open("folder"), "<null>") << "a directory is not a file";
}

TEST_F(CFileSystemTest, ExistFileAsksEveryKindAndThenTheDisk)
{
    fs->addZipLZMAFileArchive(dir.write("a.pack", test::LzmaPackBuilder().add("Packed/L.txt", "l").bytes()).c_str(),
                              false, false, 0);
    fs->addZipFileArchive(dir.write("a.zip", test::ZipBuilder().add("z.txt", "z").bytes()).c_str(), true,
                          true, 0);
    fs->addPakFileArchive(dir.write("a.pak", test::PakBuilder().add("p.txt", "p").bytes()).c_str(), false,
                          false);
    fs->addFolderFileArchive(dir.file("f").c_str(), false, false);
    dir.write("f/f.txt", "f");
    dir.write("disk.txt", "d");
    const struct {
        std::string name;
        bool exists;
    } cases[] = {{"z.txt", true},          {"deep/Z.TXT", true},  {"packed/l.txt", true},
                 {"p.txt", true},          {"f.txt", true},       {dir.file("disk.txt"), true},
                 {"nothing.txt", false},   {dir.path().string(), false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(fs->existFile(c.name.c_str()), c.exists);
        EXPECT_EQ(fs->existFile(pravik::core::stringc(c.name.c_str())), c.exists);
        auto f = test::adopt(fs->createAndOpenFile(c.name.c_str()));
        EXPECT_EQ(bool(f), c.exists) << "opening agrees with existence";
    }
}

TEST_F(CFileSystemTest, NestedPathsOpenMembersOfArchivesInsideFolders)
{
    const std::string inner = test::ZipBuilder().add("deep/Leaf.PNG", "leaf bytes", true).bytes();
    dir.write("a/b.zip", test::ZipBuilder().add("dir/X.TXT", "nested x").add("in/inner.zip", inner).bytes());
    dir.write("a/plain.zip", "not an archive at all");
    dir.write("a/g.zip", test::ZipBuilder().signature(0x504D4247).add("x.txt", "g").bytes());
    const std::string base = dir.path().string();
    EXPECT_EQ(open(base + "/a/b.zip/x.txt"), "nested x");
    EXPECT_EQ(open(base + "/a/b.zip/X.TXT"), "nested x");
    EXPECT_EQ(open(base + "/a/b.zip/inner.zip/leaf.png"), "leaf bytes");
    EXPECT_EQ(open(base + "/a/b.zip/dir/x.txt"), "<null>") << "a directory component matches nothing";
    EXPECT_EQ(open(base + "/a/b.zip/missing.txt"), "<null>");
    EXPECT_EQ(open(base + "/a/plain.zip/x.txt"), "<null>");
    EXPECT_EQ(open(base + "/a/g.zip/x.txt"), "<null>") << "the nested walk tests the signature";
    EXPECT_EQ(open(base + "/a/b.zip/x.txt/more"), "<null>");

    // Through a mounted folder the prefix is found by the folder archive.
    ASSERT_TRUE(fs->addFolderFileArchive(base.c_str(), true, false));
    EXPECT_EQ(open("a/b.zip/x.txt"), "nested x");
    EXPECT_EQ(open("nofolder"), "<null>");
}

TEST_F(CFileSystemTest, FoldersMountOnceByTheirStoredPath)
{
    EXPECT_TRUE(fs->addFolderFileArchive("EffectLibrary", true, true));
    EXPECT_TRUE(fs->addFolderFileArchive("EffectLibrary", true, true));
    EXPECT_TRUE(fs->addFolderFileArchive("Other/", true, true));
    EXPECT_FALSE(fs->addFolderFileArchive("Other/", true, true));
    EXPECT_TRUE(fs->removeFileArchive("Other/"));
    EXPECT_TRUE(fs->addFolderFileArchive("Other/", true, true));
}

TEST_F(CFileSystemTest, PathOperations)
{
    const struct {
        const char* path;
        const char* dir;
        const char* base;
        const char* baseWithExt;
    } cases[] = {
        {"a/b\\c.txt", "a/b", "c", "c.txt"},
        {"c.txt", ".", "c", "c.txt"},
        {"/c.txt", "", "c", "c.txt"},
        {"dir/name.tar.gz", "dir", "name.tar", "name.tar.gz"},
        {"dir.old/name", "dir.old", "name", "name"},
        {".hidden", ".", "", ".hidden"},
        {"", ".", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(fs->getFileDir(c.path), c.dir);
        EXPECT_EQ(fs->getFileBasename(c.path, false), c.base);
        EXPECT_EQ(fs->getFileBasename(c.path, true), c.baseWithExt);
    }
    EXPECT_EQ(fs->getAbsolutePath("/x"), "/x");
    const std::string d = dir.path().string();
    ASSERT_TRUE(fs->changeWorkingDirectoryTo(d.c_str()));
    EXPECT_EQ(std::string(fs->getAbsolutePath("x").c_str()), d + "/x");
    ASSERT_TRUE(fs->changeWorkingDirectoryTo((d + "/").c_str()));
    EXPECT_EQ(std::string(fs->getAbsolutePath("x").c_str()), d + "/x");
}

TEST_F(CFileSystemTest, WorkingDirectoryKeepsTheLastGoodChange)
{
    const std::string d = dir.path().string();
    EXPECT_STREQ(fs->getWorkingDirectory(), "");
    ASSERT_TRUE(fs->changeWorkingDirectoryTo(d.c_str()));
    EXPECT_EQ(std::filesystem::current_path(), dir.path());
    EXPECT_FALSE(fs->changeWorkingDirectoryTo((d + "/missing").c_str()));
    EXPECT_EQ(fs->getWorkingDirectory(), d);
    const std::string tooLong = "/" + std::string(1100, 'x');
    EXPECT_FALSE(fs->changeWorkingDirectoryTo(tooLong.c_str()));
    EXPECT_EQ(fs->getWorkingDirectory(), d);
}

std::string scrambled(std::string text, unsigned char key)
{
    CFileSystem::scramble(reinterpret_cast<unsigned char*>(text.data()), text.size(), key);
    return text;
}

TEST_F(CFileSystemTest, NameMapFileRedirectsListedNames)
{
    const std::string plain = std::string("a.dat:textures/x.png\nb.dat:y.png") + CFileSystem::ObfuscationMarker;
    std::string roundTrip = scrambled(plain, 77);
    EXPECT_NE(roundTrip, plain);
    CFileSystem::unscramble(reinterpret_cast<unsigned char*>(roundTrip.data()), roundTrip.size(), 77);
    EXPECT_EQ(roundTrip, plain);

    const std::string map = dir.write("names.map", scrambled(plain, 77));
    EXPECT_FALSE(fs->addObfuscationFileMap(map.c_str(), 78, "packs/")) << "wrong key";
    EXPECT_TRUE(CFileSystem::ObfuscationMap.empty());
    EXPECT_FALSE(fs->addObfuscationFileMap(map.c_str(), 0, "packs/"));
    EXPECT_FALSE(fs->addObfuscationFileMap(dir.file("missing.map").c_str(), 77, "packs/"));
    EXPECT_FALSE(fs->addObfuscationFileMap(dir.write("short.map", "abc").c_str(), 77, "packs/"));
    ASSERT_TRUE(fs->addObfuscationFileMap(map.c_str(), 77, "packs/"));
    ASSERT_EQ(CFileSystem::ObfuscationMap.size(), 2u);
    EXPECT_EQ(CFileSystem::ObfuscationMap["textures/x.png"], "packs/a.dat");
    EXPECT_EQ(CFileSystem::ObfuscationMap["y.png"], "packs/b.dat");

    // A listed file is read from its disk name with its header restored.
    std::filesystem::current_path(dir.path());
    dir.write("packs/b.dat", "\x02\x03\x04\x05zz");
    EXPECT_EQ(open("y.png"), "\x01\x01\x01\x01zz");
}

TEST_F(CFileSystemTest, PoolHandlesAreReleasedByArchiveName)
{
    const std::string zip = dir.write(
        "p.zip", test::ZipBuilder().add("a", "1").add("b", "2").add("c", "3").bytes());
    ASSERT_TRUE(fs->addZipFileArchive(zip.c_str(), false, false, 1));
    auto a = test::adopt(fs->createAndOpenFile("a"));
    auto b = test::adopt(fs->createAndOpenFile("b"));
    auto c = test::adopt(fs->createAndOpenFile("c"));
    EXPECT_STREQ(a->getFullPath(), "a") << "a mounted archive names windows by member";
    c.reset();
    EXPECT_EQ(fs->releaseUnusedPoolHandles("other.zip"), 0);
    EXPECT_EQ(fs->releaseUnusedPoolHandles(zip.c_str()), 1);
    EXPECT_EQ(fs->releaseUnusedPoolHandles(), 0);
    EXPECT_EQ(test::readAll(a.get()) + test::readAll(b.get()), "12");
}

TEST_F(CFileSystemTest, MemoryFilesAndFileLists)
{
    EXPECT_EQ(fs->createMemoryReadFile(nullptr, 4, "n", false), nullptr);
    char block[] = "abcd";
    auto m = test::adopt(fs->createMemoryReadFile(block, 4, "m", false));
    EXPECT_EQ(test::readAll(m.get()), "abcd");
    auto list = test::adopt(fs->createFileList());
    EXPECT_EQ(list->getFileCount(), 0u);
    EXPECT_EQ(list->getFileName(0), nullptr);
    EXPECT_EQ(list->getFullFileName(0), nullptr);
    EXPECT_FALSE(list->isDirectory(0));
    auto w = test::adopt(fs->createAndWriteFile(dir.file("out.txt").c_str(), false));
    ASSERT_TRUE(w);
    w->write("out", 3);
    w.reset();
    EXPECT_EQ(test::readFile(dir.file("out.txt")), "out");
}

}  // namespace
