// Every loader against damaged files: each valid file of each format cut at every length and
// changed at seeded random bytes, fed to all six loaders. Nothing may crash or read out of
// bounds (the sanitizer build runs this too); what loads must have its pixels.

#include "engine/video/image/CImageLoaderBMP.h"
#include "engine/video/image/CImageLoaderDDS.h"
#include "engine/video/image/CImageLoaderJPG.h"
#include "engine/video/image/CImageLoaderPVR.h"
#include "engine/video/image/CImageLoaderPng.h"
#include "engine/video/image/CImageLoaderTGA.h"
#include "engine/video/image/CImageWriterJPG.h"
#include "engine/video/image/CImageWriterPNG.h"
#include "engine/video/image/CImageWriterTGA.h"

#include "tests/engine/video/ImageTestSupport.h"
#include "tools/formats/DdsWriter.h"
#include "tools/formats/PvrWriter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace pravik;
using namespace pravik::video;

namespace {

void put32(std::string& s, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) s[at + i] = char(v >> (8 * i));
}

std::string bmp(unsigned bits, unsigned compression, std::vector<uint32_t> table, std::string pixels, int w, int h) {
    std::string s(54, '\0');
    s[0] = 'B', s[1] = 'M';
    put32(s, 10, uint32_t(54 + table.size() * 4));
    put32(s, 18, uint32_t(w));
    put32(s, 22, uint32_t(h));
    s[28] = char(bits);
    put32(s, 30, compression);
    put32(s, 34, uint32_t(pixels.size()));
    for (uint32_t e : table) {
        std::string b(4, '\0');
        put32(b, 0, e);
        s += b;
    }
    return s + pixels;
}

std::vector<std::string> seedFiles() {
    CImagePtr img = new CImage(EPF_R8G8B8A8, core::dimension2d<int>(9, 5));
    for (unsigned y = 0; y < 5; ++y)
        for (unsigned x = 0; x < 9; ++x) img->setPixel(x, y, SColor(uint8_t(x * 28), uint8_t(y * 50), 7, uint8_t(x * y)));
    std::vector<std::string> files;
    files.push_back(test::writeBytes(CImageWriterPNG(), img));
    files.push_back(test::writeBytes(CImageWriterJPG(), img, 80));
    files.push_back(test::writeBytes(CImageWriterTGA(), img));
    std::string rleTga(18, '\0');
    rleTga[2] = 10, rleTga[12] = 4, rleTga[14] = 2, rleTga[16] = 24;
    rleTga += std::string("\x83\x01\x02\x03\x01\x04\x05\x06\x07\x08\x09\x81\x0a\x0b\x0c", 15);
    files.push_back(rleTga);
    files.push_back(bmp(8, 0, {0xFF0000, 0x00FF00, 0x0000FF}, std::string("\x00\x01\x02\x05\x01\x01\x01\x00", 8), 4, 2));
    files.push_back(bmp(8, 1, {0xFF0000, 0x00FF00}, std::string("\x03\x01\x00\x00\x00\x03\x01\x00\x01\x00\x00\x02\x01\x01\x00\x01", 16), 4, 3));
    files.push_back(bmp(4, 2, {0xFF0000, 0x00FF00}, std::string("\x05\x10\x00\x00\x00\x03\x11\x10\x00\x01", 10), 5, 2));
    files.push_back(bmp(16, 3, {0xF800, 0x7E0, 0x1F}, std::string(8, '\x33'), 2, 2));
    files.push_back(bmp(1, 0, {}, std::string("\xA5\x00\x00\x00\x5A\x00\x00\x00", 8), 7, 2));
    formats::dds::File dds;
    dds.flags = 0x1001, dds.width = dds.height = 8, dds.mips = 4, dds.fourCC = "DXT5";
    dds.data = std::string(64 + 16 + 16 + 16, '\x11');
    files.push_back(dds.bytes());
    formats::pvr::File pvr;
    pvr.width = pvr.height = 8, pvr.mips = 3, pvr.flags = formats::pvr::kPVRTC4 | formats::pvr::kMipMaps | formats::pvr::kAlpha;
    pvr.dataSize = 32 * 4, pvr.bits = 0, pvr.data = std::string(128, '\x6B');
    files.push_back(pvr.bytes());
    return files;
}

// Loaders start at count 0; the pointers here hold them (and release them at exit).
const std::vector<boost::intrusive_ptr<IImageLoader>>& loaders() {
    static const std::vector<boost::intrusive_ptr<IImageLoader>> all = {createImageLoaderBMP(), createImageLoaderJPG(), createImageLoaderTGA(),
                                                   createImageLoaderPNG(), createImageLoaderDDS(), createImageLoaderPVR()};
    return all;
}

// Loads through every loader; a loaded image must be whole.
void loadEverywhere(const std::string& bytes) {
    for (const auto& loader : loaders()) {
        const CImagePtr img = test::loadBytes(*loader, bytes, "damaged");
        if (!img) continue;
        ASSERT_NE(img->getData(), nullptr);
        const auto d = img->getDimension();
        ASSERT_GT(d.Width, 0);
        ASSERT_GT(d.Height, 0);
        (void)test::rgbaOf(img);  // every pixel readable
    }
}

}  // namespace

TEST(ImageLoaderMalformed, SeedFilesLoad) {
    const auto files = seedFiles();
    const std::vector<size_t> loaderOf = {3, 1, 2, 2, 0, 0, 0, 0, 0, 4, 5};
    for (size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(test::loadBytes(*loaders()[loaderOf[i]], files[i]));
    }
}

TEST(ImageLoaderMalformed, CutAtEveryLength) {
    test::LogCapture quiet;  // the loaders' complaints are expected here
    for (const std::string& file : seedFiles())
        for (size_t n = 0; n < file.size(); ++n) loadEverywhere(file.substr(0, n));
}

void mutateAndLoad(unsigned seed, int rounds) {
    test::LogCapture quiet;
    std::mt19937 rng(seed);
    for (const std::string& file : seedFiles()) {
        for (int round = 0; round < rounds; ++round) {
            std::string bytes = file;
            const int changes = 1 + int(rng() % 4);
            for (int k = 0; k < changes; ++k) {
                // Headers hold the numbers worth breaking: favour the first 130 bytes.
                const size_t at = (rng() % 3 ? rng() % std::min<size_t>(130, bytes.size()) : rng() % bytes.size());
                bytes[at] = char(rng() % 4 ? rng() : (rng() % 2 ? 0xFF : 0x00));
            }
            loadEverywhere(bytes);
        }
        quiet.clear();
    }
}

TEST(ImageLoaderMalformed, RandomlyChangedBytes) { mutateAndLoad(20261211, 300); }

// The long run, for the sanitizer build: `make sanitize CTEST_ARGS="-R ImageLoaderMalformedSlow"`.
TEST(ImageLoaderMalformedSlow, ManyRandomlyChangedBytes) { mutateAndLoad(7, 20000); }
