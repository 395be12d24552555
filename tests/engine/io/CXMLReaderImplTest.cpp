// The XML pull parser: node sequences, the five input formats, entities, number getters and
// input that is cut short or malformed.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "engine/io/CMemoryReadFile.h"
#include "engine/io/CXMLReaderImpl.h"
#include "tests/engine/io/XMLTestSupport.h"

using namespace pravik::io;
using namespace xmltest;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

const char kSample[] = "<a x='1' y='2'/>text<!--c--><![CDATA[<raw>]]></a>";
const std::vector<std::string> kSampleNodes = {"element a x=1 y=2 /", "end a",       "text text",
                                               "comment c",           "cdata <raw>", "end a"};

const E_XML_TEXT_FORMAT kFormats[] = {EXTF_8BIT, EXTF_UTF16_BE, EXTF_UTF16_LE, EXTF_UTF32_BE, EXTF_UTF32_LE};

}  // namespace

TEST(XMLReader, SampleDocumentGivesItsNodesInOrder)
{
    CXMLReaderImpl<char> reader(new CBytesSource(kSample), true);
    EXPECT_EQ(reader.getNodeType(), EXNK_NONE);
    EXPECT_EQ(dumpNodes(reader), kSampleNodes);
    EXPECT_FALSE(reader.read());
}

TEST(XMLReader, FiveEncodingsGiveTheSameNodes)
{
    for (E_XML_TEXT_FORMAT format : kFormats) {
        SCOPED_TRACE(format);
        const std::string bytes = encode(widen(kSample), format);
        CXMLReaderImpl<char> narrowReader(new CBytesSource(bytes), true);
        EXPECT_EQ(dumpNodes(narrowReader), kSampleNodes);
        EXPECT_EQ(narrowReader.getSourceFormat(), format);
        EXPECT_EQ(narrowReader.getParserFormat(), EXTF_UTF8);

        CXMLReaderImpl<wchar_t> wideReader(new CBytesSource(bytes), true);
        EXPECT_EQ(dumpNodes(wideReader), kSampleNodes);
        EXPECT_EQ(wideReader.getSourceFormat(), format);
        EXPECT_EQ(wideReader.getParserFormat(), EXTF_UTF32_LE);
    }
}

TEST(XMLReader, CharactersAreConvertedWithoutDecoding)
{
    // U+263A in UTF-16LE: truncated to 0x3A by the narrow reader, kept by the wide one.
    const std::string bytes = encode(U"<a v='\u263A'>\u00E9x\u263A</a>", EXTF_UTF16_LE);
    EXPECT_THAT(parse<char>(bytes), ElementsAre("element a v=:", "text \\xE9x:", "end a"));
    EXPECT_THAT(parse<wchar_t>(bytes), ElementsAre("element a v=\\x263A", "text \\xE9x\\x263A", "end a"));

    // A UTF-8 mark is no mark: its bytes become text (sign-extended by the wide reader).
    const std::string utf8 = "\xEF\xBB\xBF<a/>";
    EXPECT_THAT(parse<char>(utf8), ElementsAre("text \\xEF\\xBB\\xBF", "element a /", "end a"));
    EXPECT_THAT(parse<wchar_t>(utf8),
                ElementsAre("text \\xFFFFFFEF\\xFFFFFFBB\\xFFFFFFBF", "element a /", "end a"));
}

