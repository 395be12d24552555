// Colour keys and normal maps on plain level memory: the keyed texels, the forced alpha, the
// wrap-around neighbours and the opposite vertical gradients of the two texel sizes.

#include "engine/video/image/ColorKeyNormalMap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <vector>

using namespace pravik::video;
using namespace pravik::video::texture_pixels;

namespace {

SLevelView view(E_PIXEL_FORMAT format, std::vector<unsigned char>& bytes, unsigned w, unsigned h)
{
    return {format, bytes.data(), w, h, unsigned(bytes.size() / h)};
}

uint16_t texel16(const std::vector<unsigned char>& b, unsigned i) { return uint16_t(b[2 * i] | b[2 * i + 1] << 8); }

std::vector<unsigned char> bytes16(std::initializer_list<uint16_t> texels)
{
    std::vector<unsigned char> out;
    for (uint16_t t : texels) {
        out.push_back(uint8_t(t));
        out.push_back(uint8_t(t >> 8));
    }
    return out;
}

}  // namespace

TEST(ColorKey, ThirtyTwoBitKeyIgnoresAlphaAndMakesTheRestOpaque)
{
    // Texels in memory: alpha, red, green, blue.
    std::vector<unsigned char> level = {0x20, 255, 0, 255, 0x20, 254, 0, 255, 0x00, 255, 0, 255, 0x80, 1, 2, 3};
    applyColorKey(view(EPF_A8R8G8B8, level, 4, 1), colorKeyFromColor(EPF_A8R8G8B8, SColor(255, 0, 255, 0)));
    const std::vector<unsigned char> expected = {0, 0, 0, 0, 0xFF, 254, 0, 255, 0, 0, 0, 0, 0xFF, 1, 2, 3};
    EXPECT_EQ(level, expected);
}

TEST(ColorKey, SixteenBitKeyFromColourKeepsFiveBitsPerChannel)
{
    EXPECT_EQ(colorKeyFromColor(EPF_A1R5G5B5, SColor(255, 0, 255, 0)), 0xFC1Fu);
    EXPECT_EQ(colorKeyFromColor(EPF_A1R5G5B5, SColor(7, 8, 16, 0)), 0x8000u | 0 << 10 | 1 << 5 | 2);
    // 0x7C1F and 0xFC1F differ only in alpha: both are keyed; 0x7C1E is not.
    std::vector<unsigned char> level = bytes16({0x7C1F, 0xFC1F, 0x7C1E, 0x0000});
    applyColorKey(view(EPF_A1R5G5B5, level, 4, 1), 0xFC1F);
    EXPECT_EQ(level, bytes16({0, 0, 0xFC1E, 0x8000}));
}

TEST(ColorKey, KeyByPositionMatchesFifteenColourBits)
{
    // 2 x 2; the texel at (1, 1) is index 3.
    std::vector<unsigned char> level = bytes16({0x1234, 0x9234, 0x0001, 0x1234});
    const SLevelView v = view(EPF_A1R5G5B5, level, 2, 2);
    uint32_t key = 0;
    ASSERT_TRUE(colorKeyAt(v, 1, 1, key));
    EXPECT_EQ(key, 0x9234u);
    applyColorKey(v, key);
    EXPECT_EQ(level, bytes16({0, 0, 0x8001, 0}));
}

TEST(ColorKey, PositionOutsideTheLevelIsRefused)
{
    std::vector<unsigned char> level(4 * 4, 7);
    uint32_t key = 0xDEAD;
    EXPECT_FALSE(colorKeyAt(view(EPF_A8R8G8B8, level, 2, 2), 0, 2, key));
    EXPECT_FALSE(colorKeyAt(view(EPF_A8R8G8B8, level, 2, 2), 0xFFFFFFFFu, 0xFFFFFFFFu, key));
    EXPECT_EQ(key, 0xDEADu);
    EXPECT_TRUE(colorKeyAt(view(EPF_A8R8G8B8, level, 2, 2), 1, 1, key));
    EXPECT_EQ(key, 0x070707FFu);
}

