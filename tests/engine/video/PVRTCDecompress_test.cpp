// PVRTC decoding from hand-built blocks: colour expansion, bilinear blending across blocks with
// wrap-around, Morton block order, modulation bits and punch-through alpha.

#include "engine/video/image/PVRTCDecompress.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

using pravik::video::PVRTCDecompress;

namespace {

std::vector<unsigned char> blocks(const std::vector<std::array<uint32_t, 2>>& words) {
    std::vector<unsigned char> out(words.size() * 8);
    for (size_t i = 0; i < words.size(); ++i) std::memcpy(&out[i * 8], words[i].data(), 8);
    return out;
}

std::array<int, 4> pixel(const std::vector<unsigned char>& rgba, int width, int x, int y) {
    const unsigned char* p = &rgba[(size_t(y) * width + x) * 4];
    return {p[0], p[1], p[2], p[3]};
}

constexpr uint32_t kBlackOpaque = 0x8000;
constexpr uint32_t kWhiteOpaque = 0xFFFF;
constexpr uint32_t kRedOpaque = 0x8000 | (31u << 10);

}  // namespace

TEST(PVRTCDecompress, PunchThroughHalfwayAndTransparent) {
    // 4 x 4 at 4 bpp reads 2 x 2 blocks; all modulation values 2 in punch-through mode.
    const uint32_t colours = kBlackOpaque | 1u | (kWhiteOpaque << 16);
    const auto data = blocks({{0xAAAAAAAA, colours}, {0xAAAAAAAA, colours},
                              {0xAAAAAAAA, colours}, {0xAAAAAAAA, colours}});
    std::vector<unsigned char> out(4 * 4 * 4, 0xEE);
    PVRTCDecompress(data.data(), 0, 4, 4, out.data());
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(pixel(out, 4, x, y), (std::array<int, 4>{127, 127, 127, 0}));
}

TEST(PVRTCDecompress, BlendsNeighbouringBlocksWithWrapAround) {
    // 8 x 8 at 4 bpp: block (0,0) red, the others black; Morton order puts block (1,0) third.
    const uint32_t red = kRedOpaque | (kRedOpaque << 16);
    const uint32_t black = kBlackOpaque | (kBlackOpaque << 16);
    const auto data = blocks({{0, red}, {0, black}, {0, black}, {0, black}});
    std::vector<unsigned char> out(8 * 8 * 4, 0xEE);
    PVRTCDecompress(data.data(), 0, 8, 8, out.data());
    EXPECT_EQ(pixel(out, 8, 2, 2), (std::array<int, 4>{255, 0, 0, 255}));  // centre of block (0,0)
    EXPECT_EQ(pixel(out, 8, 4, 2), (std::array<int, 4>{127, 0, 0, 255}));  // halfway to (1,0)
    EXPECT_EQ(pixel(out, 8, 6, 2), (std::array<int, 4>{0, 0, 0, 255}));    // centre of (1,0)
    EXPECT_EQ(pixel(out, 8, 0, 2), (std::array<int, 4>{127, 0, 0, 255}));  // wraps to (1,0)
    EXPECT_EQ(pixel(out, 8, 2, 4), (std::array<int, 4>{127, 0, 0, 255}));  // halfway to (0,1)
}

TEST(PVRTCDecompress, TwoBitModulationPicksItsPixel) {
    // 8 x 8 at 2 bpp: 2 x 2 blocks of 8 x 4; bit 8y + x of word 0 selects colour B.
    const uint32_t colours = kBlackOpaque | (kWhiteOpaque << 16);
    const uint32_t bit = 1u << (8 * 2 + 4);
    const auto data = blocks({{bit, colours}, {bit, colours}, {bit, colours}, {bit, colours}});
    std::vector<unsigned char> out(8 * 8 * 4, 0xEE);
    PVRTCDecompress(data.data(), 1, 8, 8, out.data());
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            SCOPED_TRACE(testing::Message() << x << "," << y);
            const int v = (x % 8 == 4 && y % 4 == 2) ? 255 : 0;
            EXPECT_EQ(pixel(out, 8, x, y), (std::array<int, 4>{v, v, v, 255}));
        }
}

TEST(PVRTCDecompress, TwoBitInterpolatedModeAveragesNeighbours) {
    // Interpolated mode: pixels with x + y even carry values; the others average their four
    // neighbours. All stored values 3 give weight 8 everywhere, so every pixel is colour B.
    const uint32_t colours = kBlackOpaque | 1u | (kWhiteOpaque << 16);
    const auto data = blocks({{0xFFFFFFFF, colours}, {0xFFFFFFFF, colours},
                              {0xFFFFFFFF, colours}, {0xFFFFFFFF, colours}});
    std::vector<unsigned char> out(8 * 8 * 4, 0xEE);
    PVRTCDecompress(data.data(), 1, 8, 8, out.data());
    EXPECT_EQ(out, std::vector<unsigned char>(out.size(), 255));

    // Stored values 1 (weight 3): even pixels 3/8 of the way, odd ones (3*4+2)/4 = 3 as well.
    const auto ones = blocks({{0x55555555, colours}, {0x55555555, colours},
                              {0x55555555, colours}, {0x55555555, colours}});
    PVRTCDecompress(ones.data(), 1, 8, 8, out.data());
    EXPECT_EQ(pixel(out, 8, 0, 0), (std::array<int, 4>{95, 95, 95, 255}));
    EXPECT_EQ(pixel(out, 8, 1, 0), (std::array<int, 4>{95, 95, 95, 255}));
}