TEST(XMLReader, NodeRules)
{
    const struct {
        const char* why;
        const char* text;
        std::vector<std::string> nodes;
    } kCases[] = {
        {"declaration is unknown with an empty name",
         "<?xml version=\"1.0\"?><a/>",
         {"unknown ", "element a /", "end a"}},
        {"one line feed between tags is dropped", "<a>\n</a>", {"element a", "end a"}},
        {"two white characters are dropped", "<a> \t</a>", {"element a", "end a"}},
        {"three white characters are text", "<a>\n  </a>", {"element a", "text \\xA  ", "end a"}},
        {"one non-white character is text", "<a>x</a>", {"element a", "text x", "end a"}},
        {"text without tags gives nothing", "just text", {}},
        {"text after the last tag is not reported", "<a/>tail", {"element a /", "end a"}},
        {"name with slash closes itself", "<br/>", {"element br /", "end br"}},
        {"end tag keeps white space in its name", "<a></a >", {"element a", "end a "}},
        {"comment may hold balanced brackets", "<!-- <b> -->", {"comment  <b> "}},
        {"doctype loses two characters each side", "<!DOCTYPE x>", {"comment CTYPE"}},
        {"attribute without value takes the next quoted text", "<a b c='1'>", {"element a b=1"}},
        {"double and single quotes", "<a x=\"it's\" y='say \"hi\"'>", {"element a x=it's y=say \"hi\""}},
        {"attributes are kept through text", "<a k='v'>t", {"element a k=v"}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(parse<char>(c.text), c.nodes);
        EXPECT_EQ(parse<wchar_t>(c.text), c.nodes);
    }
}

TEST(XMLReader, TextNodesReportTheAttributesOfTheTagBeforeThem)
{
    CXMLReaderImpl<char> reader(new CBytesSource("<a k='v'>text<b/>"), true);
    ASSERT_TRUE(reader.read());
    ASSERT_TRUE(reader.read());
    EXPECT_EQ(reader.getNodeType(), EXNK_TEXT);
    EXPECT_EQ(reader.getAttributeCount(), 1);
    EXPECT_STREQ(reader.getAttributeValue("k"), "v");
}

TEST(XMLReader, EntitiesAreReplacedOnceInTextAndValues)
{
    const struct {
        const char* value;
        const char* expected;
    } kCases[] = {
        {"a&amp;b", "a&b"},   {"&amp;", "&"},        {"&", "&"},
        {"&amp;lt;", "&lt;"}, {"a &lt; b", "a < b"}, {"&gt;&quot;&apos;", ">\"'"},
        {"&#65;", "&#65;"},   {"&nbsp;", "&nbsp;"},  {"x&", "x&"},
        {"&am", "&am"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.value);
        const std::string doc = std::string("<a v=\"") + c.value + "\">" + c.value + "xyz</a>";
        CXMLReaderImpl<char> reader(new CBytesSource(doc), true);
        ASSERT_TRUE(reader.read());
        EXPECT_STREQ(reader.getAttributeValue("v"), c.expected);
        ASSERT_TRUE(reader.read());
        EXPECT_EQ(std::string(reader.getNodeData()), std::string(c.expected) + "xyz");
    }
    // Names and comments are never replaced.
    EXPECT_EQ(parse<char>("<a&amp;/><!--&amp;-->"),
              (std::vector<std::string>{"element a&amp; /", "end a&amp;", "comment &amp;"}));
}

TEST(XMLReader, AttributeGetters)
{
    CXMLReaderImpl<wchar_t> reader(new CBytesSource("<a i='7.9' n='-2.9' e='1e2' f='1.5e2' Name='x'/>"),
                                   true);
    ASSERT_TRUE(reader.read());
    EXPECT_EQ(reader.getAttributeValueAsInt(L"i"), 7);
    EXPECT_EQ(reader.getAttributeValueAsInt(L"n"), -2);
    EXPECT_EQ(reader.getAttributeValueAsInt(1), -2);
    EXPECT_FLOAT_EQ(reader.getAttributeValueAsFloat(2), 1.f);       // the engine's parser: no exponent
    EXPECT_FLOAT_EQ(reader.getAttributeValueAsFloat(L"e"), 100.f);  // atof
    EXPECT_FLOAT_EQ(reader.getAttributeValueAsFloat(3), 150.f);
    EXPECT_FLOAT_EQ(reader.getAttributeValueAsFloat(L"missing"), 0.f);
    EXPECT_FLOAT_EQ(reader.getAttributeValueAsFloat(9), 0.f);
    EXPECT_EQ(reader.getAttributeName(-1), nullptr);
    EXPECT_EQ(reader.getAttributeName(reader.getAttributeCount()), nullptr);
    EXPECT_EQ(reader.getAttributeValue(5), nullptr);
    EXPECT_EQ(reader.getAttributeValue(L"name"), nullptr);  // names compare exactly
    EXPECT_STREQ(reader.getAttributeValue(L"Name"), L"x");
    EXPECT_STREQ(reader.getAttributeValueSafe(L"name"), L"");
    EXPECT_EQ(reader.getAttributeValue(static_cast<const wchar_t*>(nullptr)), nullptr);
    // The end step after an empty element clears the attributes.
    ASSERT_TRUE(reader.read());
    EXPECT_EQ(reader.getAttributeCount(), 0);
}

TEST(XMLReader, ReadToNextElementSkipsOtherNodes)
{
    CXMLReaderImpl<char> reader(new CBytesSource("<?xml?><!--c-->text<a/><b/>"), true);
    ASSERT_TRUE(reader.readToNextElement());
    EXPECT_STREQ(reader.getNodeName(), "a");
    ASSERT_TRUE(reader.readToNextElement());
    EXPECT_STREQ(reader.getNodeName(), "b");
    EXPECT_FALSE(reader.readToNextElement());
}

TEST(XMLReader, SourcesWithoutText)
{
    CXMLReaderImpl<char> none(nullptr, false);
    EXPECT_FALSE(none.read());
    CXMLReaderImpl<char> negative(new CBytesSource("<a/>", -1), true);
    EXPECT_FALSE(negative.read());
    CXMLReaderImpl<wchar_t> empty(new CBytesSource(""), true);
    EXPECT_FALSE(empty.read());
    EXPECT_STREQ(empty.getNodeName(), L"");
}

TEST(XMLReader, ShortReadsParseOnlyWhatArrived)
{
    // Delivered in 3-byte pieces: all of it is read.
    EXPECT_EQ(parse<char>(std::string(kSample)), kSampleNodes);
    CXMLReaderImpl<char> chunked(new CBytesSource(kSample, -2, 3), true);
    EXPECT_EQ(dumpNodes(chunked), kSampleNodes);
    // A source that claims more than it has: the rest is not parsed as text.
    CXMLReaderImpl<char> shortSource(new CBytesSource("<a/><b>", 4096), true);
    EXPECT_THAT(dumpNodes(shortSource), ElementsAre("element a /", "end a", "element b"));
}

TEST(XMLReader, TruncatedInputStopsAtTheEnd)
{
    const struct {
        const char* why;
        const char* text;
        std::vector<std::string> nodes;
    } kCases[] = {
        {"inside a start tag name", "<abc", {"element abc"}},
        // The element ends where the text does, its name not yet set.
        {"inside an attribute name", "<a bc", {"element "}},
        {"inside an attribute value", "<a b='x", {"element "}},
        {"inside an end tag", "<a></a", {"element a", "end a"}},
        {"inside a declaration", "<?xml", {"unknown "}},
        {"inside a comment", "<!-- abc", {"comment  a"}},
        {"inside CDATA", "<![CDATA[abc", {"cdata "}},
        {"inside the CDATA marker", "<![CD", {"cdata "}},
        {"a lone bracket", "<", {"element "}},
        {"a bang", "<!", {"comment "}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(parse<char>(c.text), c.nodes);
        EXPECT_EQ(parse<wchar_t>(c.text), c.nodes);
    }
}

// Every prefix and a few thousand mutations of a rich document, in every format and with both
// readers: each terminates without touching memory past the text (checked under the sanitizer).
TEST(XMLReader, EveryPrefixAndMutationTerminates)
{
    const std::string doc =
        "<?xml version=\"1.0\"?>\n<!DOCTYPE d><r a='1' b=\"&amp;&lt;\">\n  <e x='y'/>text &gt;"
        "<!-- c <n> --><![CDATA[<raw>]]></r >";
    for (E_XML_TEXT_FORMAT format : kFormats) {
        const std::string bytes = encode(widen(doc), format);
        for (size_t n = 0; n <= bytes.size(); ++n) {
            parse<char>(bytes.substr(0, n));
            parse<wchar_t>(bytes.substr(0, n));
        }
    }
    std::mt19937 rng(5);
    const char kAlphabet[] = "<>/!?[]-='\"& \0xa";
    for (int i = 0; i < 3000; ++i) {
        std::string bytes = encode(widen(doc), kFormats[i % 5]);
        for (int k = 0; k < 4; ++k) bytes[rng() % bytes.size()] = kAlphabet[rng() % (sizeof kAlphabet - 1)];
        bytes.resize(rng() % (bytes.size() + 1));
        EXPECT_LE(parse<char>(bytes).size(), bytes.size() + 1);
        EXPECT_LE(parse<wchar_t>(bytes).size(), bytes.size() + 1);
    }
}

TEST(XMLReader, FactoriesReadFilesAndReleaseThem)
{
    EXPECT_EQ(createIXMLReader(nullptr), nullptr);
    EXPECT_EQ(createIXMLReaderUTF8(nullptr), nullptr);

    const std::string bytes = encode(widen(kSample), EXTF_UTF32_BE);
    void* block = malloc(bytes.size());
    memcpy(block, bytes.data(), bytes.size());
    IReadFile* file = createMemoryReadFile(block, int32_t(bytes.size()), "sample.xml", true);
    ASSERT_NE(file, nullptr);
    IXMLReader* wide = createIXMLReader(file);
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(file->getReferenceCount(), 1);  // the reader let go of it once loaded
    EXPECT_EQ(dumpNodes(*wide), kSampleNodes);
    wide->drop();

    file->seek(0);
    IXMLReaderUTF8* narrowReader = createIXMLReaderUTF8(file);
    EXPECT_EQ(narrowReader->getSourceFormat(), EXTF_UTF32_BE);
    EXPECT_EQ(dumpNodes(*narrowReader), kSampleNodes);
    narrowReader->drop();
    file->drop();
}