TEST(NormalMap, ConstantHeightPointsEveryNormalTheSameWay)
{
    std::vector<unsigned char> level32;
    for (int i = 0; i < 4 * 2; ++i)
        level32.insert(level32.end(), {0x00, 9, 77, 5});  // height 77 in the green byte
    ASSERT_TRUE(makeNormalMap(view(EPF_A8R8G8B8, level32, 4, 2), 3.f));
    for (int i = 0; i < 4 * 2; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(std::vector<unsigned char>(level32.begin() + 4 * i, level32.begin() + 4 * i + 4),
                  (std::vector<unsigned char>{77, 127, 127, 0}));
    }

    std::vector<unsigned char> level16 = bytes16({0x1234, 0x1234, 0x1234, 0x1234, 0x1234, 0x1234});
    ASSERT_TRUE(makeNormalMap(view(EPF_A1R5G5B5, level16, 2, 3), 10.f));
    for (unsigned i = 0; i < 6; ++i)
        EXPECT_EQ(texel16(level16, i), 0x8000 | 15 << 10 | 15 << 5) << i;
}

TEST(NormalMap, OneTexelWideColumnAndTheTwoGradientSigns)
{
    // A bump at row 1 of a 1 x 4 column; left and right neighbours are the column itself, so
    // red stays 127. The 32-bit path takes the vertical gradient as below minus above, the
    // 16-bit path as above minus below.
    std::vector<unsigned char> level32 = {0, 0, 0, 0, 0, 0, 100, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    ASSERT_TRUE(makeNormalMap(view(EPF_A8R8G8B8, level32, 1, 4), 255.f));
    const std::vector<unsigned char> expected32 = {0, 127, 0, 117, 100, 127, 127, 0, 0, 127, 254, 117, 0, 127, 127, 0};
    EXPECT_EQ(level32, expected32);

    std::vector<unsigned char> level16 = bytes16({0x0000, 12 << 10 | 12 << 5 | 12, 0x0000, 0x0000});  // height 96
    ASSERT_TRUE(makeNormalMap(view(EPF_A1R5G5B5, level16, 1, 4), 255.f));
    EXPECT_EQ(level16, bytes16({0xBFEE, 0xBDE0, 0xBC0E, 0xBDE0}));
}

TEST(NormalMap, HorizontalNeighboursWrapAround)
{
    // Heights 0, 100, 0, 0 in one row: texel 0 reads its left neighbour from column 3.
    std::vector<unsigned char> level = {0, 0, 0, 0, 0, 0, 100, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    ASSERT_TRUE(makeNormalMap(view(EPF_A8R8G8B8, level, 4, 1), 255.f));
    const std::vector<unsigned char> expected = {0, 254, 127, 117, 100, 127, 127, 0, 0, 0, 127, 117, 0, 127, 127, 0};
    EXPECT_EQ(level, expected);
}

TEST(NormalMap, AbsurdAmplitudesStillGiveTexels)
{
    for (float amplitude : {std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN(), -1e30f}) {
        SCOPED_TRACE(amplitude);
        std::vector<unsigned char> level = {0, 0, 0, 0, 0, 0, 100, 0, 0, 0, 7, 0, 0, 0, 0, 0};
        ASSERT_TRUE(makeNormalMap(view(EPF_A8R8G8B8, level, 2, 2), amplitude));
        EXPECT_EQ(level[0], 0);  // heights stay in alpha whatever the normals became
        EXPECT_EQ(level[4], 100);
    }
}

TEST(NormalMap, OtherFormatsAreLeftAlone)
{
    std::vector<unsigned char> level(8, 0x5A);
    const auto before = level;
    EXPECT_TRUE(makeNormalMap({EPF_R5G6B5, level.data(), 2, 2, 4}, 1.f));
    applyColorKey({EPF_R5G6B5, level.data(), 2, 2, 4}, 0);
    EXPECT_EQ(level, before);
    EXPECT_FALSE(isSupportedFormat(EPF_R5G6B5));
}
