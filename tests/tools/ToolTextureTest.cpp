// quendrax-tool texture DATA_DIR NAME: loads through the texture manager of a null-driver
// engine that mounts DATA_DIR, and prints the texture's records.

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

TEST(ToolTexture, LoadsThroughTheEnginesTextureManager)
{
    test::TempDir dir;
    CImagePtr img = new CImage(EPF_R8G8B8A8, core::dimension2d<int>(8, 8));
    for (int i = 0; i < 64; ++i) img->setPixel(i % 8, i / 8, SColor(uint8_t(i * 4), uint8_t(255 - i), 9, 200));
    dir.write("tex/ball.png", test::writeBytes(CImageWriterPNG(), img));
    const std::vector<unsigned char> rgba = test::rgbaOf(img);
    char crc[16];
    std::snprintf(crc, sizeof crc, "%08lx",
                  crc32(crc32(0L, Z_NULL, 0), rgba.data(), uInt(rgba.size())));

    const auto r = test::runTool("texture " + test::quoted(dir.path().string()) + " tex/ball.png");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "name\ttex/ball.png\nsize\t8x8\nformat\tR8G8B8A8\nlevels\t1\nchecksum\tcrc32:" + std::string(crc) +
                         "\nsource\ttex/ball.png\n");

    const auto missing = test::runTool("texture " + test::quoted(dir.path().string()) + " none.png");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err.rfind("texture: none.png: ", 0), 0u) << missing.err;
}
