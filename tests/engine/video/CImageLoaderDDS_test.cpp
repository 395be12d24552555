// DDS and PVR containers built in code: mip chains, compressed data, prefixed ".btex" files and
// the headers each loader refuses, with their messages.

#include "engine/video/image/CImageLoaderDDS.h"
#include "engine/video/image/CImageLoaderPVR.h"
#include "engine/video/image/PVRTCDecompress.h"

#include "tests/engine/video/ImageTestSupport.h"
#include "tools/formats/DdsWriter.h"
#include "tools/formats/PvrWriter.h"

#include <gtest/gtest.h>

#include <string>

using namespace pravik;
using namespace pravik::video;

namespace {

void put32(std::string& s, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) s[at + i] = char(v >> (8 * i));
}

// Containers through the writers, with the defaults these tests start from.
struct DDS : formats::dds::File {
    DDS() { width = height = 8; }
};
using PVR = formats::pvr::File;

bool readDesc(const IImageLoader& loader, const std::string& bytes, SImageFileDesc& desc, const char* name) {
    io::IReadFile* f = io::createMemoryReadFile(const_cast<char*>(bytes.data()), int32_t(bytes.size()), name, false);
    bool ok = false;
    if (auto* dds = dynamic_cast<const CImageLoaderDDS*>(&loader)) ok = dds->readFileDesc(f, desc);
    if (auto* pvr = dynamic_cast<const CImageLoaderPVR*>(&loader)) ok = pvr->readFileDesc(f, desc);
    f->drop();
    return ok;
}

}  // namespace

TEST(ImageLoaderDDS, LoadsAMipChainOfCompressedBlocks) {
    DDS dds;
    dds.mips = 4;  // 8x8, 4x4, 2x2, 1x1: 32 + 8 + 8 + 8 bytes of DXT1
    for (int i = 0; i < 56; ++i) dds.data += char(i);
    CImageLoaderDDS loader;
    test::LogCapture log;
    const CImagePtr img = test::loadBytes(loader, dds.bytes(), "a.dds");
    ASSERT_TRUE(img);
    EXPECT_EQ(log.first(), "DDS : EPF_DXT1 format");
    EXPECT_EQ(log.entries()[0].level, ELL_INFORMATION);
    EXPECT_EQ(img->getColorFormat(), EPF_COMPRESSED_RGBA_S3TC_DXT1);
    ASSERT_EQ(img->getMipMapCount(), 3u);
    EXPECT_EQ(img->getImageDataSizeInBytes(), 56u);
    EXPECT_EQ(static_cast<const unsigned char*>(img->getMipMapData(1))[0], 32);
    EXPECT_EQ(static_cast<const unsigned char*>(img->getMipMapData(3))[7], 55);

    dds.mips = 0;  // no extra levels, a buffer of the top level
    dds.data.resize(32);
    const CImagePtr flat = test::loadBytes(loader, dds.bytes());
    ASSERT_TRUE(flat);
    EXPECT_EQ(flat->getMipMapCount(), 0u);
    EXPECT_EQ(flat->getImageDataSizeInBytes(), 32u);
}

