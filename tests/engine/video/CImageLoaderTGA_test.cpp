// TGA files built byte by byte: row order, run-length packets, colour maps, refusals.

#include "engine/video/image/CImageLoaderTGA.h"

#include "tests/engine/video/ImageTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace pravik;
using namespace pravik::video;

namespace {

std::string tga(unsigned type, int width, int height, unsigned depth, unsigned descriptor,
                const std::string& body, const std::string& id = "", unsigned mapLength = 0) {
    std::string h(18, '\0');
    h[0] = char(id.size());
    h[1] = char(mapLength ? 1 : 0);
    h[2] = char(type);
    h[5] = char(mapLength), h[6] = char(mapLength >> 8);
    h[7] = char(mapLength ? 24 : 0);
    h[12] = char(width), h[13] = char(width >> 8);
    h[14] = char(height), h[15] = char(height >> 8);
    h[16] = char(depth);
    h[17] = char(descriptor);
    return h + id + std::string(mapLength * 3, '\x55') + body;
}

std::string bytes(std::initializer_list<int> v) {
    std::string s;
    for (int b : v) s += char(b);
    return s;
}

}  // namespace

TEST(ImageLoaderTGA, RowOrderFollowsTheDescriptor) {
    CImageLoaderTGA loader;
    const std::string body = bytes({1, 2, 3, 4, 5, 6});  // two 1-pixel rows, B, G, R
    const CImagePtr top = test::loadBytes(loader, tga(2, 1, 2, 24, 0x20, body));
    ASSERT_TRUE(top);
    EXPECT_EQ(top->getColorFormat(), EPF_R8G8B8);
    EXPECT_EQ(top->getPixel(0, 0), SColor(3, 2, 1, 255));
    const CImagePtr bottom = test::loadBytes(loader, tga(2, 1, 2, 24, 0x00, body, "an id", 2));
    ASSERT_TRUE(bottom);
    EXPECT_EQ(bottom->getPixel(0, 0), SColor(6, 5, 4, 255));  // the last stored row is row 0
}

TEST(ImageLoaderTGA, RunLengthPackets) {
    CImageLoaderTGA loader;
    // 0x83: one pixel four times; 0x01: two raw pixels. 32 bits: B, G, R, A.
    const std::string body = bytes({0x83, 10, 20, 30, 40, 0x01, 1, 2, 3, 4, 5, 6, 7, 8});
    const CImagePtr img = test::loadBytes(loader, tga(10, 3, 2, 32, 0x20, body));
    ASSERT_TRUE(img);
    EXPECT_EQ(img->getColorFormat(), EPF_R8G8B8A8);
    for (unsigned i = 0; i < 4; ++i) EXPECT_EQ(img->getPixel(i % 3, i / 3), SColor(30, 20, 10, 40));
    EXPECT_EQ(img->getPixel(1, 1), SColor(3, 2, 1, 4));
    EXPECT_EQ(img->getPixel(2, 1), SColor(7, 6, 5, 8));
    // A packet longer than the image is cut at its end.
    EXPECT_TRUE(test::loadBytes(loader, tga(10, 2, 1, 16, 0x20, bytes({0xFF, 1, 0x80}))));
}

TEST(ImageLoaderTGA, Refusals) {
    CImageLoaderTGA loader;
    const struct {
        const char* why;
        std::string file;
        const char* message;
    } cases[] = {
        {"15-bit depth", tga(2, 1, 1, 15, 0, bytes({0, 0})), "Unsupported TGA format"},
        {"colour-mapped type", tga(1, 1, 1, 24, 0, bytes({0, 0, 0})), "Unsupported TGA file type"},
        {"raw pixels cut short", tga(2, 2, 2, 24, 0, bytes({1, 2, 3})), "TGA pixel data cut short"},
        {"packets cut short", tga(10, 4, 1, 24, 0, bytes({0x80, 1, 2, 3})), "TGA pixel data cut short"},
        {"raw packet past the data", tga(10, 4, 1, 24, 0, bytes({0x03, 1, 2, 3})), "TGA pixel data cut short"},
        {"zero width", tga(2, 0, 1, 24, 0, ""), "TGA dimensions not supported"},
        {"header cut", std::string(10, '\0'), "TGA file too short"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        test::LogCapture log;
        EXPECT_FALSE(test::loadBytes(loader, c.file, "bad.tga"));
        if (c.message) {
            EXPECT_EQ(log.first(), c.message);
        }
    }
    std::string hugeMap = tga(2, 1, 1, 24, 0, bytes({1, 2, 3}));
    hugeMap[1] = 1, hugeMap[5] = char(0xFF), hugeMap[6] = char(0xFF), hugeMap[7] = 32;
    test::LogCapture log;
    EXPECT_FALSE(test::loadBytes(loader, hugeMap));
    EXPECT_EQ(log.first(), "TGA colour map runs past the end of the file");
}

TEST(ImageLoaderTGA, NameAndContentTests) {
    CImageLoaderTGA loader;
    EXPECT_TRUE(loader.isALoadableFileExtension("x.tga"));
    EXPECT_TRUE(loader.isALoadableFileExtension("X.TGA"));
    EXPECT_FALSE(loader.isALoadableFileExtension("x.png"));
    std::string file = tga(2, 1, 1, 24, 0x20, bytes({1, 2, 3}));
    file += std::string(8, '\0') + "TRUEVISION-XFILE." + std::string(1, '\0');
    io::IReadFile* f = io::createMemoryReadFile(file.data(), int32_t(file.size()), "x", false);
    EXPECT_TRUE(loader.isALoadableFileFormat(f));
    f->drop();
    std::string plain(40, 'x');
    io::IReadFile* g = io::createMemoryReadFile(plain.data(), int32_t(plain.size()), "x", false);
    EXPECT_FALSE(loader.isALoadableFileFormat(g));
    g->drop();
}
