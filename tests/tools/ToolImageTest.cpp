// quendrax-tool image IN OUT: a PNG becomes a TGA with the same pixels, and each failure exits
// non-zero with one line that says why.

#include "engine/video/image/CImageLoaderTGA.h"
#include "engine/video/image/CImageWriterPNG.h"

#include "tests/engine/video/ImageTestSupport.h"
#include "tests/support/TempDir.h"
#include "tests/tools/ToolRun.h"

#include <gtest/gtest.h>

#include <string>

using namespace pravik;
using namespace pravik::video;

TEST(ToolImage, ConvertsThroughTheEngine) {
    test::TempDir dir;
    CImagePtr img = new CImage(EPF_R8G8B8A8, core::dimension2d<int>(3, 2));
    for (unsigned i = 0; i < 6; ++i) img->setPixel(i % 3, i / 3, SColor(uint8_t(i * 40), 7, 9, uint8_t(255 - i)));
    const std::string png = dir.write("in.png", test::writeBytes(CImageWriterPNG(), img));
    const std::string tga = dir.file("out.tga");

    const auto r = test::runTool("image " + test::quoted(png) + " " + test::quoted(tga));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, png + " 3x2 R8G8B8A8 -> " + tga + "\n");
    const CImagePtr back = test::loadBytes(CImageLoaderTGA(), test::readFile(tga));
    ASSERT_TRUE(back);
    EXPECT_EQ(test::rgbaOf(back), test::rgbaOf(img));

    const struct {
        std::string args, reason;
    } failures[] = {
        {png + " " + dir.file("out.gif"), "image: no writer for"},
        {dir.file("missing.png") + " " + tga, "image: cannot open"},
        {dir.write("cut.png", test::readFile(png).substr(0, 40)) + " " + tga, "image: cannot load"},
        {png, "image: usage"},
    };
    for (const auto& f : failures) {
        SCOPED_TRACE(f.args);
        const auto fail = test::runTool("image " + f.args);
        EXPECT_EQ(fail.status, 1);
        EXPECT_EQ(fail.out, "");
        EXPECT_EQ(fail.err.rfind(f.reason, 0), 0u) << fail.err;
        EXPECT_EQ(std::count(fail.err.begin(), fail.err.end(), '\n'), 1);
    }
}
