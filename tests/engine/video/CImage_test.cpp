// Images: construction and levels, pixel access, copies with clipping, lines, box-filter scaling
// and the blitting family.

#include "engine/video/image/CImage.h"

#include "engine/video/image/pixel_format.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace pravik;
using namespace pravik::video;
using core::dimension2d;
using core::position2d;
using core::rect;

namespace {

CImagePtr make(E_PIXEL_FORMAT f, int w, int h) { return new CImage(f, dimension2d<int>(w, h)); }

std::vector<unsigned char> bytesOf(const void* p, size_t n) {
    const auto* b = static_cast<const unsigned char*>(p);
    return {b, b + n};
}

}  // namespace

TEST(Image, SeparateLevelsAndDimensions) {
    const CImagePtr img = new CImage(EPF_R8G8B8A8, dimension2d<int>(5, 3), true);
    ASSERT_EQ(img->getMipMapCount(), 2u);
    EXPECT_EQ(img->getDimension(1), dimension2d<int>(2, 1));
    EXPECT_EQ(img->getDimension(2), dimension2d<int>(1, 1));
    EXPECT_EQ(bytesOf(img->getMipMapData(1), 8), std::vector<unsigned char>(8, 0));
    EXPECT_EQ(bytesOf(img->getMipMapData(2), 4), std::vector<unsigned char>(4, 15));
    EXPECT_EQ(img->getMipMapData(3), nullptr);
    EXPECT_EQ(make(EPF_L8, 20, 4)->getDimension(3), dimension2d<int>(2, 1));
    EXPECT_EQ(img->getReferenceCount(), 1);  // held by the one pointer
}

TEST(Image, ContiguousBlockLevelsPointIntoTheBlock) {
    // 8 x 8 DXT1: levels of 32, 8, 8, 8 bytes.
    auto* block = new unsigned char[56];
    const CImagePtr img = new CImage(EPF_COMPRESSED_RGBA_S3TC_DXT1, dimension2d<int>(8, 8), block, 56, 3, true, true);
    ASSERT_EQ(img->getMipMapCount(), 3u);
    EXPECT_EQ(img->getMipMapData(1), block + 32);
    EXPECT_EQ(img->getMipMapData(3), block + 48);
    // A block too short for its chain keeps only the levels that fit.
    const CImagePtr cut = new CImage(EPF_COMPRESSED_RGBA_S3TC_DXT1, dimension2d<int>(8, 8), nullptr, 40, 3, false, true);
    EXPECT_EQ(cut->getMipMapCount(), 1u);
    // One too short for level 0 is empty.
    const CImagePtr none = new CImage(EPF_R8G8B8A8, dimension2d<int>(8, 8), nullptr, 16, 0, false, true);
    EXPECT_EQ(none->getData(), nullptr);
    EXPECT_EQ(none->getColorFormat(), EPF_COUNT);
}

TEST(Image, CallerLevelArrays) {
    // 4 x 2 L8 with levels 2 x 1 and 1 x 1, held by the caller.
    unsigned char top[8] = {1, 2, 3, 4, 5, 6, 7, 8}, l1[2] = {9, 10}, l2[1] = {11};
    void* levels[3] = {l1, l2, nullptr};
    const CImagePtr copy = new CImage(EPF_L8, dimension2d<int>(4, 2), top, levels, false, false);
    ASSERT_EQ(copy->getMipMapCount(), 2u);
    EXPECT_NE(copy->getMipMapData(1), l1);
    EXPECT_EQ(bytesOf(copy->getMipMapData(1), 2), (std::vector<unsigned char>{9, 10}));
    EXPECT_EQ(bytesOf(copy->getMipMapData(2), 1), (std::vector<unsigned char>{11}));
    const CImagePtr direct = new CImage(EPF_L8, dimension2d<int>(4, 2), top, levels, true, false);
    EXPECT_EQ(direct->getData(), top);
    ASSERT_EQ(direct->getMipMapCount(), 2u);
    EXPECT_EQ(direct->getMipMapData(2), l2);
}

