// quendrax-tool font FILE|--builtin [--size N] [--text T]: loads a font through the GUI of a
// null-driver engine and prints its glyphs or advances, then the text's dimension.

#include "engine/video/image/CImageWriterPNG.h"

#include "tests/engine/video/ImageTestSupport.h"
#include "tests/support/TempDir.h"
#include "tests/tools/ToolRun.h"
#include "tools/formats/BitmapFontXml.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

using namespace pravik;
using namespace pravik::video;

namespace {

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);)
        out.push_back(l);
    return out;
}

}  // namespace

TEST(ToolFont, BuiltInFontListsItsGlyphsAndIcons)
{
    const auto r = test::runTool("font --builtin --text 'ab'");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> out = lines(r.out);
    ASSERT_EQ(out.size(), 248u);
    EXPECT_EQ(out[0], "U+0020\tsprite 0\trect 0,0,4,10\tunderhang 0\toverhang 0");
    EXPECT_EQ(out[246].rfind("U+0116\tsprite 246\t", 0), 0u) << out[246];
    EXPECT_EQ(out[247].rfind("dimension\t", 0), 0u);
    EXPECT_EQ(out[247].substr(out[247].size() - 3), "x10");
}

TEST(ToolFont, ImageAndXmlBitmapFonts)
{
    test::TempDir dir;
    CImagePtr img = new CImage(EPF_R8G8B8A8, core::dimension2d<int>(16, 16));
    img->fill(SColor(0, 255, 0, 255));
    img->setPixel(0, 0, SColor(255, 255, 0, 255));
    img->setPixel(1, 0, SColor(255, 0, 0, 255));
    img->setPixel(4, 6, SColor(255, 0, 0, 255));
    img->setPixel(6, 0, SColor(255, 255, 0, 255));
    img->setPixel(9, 7, SColor(255, 0, 0, 255));
    const std::string png = dir.write("marker.png", test::writeBytes(CImageWriterPNG(), img));
    const auto image = test::runTool("font " + test::quoted(png) + " --text '! '");
    EXPECT_EQ(image.status, 0) << image.err;
    EXPECT_EQ(image.out,
              "U+0020\tsprite 0\trect 0,0,4,6\tunderhang 0\toverhang 0\n"
              "U+0021\tsprite 1\trect 6,0,9,7\tunderhang 0\toverhang 0\n"
              "dimension\t7x7\n");

    const std::string xml = dir.write("glyphs.xml", formats::fontxml::write({}, {{L"A", "1", "2", "0", "0,0,5,9"}}));
    const auto described = test::runTool("font " + test::quoted(xml) + " --text AA");
    EXPECT_EQ(described.status, 0) << described.err;
    EXPECT_EQ(described.out, "U+0041\tsprite 0\trect 0,0,5,9\tunderhang 1\toverhang 2\ndimension\t16x9\n");
}

TEST(ToolFont, TrueTypeAdvances)
{
    const auto r = test::runTool("font /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf --size 20 --text 'a '");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> out = lines(r.out);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].rfind("U+0061\tglyph ", 0), 0u) << out[0];
    EXPECT_EQ(out[1].rfind("U+0020\tglyph ", 0), 0u) << out[1];
    EXPECT_EQ(out[1].substr(out[1].find("advance")), "advance 10");  // an empty glyph: half the size
    EXPECT_EQ(out[2].substr(out[2].size() - 3), "x20");
}

TEST(ToolFont, RefusesWithAReason)
{
    test::TempDir dir;
    const std::string junk = dir.write("junk.ttf", "not a font at all");
    const struct {
        std::string args;
        std::string reason;
    } cases[] = {
        {"", "font: usage: "},
        {"--builtin extra.ttf", "font: usage: "},
        {test::quoted(dir.file("none.ttf")), "font: " + dir.file("none.ttf") + ": no such file"},
        {test::quoted(junk), "font: " + junk + ": "},
        {"--builtin --size 0", "font: bad size: 0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const auto r = test::runTool("font " + c.args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.rfind(c.reason, 0), 0u) << r.err;
    }
}
