// quendrax-tool texture DATA_DIR NAME [--null]: loads through the texture manager of the OpenGL
// ES driver on a headless context (or of the null driver), over an engine that mounts DATA_DIR,
// and prints the texture's records.

#include "engine/video/image/CImageWriterPNG.h"

#include "tests/engine/video/ImageTestSupport.h"
#include "tests/support/TempDir.h"
#include "tests/tools/ToolRun.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <string>

using namespace pravik;
using namespace pravik::video;

namespace {

// A PNG of the size under tex/, and the records the tool prints for it.
std::string writeTexture(const test::TempDir& dir, int width, int height)
{
    CImagePtr img = new CImage(EPF_R8G8B8A8, core::dimension2d<int>(width, height));
    for (int i = 0; i < width * height; ++i)
        img->setPixel(i % width, i / width, SColor(uint8_t(i * 4), uint8_t(255 - i), 9, 200));
    const std::string name = "tex/" + std::to_string(width) + "x" + std::to_string(height) + ".png";
    dir.write(name, test::writeBytes(CImageWriterPNG(), img));
    const std::vector<unsigned char> rgba = test::rgbaOf(img);
    char crc[16];
    std::snprintf(crc, sizeof crc, "%08lx", crc32(crc32(0L, Z_NULL, 0), rgba.data(), uInt(rgba.size())));
    return "name\t" + name + "\nsize\t" + std::to_string(width) + "x" + std::to_string(height) +
           "\nformat\tR8G8B8A8\nlevels\t1\nchecksum\tcrc32:" + crc + "\nsource\t" + name + "\n";
}

}  // namespace

TEST(ToolTexture, LoadsThroughTheEnginesTextureManager)
{
    test::TempDir dir;
    const std::string square = writeTexture(dir, 8, 8);
    const std::string odd = writeTexture(dir, 12, 5);
    const struct {
        const char* why;
        std::string args;
        std::string out;  // "" when refused
    } kCases[] = {
        {"GL ES, square", "tex/8x8.png", square},
        {"GL ES, neither square nor a power of two", "tex/12x5.png", odd},
        {"null driver, square", "tex/8x8.png --null", square},
        {"the null driver takes square textures only", "tex/12x5.png --null", ""},
        {"missing", "none.png", ""},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        const auto r = test::runTool("texture " + test::quoted(dir.path().string()) + " " + c.args);
        EXPECT_EQ(r.out, c.out);
        if (c.out.empty()) {
            EXPECT_EQ(r.status, 1);
            EXPECT_EQ(r.err.rfind("texture: " + c.args.substr(0, c.args.find(' ')) + ": ", 0), 0u) << r.err;
        } else {
            EXPECT_EQ(r.status, 0) << r.err;
        }
    }
}
