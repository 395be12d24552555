// The three writers: what each writes loads back through the loaders (TGA and PNG byte for byte,
// JPEG within a tolerance), file names pick writers, and refused images and write errors give
// false instead of a broken file or a dead process.

#include "engine/video/image/CImageLoaderJPG.h"
#include "engine/video/image/CImageLoaderPng.h"
#include "engine/video/image/CImageLoaderTGA.h"
#include "engine/video/image/CImageWriterJPG.h"
#include "engine/video/image/CImageWriterPNG.h"
#include "engine/video/image/CImageWriterTGA.h"

#include "tests/engine/video/ImageTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

using namespace pravik;
using namespace pravik::video;

namespace {

// A picture with every byte different, so swapped channels or rows show.
CImagePtr pattern(E_PIXEL_FORMAT f, int w, int h) {
    CImagePtr img = new CImage(f, core::dimension2d<int>(w, h));
    auto* p = static_cast<unsigned char*>(img->getData());
    for (unsigned i = 0; i < img->getImageDataSizeInBytes(); ++i) p[i] = (unsigned char)(i * 37 + 11);
    return img;
}

std::vector<unsigned char> bytesOf(const CImagePtr& img) {
    const auto* p = static_cast<const unsigned char*>(img->getData());
    return {p, p + img->getImageDataSizeInBytes()};
}

}  // namespace

TEST(ImageWriter, NamesPickWriters) {
    CImageWriterJPG jpg;
    CImageWriterPNG png;
    CImageWriterTGA tga;
    EXPECT_TRUE(jpg.isAWriteableFileExtension("a.jpeg"));
    EXPECT_TRUE(jpg.isAWriteableFileExtension("a.JPG"));
    EXPECT_FALSE(jpg.isAWriteableFileExtension("a.jpg.bak"));
    EXPECT_FALSE(png.isAWriteableFileExtension("a.jpg.bak"));
    EXPECT_FALSE(tga.isAWriteableFileExtension("a.jpg.bak"));
    EXPECT_TRUE(png.isAWriteableFileExtension("a.png.bak"));  // searched in the whole name
    EXPECT_TRUE(tga.isAWriteableFileExtension("shots/A.TGA"));
    IImageWriter* w = createImageWriterPNG();
    EXPECT_EQ(w->getReferenceCount(), 1);
    w->drop();
}

TEST(ImageWriterTGA, WritesWhatTheLoaderReadsBack) {
    CImageWriterTGA writer;
    CImageLoaderTGA loader;
    for (const E_PIXEL_FORMAT f : {EPF_R8G8B8, EPF_R8G8B8A8, EPF_A1R5G5B5}) {
        SCOPED_TRACE(pixel_format::getName(f));
        const CImagePtr img = pattern(f, 5, 3);
        EXPECT_FALSE(writer.writeImage(nullptr, img, 0));
        const std::string file = test::writeBytes(writer, img);
        ASSERT_FALSE(file.empty());
        const unsigned depth = f == EPF_R8G8B8 ? 24 : f == EPF_A1R5G5B5 ? 16 : 32;
        EXPECT_EQ(file.size(), 18 + 5 * 3 * depth / 8 + 26);
        EXPECT_EQ((unsigned char)file[16], depth);
        EXPECT_EQ((unsigned char)file[17], depth == 24 ? 0x20 : depth == 16 ? 0x21 : 0x28);
        io::IReadFile* in = io::createMemoryReadFile(const_cast<char*>(file.data()), int32_t(file.size()), "a.tga", false);
        EXPECT_TRUE(loader.isALoadableFileFormat(in));
        in->drop();
        const CImagePtr back = test::loadBytes(loader, file);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->getColorFormat(), f);
        EXPECT_EQ(bytesOf(back), bytesOf(img));
    }
    // Blue first in a 24-bit file.
    const CImagePtr one = new CImage(EPF_R8G8B8, core::dimension2d<int>(1, 1));
    one->setPixel(0, 0, SColor(1, 2, 3, 255));
    EXPECT_EQ(test::writeBytes(writer, one).substr(18, 3), std::string("\x03\x02\x01", 3));
}

TEST(ImageWriterTGA, ShortWritesAndUnwritableImages) {
    CImageWriterTGA writer;
    const CImagePtr img = pattern(EPF_R8G8B8A8, 4, 4);
    for (uint32_t limit : {0u, 17u, 40u, 18u + 64u, 18u + 64u + 25u}) {
        SCOPED_TRACE(limit);
        test::FailingWriteFile file(limit);
        EXPECT_FALSE(writer.writeImage(&file, img, 0));
    }
    EXPECT_TRUE(test::writeBytes(writer, pattern(EPF_COMPRESSED_RGBA_S3TC_DXT1, 4, 4)).empty());
}

TEST(ImageWriterPNG, RoundTripsByteForByte) {
    CImageWriterPNG writer;
    CImageLoaderPng loader;
    for (const E_PIXEL_FORMAT f : {EPF_R8G8B8A8, EPF_R8G8B8}) {
        SCOPED_TRACE(pixel_format::getName(f));
        const CImagePtr img = pattern(f, 7, 5);
        const CImagePtr back = test::loadBytes(loader, test::writeBytes(writer, img));
        ASSERT_TRUE(back);
        EXPECT_EQ(back->getColorFormat(), f);
        EXPECT_EQ(bytesOf(back), bytesOf(img));
    }
}

