// The format table and its queries: sizes and pitches, mask lookup, swizzle tables, byte swapping
// and palette expansion.

#include "engine/video/image/pixel_format.h"

#include "tests/engine/video/ImageTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace pravik::video;
using namespace pravik::video::pixel_format;

TEST(PixelFormatTable, NamesEndWithNullAndUnknownHasAName) {
    const char* const* names = getStringsInternal(static_cast<E_PIXEL_FORMAT*>(nullptr));
    EXPECT_STREQ(names[0], "L8");
    EXPECT_STREQ(names[EPF_A2B10G10R10], "A2B10G10R10");
    EXPECT_STREQ(names[EPF_COMPRESSED_RGBA_PVRTC_4BPP], "COMPRESSED_RGBA_PVRTC_4BPP");
    EXPECT_STREQ(names[EPF_STENCIL8], "STENCIL8");
    EXPECT_EQ(names[EPF_COUNT], nullptr);
    EXPECT_STREQ(getName(EPF_COUNT), "unknown");
}

TEST(PixelFormatTable, RowsAgreeWithThemselves) {
    // Every byte-aligned row's masks must follow from its channel bits and shifts, so a typo in
    // one column of the table shows here.
    for (unsigned i = 0; i < EPF_COUNT; ++i) {
        SCOPED_TRACE(getName(E_PIXEL_FORMAT(i)));
        const SPixelFormatDesc& d = desc(E_PIXEL_FORMAT(i));
        if (d.has(EPFF_COMPRESSED) || d.has(EPFF_FLOAT) || d.has(EPFF_DEPTH) || d.has(EPFF_STENCIL))
            continue;
        for (int c = 0; c < 4; ++c) {
            const uint64_t expect = ((uint64_t(1) << d.ChannelBits[c]) - 1) << d.ChannelShifts[c];
            if (d.ChannelBits[c] == 0 && d.has(EPFF_LUMINANCE)) continue;
            EXPECT_EQ(d.Masks[c], uint32_t(expect)) << "channel " << c;
        }
        EXPECT_EQ(d.BitsPerPixel, d.BytesPerPixel * 8);
    }
}

TEST(PixelFormatTable, PackedTypes) {
    const unsigned char expected[EPF_COUNT + 1] = {
        0, 1, 0, 1, 1, 1, 1, 1, 1, 1,  // L8 .. R5G5B5A1
        2, 2, 2, 2, 2, 2, 2,           // R8G8B8 .. A2B10G10R10
        2, 2, 2, 2, 2, 2, 2, 2,        // compressed
        255, 255, 255, 255,            // float
        1, 2, 2, 2, 255, 255, 0,       // depth, stencil
        1};                            // none
    for (unsigned i = 0; i <= EPF_COUNT; ++i) {
        SCOPED_TRACE(getName(E_PIXEL_FORMAT(i)));
        EXPECT_EQ(getPackedType(E_PIXEL_FORMAT(i)), expected[i]);
    }
}

TEST(PixelFormatTable, PitchesAndSizes) {
    EXPECT_EQ(computePitch(EPF_STENCIL1, 7), 0u);
    EXPECT_EQ(computePitch(EPF_STENCIL1, 8), 1u);
    EXPECT_EQ(computePitch(EPF_COMPRESSED_RGB_PVRTC_2BPP, 1), 8u);
    EXPECT_EQ(computePitch(EPF_R8G8B8, 5), 15u);
    EXPECT_EQ(computeSizeInBytes(EPF_COMPRESSED_RGB_PVRTC_4BPP, 4, 4), 32u);
    EXPECT_EQ(computeSizeInBytes(EPF_COMPRESSED_RGB_PVRTC_4BPP, 8, 8), 32u);
    EXPECT_EQ(computeSizeInBytes(EPF_COMPRESSED_RGBA_S3TC_DXT1, 1, 1), 8u);
    EXPECT_EQ(computeSizeInBytes(EPF_COMPRESSED_RGBA_S3TC_DXT5, 4, 4), 16u);
    EXPECT_EQ(computeSizeInBytes(EPF_COMPRESSED_RGBA_S3TC_DXT5, 5, 9), 2u * 3u * 16u);
    EXPECT_EQ(computeSizeInBytes(EPF_R8G8B8A8, 3, 2, 4u), 96u);
    EXPECT_EQ(computeMipmapSizeInBytes(EPF_R8G8B8A8, 256, 64, 8, false), 4u);
    EXPECT_EQ(computeMipmapSizeInBytes(EPF_R8G8B8A8, 256, 64, 8, true), 1024u);
    EXPECT_EQ(computeMipmapSizeInBytes(EPF_R8G8B8A8, 256, 64, 40, false), 4u);
    EXPECT_EQ(computeMipmapSizeInBytes(EPF_R8G8B8A8, 8, 8, 8, 1, false), 4u * 4u * 4u * 4u);
    EXPECT_EQ(computeSizeInBytes(EPF_R8G8B8A8, 4, 4, 0, false), 0u);
    EXPECT_EQ(computeSizeInBytes(EPF_R8G8B8A8, 4, 4, 3, false), (16u + 4u + 1u) * 4u);
    EXPECT_EQ(computeSizeInBytes(EPF_L8, 4, 2, 2u, 2, false), 16u + 2u);
}

