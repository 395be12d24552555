#include "engine/io/CFileSystem.h"
#include "engine/io/CReadFile.h"
#include "engine/io/CWriteFile.h"
#include "tests/engine/io/ArchiveBuilders.h"
#include "tests/support/TempDir.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace pravik::io;

namespace {

// Redirects names through the process-wide name map for one test, then empties it again.
struct NameMapScope {
    NameMapScope(const char* workingDirectory)
    {
        std::strcpy(CFileSystem::WorkingDirectory, workingDirectory);
    }
    ~NameMapScope()
    {
        CFileSystem::ObfuscationMap.clear();
        std::memset(CFileSystem::WorkingDirectory, 0, sizeof CFileSystem::WorkingDirectory);
    }
};

TEST(CReadFile, NameMapRedirectsSpellingsOfTheKey)
{
    test::TempDir dir;
    const std::string target = dir.write("scrambled.dat", "\x02\x03\x04\x05\x06");
    for (const char* wd : {"/data/", "/data"}) {
        NameMapScope scope(wd);
        CFileSystem::ObfuscationMap["tex/a.png"] = target.c_str();
        const struct {
            const char* name;
            bool redirected;
        } cases[] = {{"./tex/a.png", true},   {"/data/tex/a.png", true}, {"tex\\a.png", true},
                     {".\\tex\\a.png", true}, {"Tex/a.png", false},      {"tex/a.pn", false}};
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(wd) + " " + c.name);
            auto f = test::adopt(createReadFile(c.name));
            EXPECT_EQ(bool(f), c.redirected);
        }
    }
}

TEST(CReadFile, RedirectedFileRestoresItsHeaderHoweverReadsAreSplit)
{
    test::TempDir dir;
    NameMapScope scope("/nowhere/");
    const std::string target = dir.write("s.dat", "\x02\x03\x04\x05\x06");
    CFileSystem::ObfuscationMap["a.bin"] = target.c_str();
    const std::string expected("\x01\x01\x01\x01\x06", 5);

    auto whole = test::adopt(createReadFile("a.bin"));
    ASSERT_TRUE(whole);
    EXPECT_EQ(test::readAll(whole.get()), expected);
    EXPECT_STREQ(whole->getFileName(), "a.bin");
    EXPECT_EQ(whole->getFullPath(), target);

    auto bytewise = test::adopt(createReadFile("a.bin"));
    std::string got;
    char c;
    while (bytewise->read(&c, 1) == 1)
        got += c;
    EXPECT_EQ(got, expected);

    auto fromTwo = test::adopt(createReadFile("a.bin"));
    fromTwo->seek(2, false);
    EXPECT_EQ(test::readAll(fromTwo.get()), expected.substr(2));

    auto clone = test::adopt(whole->clone(false));
    EXPECT_EQ(test::readAll(clone.get()), expected);
    EXPECT_EQ(clone->getFullPath(), target);

    // Below four bytes there is no header to restore.
    const std::string shortTarget = dir.write("short.dat", "\x02\x03\x04");
    CFileSystem::ObfuscationMap["b.bin"] = shortTarget.c_str();
    auto shortFile = test::adopt(createReadFile("b.bin"));
    EXPECT_EQ(test::readAll(shortFile.get()), "\x02\x03\x04");
}

TEST(CReadFile, WithAnEmptyMapNamesReachTheDiskUnchanged)
{
    test::TempDir dir;
    dir.write("x.txt", "x");
    EXPECT_TRUE(test::adopt(createReadFile(dir.file("x.txt").c_str())));
    EXPECT_FALSE(test::adopt(createReadFile((dir.path().string() + "\\x.txt").c_str())));
    EXPECT_FALSE(test::adopt(createReadFile(dir.file("missing").c_str())));
    EXPECT_FALSE(test::adopt(createReadFile("")));
}

TEST(CReadFile, DirectoriesAreNotFiles)
{
    test::TempDir dir;
    EXPECT_EQ(createReadFile(dir.path().c_str()), nullptr);
}

TEST(CWriteFile, TruncatesOrAppendsAndStartsAtZero)
{
    test::TempDir dir;
    const std::string path = dir.write("w.txt", "old contents");
    {
        auto w = test::adopt(createWriteFile(path.c_str(), false));
        ASSERT_TRUE(w);
        EXPECT_EQ(w->getPos(), 0);
        EXPECT_EQ(w->write("new", 3), 3);
    }
    EXPECT_EQ(test::readFile(path), "new");
    {
        auto w = test::adopt(createWriteFile(path.c_str(), true));
        ASSERT_TRUE(w);
        EXPECT_EQ(w->getPos(), 0);
        EXPECT_EQ(w->write("er", 2), 2);
        w->flush();
    }
    EXPECT_EQ(test::readFile(path), "newer");
    EXPECT_EQ(createWriteFile(dir.file("no/such/dir/f").c_str(), false), nullptr);
}

}  // namespace
