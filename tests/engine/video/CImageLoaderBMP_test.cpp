// Bitmaps built byte by byte: RLE decoding, palettes, bit fields, direct colour and the headers
// that must be refused.

#include "engine/video/image/CImageLoaderBMP.h"

#include "tests/engine/video/ImageTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace pravik;
using namespace pravik::video;

namespace {

void put16(std::string& s, size_t at, uint32_t v) { s[at] = char(v), s[at + 1] = char(v >> 8); }
void put32(std::string& s, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) s[at + i] = char(v >> (8 * i));
}

// A bitmap: 54-byte header, the table of 32-bit entries, then the given pixel bytes.
std::string bmp(int width, int height, unsigned bits, unsigned compression,
                const std::vector<uint32_t>& table, const std::string& pixels) {
    std::string s(54, '\0');
    s[0] = 'B', s[1] = 'M';
    put32(s, 2, uint32_t(54 + table.size() * 4 + pixels.size()));
    put32(s, 10, uint32_t(54 + table.size() * 4));
    put32(s, 14, 40);
    put32(s, 18, uint32_t(width));
    put32(s, 22, uint32_t(height));
    put16(s, 26, 1);
    put16(s, 28, bits);
    put32(s, 30, compression);
    put32(s, 34, uint32_t(pixels.size()));
    for (uint32_t e : table) {
        std::string b(4, '\0');
        put32(b, 0, e);
        s += b;
    }
    return s + pixels;
}

std::string bytes(std::initializer_list<int> v) {
    std::string s;
    for (int b : v) s += char(b);
    return s;
}

SColor px(const CImagePtr& img, unsigned x, unsigned y) { return img->getPixel(x, y); }

std::vector<unsigned char> rle8(const std::string& in, size_t outSize, unsigned pitch) {
    std::vector<unsigned char> out(outSize, 0xEE);
    CImageLoaderBMP::decompress8BitRLE(reinterpret_cast<const unsigned char*>(in.data()), in.size(),
                                       out.data(), out.size(), pitch);
    return out;
}

}  // namespace

TEST(ImageLoaderBMP, RunLengthDecodingAsWritten) {
    using V = std::vector<unsigned char>;
    const struct {
        const char* why;
        std::string in;
        V out;  // 8 bytes, rows of 4
    } cases[] = {
        {"run then end of bitmap", bytes({3, 0x41, 0, 1, 2, 0x99}), {0x41, 0x41, 0x41, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}},
        {"odd literal skips its pad", bytes({0, 3, 1, 2, 3, 0, 1, 7}), {1, 2, 3, 7, 0xEE, 0xEE, 0xEE, 0xEE}},
        {"end of line", bytes({1, 5, 0, 0, 2, 6}), {5, 0xEE, 0xEE, 0xEE, 6, 6, 0xEE, 0xEE}},
        {"delta right and down", bytes({0, 2, 2, 1, 1, 9}), {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 9, 0xEE}},
        {"run past the end is cut", bytes({200, 4}), {4, 4, 4, 4, 4, 4, 4, 4}},
        {"literal past the input is cut", bytes({0, 9, 1, 2}), {1, 2, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}},
        {"delta without its bytes", bytes({0, 2, 1}), V(8, 0xEE)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(rle8(c.in, 8, 4), c.out);
    }
    // RLE4: runs alternate the two nibbles of their byte; a literal takes nibbles high first.
    std::vector<unsigned char> out(4, 0);
    const std::string in = bytes({3, 0x12, 0, 3, 0x34, 0x50, 0, 1});
    CImageLoaderBMP::decompress4BitRLE(reinterpret_cast<const unsigned char*>(in.data()), in.size(),
                                       out.data(), out.size(), 4);
    EXPECT_EQ(out, (std::vector<unsigned char>{0x12, 0x13, 0x45, 0x00}));
}

TEST(ImageLoaderBMP, PalettedRowsAreUprightAndPadded) {
    // 10 x 2 at 8 bits: rows of 12 bytes, bottom row first.
    std::string pixels;
    pixels += bytes({1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0});  // bottom: index 1
    pixels += bytes({0, 2, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0});  // top
    const std::string file = bmp(10, 2, 8, 0, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF}, pixels);
    CImageLoaderBMP loader;
    const CImagePtr img = test::loadBytes(loader, file);
    ASSERT_TRUE(img);
    EXPECT_EQ(img->getColorFormat(), EPF_R5G5B5A1);
    EXPECT_EQ(img->getDimension(), core::dimension2d<int>(10, 2));
    const auto rgba = test::rgbaOf(img);
    auto at = [&](unsigned x, unsigned y) {
        const unsigned char* p = &rgba[(y * 10 + x) * 4];
        return std::vector<int>{p[0], p[1], p[2], p[3]};
    };
    EXPECT_EQ(at(0, 0), (std::vector<int>{0, 0, 0, 255}));
    EXPECT_EQ(at(1, 0), (std::vector<int>{0, 255, 0, 255}));    // entry 2: green
    EXPECT_EQ(at(9, 0), (std::vector<int>{0, 0, 255, 255}));    // entry 3: blue
    EXPECT_EQ(at(4, 1), (std::vector<int>{255, 0, 0, 255}));    // entry 1: red
}

