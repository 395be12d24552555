// Wide XML output: the header, indentation, escaping, and write errors that surface.

#include <gtest/gtest.h>

#include <string>

#include "engine/io/CMemoryWriteFile.h"
#include "engine/io/CXMLWriter.h"

using namespace pravik;
using namespace pravik::io;

namespace {

// The written characters as a narrow string (each 4-byte unit checked to be plain ASCII).
std::string written(const CMemoryWriteFile& file)
{
    std::string out;
    const uint8_t* b = file.getBuffer();
    for (uint32_t i = 0; i + 4 <= file.getBufferSize(); i += 4) {
        const uint32_t c =
            uint32_t(b[i]) | uint32_t(b[i + 1]) << 8 | uint32_t(b[i + 2]) << 16 | uint32_t(b[i + 3]) << 24;
        out += c == 0xFEFF ? std::string("<BOM>") : std::string(1, char(c));
    }
    return out;
}

// A file that refuses every write.
class CFullWriteFile : public IWriteFile {
public:
    int32_t write(const void*, uint32_t) override { return 0; }
    void flush() override {}
    bool seek(int32_t, bool) override { return false; }
    int32_t getPos() const override { return 0; }
    const char* getFileName() const override { return "full"; }
    const char* getFullPath() const override { return "full"; }
};

}  // namespace

TEST(XMLWriter, WritesTheDocumentOfTheExample)
{
    CMemoryWriteFile* file = new CMemoryWriteFile();
    CXMLWriter* writer = new CXMLWriter(file);
    writer->writeXMLHeader();
    writer->writeElement(L"a");
    writer->writeLineBreak();
    writer->writeElement(L"b", true, L"x", L"1<2");
    writer->writeLineBreak();
    writer->writeClosingTag(L"a");
    writer->writeLineBreak();
    EXPECT_FALSE(writer->hasWriteError());
    writer->drop();
    EXPECT_EQ(written(*file), "<BOM><?xml version=\"1.0\"?>\n<a>\n\t<b x=\"1&lt;2\" />\n</a>\n");
    const uint8_t* bytes = file->getBuffer();
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xFE);
    EXPECT_EQ(bytes[2], 0x00);
    EXPECT_EQ(bytes[3], 0x00);
    file->drop();
}

TEST(XMLWriter, EscapingAndIndentation)
{
    const struct {
        const char* why;
        void (*write)(IXMLWriter&);
        const char* expected;
    } kCases[] = {
        {"text is escaped, apostrophe kept", [](IXMLWriter& w) { w.writeText(L"&<>\"'"); },
         "&amp;&lt;&gt;&quot;'"},
        {"names are not escaped", [](IXMLWriter& w) { w.writeElement(L"a&", true, L"n<", L"v"); },
         "<a& n<=\"v\" />"},
        {"comment text is escaped", [](IXMLWriter& w) { w.writeComment(L"a<b"); }, "<!--a&lt;b-->"},
        {"closing tag after text is not indented",
         [](IXMLWriter& w) {
             w.writeElement(L"a");
             w.writeElement(L"b");
             w.writeText(L"t");
             w.writeClosingTag(L"b");
             w.writeClosingTag(L"a");
         },
         "<a>\t<b>t</b></a>"},
        {"closing tag after a tag is indented by the remaining depth",
         [](IXMLWriter& w) {
             w.writeElement(L"a");
             w.writeElement(L"b");
             w.writeElement(L"c");
             w.writeClosingTag(L"c");
             w.writeClosingTag(L"b");
             w.writeClosingTag(L"a");
         },
         "<a>\t<b>\t\t<c>\t\t</c>\t</b></a>"},
        {"an empty element keeps the depth",
         [](IXMLWriter& w) {
             w.writeElement(L"e", true);
             w.writeElement(L"f", true);
         },
         "<e /><f />"},
        {"null names and values write nothing",
         [](IXMLWriter& w) {
             w.writeElement(nullptr);
             w.writeElement(L"a", true, L"k", nullptr, nullptr, L"v", L"k2", L"v2");
             w.writeText(nullptr);
             w.writeClosingTag(nullptr);
         },
         "<a k2=\"v2\" />"},
        {"more closings than openings write no tabs",
         [](IXMLWriter& w) {
             w.writeClosingTag(L"x");
             w.writeClosingTag(L"y");
         },
         "</x></y>"},
        {"vector form pairs while both lists have entries",
         [](IXMLWriter& w) {
             IXMLWriter::StringList names{L"a", L"b", L"c"}, values{L"1", L"2"};
             w.writeElement(L"e", true, names, values);
         },
         "<e a=\"1\" b=\"2\" />"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        CMemoryWriteFile* file = new CMemoryWriteFile();
        CXMLWriter writer(file);
        file->drop();
        c.write(writer);
        EXPECT_EQ(written(*file), c.expected);
    }
}

TEST(XMLWriter, NullFileWritesNothingAndWriteErrorsAreReported)
{
    CXMLWriter none(nullptr);
    none.writeXMLHeader();
    none.writeElement(L"a");
    EXPECT_FALSE(none.hasWriteError());

    CFullWriteFile* full = new CFullWriteFile();
    CXMLWriter writer(full);
    full->drop();
    writer.writeElement(L"a", true);
    EXPECT_TRUE(writer.hasWriteError());
}