TEST(PixelFormatTable, FormatFromMasks) {
    EXPECT_EQ(getFormat(0xFF, 0xFF00, 0xFF0000, 0xFF000000), EPF_R8G8B8A8);
    EXPECT_EQ(getFormat(0xFF0000, 0xFF00, 0xFF, 0xFF000000), EPF_B8G8R8A8);
    EXPECT_EQ(getFormat(0xF800, 0x7E0, 0x1F, 0), EPF_R5G6B5);
    EXPECT_EQ(getFormat(0, 0, 0, 0), EPF_COMPRESSED_RGB_S3TC_DXT1);
    EXPECT_EQ(getFormat(0x7C00, 0x3E0, 0x1F, 0), EPF_COUNT);
}

TEST(PixelFormatTable, RelativeSwizzleTables) {
    unsigned char t[4] = {9, 9, 9, 9};
    computeRelativeSwizzleTable(EPF_A8R8G8B8, EPF_R8G8B8A8, t);
    EXPECT_EQ(std::vector<int>(t, t + 4), (std::vector<int>{1, 2, 3, 0}));
    unsigned char u[4] = {9, 9, 9, 9};
    computeRelativeSwizzleTable(EPF_A8L8, EPF_R8G8B8, u);
    EXPECT_EQ(std::vector<int>(u, u + 4), (std::vector<int>{1, 1, 1, 9}));
    unsigned char v[4] = {9, 9, 9, 9};
    computeRelativeSwizzleTable(EPF_R8G8B8A8, EPF_L8A8, v);  // luminance: red and alpha only
    EXPECT_EQ(std::vector<int>(v, v + 4), (std::vector<int>{0, 3, 9, 9}));
}

TEST(PixelFormatTable, SwapBytes) {
    const unsigned char in[7] = {1, 2, 3, 4, 5, 6, 7};
    unsigned char out[7];
    for (unsigned i = 0; i < EPF_COUNT; ++i)
        EXPECT_FALSE(swapBytes(E_PIXEL_FORMAT(i), in, 6, true, out)) << getName(E_PIXEL_FORMAT(i));
    EXPECT_FALSE(swapBytes(EPF_A8R8G8B8, in, 4, false, out));
    EXPECT_FALSE(swapBytes(EPF_COMPRESSED_RGBA_PVRTC_4BPP, in, 4, false, out));

    std::memset(out, 0xEE, sizeof out);
    EXPECT_TRUE(swapBytes(EPF_R5G6B5, in, 6, false, out));
    EXPECT_EQ(std::vector<int>(out, out + 7), (std::vector<int>{2, 1, 4, 3, 6, 5, 0xEE}));

    std::memset(out, 0xEE, sizeof out);
    EXPECT_TRUE(swapBytes(EPF_RGB32F, in, 7, false, out));  // bytes after the last group untouched
    EXPECT_EQ(std::vector<int>(out, out + 7), (std::vector<int>{4, 3, 2, 1, 0xEE, 0xEE, 0xEE}));

    unsigned char inPlace[4] = {1, 2, 3, 4};
    EXPECT_TRUE(swapBytes(EPF_A2B10G10R10, inPlace, 4, false, inPlace));
    EXPECT_EQ(std::vector<int>(inPlace, inPlace + 4), (std::vector<int>{4, 3, 2, 1}));
}

