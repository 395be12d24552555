// Attribute stores carried through wide XML blocks: layout, round trips of every kind, and
// blocks that are cut short or hostile.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <set>

#include "engine/io/CAttributes.h"
#include "engine/io/CMemoryReadFile.h"
#include "engine/io/CMemoryWriteFile.h"
#include "engine/io/CXMLAttributesReader.h"
#include "engine/io/CXMLAttributesWriter.h"
#include "engine/io/CXMLWriter.h"
#include "tests/engine/io/XMLTestSupport.h"

using namespace pravik;
using namespace pravik::io;

namespace {

std::string writeStore(IAttributes& store, bool header = true)
{
    CMemoryWriteFile* file = new CMemoryWriteFile();
    CXMLWriter* writer = new CXMLWriter(file);
    {
        CXMLAttributesWriter attributesWriter(writer, header, nullptr);
        EXPECT_TRUE(attributesWriter.write(&store));
    }
    writer->drop();
    std::string bytes(reinterpret_cast<const char*>(file->getBuffer()), file->getBufferSize());
    file->drop();
    return bytes;
}

// The characters of UTF-32LE bytes, the mark left out.
std::string text(const std::string& bytes)
{
    std::string out;
    for (size_t i = 0; i + 4 <= bytes.size(); i += 4) {
        uint32_t c;
        memcpy(&c, bytes.data() + i, 4);
        if (c != 0xFEFF) out.push_back(char(c));
    }
    return out;
}

IXMLReader* readerOver(const std::string& bytes)
{
    void* block = malloc(bytes.size() ? bytes.size() : 1);
    memcpy(block, bytes.data(), bytes.size());
    IReadFile* file = createMemoryReadFile(block, int32_t(bytes.size()), "block.xml", true);
    IXMLReader* reader = createIXMLReader(file);
    file->drop();
    return reader;
}

bool readStore(const std::string& bytes, IAttributes& store, bool startCheck = false)
{
    IXMLReader* reader = readerOver(bytes);
    if (startCheck) reader->readToNextElement();
    CXMLAttributesReader attributesReader(reader, startCheck, nullptr);
    reader->drop();
    return attributesReader.read(&store);
}

std::string widen(const std::string& s)
{
    std::string out("\xFF\xFE\0\0", 4);
    for (char c : s) {
        const uint32_t u = uint32_t(uint8_t(c));
        out.append(reinterpret_cast<const char*>(&u), 4);
    }
    return out;
}

// Every attribute of the current context and below: "group/name kind text".
void describe(IAttributes& store, const std::string& path, std::multiset<std::string>& out)
{
    for (int i = 0; i < store.getAttributeCount(); ++i)
        out.insert(path + store.getAttributeName(i) + " " + xmltest::narrow(store.getAttributeTypeString(i)) +
                   " " + xmltest::narrow(store.getStringW(i).c_str()));
    for (unsigned g = 0; g < store.getGroupsCount(); ++g) {
        store.setGroup(g);
        describe(store, path + store.getGroupName().c_str() + "/", out);
        store.pop();
    }
}

void fillEveryKind(IAttributes& s)
{
    const char* const literals[] = {"one", "two", nullptr};
    core::CMatrix4<float> m;
    m.setTranslation({1.f, 2.f, 3.f});
    const unsigned char bytes[] = {1, 2, 0xFE};
    s.addInt("int", -42);
    s.addFloat("float", 0.125f);
    s.addString("narrow", "a<b & \"c\"");
    s.addString("wide", L"x\u263Ay");  // a character that narrowing cannot keep, written wide
    s.addBinary("binary", const_cast<unsigned char*>(bytes), 3);
    s.addArray("array", StringWArray{L"first", L"", L"third & last"});
    s.addBool("bool", true);
    s.addEnum("enum", "two", literals);
    s.addColor("color", video::SColor(10, 20, 30, 40));
    s.addColorf("colorf", video::SColorf(0.25f, 0.5f, 0.75f, 1.f));
    s.addVector2di("vector2di", {1, 2});
    s.addVector3di("vector3di", {1, 2, 3});
    s.addVector4di("vector4di", {1, 2, 3, 4});
    s.addVector2d("vector2d", {1.5f, 2.5f});
    s.addVector3d("vector3d", {1.5f, -2.5f, 3.f});
    s.addVector4d("vector4d", {1.f, 2.f, 3.f, 4.5f});
    s.addPosition2d("position", {-3, 4});
    s.addRect("rect", {0, 0, 640, 480});
    s.addMatrix("matrix", m);
    s.addQuaternion("quaternion", core::quaternion(0.f, 0.5f, 0.f, 0.866025f));
    s.addBox3d("box3d", core::aabbox3d<float>(-1, -2, -3, 4, 5, 6));
    s.addPlane3d("plane", core::plane3d<float>({0.f, 0.f, 1.f}, -7.f));
    s.addTriangle3d("triangle", core::triangle3d<float>({0, 0, 0}, {1, 0, 0}, {0, 1, 0}));
    s.addLine2d("line2d", core::line2d<float>(1, 2, 3, 4));
    s.addLine3d("line3d", core::line3d<float>({1, 2, 3}, {4, 5, 6}));
    s.addStringAsTexture("texture", L"tex/ball.png;tex/ball.png");
    s.addLight("light", nullptr);
    s.addUserPointer("userPointer", &s);
}

}  // namespace