TEST(Image, HugeOrNegativeSizesGiveAnEmptyImage) {
    EXPECT_EQ(make(EPF_R8G8B8A8, 1 << 20, 1 << 20)->getData(), nullptr);
    EXPECT_EQ(make(EPF_R8G8B8A8, -4, 4)->getData(), nullptr);
    EXPECT_EQ(make(EPF_COUNT, 4, 4)->getData(), nullptr);
}

TEST(Image, PixelsRoundTripPerFormat) {
    const SColor c(0xC8, 0x64, 0x38, 0xFF);
    const struct {
        E_PIXEL_FORMAT f;
        SColor expect;
    } cases[] = {
        {EPF_A8, {0, 0, 0, 0xFF}},
        {EPF_R5G6B5, {0xCE, 0x65, 0x39, 0xFF}},
        {EPF_A1R5G5B5, {0xCE, 0x63, 0x39, 0xFF}},
        {EPF_R8G8B8, c},
        {EPF_A8R8G8B8, c},
        {EPF_B8G8R8A8, c},
        {EPF_R8G8B8A8, c},
        {EPF_L8, {}},  // neither read nor written
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(pixel_format::getName(k.f));
        const CImagePtr img = make(k.f, 3, 2);
        img->setPixel(2, 1, c);
        EXPECT_EQ(img->getPixel(2, 1), k.expect);
        EXPECT_EQ(img->getPixel(3, 1), SColor());  // outside
        img->setPixel(3, 0, c);                    // outside: nothing
        EXPECT_EQ(img->getPixel(0, 1), SColor(0, 0, 0, k.f == EPF_R8G8B8 || k.f == EPF_R5G6B5 ? 255 : 0));
    }
    const CImagePtr r565 = make(EPF_R5G6B5, 1, 1);
    const uint16_t white = 0xFFFF, green32 = 0x0400;
    std::memcpy(r565->getData(), &white, 2);
    EXPECT_EQ(r565->getPixel(0, 0), SColor(255, 255, 255, 255));
    std::memcpy(r565->getData(), &green32, 2);
    EXPECT_EQ(r565->getPixel(0, 0).g, 130);
}

TEST(Image, FillCoversOddSizedSixteenBitImages) {
    const CImagePtr img = make(EPF_R5G6B5, 3, 3);
    img->fill(SColor(255, 0, 0, 255));
    for (unsigned y = 0; y < 3; ++y)
        for (unsigned x = 0; x < 3; ++x) EXPECT_EQ(img->getPixel(x, y), SColor(255, 0, 0, 255));
    const CImagePtr bgra = make(EPF_B8G8R8A8, 2, 1);
    bgra->fill(SColor(1, 2, 3, 4));
    EXPECT_EQ(bytesOf(bgra->getData(), 8), (std::vector<unsigned char>{3, 2, 1, 4, 3, 2, 1, 4}));
}

TEST(Image, CopiesClipAgainstBothImages) {
    const CImagePtr src = make(EPF_R8G8B8A8, 5, 2);
    for (unsigned x = 0; x < 5; ++x)
        for (unsigned y = 0; y < 2; ++y) src->setPixel(x, y, SColor(uint8_t(x), uint8_t(y), 0, 255));
    const CImagePtr dst = make(EPF_A8R8G8B8, 4, 4);
    src->copyTo(dst, position2d<int>(-3, 0));
    EXPECT_EQ(dst->getPixel(0, 0), SColor(3, 0, 0, 255));
    EXPECT_EQ(dst->getPixel(1, 1), SColor(4, 1, 0, 255));
    EXPECT_EQ(dst->getPixel(2, 0), SColor());

    // A source rectangle reaching outside the source and a clip reaching outside the target.
    const CImagePtr dst2 = make(EPF_R8G8B8A8, 4, 4);
    const rect<int> bigClip(-10, -10, 100, 100);
    src->copyTo(dst2, position2d<int>(1, 1), rect<int>(-1, 0, 50, 50), &bigClip, 0);
    EXPECT_EQ(dst2->getPixel(1, 1), SColor());             // column -1 of the source is not read
    EXPECT_EQ(dst2->getPixel(2, 1), SColor(0, 0, 0, 255));
    EXPECT_EQ(dst2->getPixel(3, 2), SColor(1, 1, 0, 255));

    // Into a level of the target.
    const CImagePtr mips = new CImage(EPF_R8G8B8A8, dimension2d<int>(4, 4), true);
    src->copyTo(mips, position2d<int>(0, 0), rect<int>(4, 1, 5, 2), nullptr, 2);
    EXPECT_EQ(bytesOf(mips->getMipMapData(2), 4), (std::vector<unsigned char>{4, 1, 0, 255}));
}