TEST(ImageWriterPNG, EveryFormatComesBackWithItsColours) {
    CImageWriterPNG writer;
    CImageLoaderPng loader;
    const E_PIXEL_FORMAT formats[] = {EPF_A8R8G8B8, EPF_B8G8R8A8, EPF_A8B8G8R8, EPF_B8G8R8, EPF_R5G6B5,
                                      EPF_A1R5G5B5, EPF_R4G4B4A4, EPF_A2B10G10R10, EPF_L8, EPF_L8A8, EPF_A8L8};
    for (const E_PIXEL_FORMAT f : formats) {
        SCOPED_TRACE(pixel_format::getName(f));
        const CImagePtr img = pattern(f, 3, 2);
        const std::string file = test::writeBytes(writer, img);
        ASSERT_GT(file.size(), 26u);
        const bool alpha = pixel_format::desc(f).has(EPFF_ALPHA);
        const bool grey = pixel_format::desc(f).has(EPFF_LUMINANCE);
        EXPECT_EQ((unsigned char)file[24], 8);  // bit depth
        EXPECT_EQ((unsigned char)file[25], grey ? (alpha ? 4 : 0) : (alpha ? 6 : 2));  // colour type
        const CImagePtr back = test::loadBytes(loader, file);
        ASSERT_TRUE(back);
        EXPECT_EQ(test::rgbaOf(back), test::rgbaOf(img));
    }
    // A8: black with the alpha, as the image reads it.
    const CImagePtr a8 = pattern(EPF_A8, 2, 1);
    const CImagePtr back = test::loadBytes(loader, test::writeBytes(writer, a8));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->getPixel(1, 0), SColor(0, 0, 0, a8->getPixel(1, 0).a));
    // L16: the high byte of each sample survives (PNG samples are big-endian).
    const CImagePtr l16 = new CImage(EPF_L16, core::dimension2d<int>(1, 1));
    const uint16_t v = 0x12F0;
    std::memcpy(l16->getData(), &v, 2);
    const std::string file = test::writeBytes(writer, l16);
    EXPECT_EQ((unsigned char)file[24], 16);
    const CImagePtr l16back = test::loadBytes(loader, file);
    ASSERT_TRUE(l16back);
    EXPECT_EQ(l16back->getPixel(0, 0), SColor(0x12, 0x12, 0x12, 255));
}

TEST(ImageWriterPNG, RefusalsAndWriteErrors) {
    CImageWriterPNG writer;
    {
        test::LogCapture log;
        EXPECT_TRUE(test::writeBytes(writer, pattern(EPF_COMPRESSED_RGBA_S3TC_DXT1, 4, 4)).empty());
        EXPECT_EQ(log.first(), "PGNWriter: can only handle fixed bit width RGB/L+A formats");
    }
    EXPECT_TRUE(test::writeBytes(writer, pattern(EPF_RGBA32F, 2, 2)).empty());
    EXPECT_TRUE(test::writeBytes(writer, pattern(EPF_DEPTH16, 2, 2)).empty());
    test::LogCapture log;
    test::FailingWriteFile file(20);
    EXPECT_FALSE(writer.writeImage(&file, pattern(EPF_R8G8B8A8, 8, 8), 0));
    ASSERT_FALSE(log.entries().empty());
    EXPECT_EQ(log.entries()[0].text, "PNG FATAL ERROR");
    EXPECT_EQ(log.entries()[0].hint, "Write Error");
}

TEST(ImageWriterJPG, RoundTripsWithinTolerance) {
    CImageWriterJPG writer;
    CImageLoaderJPG loader;
    // A smooth picture: JPEG keeps it close.
    const CImagePtr img = new CImage(EPF_A8R8G8B8, core::dimension2d<int>(32, 24));
    for (unsigned y = 0; y < 24; ++y)
        for (unsigned x = 0; x < 32; ++x) img->setPixel(x, y, SColor(uint8_t(x * 8), uint8_t(y * 10), 128, 255));
    EXPECT_FALSE(writer.writeImage(nullptr, img, 0));
    const std::string file = test::writeBytes(writer, img, 95);
    ASSERT_FALSE(file.empty());
    io::IReadFile* in = io::createMemoryReadFile(const_cast<char*>(file.data()), int32_t(file.size()), "a.jpg", false);
    EXPECT_TRUE(loader.isALoadableFileFormat(in));
    in->drop();
    const CImagePtr back = test::loadBytes(loader, file);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->getColorFormat(), EPF_R8G8B8);
    const auto a = test::rgbaOf(img), b = test::rgbaOf(back);
    ASSERT_EQ(a.size(), b.size());
    int worst = 0;
    long total = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        const int d = std::abs(int(a[i]) - int(b[i]));
        worst = std::max(worst, d);
        total += d;
    }
    EXPECT_LE(worst, 12);  // chroma is stored at half resolution
    EXPECT_LE(double(total) / double(a.size()), 3.0);
    // Quality 0 means 75.
    EXPECT_EQ(test::writeBytes(writer, img, 0), test::writeBytes(writer, img, 75));
    EXPECT_NE(test::writeBytes(writer, img, 0), test::writeBytes(writer, img, 95));
}

TEST(ImageWriterJPG, RefusalsAndWriteErrors) {
    CImageWriterJPG writer;
    EXPECT_TRUE(test::writeBytes(writer, pattern(EPF_COMPRESSED_RGBA_S3TC_DXT1, 4, 4)).empty());
    EXPECT_TRUE(test::writeBytes(writer, pattern(EPF_RGBA16F, 4, 4)).empty());
    // A write error returns false; the process goes on.
    for (uint32_t limit : {0u, 100u, 5000u}) {
        SCOPED_TRACE(limit);
        test::LogCapture log;
        test::FailingWriteFile file(limit);
        EXPECT_FALSE(writer.writeImage(&file, pattern(EPF_R8G8B8, 128, 128), 100));
        EXPECT_TRUE(log.contains("JPEG FATAL ERROR"));
    }
}
