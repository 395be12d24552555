// PNG and JPEG loaders: how they report damaged files, and their name and content tests.

#include "engine/video/image/CImageLoaderJPG.h"
#include "engine/video/image/CImageLoaderPng.h"
#include "engine/video/image/CImageWriterJPG.h"
#include "engine/video/image/CImageWriterPNG.h"

#include "tests/engine/video/ImageTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace pravik;
using namespace pravik::video;

namespace {

CImagePtr picture(E_PIXEL_FORMAT f) {
    CImagePtr img = new CImage(f, core::dimension2d<int>(16, 16));
    for (unsigned y = 0; y < 16; ++y)
        for (unsigned x = 0; x < 16; ++x) img->setPixel(x, y, SColor(uint8_t(x * 16), uint8_t(y * 16), 99, 200));
    return img;
}

bool recognised(const IImageLoader& loader, std::string bytes) {
    io::IReadFile* f = io::createMemoryReadFile(bytes.data(), int32_t(bytes.size()), "x", false);
    const bool yes = loader.isALoadableFileFormat(f);
    f->drop();
    return yes;
}

}  // namespace

TEST(ImageLoaderPng, DamagedFilesAreReported) {
    CImageLoaderPng loader;
    const std::string good = test::writeBytes(CImageWriterPNG(), picture(EPF_R8G8B8A8));
    ASSERT_TRUE(test::loadBytes(loader, good));
    {
        test::LogCapture log;
        EXPECT_FALSE(test::loadBytes(loader, good.substr(0, good.size() / 2), "cut.png"));
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(log.entries()[0].text, "PNG FATAL ERROR");
        EXPECT_EQ(log.entries()[0].hint, "Read Error");
    }
    {
        test::LogCapture log;
        EXPECT_FALSE(test::loadBytes(loader, "GIF89a and more bytes", "n.png"));
        EXPECT_EQ(log.first(), "LOAD PNG: not really a png\n");
        EXPECT_EQ(log.entries()[0].hint, "n.png");
    }
    {
        test::LogCapture log;
        EXPECT_FALSE(test::loadBytes(loader, good.substr(0, 5), "s.png"));
        EXPECT_EQ(log.first(), "LOAD PNG: can't read file\n");
    }
    std::string badCrc = good;
    badCrc[30] = char(badCrc[30] ^ 0x40);  // inside the header chunk
    EXPECT_FALSE(test::loadBytes(loader, badCrc));
}

TEST(ImageLoaderPng, NameAndContentTests) {
    CImageLoaderPng loader;
    EXPECT_TRUE(loader.isALoadableFileExtension("a/b.png"));
    EXPECT_TRUE(loader.isALoadableFileExtension("B.PNG"));
    EXPECT_FALSE(loader.isALoadableFileExtension("b.Png"));
    EXPECT_FALSE(loader.isALoadableFileExtension("b.png.bak"));
    EXPECT_TRUE(recognised(loader, test::writeBytes(CImageWriterPNG(), picture(EPF_R8G8B8))));
    EXPECT_FALSE(recognised(loader, "\x89PNG"));
}

TEST(ImageLoaderJPG, DamagedFilesAreReported) {
    CImageLoaderJPG loader;
    const std::string good = test::writeBytes(CImageWriterJPG(), picture(EPF_R8G8B8), 90);
    ASSERT_TRUE(test::loadBytes(loader, good));
    {
        test::LogCapture log;
        std::string corrupt = good;
        corrupt[1] = 0x00;  // no start-of-image marker
        EXPECT_FALSE(test::loadBytes(loader, corrupt));
        EXPECT_EQ(log.first(), "JPEG FATAL ERROR");
    }
    // Cut in the middle of the scan: the end of the data is supplied, never read past.
    test::LogCapture log;
    const CImagePtr cut = test::loadBytes(loader, good.substr(0, good.size() * 2 / 3));
    if (cut) {
        EXPECT_EQ(cut->getDimension(), core::dimension2d<int>(16, 16));
    }
    EXPECT_FALSE(test::loadBytes(loader, ""));
    EXPECT_FALSE(test::loadBytes(loader, good.substr(0, 100)));
}

TEST(ImageLoaderJPG, NameAndContentTests) {
    CImageLoaderJPG loader;
    const std::string jfif = test::writeBytes(CImageWriterJPG(), picture(EPF_R8G8B8));
    EXPECT_TRUE(recognised(loader, jfif));
    // Exif in place of JFIF: not recognised by content, still loaded when named .jpg.
    std::string exif = jfif;
    exif.replace(6, 4, "Exif");
    EXPECT_FALSE(recognised(loader, exif));
    EXPECT_TRUE(loader.isALoadableFileExtension("photo.jpg"));
    EXPECT_TRUE(loader.isALoadableFileExtension("PHOTO.JPG"));
    EXPECT_FALSE(loader.isALoadableFileExtension("photo.jpeg"));
    EXPECT_TRUE(test::loadBytes(loader, exif, "photo.jpg"));
    EXPECT_FALSE(recognised(loader, "tiny"));
}