TEST(Image, SubImageAndConvertedCopy) {
    const CImagePtr src = make(EPF_R8G8B8A8, 4, 4);
    src->setPixel(3, 3, SColor(9, 8, 7, 6));
    const CImagePtr part = new CImage(src, position2d<int>(2, 2), dimension2d<int>(10, 10));
    EXPECT_EQ(part->getDimension(), dimension2d<int>(2, 2));  // cut to the source
    EXPECT_EQ(part->getPixel(1, 1), SColor(9, 8, 7, 6));

    const CImagePtr argb = new CImage(EPF_A8R8G8B8, src);
    EXPECT_EQ(argb->getPixel(3, 3), SColor(9, 8, 7, 6));
    const CImagePtr refused = new CImage(EPF_COMPRESSED_RGBA_S3TC_DXT1, src);
    EXPECT_EQ(refused->getColorFormat(), EPF_COUNT);
    EXPECT_EQ(refused->getData(), nullptr);
    EXPECT_EQ(refused->getDimension(), dimension2d<int>(0, 0));
}

TEST(Image, LinesStopBeforeTheirEndAndClip) {
    const CImagePtr img = make(EPF_A8R8G8B8, 6, 4);
    const SColor red(255, 0, 0, 255);
    img->drawLine(position2d<int>(0, 0), position2d<int>(0, 0), red);
    EXPECT_EQ(img->getPixel(0, 0), SColor());
    img->drawLine(position2d<int>(0, 0), position2d<int>(3, 0), red);
    EXPECT_EQ(img->getPixel(0, 0), red);
    EXPECT_EQ(img->getPixel(2, 0), red);
    EXPECT_EQ(img->getPixel(3, 0), SColor());
    // A line from far outside is clipped, not walked.
    img->drawLine(position2d<int>(-1000000, 2), position2d<int>(1000000, 2), red);
    for (unsigned x = 0; x < 5; ++x) EXPECT_EQ(img->getPixel(x, 2), red);
    EXPECT_EQ(img->getPixel(5, 2), SColor());  // the clipped end, like every end, stays undrawn
    // Translucent: halfway towards the colour, opaque.
    const CImagePtr half = make(EPF_A8R8G8B8, 4, 1);
    half->drawLine(position2d<int>(0, 0), position2d<int>(2, 0), SColor(200, 100, 0, 127));
    EXPECT_EQ(half->getPixel(0, 0), SColor(99, 49, 0, 255));
    const CImagePtr sixteen = make(EPF_A1R5G5B5, 4, 1);
    sixteen->fill(SColor(255, 255, 255, 255));
    sixteen->drawLine(position2d<int>(0, 0), position2d<int>(1, 0), SColor(0, 0, 0, 128));
    EXPECT_EQ(sixteen->getPixel(0, 0), SColor(123, 123, 123, 0));
}

TEST(Image, BoxFilterScaling) {
    const CImagePtr uniform = make(EPF_R5G6B5, 7, 5);
    uniform->fill(SColor(255, 0, 255, 255));
    for (const dimension2d<int> size : {dimension2d<int>(3, 3), dimension2d<int>(11, 2), dimension2d<int>(1, 1)}) {
        const CImagePtr out = make(EPF_A8R8G8B8, size.Width, size.Height);
        uniform->copyToScalingBoxFilter(out, 0);
        for (int y = 0; y < size.Height; ++y)
            for (int x = 0; x < size.Width; ++x)
                EXPECT_EQ(out->getPixel(unsigned(x), unsigned(y)), SColor(255, 0, 255, 255));
    }
    // 4 x 4 to 3 x 3: border pixels weigh partly. Red is 30 x column.
    const CImagePtr ramp = make(EPF_R8G8B8A8, 4, 4);
    for (unsigned y = 0; y < 4; ++y)
        for (unsigned x = 0; x < 4; ++x) ramp->setPixel(x, y, SColor(uint8_t(30 * x), 0, 0, 255));
    const CImagePtr out = make(EPF_R8G8B8A8, 3, 3);
    ramp->copyToScaling(out, 0);
    EXPECT_EQ(out->getPixel(0, 1).r, 7);    // (0 x 1 + 30 x 1/3) / (4/3)
    EXPECT_NEAR(out->getPixel(1, 1).r, 45, 1);
    EXPECT_NEAR(out->getPixel(2, 1).r, 82, 1);  // (60/3 + 90) / (4/3)
    EXPECT_EQ(out->getPixel(1, 1).a, 255);
}