TEST(ImageLoaderDDS, ImagePathRefusals) {
    CImageLoaderDDS loader;
    DDS good;
    good.data = std::string(32, '\0');
    const struct {
        const char* why;
        std::string bytes;
        const char* message;
    } cases[] = {
        {"volume", [&] { DDS d = good; d.flags |= 0x800000; d.depth = 4; return d.bytes(); }(), "UNSUPORTED DDS FORMAT TEXTURE"},
        {"no FourCC", [&] { DDS d = good; d.pfFlags = 0x40; return d.bytes(); }(), "UNKNOWN DDS FORMAT TEXTURE"},
        {"other FourCC", [&] { DDS d = good; d.fourCC = "ATI2"; return d.bytes(); }(), nullptr},
        {"data cut short", good.bytes().substr(0, 128 + 31), "DDS level data runs past the end of the file"},
        {"chain past the file", [&] { DDS d = good; d.mips = 40; return d.bytes(); }(), "DDS level data runs past the end of the file"},
        {"huge", [&] { DDS d = good; d.width = 0x40000000; return d.bytes(); }(), "DDS dimensions not supported"},
        {"header cut", good.bytes().substr(0, 100), nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        test::LogCapture log;
        EXPECT_FALSE(test::loadBytes(loader, c.bytes));
        if (c.message) {
            EXPECT_TRUE(log.contains(c.message)) << log.first();
        }
    }
}

TEST(ImageLoaderDDS, TextureHeaders) {
    CImageLoaderDDS loader;
    SImageFileDesc desc;
    DDS cube;
    cube.caps2 = 0xFE00;
    ASSERT_TRUE(readDesc(loader, cube.bytes(), desc, "c.dds"));
    EXPECT_EQ(desc.type, 2u);
    EXPECT_EQ(desc.format, EPF_COMPRESSED_RGBA_S3TC_DXT1);

    const auto refused = [&](const DDS& d, const char* message) {
        test::LogCapture log;
        SImageFileDesc out;
        EXPECT_FALSE(readDesc(loader, d.bytes(), out, "x.dds"));
        EXPECT_EQ(log.first(), message);
    };
    DDS partial = cube;
    partial.caps2 = 0x7E00;
    refused(partial, "loading x.dds: partial cube map not supported");
    DDS chain;
    chain.width = chain.height = 256;
    chain.caps = 0x400000;
    chain.mips = 8;
    refused(chain, "loading x.dds: only complete mipmap chains are supported; expected 9, got 8");
    DDS ati;
    ati.fourCC = "ATI2";
    refused(ati, "loading x.dds: unknown FourCC -- ATI2");
    DDS odd;
    odd.pfFlags = 0x40;
    odd.masks[0] = 0x7C00, odd.masks[1] = 0x3E0, odd.masks[2] = 0x1F;
    refused(odd, "loading x.dds: unknown pixel format (0x00007c00, 0x000003e0, 0x0000001f, 0x00000000)");

    DDS rgba;
    rgba.pfFlags = 0x40 | 0x1;
    rgba.masks[0] = 0xFF, rgba.masks[1] = 0xFF00, rgba.masks[2] = 0xFF0000, rgba.masks[3] = 0xFF000000;
    chain.mips = 9;
    ASSERT_TRUE(readDesc(loader, rgba.bytes(), desc, "r.dds"));
    EXPECT_EQ(desc.format, EPF_R8G8B8A8);
    ASSERT_TRUE(readDesc(loader, chain.bytes(), desc, "m.dds"));
    EXPECT_TRUE(desc.hasMipmaps);
}

TEST(ImageLoaderPVR, LoadsPvrtcAndPrefixedFiles) {
    CImageLoaderPVR loader;
    PVR pvr;
    for (int b = 0; b < 4; ++b) {  // four opaque white blocks
        put32(pvr.data, size_t(b) * 8, 0);
        put32(pvr.data, size_t(b) * 8 + 4, 0xFFFFFFFE);
    }
    for (const bool prefixed : {false, true}) {
        SCOPED_TRACE(prefixed);
        pvr.prefixed = prefixed;
        const std::string bytes = pvr.bytes();
        io::IReadFile* f = io::createMemoryReadFile(const_cast<char*>(bytes.data()), int32_t(bytes.size()), "t.btex", false);
        EXPECT_TRUE(loader.isALoadableFileFormat(f));
        EXPECT_EQ(f->getPos(), 0);
        f->drop();
        const CImagePtr img = test::loadBytes(loader, bytes, "t.pvr");
        ASSERT_TRUE(img);
        EXPECT_EQ(img->getColorFormat(), EPF_COMPRESSED_RGBA_PVRTC_4BPP);
        EXPECT_EQ(test::rgbaOf(img), std::vector<unsigned char>(64, 255));
    }
    // An uncompressed image with its mip chain: 4x4, 2x2, 1x1 of R8G8B8A8.
    PVR mips;
    mips.flags = 18 | 0x100;
    mips.mips = 2;
    mips.dataSize = 64 + 16 + 4;
    mips.data = std::string(84, '\x40');
    const CImagePtr chain = test::loadBytes(loader, mips.bytes());
    ASSERT_TRUE(chain);
    EXPECT_EQ(chain->getMipMapCount(), 2u);
    EXPECT_EQ(chain->getPixel(3, 3), SColor(0x40, 0x40, 0x40, 0x40));
}

TEST(ImageLoaderPVR, HeaderChecks) {
    CImageLoaderPVR loader;
    SImageFileDesc desc;
    PVR big;
    big.width = 512, big.height = 256, big.flags = 13 | 0x100, big.mips = 9;
    big.dataSize = pixel_format::computeSizeInBytes(EPF_COMPRESSED_RGB_PVRTC_4BPP, 512, 256, 1, 10, false);
    big.data.assign(big.dataSize, '\0');
    ASSERT_TRUE(readDesc(loader, big.bytes(), desc, "b.pvr"));
    EXPECT_TRUE(desc.hasMipmaps);
    EXPECT_EQ(desc.format, EPF_COMPRESSED_RGB_PVRTC_4BPP);

    const auto refused = [&](const PVR& p, const char* message) {
        test::LogCapture log;
        EXPECT_FALSE(test::loadBytes(loader, p.bytes(), "x.pvr"));
        if (message) {
            EXPECT_EQ(log.first(), message);
        }
    };
    PVR shortChain = big;
    shortChain.mips = 8;
    refused(shortChain, "loading x.pvr: incomplete mipmap chain not supported");
    PVR twiddled;
    twiddled.flags = 2 | 0x200;
    refused(twiddled, "loading x.pvr: twiddled format not supported");
    PVR twiddledPvrtc;
    twiddledPvrtc.flags = 13 | 0x200;
    EXPECT_TRUE(test::loadBytes(loader, twiddledPvrtc.bytes()));
    PVR type3;
    type3.flags = 3;
    refused(type3, "loading x.pvr: pixel format 302u not supported");
    PVR sizeOff;
    sizeOff.dataSize = 40;
    refused(sizeOff, "loading x.pvr: file size mismatches header info");
    PVR cubeWithout6;
    cubeWithout6.flags |= 0x1000;
    refused(cubeWithout6, nullptr);
    // Data sizes that agree with the file but cannot hold what the header declares.
    PVR tooSmall;  // not even the top level
    tooSmall.flags = 18;
    tooSmall.dataSize = 16;
    tooSmall.data.resize(16);
    refused(tooSmall, "loading x.pvr: file size mismatches header info");
    PVR lastLevelShort = big;
    lastLevelShort.dataSize -= 1;
    lastLevelShort.data.resize(lastLevelShort.dataSize);
    refused(lastLevelShort, "loading x.pvr: file size mismatches header info");
    PVR nothing = big;  // a header alone
    nothing.dataSize = 0;
    nothing.data.clear();
    refused(nothing, "loading x.pvr: file size mismatches header info");
    std::string noTag = PVR().bytes();
    noTag[44] = 'X';
    EXPECT_FALSE(test::loadBytes(loader, noTag));
}