TEST(PixelFormatTable, UnpackPalettizedIndexOrderAndFlip) {
    const uint8_t palette[16] = {10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25};
    const unsigned char fourBit[1] = {0x1F};
    uint8_t out[2] = {};
    ASSERT_TRUE(unpackPalettized(fourBit, 1, 4, EPF_L8, palette, 16, out, 2, 2, 1, false));
    EXPECT_EQ(out[0], 11);  // index 1
    EXPECT_EQ(out[1], 25);  // index 15

    const unsigned char oneBit[1] = {0x80};
    uint8_t bits[8] = {};
    ASSERT_TRUE(unpackPalettized(oneBit, 1, 1, EPF_L8, palette, 2, bits, 8, 8, 1, false));
    EXPECT_EQ(std::vector<int>(bits, bits + 8), (std::vector<int>{11, 10, 10, 10, 10, 10, 10, 10}));

    // Two rows of 2-bit indices into 16-bit entries, written bottom row first.
    const uint16_t pal16[4] = {0x1000, 0x2000, 0x3000, 0x4000};
    const unsigned char twoBit[2] = {0x1B, 0xE4};  // 0,1,2,3 then 3,2,1,0
    uint16_t rows[2][4] = {};
    ASSERT_TRUE(unpackPalettized(twoBit, 1, 2, EPF_R5G6B5, pal16, 4, rows, 8, 4, 2, true));
    EXPECT_EQ(rows[1][0], 0x1000);
    EXPECT_EQ(rows[1][3], 0x4000);
    EXPECT_EQ(rows[0][0], 0x4000);
    EXPECT_EQ(rows[0][3], 0x1000);
}

TEST(PixelFormatTable, UnpackPalettizedNeverReadsPastAShortPalette) {
    const uint32_t palette[2] = {0x11111111, 0x22222222};
    const unsigned char indices[2] = {0, 200};
    uint32_t out[2] = {};
    ASSERT_TRUE(unpackPalettized(indices, 2, 8, EPF_R8G8B8A8, palette, 2, out, 8, 2, 1, false));
    EXPECT_EQ(out[0], 0x11111111u);
    EXPECT_EQ(out[1], 0x22222222u);  // clamped to the last entry
}

TEST(PixelFormatTable, UnpackPalettizedRefusals) {
    const uint8_t palette[4] = {};
    unsigned char buf[4] = {1, 2, 3, 4};
    unsigned char out[4] = {7, 7, 7, 7};
    const struct {
        const char* why;
        const void* src;
        unsigned char bits;
        E_PIXEL_FORMAT paletteFormat;
        const char* message;
        const char* hint;
    } cases[] = {
        {"in place", out, 8, EPF_L8, "in-place unpacking of palettized image not supported", ""},
        {"zero bits", buf, 0, EPF_L8, "invalid bpp value", "should be 1, 2, 4 or 8"},
        {"three bits", buf, 3, EPF_L8, "invalid bpp value", "should be 1, 2, 4 or 8"},
        {"3-byte entries", buf, 8, EPF_R8G8B8, "palette format not supported", "R8G8B8"},
        {"no format", buf, 8, EPF_COUNT, "palette format not supported", "unknown"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        test::LogCapture log;
        EXPECT_FALSE(unpackPalettized(c.src, 4, c.bits, c.paletteFormat, palette, 4, out, 4, 4, 1, false));
        ASSERT_EQ(log.entries().size(), 1u);
        EXPECT_EQ(log.entries()[0].text, c.message);
        EXPECT_EQ(log.entries()[0].hint, c.hint);
        EXPECT_EQ(log.entries()[0].level, pravik::ELL_ERROR);
        EXPECT_EQ(std::vector<int>(out, out + 4), (std::vector<int>{7, 7, 7, 7}));
    }
}