TEST(XMLAttributes, EmptyStoreLayout)
{
    CAttributes store(nullptr);
    EXPECT_EQ(text(writeStore(store, false)), "<attributes>\n</attributes>\n");
    const std::string withHeader = writeStore(store, true);
    EXPECT_EQ(withHeader.substr(0, 4), std::string("\xFF\xFE\0\0", 4));
    EXPECT_EQ(text(withHeader), "<?xml version=\"1.0\"?>\n<attributes>\n</attributes>\n");
}

TEST(XMLAttributes, NestedGroupLayoutAndReadBack)
{
    CAttributes store(nullptr);
    store.addInt("a", 5);
    store.push("g");
    store.addFloat("b", 1.5f);
    store.pop();
    EXPECT_EQ(text(writeStore(store, false)),
              "<attributes>\n"
              "\t<int name=\"a\" value=\"5\" />\n"
              "\t<group name=\"g\">\n"
              "\t\t<float name=\"b\" value=\"1.5\" />\n"
              "\t</group>\n"
              "</attributes>\n");

    CAttributes back(nullptr);
    ASSERT_TRUE(readStore(writeStore(store), back));
    EXPECT_EQ(back.getInt("a"), 5);
    back.push("g");
    EXPECT_EQ(back.getFloat("b"), 1.5f);
}

TEST(XMLAttributes, EveryKindRoundTripsInNestedGroups)
{
    CAttributes store(nullptr);
    fillEveryKind(store);
    store.push("outer");
    fillEveryKind(store);
    store.push("inner");
    fillEveryKind(store);
    store.pop();
    store.pop();
    store.push(3);
    store.pop();

    const std::string bytes = writeStore(store);
    CAttributes back(nullptr);
    back.addInt("stale", 1);  // reading replaces everything
    ASSERT_TRUE(readStore(bytes, back));

    std::multiset<std::string> written, read;
    describe(store, "", written);
    describe(back, "", read);
    // Kinds the block does not bring back.
    const std::set<std::string> notReadBack = {"vector2d",  "vector2di", "vector3di",
                                               "vector4di", "light",     "userPointer"};
    std::multiset<std::string> expected;
    for (const std::string& line : written) {
        const std::string kind =
            line.substr(line.find(' ') + 1, line.find(' ', line.find(' ') + 1) - line.find(' ') - 1);
        if (!notReadBack.count(kind)) expected.insert(line);
    }
    EXPECT_EQ(read, expected);
    EXPECT_EQ(read.size(), 3u * 22u);

    // Values, beyond their texts.
    EXPECT_EQ(back.getStringW("wide"), L"x\u263Ay");
    EXPECT_EQ(back.getArray("array"), (StringWArray{L"first", L"", L"third & last"}));
    EXPECT_EQ(back.getColor("color"), video::SColor(10, 20, 30, 40));
    EXPECT_EQ(back.getMatrix("matrix").getTranslation(), core::vector3d<float>(1.f, 2.f, 3.f));
    const char* const literals[] = {"one", "two", nullptr};
    EXPECT_EQ(back.getEnum("enum", literals), 1);
    StringCArray list{"untouched"};
    back.getAttributeEnumerationLiteralsOfEnumeration("enum", list);
    EXPECT_TRUE(list.empty());  // literals are not part of the block
    unsigned char out[3] = {};
    back.getBinaryData("binary", out, 3);
    EXPECT_EQ(out[2], 0xFE);
    EXPECT_EQ(back.getGroupsCount(), 2u);
    back.push("group3");
    EXPECT_EQ(back.getAttributeCount(), 0);
}

