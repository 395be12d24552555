// Files made by another tool (ImageMagick's convert) load to the pixels that tool decodes them
// to. Skipped when convert is not installed.

#include "engine/video/image/CImageLoaderBMP.h"
#include "engine/video/image/CImageLoaderJPG.h"
#include "engine/video/image/CImageLoaderPng.h"
#include "engine/video/image/CImageLoaderTGA.h"

#include "tests/engine/video/ImageTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using namespace pravik;
using namespace pravik::video;

namespace {

constexpr int W = 13, H = 7;

// A picture of 24 colours: few enough for any palette, more than a 4-bit one holds (so bitmaps
// get 8-bit indices); optionally with alpha.
std::string sourcePixels(bool alpha) {
    static const unsigned char colours[12][3] = {
        {0, 0, 0},     {255, 255, 255}, {255, 0, 0},   {0, 255, 0},    {0, 0, 255},   {200, 100, 50},
        {12, 34, 56},  {250, 240, 10},  {128, 128, 128}, {77, 200, 177}, {1, 2, 3},   {90, 0, 160}};
    std::string s;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const unsigned i = unsigned(x * 5 + y * 3 + x * y) % 24;
            const unsigned char* c = colours[i % 12];
            const unsigned char flip = i >= 12 ? 0x5A : 0;  // the second dozen, changed
            s += char(c[0] ^ flip), s += char(c[1] ^ flip), s += char(c[2]);
            s += char(alpha ? (x * 19 + y * 41) % 256 : 255);
        }
    return s;
}

struct Case {
    const char* why;
    const char* output;   // convert's output spec, with %s for the path
    const char* name;     // file name
    bool alpha;
    const IImageLoader* loader;
    int tolerance;        // per channel
    bool fiveBits;        // the loader keeps 5 bits a channel (palette BMPs)
};

unsigned char to5(unsigned char v) { return (unsigned char)((v & 0xF8) | (v >> 5)); }

}  // namespace

TEST(ImageLoaderMagick, FilesFromAnotherToolGiveItsPixels) {
    if (!test::haveImageMagick()) GTEST_SKIP() << "ImageMagick's convert is not installed";
    test::TempDir dir;
    const std::string opaque = dir.write("opaque.rgba", sourcePixels(false));
    const std::string translucent = dir.write("alpha.rgba", sourcePixels(true));
    CImageLoaderPng png;
    CImageLoaderJPG jpg;
    CImageLoaderBMP bmp;
    CImageLoaderTGA tga;
    const Case cases[] = {
        {"PNG 8-bit RGBA", "PNG32:%s", "a.png", true, &png, 0, false},
        {"PNG 8-bit RGB", "PNG24:%s", "b.png", false, &png, 0, false},
        {"PNG grey", "-colorspace Gray -define png:color-type=0 PNG:%s", "c.png", false, &png, 0, false},
        {"PNG grey with alpha", "-colorspace Gray -define png:color-type=4 PNG:%s", "c2.png", true, &png, 0, false},
        {"PNG palette", "PNG8:%s", "d.png", false, &png, 0, false},
        {"PNG palette with transparency", "PNG8:%s", "d2.png", true, &png, 0, false},
        {"PNG 16-bit", "-depth 16 PNG64:%s", "e.png", true, &png, 0, false},
        {"PNG interlaced", "-interlace PNG PNG32:%s", "e2.png", true, &png, 0, false},
        {"JPEG 4:4:4", "-sampling-factor 1x1 -quality 90 JPEG:%s", "f.jpg", false, &jpg, 2, false},
        {"BMP 24-bit", "-type TrueColor BMP3:%s", "g.bmp", false, &bmp, 0, false},
        {"BMP 8-bit palette", "-type Palette BMP3:%s", "h.bmp", false, &bmp, 0, true},
        {"BMP RLE8", "-type Palette -compress RLE BMP3:%s", "i.bmp", false, &bmp, 0, true},
        {"TGA plain", "-compress None TGA:%s", "j.tga", true, &tga, 0, false},
        {"TGA RLE", "-compress RLE TGA:%s", "k.tga", true, &tga, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        const std::string path = dir.file(c.name);
        char out[256];
        std::snprintf(out, sizeof out, c.output, path.c_str());
        const std::string input = "-size 13x7 -depth 8 rgba:" + (c.alpha ? translucent : opaque);
        ASSERT_TRUE(test::magick(input + " " + out));
        const std::string ref = dir.file(std::string(c.name) + ".raw");
        // convert keeps a TGA's bottom-left origin as a note on the picture; -auto-orient applies
        // it, as the format asks and our loader does.
        ASSERT_TRUE(test::magick(path + " -auto-orient -depth 8 rgba:" + ref));
        const std::string expected = test::readFile(ref);
        ASSERT_EQ(expected.size(), size_t(W * H * 4));

        const std::string file = test::readFile(path);
        if (c.loader == &bmp) {
            ASSERT_GT(file.size(), 30u);
            EXPECT_EQ(int(file[28]), c.fiveBits ? 8 : 24);  // bits per pixel as intended
        }
        const CImagePtr img = test::loadBytes(*c.loader, file, c.name);
        ASSERT_TRUE(img);
        ASSERT_EQ(img->getDimension(), core::dimension2d<int>(W, H));
        const auto got = test::rgbaOf(img);
        ASSERT_EQ(got.size(), expected.size());
        int worst = 0;
        for (size_t i = 0; i < got.size(); ++i) {
            unsigned char e = (unsigned char)expected[i];
            if (c.fiveBits && i % 4 != 3) e = to5(e);
            worst = std::max(worst, std::abs(int(got[i]) - int(e)));
        }
        EXPECT_LE(worst, c.tolerance);
    }
}