TEST(ImageLoaderBMP, OneBitIgnoresItsTableAndShortTablesReadBlack) {
    CImageLoaderBMP loader;
    const CImagePtr one = test::loadBytes(loader, bmp(3, 1, 1, 0, {0x123456, 0x654321}, bytes({0xA0, 0, 0, 0})));
    ASSERT_TRUE(one);
    EXPECT_EQ(test::rgbaOf(one), (std::vector<unsigned char>{255, 255, 255, 255, 0, 0, 0, 255, 255, 255, 255, 255}));
    // Index 200 of a two-entry table: opaque black, never a read past the table.
    const CImagePtr shortTable = test::loadBytes(loader, bmp(2, 1, 8, 0, {0xFFFFFF, 0xFFFFFF}, bytes({1, 200, 0, 0})));
    ASSERT_TRUE(shortTable);
    EXPECT_EQ(test::rgbaOf(shortTable), (std::vector<unsigned char>{255, 255, 255, 255, 0, 0, 0, 255}));
}

TEST(ImageLoaderBMP, DirectColourAndBitFields) {
    CImageLoaderBMP loader;
    // 32 bits without bit fields: the fourth byte is alpha as stored.
    const CImagePtr c32 = test::loadBytes(loader, bmp(1, 1, 32, 0, {}, bytes({1, 2, 3, 0})));
    ASSERT_TRUE(c32);
    EXPECT_EQ(px(c32, 0, 0), SColor(3, 2, 1, 0));
    // 16 bits without bit fields: X1R5G5B5 made opaque.
    const CImagePtr c16 = test::loadBytes(loader, bmp(1, 1, 16, 0, {}, bytes({0x1F, 0x00, 0, 0})));
    ASSERT_TRUE(c16);
    EXPECT_EQ(test::rgbaOf(c16), (std::vector<unsigned char>{0, 0, 255, 255}));
    // 16-bit R5G6B5 bit fields.
    const CImagePtr r565 = test::loadBytes(loader, bmp(1, 1, 16, 3, {0xF800, 0x7E0, 0x1F}, bytes({0x00, 0xF8, 0, 0})));
    ASSERT_TRUE(r565);
    EXPECT_EQ(r565->getColorFormat(), EPF_R5G6B5);
    EXPECT_EQ(px(r565, 0, 0), SColor(255, 0, 0, 255));
    // 24 bits: B, G, R in the file.
    const CImagePtr c24 = test::loadBytes(loader, bmp(1, 1, 24, 0, {}, bytes({1, 2, 3, 0})));
    ASSERT_TRUE(c24);
    EXPECT_EQ(px(c24, 0, 0), SColor(3, 2, 1, 255));
    // RLE8 through the whole loader.
    const CImagePtr rle = test::loadBytes(loader, bmp(2, 1, 8, 1, {0xFF0000, 0x00FF00}, bytes({2, 1, 0, 1})));
    ASSERT_TRUE(rle);
    EXPECT_EQ(test::rgbaOf(rle), (std::vector<unsigned char>{0, 255, 0, 255, 0, 255, 0, 255}));
}

TEST(ImageLoaderBMP, RefusesWhatItCannotRead) {
    CImageLoaderBMP loader;
    const std::string good = bmp(2, 2, 24, 0, {}, std::string(16, '\x7f'));
    ASSERT_TRUE(test::loadBytes(loader, good));

    auto with = [&](size_t at, uint32_t v) {
        std::string s = good;
        put32(s, at, v);
        return s;
    };
    const struct {
        const char* why;
        std::string file;
        const char* message;  // nullptr: no message expected
    } cases[] = {
        {"compression 4", with(30, 4), "Compression mode not supported."},
        {"not BM", "XY" + good.substr(2), nullptr},
        {"header cut", good.substr(0, 30), "BMP file too short"},
        {"offset before the header end", with(10, 20), "BMP pixel data offset outside the file"},
        {"offset past the file", with(10, 100000), "BMP pixel data offset outside the file"},
        {"pixels cut short", good.substr(0, good.size() - 4), "BMP pixel data cut short"},
        {"huge width", with(18, 0x7FFFFFFF), "BMP header not supported"},
        {"negative height", with(22, 0xFFFFFFFE), "BMP header not supported"},
        {"bit fields with one mask", bmp(1, 1, 16, 3, {0xF800}, std::string(4, '\0')), "BMP format not supported"},
        {"bit fields matching nothing", bmp(1, 1, 16, 3, {0x1F, 0x3E0, 0x7C00}, std::string(4, '\0')), "BMP format not supported"},
        {"odd bit count", with(28, 7), nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        test::LogCapture log;
        EXPECT_FALSE(test::loadBytes(loader, c.file));
        if (c.message) {
            EXPECT_EQ(log.first(), c.message);
        }
    }
}

TEST(ImageLoaderBMP, NameAndContentTests) {
    CImageLoaderBMP loader;
    EXPECT_TRUE(loader.isALoadableFileExtension("a/b.bmp"));
    EXPECT_TRUE(loader.isALoadableFileExtension("B.BMP"));
    EXPECT_FALSE(loader.isALoadableFileExtension("b.png"));
    const std::string file = bmp(1, 1, 24, 0, {}, std::string(4, '\0'));
    io::IReadFile* f = io::createMemoryReadFile(const_cast<char*>(file.data()), int32_t(file.size()), "x", false);
    EXPECT_TRUE(loader.isALoadableFileFormat(f));
    f->drop();
}
