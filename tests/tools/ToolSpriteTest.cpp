// quendrax-tool sprite and glyphs: one record a line; sprite --png paints frames through the real
// batcher headless; refused files exit non-zero with a one-line reason.

#include "engine/io/CMemoryReadFile.h"
#include "engine/video/image/CImageLoaderPng.h"
#include "tests/support/TempDir.h"
#include "tests/tools/ToolRun.h"
#include "tools/formats/GlyphSheet.h"
#include "tools/formats/PngWriter.h"
#include "tools/formats/SpriteWriter.h"

#include <gtest/gtest.h>

#include <array>

namespace fs = formats::sprites;

namespace {

std::string str(const std::vector<uint8_t>& v) { return std::string(v.begin(), v.end()); }

void expectOneLineFailure(const test::ToolResult& r, const char* command)
{
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind(std::string(command) + ": ", 0), 0u) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
}

}  // namespace

TEST(ToolSprite, PrintsRecordsAndPaintsFramesSideBySide)
{
    test::TempDir dir;
    // Two 16 x 16 modules of a 32 x 16 picture (red | green), a frame of each, an animation of both.
    const uint32_t quadrants[4] = {0xFF0000FF, 0x00FF00FF, 0xFF0000FF, 0x00FF00FF};
    dir.write("pic.png", str(formats::images::PngRGBA(32, 16, formats::images::QuadrantsRGBA(32, 16, quadrants))));
    fs::Sprite f;
    f.addImageModule(0, 0, 0, 16, 16);
    f.addImageModule(0, 16, 0, 16, 16);
    f.addFrame({{0, 0, 0, 0}});
    f.addFrame({{1, 0, 0, 0}});
    f.addAnim({{0, 2, 0, 0, 0}, {1, 3, 5, 0, 1}});
    const std::string file = dir.write("s.bsprite", str(fs::Write(f)));

    auto r = test::runTool("sprite " + test::quoted(file));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "sprite flags 0x50D35 modules 2 fmodules 2 frames 2 aframes 2 anims 1\n"
                     "module 0 image 0 x 0 y 0 w 16 h 16\n"
                     "module 1 image 0 x 16 y 0 w 16 h 16\n"
                     "fmodule 0 module 0 x 0 y 0 flags 0x0\n"
                     "fmodule 1 module 1 x 0 y 0 flags 0x0\n"
                     "frame 0 fmodules 1 first 0\n"
                     "frame 1 fmodules 1 first 1\n"
                     "aframe 0 frame 0 time 2 dx 0 dy 0 flags 0x0\n"
                     "aframe 1 frame 1 time 3 dx 5 dy 0 flags 0x1\n"
                     "anim 0 aframes 2 first 0\n");

    // The animation: frame 0 (red), then frame 1 flipped (green), 4 pixels apart.
    const std::string png = dir.file("anim.png");
    r = test::runTool("sprite " + test::quoted(file) + " --anim 0 --images pic --png " + test::quoted(png));
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string bytes = test::readFile(png);
    pravik::io::CMemoryReadFile in(const_cast<char*>(bytes.data()), int32_t(bytes.size()), "anim.png", false);
    pravik::video::CImageLoaderPng loader;
    const pravik::video::CImagePtr image = loader.loadImage(&in);
    ASSERT_TRUE(image);
    ASSERT_EQ(image->getDimension().Width, 4 + 16 + 4 + 16 + 4);
    ASSERT_EQ(image->getDimension().Height, 4 + 16 + 4);
    auto at = [&](int x, int y) {
        const auto c = image->getPixel(unsigned(x), unsigned(y));
        return std::array<unsigned, 3>{c.getRed(), c.getGreen(), c.getBlue()};
    };
    EXPECT_EQ(at(12, 12), (std::array<unsigned, 3>{255, 0, 0}));
    EXPECT_EQ(at(32, 12), (std::array<unsigned, 3>{0, 255, 0}));
    EXPECT_EQ(at(22, 12), (std::array<unsigned, 3>{0, 0, 0}));

    // Refusals: a cut file, a frame it lacks, no images to paint with, an image that is not there,
    // a missing file.
    const std::string cut = dir.write("cut.bsprite", str(fs::Write(f)).substr(0, 20));
    for (const std::string& args : {"sprite " + test::quoted(cut), "sprite " + test::quoted(file) + " --frame 9",
                                    "sprite " + test::quoted(file) + " --png " + test::quoted(png),
                                    "sprite " + test::quoted(file) + " --images nopic --png " + test::quoted(png),
                                    "sprite " + test::quoted(dir.file("none.bsprite"))}) {
        SCOPED_TRACE(args);
        expectOneLineFailure(test::runTool(args), "sprite");
    }
}

TEST(ToolGlyphs, PrintsMetricsGlyphsAndCharacters)
{
    test::TempDir dir;
    formats::glyphs::Metrics m;
    m.cellW = 20;
    m.cellH = 24;
    m.glyphs = {{0, 0}, {1, 10}, {-2, 12}};
    m.chars[uint8_t(' ')] = -1;
    m.chars[uint8_t('A')] = 1;
    const std::string file = dir.write("f.bin", str(formats::glyphs::WriteBin(m)));
    auto r = test::runTool("glyphs " + test::quoted(file) + " --width 50");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "glyphs 3 cell 20 x 24\n"
                     "glyph 1 x 0 width 0 cell 0,3\n"
                     "glyph 2 x 1 width 10 cell 20,3\n"
                     "glyph 3 x -2 width 12 cell 0,27\n"
                     "char ' ' blank\n"
                     "char 'A' glyph 2\n");
    m.count = 9;   // more glyphs than the file holds
    const std::string lying = dir.write("g.bin", str(formats::glyphs::WriteBin(m)));
    expectOneLineFailure(test::runTool("glyphs " + test::quoted(lying)), "glyphs");
    expectOneLineFailure(test::runTool("glyphs"), "glyphs");
}
