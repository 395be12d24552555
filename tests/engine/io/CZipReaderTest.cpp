#include "engine/io/CFileSystem.h"
#include "engine/io/CUnZipReader.h"
#include "engine/io/CZipReader.h"
#include "tests/engine/io/ArchiveBuilders.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <random>

using namespace pravik::io;

namespace {

std::string randomBytes(size_t n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::string s(n, '\0');
    for (char& c : s)
        c = char(rng());
    return s;
}

std::string textBytes(size_t n)
{
    std::string s;
    while (s.size() < n)
        s += "the quick brown fox " + std::to_string(s.size()) + "\n";
    s.resize(n);
    return s;
}

boost::intrusive_ptr<CZipReader> readerOver(const std::string& zip, bool ignoreCase,
                                            bool ignorePaths, uint32_t pool = 0)
{
    auto file = test::adopt(test::memoryFile(zip, "archive.zip"));
    return test::adopt(new CZipReader(file.get(), ignoreCase, ignorePaths, pool));
}

std::string member(CZipReader& reader, const char* name)
{
    auto f = test::adopt(reader.openFile(name));
    return f ? test::readAll(f.get()) : "<null>";
}

TEST(CZipReader, StoredAndDeflatedMembersReadBackByteExact)
{
    const std::string bin = randomBytes(70000, 1), text = textBytes(200000);
    const std::string zip = test::ZipBuilder()
                                .add("Dir/Stored.bin", bin)
                                .add("Dir/Deflated.txt", text, true)
                                .add("empty.txt", "", true)
                                .add("zero.txt", "")
                                .bytes();
    auto reader = readerOver(zip, true, false);
    EXPECT_EQ(reader->getFileCount(), 4);
    EXPECT_EQ(member(*reader, "dir/stored.bin"), bin);
    EXPECT_EQ(member(*reader, "dir/deflated.txt"), text);
    EXPECT_EQ(member(*reader, "empty.txt"), "");
    EXPECT_EQ(member(*reader, "zero.txt"), "");

    // A deflated member is named by its stored name, a stored one by its lookup name.
    auto deflated = test::adopt(reader->openFile("dir/deflated.txt"));
    EXPECT_STREQ(deflated->getFileName(), "dir/deflated.txt");
    EXPECT_TRUE(deflated->isAllInMemory());
    auto stripped = readerOver(zip, true, true);
    auto stored = test::adopt(stripped->openFile("stored.bin"));
    EXPECT_STREQ(stored->getFileName(), "stored.bin");
    EXPECT_STREQ(stored->getFullPath(), "archive.zip/stored.bin");
}

TEST(CZipReader, GbmpSignatureIsScannedButNotValid)
{
    const std::string zip = test::ZipBuilder().signature(0x504D4247).add("a.txt", "gbmp!").bytes();
    ASSERT_EQ(zip.substr(0, 4), "GBMP");
    auto reader = readerOver(zip, false, false);
    EXPECT_EQ(member(*reader, "a.txt"), "gbmp!");
    auto file = test::adopt(test::memoryFile(zip));
    EXPECT_FALSE(CZipReader::isValid(file.get()));
    auto plain = test::adopt(test::memoryFile(test::ZipBuilder().add("a", "b").bytes()));
    plain->seek(3, false);
    EXPECT_TRUE(CZipReader::isValid(plain.get()));
    EXPECT_EQ(plain->getPos(), 3) << "isValid puts the position back";
}

TEST(CZipReader, LookupsFoldCaseAndStripPaths)
{
    const std::string zip = test::ZipBuilder()
                                .add("Data/Tex.PNG", "tex")
                                .add("a\\b.txt", "backslash")
                                .add("twice", "first")
                                .add("twice", "second")
                                .add("", "noname")
                                .bytes();
    const struct {
        bool ignoreCase, ignorePaths;
        const char* key;
        const char* expected;
    } cases[] = {
        {true, false, "data/tex.png", "tex"},   {true, false, "./Data/TEX.png", "tex"},
        {true, false, "DATA/TEX.PNG", "tex"},   {true, false, "tex.png", "<null>"},
        {true, true, "tex.png", "tex"},         {true, true, "x/TEX.png", "tex"},
        {true, true, "x\\tex.png", "tex"},      {false, false, "Data/Tex.PNG", "tex"},
        {false, false, "data/tex.png", "<null>"}, {false, false, "Data/Tex.PNG2", "<null>"},
        // The scan splits at '/' only, keys at both separators.
        {true, false, "a\\b.txt", "backslash"}, {true, true, "a\\b.txt", "<null>"},
        {true, true, "b.txt", "<null>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + (c.ignoreCase ? " fold" : "") +
                     (c.ignorePaths ? " strip" : ""));
        auto reader = readerOver(zip, c.ignoreCase, c.ignorePaths);
        EXPECT_EQ(member(*reader, c.key), c.expected);
    }
    auto reader = readerOver(zip, false, false);
    const std::string dup = member(*reader, "twice");
    EXPECT_TRUE(dup == "first" || dup == "second");
    for (int i = 1; i < reader->getFileCount(); ++i)
        EXPECT_FALSE(reader->getFileInfo(i)->simpleFileName <
                     reader->getFileInfo(i - 1)->simpleFileName);
    EXPECT_EQ(reader->getFileInfo(0)->simpleFileName, "") << "the empty name sorts first";
    EXPECT_EQ(reader->getFileInfo(reader->findFile("Data/Tex.PNG"))->path, "Data/");
}

TEST(CZipReader, PooledHandlesAreReusedAndReleased)
{
    test::TempDir dir;
    const std::string zip =
        test::ZipBuilder().add("a", textBytes(9000)).add("b", randomBytes(9000, 2)).add("c", "ccc").bytes();
    auto reader = test::adopt(new CZipReader(dir.write("p.zip", zip).c_str(), false, false, 1));
    {
        auto a = test::adopt(reader->openFile("a"));
        auto b = test::adopt(reader->openFile("b"));
        auto c = test::adopt(reader->openFile("c"));
        ASSERT_TRUE(a && b && c);
    }
    auto d = test::adopt(reader->openFile("a"));
    EXPECT_EQ(reader->releaseUnusedPoolHandles(), 0) << "one window open: spares are kept";
    auto e = test::adopt(reader->openFile("b"));
    EXPECT_EQ(reader->releaseUnusedPoolHandles(), 1);
    EXPECT_EQ(reader->releaseUnusedPoolHandles(), 0);
    EXPECT_EQ(test::readAll(d.get()), textBytes(9000));
    EXPECT_EQ(test::readAll(e.get()), randomBytes(9000, 2));
}

TEST(CZipReader, InterleavedPooledWindowsEachReadTheirOwnBytes)
{
    const std::string a = textBytes(30000), b = randomBytes(30000, 3), c = randomBytes(30000, 4);
    const std::string zip = test::ZipBuilder().add("a", a).add("b", b).add("c", c).bytes();
    test::TempDir dir;
    for (uint32_t pool : {0u, 1u, 4u}) {
        SCOPED_TRACE(pool);
        auto reader =
            test::adopt(new CZipReader(dir.write("i.zip", zip).c_str(), false, false, pool));
        // Windows close in an order that reshuffles the pool between opens.
        auto fa = test::adopt(reader->openFile("a"));
        auto fb = test::adopt(reader->openFile("b"));
        auto fc = test::adopt(reader->openFile("c"));
        fa.reset();
        reader->releaseUnusedPoolHandles();
        fa = test::adopt(reader->openFile("a"));
        std::string ra, rb, rc;
        char buf[1000];
        for (int i = 0; i < 30; ++i) {
            ASSERT_EQ(fc->read(buf, 1000), 1000);
            rc.append(buf, 1000);
            ASSERT_EQ(fa->read(buf, 1000), 1000);
            ra.append(buf, 1000);
            ASSERT_EQ(fb->read(buf, 1000), 1000);
            rb.append(buf, 1000);
        }
        EXPECT_EQ(ra, a);
        EXPECT_EQ(rb, b);
        EXPECT_EQ(rc, c);
        // The reader may go first: open windows keep it alive.
        reader.reset();
        fb.reset();
        fa.reset();
    }
}

TEST(CZipReader, MissingArchiveGivesNoMembers)
{
    auto reader = test::adopt(new CZipReader("/no/such/archive.zip", true, true, 1));
    EXPECT_EQ(reader->getFileCount(), 0);
    EXPECT_EQ(reader->openFile("x"), nullptr);
    EXPECT_FALSE(CZipReader::isValid("/no/such/archive.zip"));
}

// Damaged and hostile archives: the reader keeps what it could scan and refuses the rest.
TEST(CZipReader, DamagedArchivesAreRefusedNotServed)
{
    const std::string good = test::ZipBuilder().add("good", "fine").bytes();
    const std::string goodLocal = good.substr(0, 30 + 4 + 4);
    auto record = [](auto edit) {
        test::ZipRecord r;
        r.name = "bad";
        r.nameLength = 3;
        r.data = "abcdefgh";
        r.compressedSize = r.uncompressedSize = 8;
        edit(r);
        return r.bytes();
    };
    const std::string text = textBytes(5000), deflated = test::rawDeflate(text);
    const struct {
        const char* why;
        std::string zip;
        const char* expected;  // what opening "bad" gives
    } cases[] = {
        {"truncated header", goodLocal + "PK\x03\x04\x0a", "<null>"},
        {"negative name length", goodLocal + record([](auto& r) { r.nameLength = -5; }), "<null>"},
        {"name past the end", goodLocal + record([](auto& r) { r.nameLength = 30000; }), "<null>"},
        {"negative extra length", goodLocal + record([](auto& r) { r.extraLength = -30; }), "<null>"},
        {"extra past the end", goodLocal + record([](auto& r) { r.extraLength = 32000; }), "<null>"},
        {"data past the end", goodLocal + record([](auto& r) { r.compressedSize = 0xFFFFFFF0u; }),
         "<null>"},
        {"stored size past the end",
         goodLocal + record([](auto& r) { r.uncompressedSize = 0x7FFFFFFFu; }), "<null>"},
        {"unsupported method", goodLocal + record([](auto& r) { r.method = 12; }), "<null>"},
        {"huge inflated size", goodLocal + record([&](auto& r) {
             r.method = 8;
             r.data = deflated;
             r.compressedSize = uint32_t(deflated.size());
             r.uncompressedSize = 0xFFFFFFFFu;
         }),
         "<null>"},
        {"inflate yields less than declared", goodLocal + record([&](auto& r) {
             r.method = 8;
             r.data = deflated;
             r.compressedSize = uint32_t(deflated.size());
             r.uncompressedSize = uint32_t(text.size() + 1);
         }),
         "<null>"},
        {"inflate yields more than declared", goodLocal + record([&](auto& r) {
             r.method = 8;
             r.data = deflated;
             r.compressedSize = uint32_t(deflated.size());
             r.uncompressedSize = uint32_t(text.size() - 1);
         }),
         "<null>"},
        {"truncated deflate stream", goodLocal + record([&](auto& r) {
             r.method = 8;
             r.data = deflated.substr(0, deflated.size() / 2);
             r.compressedSize = uint32_t(r.data.size());
             r.uncompressedSize = uint32_t(text.size());
         }),
         "<null>"},
        {"garbage deflate stream", goodLocal + record([](auto& r) {
             r.method = 8;
             r.data = std::string(64, '\xff');
             r.compressedSize = 64;
             r.uncompressedSize = 100;
         }),
         "<null>"},
        {"descriptor sizes past the end", goodLocal + record([](auto& r) {
             r.flags = 8;
             r.data = test::le32(0) + test::le32(0x7FFFFF00u) + test::le32(5) + "x";
         }),
         "<null>"},
        {"well-formed control", goodLocal + record([](auto&) {}), "abcdefgh"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        for (uint32_t pool : {0u, 1u}) {
            auto reader = readerOver(c.zip, false, false, pool);
            EXPECT_EQ(member(*reader, "good"), "fine");
            EXPECT_EQ(member(*reader, "bad"), c.expected);
        }
    }
}

TEST(CZipReader, ZeroSizedMembersCannotStallTheScan)
{
    // Thousands of empty members still make progress: each header is 30 bytes on.
    test::ZipBuilder builder;
    for (int i = 0; i < 2000; ++i)
        builder.add("m" + std::to_string(i), "");
    auto reader = readerOver(builder.bytes(), false, false);
    EXPECT_EQ(reader->getFileCount(), 2000);
    EXPECT_EQ(member(*reader, "m1999"), "");
}

// Every prefix of an archive, and random byte damage: members open whole or not at all.
TEST(CZipReader, TruncatedAndFlippedArchivesNeverEscapeTheirBuffers)
{
    const std::string text = textBytes(3000), bin = randomBytes(500, 9);
    const std::string zip =
        test::ZipBuilder().add("t", text, true).add("b", bin).add("u", text).bytes();
    auto check = [&](const std::string& damaged) {
        for (uint32_t pool : {0u, 1u}) {
            auto reader = readerOver(damaged, false, false, pool);
            for (int i = 0; i < reader->getFileCount(); ++i) {
                auto f = test::adopt(reader->openFile(i));
                if (!f)
                    continue;
                const std::string got = test::readAll(f.get());
                EXPECT_EQ(int32_t(got.size()), f->getSize());
            }
        }
    };
    for (size_t n = 0; n < zip.size(); n += 7)
        check(zip.substr(0, n));
    std::mt19937 rng(3);
    for (int round = 0; round < 300; ++round) {
        std::string damaged = zip;
        for (int flips = 1 + int(rng() % 3); flips > 0; --flips)
            damaged[rng() % damaged.size()] ^= char(1u << (rng() % 8));
        check(damaged);
    }
}

TEST(CUnZipReader, ServesFilesUnderItsBasePath)
{
    test::TempDir dir;
    dir.write("data/x.txt", "folder file");
    dir.write("data/sub/y.txt", "nested");
    auto folder = test::adopt(new CUnZipReader(nullptr, dir.file("data").c_str(), true, true));
    EXPECT_EQ(std::string(folder->getBasePath()), dir.file("data") + "/");
    auto x = test::adopt(folder->openFile("x.txt"));
    ASSERT_TRUE(x);
    EXPECT_STREQ(x->getFileName(), "x.txt");
    EXPECT_EQ(std::string(x->getFullPath()), dir.file("data") + "/x.txt");
    EXPECT_EQ(test::readAll(x.get()), "folder file");
    EXPECT_EQ(folder->findFile("x.txt"), 1);
    EXPECT_EQ(folder->findFile("sub/y.txt"), 1);
    EXPECT_EQ(folder->findFile("X.TXT"), -1) << "names are taken as given";
    EXPECT_EQ(folder->findFile("missing"), -1);
    EXPECT_EQ(folder->findFile("sub"), -1) << "a directory is not a file";
}

}  // namespace
