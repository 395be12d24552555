#include "engine/res/File.h"

#include <gtest/gtest.h>

#include "engine/collada/SColladaRecords.h"
#include "tools/formats/BresWriter.h"

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

namespace pravik::res {
namespace {

using collada::SCollada;
using formats::bres::Writer;

class StringReader : public FileReader {
public:
    explicit StringReader(std::string bytes) : m_bytes(std::move(bytes)) {}
    long tell() override { return long(m_pos); }
    int read(void* buffer, unsigned int size) override
    {
        const size_t n = std::min<size_t>(size, m_bytes.size() - std::min(m_pos, m_bytes.size()));
        std::memcpy(buffer, m_bytes.data() + m_pos, n);
        m_pos += n;
        return int(n);
    }
    bool seek(long position, bool relative) override
    {
        const long to = relative ? long(m_pos) + position : position;
        if (to < 0 || size_t(to) > m_bytes.size()) return false;
        m_pos = size_t(to);
        return true;
    }
    long getSize() override { return long(m_bytes.size()); }

private:
    std::string m_bytes;
    size_t m_pos = 0;
};

uint32_t le32(const std::string& b, size_t at)
{
    uint32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

void put32(std::string& b, size_t at, uint32_t v) { std::memcpy(&b[at], &v, 4); }

// The smallest scene file, written out by hand.
std::string handWrittenMinimal()
{
    std::string b(280, '\0');
    std::memcpy(&b[0], "BRES", 4);
    const uint32_t header[] = {60, 280, 3, 0, 60, 72, 92, 88, 0, 0, 0, 0, 0};
    for (size_t i = 0; i < 13; ++i) put32(b, 8 + 4 * i, header[i]);
    put32(b, 60, 0x18);
    put32(b, 64, 0x20);
    put32(b, 68, 92);
    put32(b, 72, 9);
    std::memcpy(&b[76], "0,0,0,779", 9);
    put32(b, 92, 76);
    put32(b, 92 + 0x0C, 1);
    return b;
}

struct Loaded {
    File file;
    bool refused;
    explicit Loaded(const std::string& bytes, const File::DependencyLoader& dependency = {})
    {
        StringReader reader(bytes);
        refused = file.Init(&reader, dependency);
    }
    SCollada* root() const { return file.get(Ptr<SCollada>{file.rootRef()}); }
};

TEST(BresFile, WriterMatchesTheHandWrittenMinimalFile)
{
    const std::string written = formats::bres::minimalScene();
    EXPECT_EQ(written.size(), 280u);
    EXPECT_EQ(written, handWrittenMinimal());
}

TEST(BresFile, MinimalFileRelocatesIntoTheImage)
{
    Loaded l(formats::bres::minimalScene());
    ASSERT_FALSE(l.refused) << l.file.error();
    EXPECT_TRUE(l.file.isValid());
    EXPECT_EQ(l.file.imageSize(), 268u);
    ASSERT_EQ(l.root(), reinterpret_cast<SCollada*>(l.file.image() + 80));
    EXPECT_STREQ(l.file.str(l.root()->version), "0,0,0,779");
    EXPECT_EQ(l.root()->upAxis, 1u);
    EXPECT_EQ(l.file.flags() & File::kRelocatedFlag, File::kRelocatedFlag);
    EXPECT_EQ(l.file.segmentCount(), 0u);
    EXPECT_EQ(l.file.segmentData(0), nullptr);
    // Header bytes stay where they were; the whole image is header + string table + root.
    EXPECT_EQ(std::memcmp(l.file.image(), "BRES", 4), 0);
}

TEST(BresFile, DataOffsetsMapBelowTheRelocationTable)
{
    Writer w;
    // Seven more slots: N = 10.
    for (uint32_t i = 0; i < 7; ++i) w.str(w.alloc(4), "s" + std::to_string(i));
    const std::string bytes = w.finish();
    ASSERT_EQ(w.relocationCount(), 10u);
    Loaded l(bytes);
    ASSERT_TRUE(l.file.isValid()) << l.file.error();
    EXPECT_EQ(l.file.rootRef(), w.dataStart() - 40);
    EXPECT_EQ(reinterpret_cast<uint8_t*>(l.root()), l.file.image() + w.dataStart() - 40);
    for (uint32_t i = 0; i < 7; ++i)
        EXPECT_STREQ(l.file.cstr(String{le32(std::string(reinterpret_cast<char*>(l.file.image()), l.file.imageSize()),
                                             w.dataStart() - 40 + Writer::kRootSize + 4 * i)}),
                     ("s" + std::to_string(i)).c_str());
}

// Segments at 1000, 1400 and 2000 of one file, each holding a slot back into the image.
std::string segmentedFile(bool separate, Writer* out = nullptr)
{
    Writer w;
    const uint32_t holder = w.alloc(12);
    const uint32_t offsets[] = {1000, 1400, 2000};
    for (uint32_t i = 0; i < 3; ++i) {
        std::string payload(16, char('a' + i));
        w.addSegment(1u << i, payload, offsets[i]);
        w.ptrToSegment(holder + 4 * i, i);
        w.segmentPtr(i, 8, holder);
    }
    w.setSeparateSegments(separate);
    std::string bytes = w.finish();
    if (out) *out = w;
    return bytes;
}

TEST(BresFile, StreamedSegmentsOneBlockOrSeparate)
{
    for (bool separate : {false, true}) {
        SCOPED_TRACE(separate ? "separate" : "one block");
        Loaded l(segmentedFile(separate));
        ASSERT_TRUE(l.file.isValid()) << l.file.error();
        ASSERT_EQ(l.file.segmentCount(), 3u);
        if (!separate) EXPECT_EQ(l.file.segmentData(2), l.file.segmentData(0) + 1000);
        else EXPECT_NE(l.file.segmentData(2), l.file.segmentData(0) + 1000);
        const auto* holder = reinterpret_cast<const uint32_t*>(l.root() + 1);
        for (uint32_t i = 0; i < 3; ++i) {
            EXPECT_EQ(l.file.segmentClassMask(i), 1u << i);
            // A pointer to a segment reaches its payload, after the class mask.
            const char* payload = static_cast<const char*>(l.file.resolve(holder[i], 16));
            ASSERT_NE(payload, nullptr);
            EXPECT_EQ(payload, reinterpret_cast<const char*>(l.file.segmentData(i)) + 4);
            EXPECT_EQ(payload[0], char('a' + i));
            EXPECT_EQ(payload[7], char('a' + i));
            // The slot inside the segment points back at the holder record.
            const uint32_t back = *reinterpret_cast<const uint32_t*>(payload + 8);
            EXPECT_EQ(l.file.resolve(back, 12), holder);
        }
        l.file.releaseSegments(separate ? 2u : 0u);
        EXPECT_EQ(l.file.segmentData(1) == nullptr, true);
        EXPECT_EQ(l.file.segmentData(0) == nullptr, !separate);
        EXPECT_EQ(l.file.resolve(holder[1], 4), nullptr);
        EXPECT_EQ(l.file.bytesFrom(holder[1]), 0u);  // released
    }
}

TEST(BresFile, AlreadyRelocatedImageIsTakenUnchanged)
{
    Writer w;
    w.setFlags(File::kRelocatedFlag);
    const std::string bytes = w.finish();
    Loaded l(bytes);
    ASSERT_TRUE(l.file.isValid());
    // The root's version slot keeps its file address: nothing was translated.
    EXPECT_EQ(le32(std::string(reinterpret_cast<char*>(l.file.image()), l.file.imageSize()), 80), 76u);
}

TEST(BresFile, InPlaceRelocationHappensOnce)
{
    std::string bytes = formats::bres::minimalScene();
    File first;
    ASSERT_FALSE(first.Init(bytes.data(), uint32_t(bytes.size())));
    const SCollada* root = first.get(Ptr<SCollada>{first.rootRef()});
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(reinterpret_cast<const char*>(root), bytes.data() + 92);
    EXPECT_STREQ(first.str(root->version), "0,0,0,779");
    const std::string after = bytes;
    File second;
    ASSERT_FALSE(second.Init(bytes.data(), uint32_t(bytes.size())));
    EXPECT_EQ(bytes, after);
}

TEST(BresFile, DependencyNames)
{
    int asked = 0;
    std::string name;
    auto loader = [&](const char* n) -> const File* {
        ++asked;
        name = n;
        return nullptr;
    };
    {
        Writer w;
        w.setDependency("");  // no name: length word 0
        Loaded l(w.finish(), loader);
        EXPECT_TRUE(l.file.isValid());
        EXPECT_EQ(asked, 0);
    }
    {
        std::string bytes = formats::bres::minimalScene();
        put32(bytes, 88, 1);  // length 1: an empty name
        Loaded l(bytes, loader);
        EXPECT_TRUE(l.file.isValid());
        EXPECT_EQ(asked, 0);
    }
    {
        Writer w;
        w.setDependency("base.bdae");
        Loaded l(w.finish(), loader);
        EXPECT_TRUE(l.file.isValid());
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(name, "base.bdae");
    }
}

TEST(BresFile, ReferencesIntoADependencyImage)
{
    Writer dep;
    dep.setBase(File::kDependencyBit);
    const uint32_t shared = dep.alloc(8);
    dep.u32(shared, 0xfeed);
    File dependency;
    {
        StringReader reader(dep.finish());
        ASSERT_FALSE(dependency.Init(&reader)) << dependency.error();
    }
    Writer w;
    w.setDependency("dep.bdae");
    // A listed slot holding the dependency's address of its record.
    w.address(w.alloc(4), File::kDependencyBit + dep.fileOffsetOfData(shared));
    const std::string bytes = w.finish();
    Loaded l(bytes, [&](const char*) { return &dependency; });
    ASSERT_TRUE(l.file.isValid()) << l.file.error();
    const uint32_t ref = reinterpret_cast<const uint32_t*>(l.root() + 1)[0];
    EXPECT_EQ(ref & File::kDependencyBit, File::kDependencyBit);
    const auto* target = static_cast<const uint32_t*>(l.file.resolve(ref, 8, 4));
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(*target, 0xfeedu);
    Loaded orphan(bytes, [](const char*) -> const File* { return nullptr; });
    EXPECT_FALSE(orphan.file.isValid());
}

// Every way a file can lie about itself is refused before anything is written.
TEST(BresFile, HostileFilesAreRefused)
{
    const std::string good = formats::bres::minimalScene();
    for (size_t n = 0; n < good.size(); ++n) {
        SCOPED_TRACE("truncated to " + std::to_string(n));
        Loaded l(good.substr(0, n));
        EXPECT_TRUE(l.refused);
        EXPECT_FALSE(l.file.isValid());
        EXPECT_FALSE(l.file.error().empty());
    }
    Writer segmentWriter;
    const std::string segmented = segmentedFile(false, &segmentWriter);
    const uint32_t records = segmentWriter.streamStart();
    struct Case {
        const char* why;
        std::string bytes;
    };
    auto patched = [](std::string b, size_t at, uint32_t v) {
        put32(b, at, v);
        return b;
    };
    std::vector<Case> cases = {
        {"wrong magic", patched(good, 0, 0x53455243)},
        {"header size", patched(good, 8, 64)},
        {"file size larger", patched(good, 12, 284)},
        {"file size smaller", patched(good, 12, 276)},
        {"huge relocation count", patched(good, 16, 0x40000000)},
        {"odd base", patched(good, 20, 4)},
        {"streamed size past the end", patched(good, 0x2C, 1000)},
        {"trailing size past the end", patched(good, 0x38, 300)},
        {"segments without streamed area", patched(good, 0x30, 2)},
        {"entry outside the file", patched(good, 68, 400)},
        {"entry misaligned", patched(good, 68, 93)},
        {"entry inside the relocation table", patched(good, 68, 64)},
        {"entry listed twice", patched(good, 68, 0x20)},
        {"content past the end", patched(good, 92, 5000)},
        {"content inside the relocation table", patched(good, 92, 64)},
        {"dependency name outside the file", patched(good, 0x24, 278)},
        {"dependency of 300 bytes", patched(good, 88, 300)},
        {"unsorted segments", patched(patched(segmented, records + 4, 2000), records + 20, 1000)},
        {"segment past the streamed area", patched(segmented, records + 16, 100000)},
        {"segment pointer off a segment start", [&] {
             std::string b = segmented;
             // The holder's first slot: one byte into segment 0.
             const size_t at = segmentWriter.fileOffsetOfData(Writer::kRootSize);
             put32(b, at, le32(b, at) + 4);
             return b;
         }()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Loaded l(c.bytes);
        EXPECT_TRUE(l.refused);
        EXPECT_FALSE(l.file.isValid());
        EXPECT_EQ(l.file.image(), nullptr);
        EXPECT_FALSE(l.file.error().empty());
    }
}

TEST(BresFile, ResolvingChecksTheWholeTarget)
{
    Loaded l(formats::bres::minimalScene());
    ASSERT_TRUE(l.file.isValid());
    const uint32_t size = l.file.imageSize();
    EXPECT_NE(l.file.resolve(size - 4, 4), nullptr);
    EXPECT_EQ(l.file.resolve(size - 4, 5), nullptr);
    EXPECT_EQ(l.file.resolve(size, 1), nullptr);
    EXPECT_EQ(l.file.resolve(0, 4), nullptr);
    EXPECT_EQ(l.file.resolve(81, 4, 4), nullptr);  // misaligned for its type
    EXPECT_EQ(l.file.bytesFrom(size - 4), 4u);
    EXPECT_EQ(l.file.bytesFrom(size), 0u);
    EXPECT_EQ(l.file.bytesFrom(0), 0u);
    vector<SCollada> tooMany{1000, Ptr<SCollada>{l.file.rootRef()}};
    EXPECT_TRUE(l.file.get(tooMany).empty());
    vector<SCollada> negative{-1, Ptr<SCollada>{l.file.rootRef()}};
    EXPECT_TRUE(l.file.get(negative).empty());
    EXPECT_EQ(l.file.at(vector<SCollada>{1, Ptr<SCollada>{l.file.rootRef()}}, 1), nullptr);
    // A string without its terminator inside the region is no string.
    l.file.image()[size - 1] = 'x';
    EXPECT_EQ(l.file.str(String{size - 1}), nullptr);
}

}  // namespace
}  // namespace pravik::res
