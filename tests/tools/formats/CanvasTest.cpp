// Generated pictures: what the canvas encodes loads back through the engine's loaders pixel for
// pixel, and shapes cover what they should (inside opaque, outside untouched, edges blended).

#include "engine/io/CMemoryReadFile.h"
#include "engine/video/image/CImageLoaderPng.h"
#include "engine/video/image/CImageLoaderTGA.h"
#include "tests/engine/io/ArchiveBuilders.h"
#include "tools/formats/Canvas.h"

#include <gtest/gtest.h>
#include <zlib.h>

namespace {

using formats::Canvas;
using formats::Rgba;

Canvas sample()
{
    Canvas c(13, 7);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x)
            c.set(x, y, Rgba(uint8_t(x * 19), uint8_t(y * 37), uint8_t(x * y), uint8_t(255 - x * 7)));
    return c;
}

TEST(Canvas, EncodedPicturesLoadBackPixelForPixel)
{
    using namespace pravik;
    const Canvas c = sample();
    video::CImageLoaderPng png;
    video::CImageLoaderTGA tga;
    const struct {
        const char* name;
        const video::IImageLoader* loader;
    } cases[] = {{"a.png", &png}, {"a.tga", &tga}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        const std::string bytes = c.encode(k.name);
        ASSERT_FALSE(bytes.empty());
        auto file = test::adopt(test::memoryFile(bytes, k.name));
        video::CImagePtr image = k.loader->loadImage(file.get());
        ASSERT_TRUE(image);
        ASSERT_EQ(image->getDimension().Width, 13);
        ASSERT_EQ(image->getDimension().Height, 7);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 13; ++x) {
                const video::SColor p = image->getPixel(unsigned(x), unsigned(y));
                const Rgba e = c.at(x, y);
                ASSERT_EQ(Rgba(uint8_t(p.getRed()), uint8_t(p.getGreen()), uint8_t(p.getBlue()), uint8_t(p.getAlpha())), e)
                    << x << "," << y;
            }
    }
    EXPECT_EQ(c.encode("a.bmp"), "");
    EXPECT_EQ(Canvas().encode("a.png"), "");
}

// The game decodes its art while it loads: the rows go into the file unfiltered, so reading them
// back needs no per-byte unfiltering.
TEST(Canvas, PngRowsAreStoredUnfiltered)
{
    const std::string png = sample().encode("a.png");
    std::string idat;
    for (size_t at = 8; at + 12 <= png.size();) {
        const auto byte = [&](size_t i) { return uint32_t(uint8_t(png[at + i])); };
        const uint32_t length = byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
        ASSERT_LE(length, png.size() - at - 12);
        if (png.compare(at + 4, 4, "IDAT") == 0)
            idat += png.substr(at + 8, length);
        at += 12 + length;
    }
    std::vector<uint8_t> rows(7 * (1 + 13 * 4) + 1);
    uLongf size = uLongf(rows.size());
    ASSERT_EQ(uncompress(rows.data(), &size, reinterpret_cast<const Bytef*>(idat.data()), uLong(idat.size())), Z_OK);
    ASSERT_EQ(size, uLongf(7 * (1 + 13 * 4)));
    for (int y = 0; y < 7; ++y)
        EXPECT_EQ(rows[size_t(y) * (1 + 13 * 4)], 0) << "row " << y;
}

TEST(Canvas, ShapesCoverInsideAndLeaveOutside)
{
    Canvas c(40, 40);
    c.fillRoundedRect(5.5f, 5, 30, 20, 6, Rgba(255, 0, 0));  // left edge through pixel 5
    EXPECT_EQ(c.at(20, 15), Rgba(255, 0, 0));
    EXPECT_EQ(c.at(5, 5).a, 0);       // the rounded corner stays clear
    EXPECT_EQ(c.at(20, 30).a, 0);
    EXPECT_GT(c.at(5, 15).a, 64);     // the edge is partly covered
    EXPECT_LT(c.at(5, 15).a, 255);
    c.fillCircle(20, 32, 4, Rgba(0, 0, 255, 128));
    const Rgba half = c.at(20, 32);
    EXPECT_EQ(half.b, 255);
    EXPECT_EQ(half.a, 128);
    c.fillPolygon(formats::starPoints(20, 15, 8, 3), Rgba(0, 255, 0));
    EXPECT_EQ(c.at(20, 15), Rgba(0, 255, 0));
    EXPECT_EQ(c.at(27, 22), Rgba(255, 0, 0));  // between the tips
}

TEST(Canvas, BlendingIsSourceOver)
{
    Canvas c(1, 1, Rgba(0, 0, 200, 255));
    c.blend(0, 0, Rgba(200, 0, 0, 128));
    const Rgba p = c.at(0, 0);
    EXPECT_NEAR(p.r, 100, 1);
    EXPECT_NEAR(p.b, 100, 1);
    EXPECT_EQ(p.a, 255);
    Canvas clear(1, 1);
    clear.blend(0, 0, Rgba(10, 20, 30, 77));
    EXPECT_EQ(clear.at(0, 0), Rgba(10, 20, 30, 77));  // over nothing: the colour itself
}

}  // namespace
