// Image files found by fuzzing: each is refused by every path that reads it, without reading
// past its data or allocating what it cannot justify.

#include "engine/io/CReadFile.h"
#include "engine/io/IReadFile.h"
#include "engine/video/image/CImageLoaderPVR.h"
#include "engine/video/image/CImageLoaderPng.h"
#include "engine/video/image/CPVRTextureLoader.h"
#include "tests/engine/core/TestAllocationHooks.h"
#include "tests/engine/video/CTextureManagerTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace pravik;
using namespace pravik::video;

std::string finding(const char* name) { return test::sourceDir() + "/tests/fixtures/fuzz-findings/" + name; }

boost::intrusive_ptr<io::IReadFile> open(const char* name)
{
    return boost::intrusive_ptr<io::IReadFile>(io::createReadFile(finding(name).c_str()), false);
}

TEST(HostileImages, PvrWithoutTheDataItsHeaderDeclares)
{
    const auto file = open("pvr-datasize0.pvr");
    ASSERT_TRUE(file);
    const std::string refusal = "loading " + finding("pvr-datasize0.pvr") + ": file size mismatches header info";
    {
        test::LogCapture log;
        EXPECT_FALSE(CImageLoaderPVR().loadImage(file.get()));
        EXPECT_EQ(log.first(), refusal);
    }
    SImageFileDesc desc;
    EXPECT_FALSE(CImageLoaderPVR().readFileDesc(file.get(), desc));
    STextureDesc textureDesc;
    EXPECT_FALSE(CPVRTextureLoader().loadTextureHeader(file.get(), textureDesc));
}

TEST(HostileImages, ABlockThatCannotHoldItsPixelsMakesNoImage)
{
    const struct {
        unsigned blockSize;
        bool image;
    } kCases[] = {{0, false}, {1, false}, {4 * 4 * 4 - 1, false}, {4 * 4 * 4, true}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.blockSize);
        auto* block = new unsigned char[c.blockSize ? c.blockSize : 1]();
        const CImagePtr image = new CImage(EPF_R8G8B8A8, {4, 4}, block, c.blockSize, 0, true, true);
        EXPECT_EQ(image->getData() != nullptr, c.image);
        EXPECT_LE(image->getImageDataSizeInBytes(), c.blockSize);
    }
}

class HostileTextures : public test::NullDriverTextures {};

TEST_F(HostileTextures, PvrThroughTheTextureManager)
{
    dir.write("t.pvr", test::readFile(finding("pvr-datasize0.pvr")));
    mountFolder();
    EXPECT_FALSE(manager->createImageFromFile("t.pvr"));
    EXPECT_FALSE(manager->getTexture("t.pvr"));
}

TEST(HostileImages, PngTextChunkLargerThanTheFile)
{
    const auto file = open("png-huge-text-chunk.png");
    ASSERT_TRUE(file);
    test::LogCapture log;
    test::hookRecord().largestSize = 0;
    EXPECT_FALSE(CImageLoaderPng().loadImage(file.get()));
    EXPECT_LT(test::hookRecord().largestSize, std::size_t(8) << 20);
    EXPECT_GT(test::hookRecord().largestSize, 0u);  // libpng's blocks are seen at all
}

}  // namespace
