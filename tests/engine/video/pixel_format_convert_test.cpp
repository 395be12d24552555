// convert(): the worked conversions of every path, flips and in-place work, and the refused
// pairs with their messages (the destination stays as it was).

#include "engine/video/image/PVRTCDecompress.h"
#include "engine/video/image/pixel_format.h"

#include "tests/engine/video/ImageTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace pravik::video;
using namespace pravik::video::pixel_format;

namespace {

using Bytes = std::vector<int>;

std::vector<unsigned char> toBytes(const Bytes& b) { return {b.begin(), b.end()}; }

// Converts one row of pixels; the destination starts poisoned so untouched bytes show.
Bytes convertRow(E_PIXEL_FORMAT sf, const Bytes& src, E_PIXEL_FORMAT df, unsigned width,
                 size_t dstBytes) {
    const auto in = toBytes(src);
    std::vector<unsigned char> out(dstBytes + 1, 0xEE);
    EXPECT_TRUE(convert(sf, in.data(), 0, df, out.data(), 0, width, 1, false));
    EXPECT_EQ(out.back(), 0xEE) << "wrote past the row";
    return {out.begin(), out.end() - 1};
}

}  // namespace

TEST(PixelConvert, WorkedConversions) {
    const struct {
        const char* why;
        E_PIXEL_FORMAT src;
        Bytes in;
        E_PIXEL_FORMAT dst;
        Bytes out;
    } cases[] = {
        {"R5G6B5 white", EPF_R5G6B5, {0xFF, 0xFF}, EPF_R8G8B8A8, {255, 255, 255, 255}},
        {"R5G6B5 16/32/16 replicates", EPF_R5G6B5, {0x10, 0x84}, EPF_R8G8B8A8, {132, 130, 132, 255}},
        {"A4R4G4B4 times 17", EPF_A4R4G4B4, {0x34, 0x12}, EPF_A8R8G8B8, {0x11, 0x22, 0x33, 0x44}},
        {"A1R5G5B5 alpha set", EPF_A1R5G5B5, {0x00, 0x80}, EPF_A8R8G8B8, {255, 0, 0, 0}},
        {"A1R5G5B5 alpha clear", EPF_A1R5G5B5, {0x1F, 0x00}, EPF_A8R8G8B8, {0, 0, 0, 255}},
        {"R8G8B8A8 to R5G6B5 keeps top bits", EPF_R8G8B8A8, {255, 128, 7, 9}, EPF_R5G6B5, {0x00, 0xFC}},
        {"A4R4G4B4 to A2B10G10R10 by lookup", EPF_A4R4G4B4, {0x80, 0xAF}, EPF_A2B10G10R10,
         {0xFF, 0x8B, 0x08, 0x80}},
        {"A2B10G10R10 alpha 1 to 85", EPF_A2B10G10R10, {0xFF, 0x03, 0x48, 0x40}, EPF_A8R8G8B8,
         {85, 255, 128, 1}},
        {"A2B10G10R10 alpha 3 to 255", EPF_A2B10G10R10, {0, 0, 0, 0xC0}, EPF_A8R8G8B8, {255, 0, 0, 0}},
        {"L8 to L16 repeats the byte", EPF_L8, {0xAB}, EPF_L16, {0xAB, 0xAB}},
        {"L8 to R8G8B8A8", EPF_L8, {77}, EPF_R8G8B8A8, {77, 77, 77, 255}},
        {"L8 to A8 is opaque", EPF_L8, {77}, EPF_A8, {255}},
        {"A8 spreads into all four", EPF_A8, {99}, EPF_R8G8B8A8, {99, 99, 99, 99}},
        {"R8G8B8A8 to A8 keeps alpha", EPF_R8G8B8A8, {1, 2, 3, 4}, EPF_A8, {4}},
        {"R8G8B8 to R5G6B5", EPF_R8G8B8, {255, 0, 255}, EPF_R5G6B5, {0x1F, 0xF8}},
        {"R8G8B8 to A8R8G8B8", EPF_R8G8B8, {1, 2, 3}, EPF_A8R8G8B8, {255, 1, 2, 3}},
        {"B8G8R8 to A2B10G10R10 replicates", EPF_B8G8R8, {0, 0, 255}, EPF_A2B10G10R10,
         {0xFF, 0x03, 0x00, 0xC0}},
        {"R5G6B5 to R8G8B8 writes three bytes", EPF_R5G6B5, {0xFF, 0xFF}, EPF_R8G8B8, {255, 255, 255}},
        {"grey to L8A8", EPF_R8G8B8A8, {128, 128, 128, 200}, EPF_L8A8, {127, 200}},
        {"grey to A8L8", EPF_R8G8B8A8, {128, 128, 128, 200}, EPF_A8L8, {200, 127}},
        {"white to L8", EPF_R8G8B8A8, {255, 255, 255, 0}, EPF_L8, {255}},
        {"red to L8", EPF_R8G8B8A8, {255, 0, 0, 0}, EPF_L8, {76}},
        {"green to L8", EPF_R8G8B8, {0, 255, 0}, EPF_L8, {150}},
        {"blue to L8", EPF_B8G8R8, {255, 0, 0}, EPF_L8, {28}},
        {"R5G6B5 white to L8A8", EPF_R5G6B5, {0xFF, 0xFF}, EPF_L8A8, {255, 255}},
        {"R5G6B5 white to L16", EPF_R5G6B5, {0xFF, 0xFF}, EPF_L16, {0xFF, 0xFF}},
        {"A8R8G8B8 swizzle", EPF_A8R8G8B8, {4, 1, 2, 3}, EPF_R8G8B8A8, {1, 2, 3, 4}},
        {"alpha dropped", EPF_R8G8B8A8, {1, 2, 3, 4}, EPF_R8G8B8, {1, 2, 3}},
        {"L8 to R8G8B8 swizzle", EPF_L8, {42}, EPF_R8G8B8, {42, 42, 42}},
        {"A8L8 spreads grey", EPF_A8L8, {9, 42}, EPF_B8G8R8, {42, 42, 42}},
        {"RGBA32F drops alpha", EPF_RGBA32F, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16},
         EPF_RGB32F, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
        {"L16 to L8 keeps the top byte", EPF_L16, {0x34, 0x12}, EPF_L8, {0x12}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        test::LogCapture log;
        EXPECT_EQ(convertRow(c.src, c.in, c.dst, 1, c.out.size()), c.out);
        EXPECT_TRUE(log.empty()) << log.first();
    }
}

TEST(PixelConvert, RowsPitchesAndFlip) {
    // 2 x 3 R8G8B8A8 into a wider destination, flipped: only row bytes are written per row.
    std::vector<unsigned char> src(24);
    for (size_t i = 0; i < src.size(); ++i) src[i] = (unsigned char)i;
    std::vector<unsigned char> dst(3 * 12, 0xEE);
    ASSERT_TRUE(convert(EPF_R8G8B8A8, src.data(), 0, EPF_R8G8B8A8, dst.data(), 12, 2, 3, true));
    EXPECT_EQ(0, std::memcmp(dst.data(), src.data() + 16, 8));
    EXPECT_EQ(0, std::memcmp(dst.data() + 24, src.data(), 8));
    EXPECT_EQ(dst[8], 0xEE);
    EXPECT_EQ(dst[35], 0xEE);

    // Height 0 is accepted and writes nothing.
    std::vector<unsigned char> untouched(8, 0xEE);
    EXPECT_TRUE(convert(EPF_R5G6B5, src.data(), 0, EPF_R8G8B8A8, untouched.data(), 0, 2, 0, false));
    EXPECT_EQ(untouched, std::vector<unsigned char>(8, 0xEE));
}

TEST(PixelConvert, InPlaceFlips) {
    // A8R8G8B8 to R8G8B8A8 in place with flip on three rows of one pixel.
    unsigned char px[12] = {10, 11, 12, 13, 20, 21, 22, 23, 30, 31, 32, 33};
    ASSERT_TRUE(convert(EPF_A8R8G8B8, px, 4, EPF_R8G8B8A8, px, 4, 1, 3, true));
    EXPECT_EQ(Bytes(px, px + 12), (Bytes{31, 32, 33, 30, 21, 22, 23, 20, 11, 12, 13, 10}));

    // Same format in place with flip exchanges rows; the packed path flips in place too.
    uint16_t rows[4] = {1, 2, 3, 4};
    ASSERT_TRUE(convert(EPF_R5G6B5, rows, 2, EPF_R5G6B5, rows, 2, 1, 4, true));
    EXPECT_EQ(Bytes(rows, rows + 4), (Bytes{4, 3, 2, 1}));
    uint16_t packed[3] = {0x8000, 0x0000, 0x801F};  // A1R5G5B5 -> R5G5B5A1, flipped
    ASSERT_TRUE(convert(EPF_A1R5G5B5, packed, 2, EPF_R5G5B5A1, packed, 2, 1, 3, true));
    EXPECT_EQ(packed[0], 0x003F);
    EXPECT_EQ(packed[1], 0x0000);
    EXPECT_EQ(packed[2], 0x0001);
}

TEST(PixelConvert, RefusedPairsLeaveTheDestinationAlone) {
    struct Case {
        const char* why;
        E_PIXEL_FORMAT src, dst;
        bool inPlace;
        unsigned srcPitch, dstPitch;
        bool flip;
        const char* message;  // nullptr: refused silently
        const char* hint;
    };
    const Case cases[] = {
        {"flip compressed", EPF_COMPRESSED_RGB_PVRTC_4BPP, EPF_COMPRESSED_RGB_PVRTC_4BPP, false, 0, 0,
         true, "flipping compressed pixel format not supported", ""},
        {"same format, in place, other pitch", EPF_R8G8B8A8, EPF_R8G8B8A8, true, 16, 32, false,
         "Bad conversion parameters", "in-place conversion with different pitch"},
        {"in place, pixel sizes differ", EPF_R5G6B5, EPF_R8G8B8A8, true, 0, 0, false,
         "in place conversion with different format pitches not supported", ""},
        {"compressed destination", EPF_R8G8B8A8, EPF_COMPRESSED_RGB_S3TC_DXT1, false, 0, 0, false,
         "Compressed destination format not supported", "COMPRESSED_RGB_S3TC_DXT1"},
        {"DXT source", EPF_COMPRESSED_RGBA_S3TC_DXT5, EPF_R8G8B8A8, false, 0, 0, false,
         "decompression of DXT formats not implemented", ""},
        {"PVRTC odd pitch", EPF_COMPRESSED_RGBA_PVRTC_4BPP, EPF_R8G8B8A8, false, 64, 0, false,
         "decompressing PVRTC formats with non \"natural\" pitch size not supported", ""},
        {"A8 to luminance", EPF_A8, EPF_L8, false, 0, 0, false,
         "conversion to luminance from float format not implemented yet", ""},
        {"float to luminance", EPF_RGBA16F, EPF_L8, false, 0, 0, false,
         "conversion to luminance from float format not implemented yet", ""},
        {"RGB32F gains alpha", EPF_RGB32F, EPF_RGBA32F, false, 0, 0, false,
         "handling floating point conversion (except swizzle from RGBA to RGB with same component "
         "type) not implemented yet", ""},
        {"half to bytes", EPF_RGBA16F, EPF_R8G8B8A8, false, 0, 0, false,
         "handling floating point conversion (except swizzle from RGBA to RGB with same component "
         "type) not implemented yet", ""},
        {"STENCIL1 to R5G6B5", EPF_STENCIL1, EPF_R5G6B5, false, 0, 0, false, nullptr, nullptr},
        {"R8G8B8 to STENCIL4", EPF_R8G8B8, EPF_STENCIL4, false, 0, 0, false, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        std::vector<unsigned char> src(256, 0x5A);
        std::vector<unsigned char> dst(256, 0xEE);
        unsigned char* d = c.inPlace ? src.data() : dst.data();
        const std::vector<unsigned char> before(d, d + 256);
        test::LogCapture log;
        EXPECT_FALSE(convert(c.src, src.data(), c.srcPitch, c.dst, d, c.dstPitch, 4, 4, c.flip));
        EXPECT_EQ(std::vector<unsigned char>(d, d + 256), before);
        if (!c.message) {
            EXPECT_TRUE(log.empty()) << log.first();
            continue;
        }
        ASSERT_EQ(log.entries().size(), 1u);
        EXPECT_EQ(log.entries()[0].text, c.message);
        EXPECT_EQ(log.entries()[0].hint, c.hint);
        EXPECT_EQ(log.entries()[0].level, pravik::ELL_ERROR);
    }
}

TEST(PixelConvert, PairsWithMissingChannelsStayInsideThePixel) {
    // Stencil and depth sources have channels marked "none"; converting them must neither read
    // past a source pixel nor fail in the arithmetic.
    const struct {
        E_PIXEL_FORMAT src, dst;
    } pairs[] = {{EPF_STENCIL8, EPF_R8G8B8}, {EPF_STENCIL8, EPF_R8G8B8A8}, {EPF_DEPTH16, EPF_L8},
                 {EPF_DEPTH24_STENCIL8, EPF_L16}, {EPF_DEPTH32, EPF_L8A8}, {EPF_DEPTH24, EPF_R8G8B8A8}};
    for (const auto& p : pairs) {
        SCOPED_TRACE(std::string(getName(p.src)) + " to " + getName(p.dst));
        std::vector<unsigned char> src(computeSizeInBytes(p.src, 3, 2), 0xA5);
        std::vector<unsigned char> dst(computeSizeInBytes(p.dst, 3, 2) + 1, 0xEE);
        convert(p.src, src.data(), 0, p.dst, dst.data(), 0, 3, 2, false);
        EXPECT_EQ(dst.back(), 0xEE);
    }
}

TEST(PixelConvert, PvrtcSourcesDecode) {
    // Four identical opaque white blocks: every pixel white, whichever path is taken.
    std::vector<unsigned char> blocks(32);
    for (int b = 0; b < 4; ++b) {
        const uint32_t words[2] = {0, 0xFFFFFFFEu};
        std::memcpy(&blocks[b * 8], words, 8);
    }
    {
        test::LogCapture log;
        std::vector<unsigned char> rgba(4 * 4 * 4, 0);
        ASSERT_TRUE(convert(EPF_COMPRESSED_RGBA_PVRTC_4BPP, blocks.data(), 0, EPF_R8G8B8A8, rgba.data(), 0, 4, 4, false));
        EXPECT_EQ(rgba, std::vector<unsigned char>(64, 255));
        EXPECT_TRUE(log.empty());
    }
    {
        test::LogCapture log;
        std::vector<uint16_t> rgb565(16, 0);
        ASSERT_TRUE(convert(EPF_COMPRESSED_RGB_PVRTC_4BPP, blocks.data(), 0, EPF_R5G6B5, rgb565.data(), 0, 4, 4, false));
        EXPECT_EQ(rgb565, std::vector<uint16_t>(16, 0xFFFF));
        ASSERT_EQ(log.entries().size(), 1u);
        EXPECT_EQ(log.entries()[0].text, "slow path decompression");
        EXPECT_EQ(log.entries()[0].level, pravik::ELL_WARNING);
    }
    {
        // A shape the decoder would read past: refused, nothing written.
        test::LogCapture log;
        std::vector<unsigned char> out(16 * 4 * 4, 0xEE);
        EXPECT_FALSE(convert(EPF_COMPRESSED_RGB_PVRTC_4BPP, blocks.data(), 0, EPF_R8G8B8A8, out.data(), 0, 16, 4, false));
        EXPECT_FALSE(convert(EPF_COMPRESSED_RGB_PVRTC_4BPP, blocks.data(), 0, EPF_R8G8B8A8, out.data(), 0, 6, 4, false));
        EXPECT_EQ(out, std::vector<unsigned char>(out.size(), 0xEE));
    }
    // Copied to itself without flip, 8 x 2 pixels is one row of two blocks.
    std::vector<unsigned char> copy(32, 0);
    ASSERT_TRUE(convert(EPF_COMPRESSED_RGB_PVRTC_4BPP, blocks.data(), 0, EPF_COMPRESSED_RGB_PVRTC_4BPP, copy.data(), 0, 8, 2, false));
    EXPECT_EQ(0, std::memcmp(copy.data(), blocks.data(), 16));
    EXPECT_EQ(copy[16], 0);
}