TEST(ImageBlit, RectanglesFillAndBlend) {
    const CImagePtr argb = make(EPF_A8R8G8B8, 2, 2);
    EXPECT_TRUE(argb->drawRectangle(rect<int>(0, 0, 4, 4), SColor(1, 2, 3, 255)));
    for (unsigned i = 0; i < 4; ++i) EXPECT_EQ(argb->getPixel(i % 2, i / 2), SColor(1, 2, 3, 255));

    const CImagePtr rgba = make(EPF_R8G8B8A8, 2, 2);
    rgba->fill(SColor(0, 0, 0, 0));
    EXPECT_TRUE(rgba->drawRectangle(rect<int>(0, 0, 2, 1), SColor(200, 100, 50, 128)));
    EXPECT_EQ(rgba->getPixel(1, 0), SColor(100, 50, 25, 255));
    EXPECT_EQ(rgba->getPixel(1, 1), SColor(0, 0, 0, 0));

    const std::vector<unsigned char> before = bytesOf(rgba->getData(), 16);
    EXPECT_FALSE(rgba->drawRectangle(rect<int>(-5, 0, -1, 2), SColor(9, 9, 9, 255)));
    EXPECT_EQ(bytesOf(rgba->getData(), 16), before);

    const CImagePtr sixteen = make(EPF_A1R5G5B5, 3, 1);
    sixteen->fill(SColor(255, 255, 255, 255));
    EXPECT_TRUE(sixteen->drawRectangle(rect<int>(0, 0, 3, 1), SColor(0, 0, 0, 128)));
    for (unsigned x = 0; x < 3; ++x) EXPECT_EQ(sixteen->getPixel(x, 0).a, 0);
    EXPECT_FALSE(make(EPF_R5G6B5, 2, 2)->drawRectangle(rect<int>(0, 0, 2, 2), SColor(1, 1, 1, 255)));
}

TEST(ImageBlit, CopyWithAlpha) {
    const CImagePtr src = make(EPF_B8G8R8A8, 2, 1);
    src->setPixel(0, 0, SColor(10, 20, 30, 0));
    src->setPixel(1, 0, SColor(40, 50, 60, 255));
    const CImagePtr dst = make(EPF_B8G8R8A8, 2, 1);
    dst->fill(SColor(1, 2, 3, 4));
    EXPECT_TRUE(src->copyToWithAlpha(dst, position2d<int>(0, 0), rect<int>(0, 0, 2, 1), SColor(255, 255, 255, 255)));
    EXPECT_EQ(dst->getPixel(0, 0), SColor(1, 2, 3, 255));
    EXPECT_EQ(dst->getPixel(1, 0), SColor(40, 50, 60, 255));

    // Tinted: the source is modulated by the colour (x 255 >> 8 loses a little), then blended
    // with weight 255 / 256 because the modulated alpha is 254.
    const CImagePtr dst2 = make(EPF_B8G8R8A8, 2, 1);
    EXPECT_TRUE(src->copyToWithAlpha(dst2, position2d<int>(-1, 0), rect<int>(0, 0, 2, 1), SColor(128, 255, 255, 255)));
    EXPECT_EQ(dst2->getPixel(0, 0), SColor(19, 48, 58, 255));

    const CImagePtr other = make(EPF_R8G8B8A8, 2, 1);
    EXPECT_FALSE(make(EPF_A8R8G8B8, 2, 1)->copyToWithAlpha(other, position2d<int>(0, 0), rect<int>(0, 0, 2, 1),
                                                           SColor(255, 255, 255, 255)));
}
