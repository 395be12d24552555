// quendrax-tool xml: the reader's node stream of 8-bit and UTF-16 files, one node a line, and a
// one-line reason with a non-zero exit on failure.

#include "tests/support/TempDir.h"
#include "tests/tools/ToolRun.h"

#include <gtest/gtest.h>

TEST(ToolXml, PrintsTheNodeStream)
{
    test::TempDir dir;
    const std::string nodes = "unknown \"\"\n"
                              "element \"root\" \"a\"=\"1\" \"b\"=\"x&y\"\n"
                              "element \"item\" \"name\"=\"n\" empty\n"
                              "end \"item\"\n"
                              "text \"two\\nlines\"\n"
                              "comment \" c \"\n"
                              "end \"root\"\n";
    const std::string eightBit = dir.write(
        "a.xml", "<?xml version=\"1.0\"?>\n<root a=\"1\" b=\"x&amp;y\">\n<item name=\"n\"/>two\nlines<!-- c --></root>\n");
    // "<r k="é">€</r>" in UTF-16LE behind its byte-order mark
    const std::string utf16 = dir.write(
        "u.xml", std::string("\xff\xfe<\0r\0 \0k\0=\0\"\0\xe9\0\"\0>\0\xac\x20<\0/\0r\0>\0", 30));
    const struct {
        std::string args, out;
    } cases[] = {
        {eightBit, "format 8-bit\n" + nodes},
        {"--narrow " + eightBit, "format 8-bit\n" + nodes},
        {utf16, "format UTF-16LE\nelement \"r\" \"k\"=\"\xc3\xa9\"\ntext \"\xe2\x82\xac\"\nend \"r\"\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const auto r = test::runTool("xml " + c.args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, c.out);
    }

    const std::string missing = dir.file("missing.xml");
    const auto r = test::runTool("xml " + missing);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "xml: cannot open " + missing + "\n");
}
