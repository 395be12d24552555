#include "engine/io/CMemoryWriteFile.h"
#include "engine/io/CWriteFile.h"
#include "engine/io/CZipReader.h"
#include "engine/io/CZipWriter.h"
#include "tests/engine/io/ArchiveBuilders.h"
#include "tests/support/TempDir.h"

#include <cstdlib>
#include <gtest/gtest.h>

using namespace pravik::io;

namespace {

std::string bytesOf(const CMemoryWriteFile& f)
{
    return std::string(reinterpret_cast<const char*>(f.getBuffer()), f.getBufferSize());
}

uint32_t u32At(const std::string& s, size_t at)
{
    return uint32_t(uint8_t(s[at])) | uint32_t(uint8_t(s[at + 1])) << 8 |
           uint32_t(uint8_t(s[at + 2])) << 16 | uint32_t(uint8_t(s[at + 3])) << 24;
}

TEST(CZipWriter, EmptyArchiveIsOnlyTheEndRecord)
{
    auto out = test::adopt(new CMemoryWriteFile());
    {
        auto writer = test::adopt(new CZipWriter(out.get()));
        EXPECT_TRUE(writer->close());
    }
    const std::string zip = bytesOf(*out);
    ASSERT_EQ(zip.size(), 22u) << "destroying a closed writer adds nothing";
    EXPECT_EQ(u32At(zip, 0), 0x06054b50u);
    EXPECT_EQ(zip.substr(4), std::string(18, '\0'));
}

TEST(CZipWriter, OneMemberExampleHasTheExactLayout)
{
    auto out = test::adopt(new CMemoryWriteFile());
    {
        auto writer = test::adopt(new CZipWriter(out.get()));
        EXPECT_EQ(writer->addNewFile("a", "xyz", 3), 3);
    }  // closed by the destructor
    const std::string zip = bytesOf(*out);
    ASSERT_EQ(zip.size(), 103u);
    EXPECT_EQ(u32At(zip, 0), 0x04034b50u);
    EXPECT_EQ(zip.substr(30, 4), "axyz");
    EXPECT_EQ(u32At(zip, 34), 0x02014b50u);
    EXPECT_EQ(u32At(zip, 34 + 42), 0u) << "local header offset";
    EXPECT_EQ(u32At(zip, 14), u32At(zip, 34 + 16)) << "same CRC in both records";
    EXPECT_EQ(u32At(zip, 14), 0xeb8eba67u) << "CRC-32 of xyz";
    EXPECT_EQ(u32At(zip, 81), 0x06054b50u);
    EXPECT_EQ(u32At(zip, 81 + 12), 47u) << "central directory size";
    EXPECT_EQ(u32At(zip, 81 + 16), 34u) << "central directory offset";

    auto archive = test::adopt(test::memoryFile(zip));
    auto reader = test::adopt(new CZipReader(archive.get(), false, false, 0));
    auto a = test::adopt(reader->openFile("a"));
    EXPECT_EQ(test::readAll(a.get()), "xyz");

    test::TempDir dir;
    const std::string command = "unzip -tqq '" + dir.write("one.zip", zip) + "' >/dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << "unzip -t refuses the archive";
}

TEST(CZipWriter, UnzipAcceptsAWrittenArchive)
{
    test::TempDir dir;
    const std::string path = dir.file("w.zip");
    const std::string big(100000, 'q');
    {
        auto file = test::adopt(createWriteFile(path.c_str(), false));
        ASSERT_TRUE(file);
        auto writer = test::adopt(new CZipWriter(file.get()));
        writer->addNewFile("a", "xyz", 3);
        writer->addNewFile("dir/big.bin", big.data(), uint32_t(big.size()));
        auto source = test::adopt(test::memoryFile("skip-from here"));
        source->seek(5, false);
        writer->addNewFile("rest.txt", source.get());
        writer->addNewFile("empty", nullptr, 0);
        EXPECT_TRUE(writer->close());
    }
    const std::string command = "unzip -tqq '" + path + "' >/dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << "unzip -t refuses " << path;
    const std::string extract = "unzip -p '" + path + "' rest.txt > '" + dir.file("rest") + "'";
    ASSERT_EQ(std::system(extract.c_str()), 0);
    EXPECT_EQ(test::readFile(dir.file("rest")), "from here") << "a read file adds what follows its position";

    auto reader = test::adopt(new CZipReader(path.c_str(), false, false, 0));
    EXPECT_EQ(reader->getFileCount(), 4);
    auto b = test::adopt(reader->openFile("dir/big.bin"));
    EXPECT_EQ(test::readAll(b.get()), big);
}

// A write file that takes only the first few bytes, as a full disk would.
class ShortWriteFile : public IWriteFile {
public:
    int32_t write(const void*, uint32_t count) override
    {
        const uint32_t n = count < m_room ? count : m_room;
        m_room -= n;
        return int32_t(n);
    }
    void flush() override {}
    bool seek(int32_t, bool) override { return false; }
    int32_t getPos() const override { return 0; }
    const char* getFileName() const override { return "short"; }
    const char* getFullPath() const override { return "short"; }

private:
    uint32_t m_room = 40;
};

TEST(CZipWriter, AShortWriteIsReportedNotHidden)
{
    auto out = test::adopt(new ShortWriteFile());
    auto writer = test::adopt(new CZipWriter(out.get()));
    EXPECT_EQ(writer->addNewFile("a", "0123456789", 10), 9);
    EXPECT_FALSE(writer->close());
    EXPECT_TRUE(writer->failed());
}

}  // namespace