TEST(XMLAttributes, StringArraysCarryTheirCount)
{
    CAttributes store(nullptr);
    store.addArray("two", StringWArray{L"x", L"y"});
    store.addArray("none", StringWArray{});
    EXPECT_EQ(text(writeStore(store, false)),
              "<attributes>\n"
              "\t<stringwarray name=\"two\" count=\"2\" value0=\"x\" value1=\"y\" />\n"
              "\t<stringwarray name=\"none\" count=\"0\" />\n"
              "</attributes>\n");
}

TEST(XMLAttributes, EmptyNamedContextsFoldIntoTheirParent)
{
    CAttributes store(nullptr);
    store.push("");
    store.addInt("x", 1);
    store.pop();
    CAttributes back(nullptr);
    ASSERT_TRUE(readStore(writeStore(store), back));
    EXPECT_EQ(back.getInt("x"), 1);
    EXPECT_EQ(back.getGroupsCount(), 0u);
}

TEST(XMLAttributes, StartCheck)
{
    CAttributes store(nullptr);
    store.addInt("x", 1);
    const std::string block = writeStore(store);
    CAttributes back(nullptr);
    EXPECT_TRUE(readStore(block, back, true));
    EXPECT_EQ(back.getInt("x"), 1);

    back.addInt("y", 2);
    IXMLReader* reader = readerOver(widen("<other><int name='x' value='1'/></other>"));
    reader->readToNextElement();
    CXMLAttributesReader attributesReader(reader, true, nullptr);
    reader->drop();
    EXPECT_FALSE(attributesReader.read(&back));
    EXPECT_EQ(back.getAttributeCount(), 0);  // cleared all the same
}

TEST(XMLAttributes, HostileAndTruncatedBlocks)
{
    const struct {
        const char* why;
        const char* xml;
        const char* expected;  // describe() of the result, joined by '|'
    } kCases[] = {
        {"self-closing group pushes and pops",
         "<attributes><group name='g'/><int name='a' value='1'/></attributes>", "a int 1|g/|"},
        {"stray closing groups stay at the root",
         "<attributes></group></group><int name='a' value='1'/><group name='g'><int name='b' "
         "value='2'/></group>"
         "</group><int name='c' value='3'/></attributes>",
         "a int 1|c int 3|g/b int 2|"},
        {"count larger than the element holds",
         "<attributes><stringwarray name='s' count='2000000000' value0='x'/></attributes>",
         "s stringwarray |"},
        {"negative count", "<attributes><stringwarray name='s' count='-5'/></attributes>",
         "s stringwarray |"},
        {"missing name and value", "<attributes><int/><vector3d name='v'/></attributes>",
         " int 0|v vector3d 0, 0, 0|"},
        {"unknown and unread elements are skipped",
         "<attributes><foo name='f' value='1'/><light name='l' value='light'/><int name='i' "
         "value='2'/></attributes>",
         "i int 2|"},
        {"cut inside an element", "<attributes><int name='a' value='1'/><group name='g'><float name='b' val",
         "a int 1|g/|"},
        {"duplicate groups merge",
         "<attributes><group name='g'><int name='a' value='1'/></group>"
         "<group name='g'><int name='b' value='2'/></group></attributes>",
         "g/a int 1|g/b int 2|"},
        {"stops at the enclosing end tag",
         "<attributes><int name='a' value='1'/></attributes><int name='z' value='9'/>", "a int 1|"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        CAttributes back(nullptr);
        EXPECT_TRUE(readStore(widen(c.xml), back));
        std::multiset<std::string> lines;
        describe(back, "", lines);
        std::string joined;
        for (const std::string& l : lines) joined += l + "|";
        // An empty group shows as its path alone.
        for (unsigned g = 0; g < back.getGroupsCount(); ++g) {
            back.setGroup(g);
            if (back.getAttributeCount() == 0) joined += std::string(back.getGroupName().c_str()) + "/|";
            back.pop();
        }
        EXPECT_EQ(joined, c.expected);
        EXPECT_EQ(back.getGroupName(), "");  // always back at the root
    }
}

TEST(XMLAttributes, WriteErrorsAreReported)
{
    class CFullWriteFile : public IWriteFile {
    public:
        int32_t write(const void*, uint32_t) override { return 0; }
        void flush() override {}
        bool seek(int32_t, bool) override { return false; }
        int32_t getPos() const override { return 0; }
        const char* getFileName() const override { return "full"; }
        const char* getFullPath() const override { return "full"; }
    };
    CFullWriteFile* file = new CFullWriteFile();
    CXMLWriter* writer = new CXMLWriter(file);
    file->drop();
    CAttributes store(nullptr);
    CXMLAttributesWriter attributesWriter(writer, true, nullptr);
    writer->drop();
    EXPECT_FALSE(attributesWriter.write(&store));
}
