#include "engine/io/CZipLZMAReader.h"
#include "tests/engine/io/ArchiveBuilders.h"

#include <gtest/gtest.h>
#include <lzma.h>
#include <random>

using namespace pravik::io;

namespace {

boost::intrusive_ptr<CZipLZMAReader> packOver(const std::string& bytes)
{
    auto file = test::adopt(test::memoryFile(bytes, "res.pack"));
    return test::adopt(new CZipLZMAReader(file.get(), false, false, 0));
}

std::string member(CZipLZMAReader& reader, const char* name)
{
    auto f = test::adopt(reader.openFile(name));
    return f ? test::readAll(f.get()) : "<null>";
}

int32_t keyHash(const char* name)
{
    return CZipLZMAReader::ComputeHash(CZipLZMAReader::makeKey(name).c_str());
}

TEST(CZipLZMAReader, KeyHashOfTheWorkedExample)
{
    EXPECT_EQ(CZipLZMAReader::makeKey("A/B.TXT"), "res\\a\\b.txt");
    EXPECT_EQ(CZipLZMAReader::ComputeHash("res\\a\\b.txt"), int32_t(0x4C31306D));
    EXPECT_EQ(CZipLZMAReader::ComputeHash(""), 0);
    // Bytes above 0x7F count as negative.
    EXPECT_EQ(CZipLZMAReader::ComputeHash("\xff"), -1);

    auto reader = packOver(test::LzmaPackBuilder().add("A/B.TXT", "member b").bytes());
    for (const char* name : {"a/b.txt", "A\\B.txt", "a/B.TxT", "A/B.TXT"}) {
        SCOPED_TRACE(name);
        auto f = test::adopt(reader->openFile(name));
        ASSERT_TRUE(f);
        EXPECT_EQ(test::readAll(f.get()), "member b");
        EXPECT_STREQ(f->getFileName(), name) << "named as asked for";
    }
    EXPECT_EQ(member(*reader, "a/c.txt"), "<null>");
    EXPECT_EQ(reader->findFile("res\\a\\b.txt"), 1);
    EXPECT_EQ(reader->findFile("A/B.TXT"), 1) << "existence agrees with opening";
    EXPECT_EQ(reader->findFile("a/c.txt"), -1);
}

TEST(CZipLZMAReader, CollidingHashesServeTheFirstRecord)
{
    ASSERT_EQ(keyHash("az"), keyHash("b["));
    auto reader = packOver(test::LzmaPackBuilder().add("az", "first").add("b[", "second").bytes());
    EXPECT_EQ(member(*reader, "az"), "first");
    EXPECT_EQ(member(*reader, "b["), "first");
}

TEST(CZipLZMAReader, LongNamesAndEmptyMembers)
{
    const std::string longName(600, 'q');
    auto reader = packOver(test::LzmaPackBuilder().add(longName, "long").add("empty", "").bytes());
    EXPECT_EQ(member(*reader, longName.c_str()), "long");
    EXPECT_EQ(member(*reader, "empty"), "");
}

TEST(CZipLZMAReader, MemberHeadersAreChecked)
{
    const std::string data(3000, 'z');
    const std::string good = test::lzmaAlone(data);
    ASSERT_EQ(uint8_t(good[0]), 93) << "lc 3, lp 0, pb 2";
    auto edit = [&](size_t at, std::string bytes) {
        std::string m = good;
        m.replace(at, bytes.size(), bytes);
        return m;
    };
    const struct {
        const char* why;
        std::string member;
        bool opens;
    } cases[] = {
        {"properties 93", good, true},
        {"properties 225", edit(0, "\xe1"), false},
        {"unknown size", edit(5, test::le32(0xFFFFFFFFu)), false},
        {"size above 4 GiB", edit(9, "\x01"), false},
        {"size of 2 GiB or more", edit(5, test::le32(0x80000000u)), false},
        {"end marker before the declared size", edit(5, test::le32(uint32_t(data.size() + 10))),
         false},
        {"declared size beyond any ratio", edit(5, test::le32(0x7FFFFFF0u)), false},
        {"truncated stream", good.substr(0, good.size() / 2), false},
        {"header only", good.substr(0, 13), false},
        {"shorter than a header", good.substr(0, 7), false},
        {"random stream", good.substr(0, 13) + std::string(200, '\x5a'), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        const std::string pack = test::LzmaPackBuilder()
                                     .addMember(keyHash("m"), c.member)
                                     .add("ok", "still fine")
                                     .bytes();
        auto reader = packOver(pack);
        EXPECT_EQ(member(*reader, "m"), c.opens ? data : "<null>");
        EXPECT_EQ(member(*reader, "ok"), "still fine");
    }
}

TEST(CZipLZMAReader, DamagedIndexesFindNothingOrStayInside)
{
    const std::string pack = test::LzmaPackBuilder().add("a", "aaa").add("b", "bbb").bytes();
    auto withCount = [&](uint32_t n) { return test::le32(n) + pack.substr(4); };
    std::string badPosition = pack;
    badPosition.replace(4 + 4, 4, test::le32(0x3FFFFFFFu));
    std::string badSize = pack;
    badSize.replace(4 + 8, 4, test::le32(0x80000000u));
    const struct {
        const char* why;
        std::string pack;
        const char* a;
    } cases[] = {
        {"count 0", withCount(0), "<null>"},
        {"negative count", withCount(0xFFFFFFFFu), "<null>"},
        {"count past the end", withCount(178956971u), "<null>"},
        {"three bytes", pack.substr(0, 3), "<null>"},
        {"empty", "", "<null>"},
        {"member past the end", badPosition, "<null>"},
        {"member size of 2^31", badSize, "<null>"},
        {"truncated pack", pack.substr(0, pack.size() - 5), "aaa"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        auto reader = packOver(c.pack);
        EXPECT_EQ(member(*reader, "a"), c.a);
    }
}

std::string liblzmaDecode(const std::string& member)
{
    lzma_stream s = LZMA_STREAM_INIT;
    if (lzma_alone_decoder(&s, UINT64_MAX) != LZMA_OK)
        return "<init>";
    std::string out(member.size() * 8 + 70000, '\0');
    s.next_in = reinterpret_cast<const uint8_t*>(member.data());
    s.avail_in = member.size();
    s.next_out = reinterpret_cast<uint8_t*>(out.data());
    s.avail_out = out.size();
    const lzma_ret r = lzma_code(&s, LZMA_FINISH);
    out.resize(s.total_out);
    lzma_end(&s);
    return r == LZMA_STREAM_END ? out : "<error>";
}

// Our decoder against liblzma on random, compressible and mixed buffers and every lc/lp/pb the
// encoder accepts.
TEST(CZipLZMAReader, DecoderAgreesWithLiblzma)
{
    std::mt19937 rng(11);
    for (int round = 0; round < 60; ++round) {
        const size_t size = rng() % 70000;
        std::string data(size, '\0');
        const int kind = round % 3;
        for (size_t i = 0; i < size; ++i) {
            if (kind == 0)
                data[i] = char(rng());
            else if (kind == 1)
                data[i] = "abcab abcabc the"[rng() % 16];
            else
                data[i] = (i / 512) % 2 ? char(rng()) : char(i % 7);
        }
        const uint32_t lc = rng() % 5, lp = rng() % (5 - lc), pb = rng() % 5;
        SCOPED_TRACE("round " + std::to_string(round) + " lc " + std::to_string(lc) + " lp " +
                     std::to_string(lp) + " pb " + std::to_string(pb));
        const std::string m = test::lzmaAlone(data, lc, lp, pb);
        EXPECT_EQ(liblzmaDecode(m), data);
        auto reader = packOver(test::LzmaPackBuilder().addMember(keyHash("x"), m).bytes());
        const std::string ours = member(*reader, "x");
        EXPECT_TRUE(ours == data) << "decoded " << ours.size() << " of " << data.size();
    }
}

// Random damage to a valid stream: never a crash, never bytes beyond the output.
TEST(CZipLZMAReader, CorruptedStreamsNeverEscapeTheirBuffers)
{
    std::string data;
    for (int i = 0; i < 20000; ++i)
        data += char("lorem ipsum dolor"[i % 17] + (i % 97 == 0));
    const std::string good = test::lzmaAlone(data);
    std::mt19937 rng(5);
    for (int round = 0; round < 300; ++round) {
        std::string m = good;
        for (int flips = 1 + int(rng() % 4); flips > 0; --flips)
            m[13 + rng() % (m.size() - 13)] ^= char(1u << (rng() % 8));
        auto reader = packOver(test::LzmaPackBuilder().addMember(keyHash("x"), m).bytes());
        const std::string got = member(*reader, "x");
        EXPECT_TRUE(got == "<null>" || got.size() == data.size());
    }
}

}  // namespace
