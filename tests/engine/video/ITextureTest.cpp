#include "engine/io/CAttributes.h"
#include "engine/video/ITexture.h"
#include "engine/video/image/pixel_format.h"
#include "tests/engine/video/DriverTestSupport.h"

#include <gtest/gtest.h>

using namespace pravik;
using namespace pravik::video;

namespace {

boost::intrusive_ptr<ITexture> make(IVideoDriver& driver, E_TEXTURE_TYPE type, int w, unsigned h, bool mips,
                                    E_PIXEL_FORMAT format = EPF_A8R8G8B8)
{
    STextureDesc d;
    d.type = type;
    d.format = format;
    d.width = w;
    d.height = h;
    d.hasMipmaps = mips;
    return new CNullDriver::CTexture("t", &driver, d);  // straight from the texture class: every type
}

class TextureTest : public ::testing::Test {
protected:
    test::ProcessBufferHeap heap;
    boost::intrusive_ptr<CNullDriver> driver = test::makeNullDriver();
};

TEST_F(TextureTest, MipLevelTableOf256By64)
{
    auto t = make(*driver, ETT_2D, 256, 64, true);
    ASSERT_EQ(t->getMipmapCount(), 9);
    EXPECT_FLOAT_EQ(t->getMaxLOD(), 8.f);
    EXPECT_EQ(t->getMinFilter(), ETFT_LINEAR_MIPMAP_NEAREST);
    // Level sizes in bytes: 256x64, 128x32, 64x16, 32x8, 16x4, 8x2, 4x1, 2x1, 1x1 at 4 bytes.
    const unsigned sizes[9] = {65536, 16384, 4096, 1024, 256, 64, 16, 8, 4};
    unsigned offset = 0;
    for (unsigned l = 0; l < 9; ++l) {
        SCOPED_TRACE(l);
        EXPECT_EQ(t->getLevelTable()[l], offset);
        offset += sizes[l];
    }
    EXPECT_EQ(t->getLevelTable()[9], offset);
    EXPECT_EQ(t->getSizeInBytes(), offset);
    EXPECT_EQ(t->getDirtyLevelWordCount(), 1u);
    EXPECT_EQ(t->getPitch(0), 1024u);
    EXPECT_EQ(t->getPitch(8), 4u);
    EXPECT_EQ(t->getDirtyFlags(), 0x1ffd);

    auto one = make(*driver, ETT_2D, 1, 1, true);
    EXPECT_EQ(one->getMipmapCount(), 1);
    EXPECT_EQ(one->getMinFilter(), ETFT_LINEAR_MIPMAP_NEAREST);
}

TEST_F(TextureTest, CubeMapClientBlockAndDirtyBits)
{
    auto t = make(*driver, ETT_CUBE_MAP, 16, 16, true);
    const unsigned m = t->getMipmapCount();
    ASSERT_EQ(m, 5u);
    EXPECT_EQ(t->getDirtyLevelWordCount(), (6 * m + 31) / 32);
    const unsigned face = t->getLevelTable()[m];
    EXPECT_EQ(face, 1364u);  // 1024 + 256 + 64 + 16 + 4
    EXPECT_EQ(t->getSizeInBytes(), 5 * 1408u + face);  // faces aligned to 128 but the last

    // Mapping face 3, level 2 allocates the block and points inside it.
    auto* p = static_cast<unsigned char*>(t->map(EBMA_CLIENT_WRITE, ETCMF_NEGATIVE_Y, 2));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p - static_cast<unsigned char*>(t->getData()), 3 * 1408 + 1024 + 256);
    EXPECT_EQ(t->map(EBMA_CLIENT_WRITE, ETCMF_POSITIVE_X, 0), nullptr);  // another place while mapped
    t->unmap();
    EXPECT_TRUE(t->isLevelDirty(3, 2));
}

TEST_F(TextureTest, DirtyLevelsFollowDataAndMapping)
{
    auto t = make(*driver, ETT_2D, 8, 8, true);
    const unsigned m = t->getMipmapCount();
    std::fill_n(t->getDirtyLevelBits(), t->getDirtyLevelWordCount(), 0u);
    t->setDirtyFlags(0);
    auto* block = new unsigned char[t->getSizeInBytes()]();
    t->setData(block, true, false);
    for (unsigned l = 0; l < m; ++l) EXPECT_TRUE(t->isLevelDirty(0, (unsigned char)l));
    EXPECT_TRUE(t->getDirtyFlags() & 0x0001);

    // Holding only level 0 clears the other levels' bits.
    auto u = make(*driver, ETT_2D, 8, 8, true);
    u->setData(new unsigned char[256](), true, true);
    EXPECT_TRUE(u->getStateFlags() & 0x02);
    EXPECT_TRUE(u->isLevelDirty(0, 0));
    EXPECT_FALSE(u->isLevelDirty(0, 1));
    EXPECT_EQ(u->getSizeInBytes(), 256u);
}

TEST_F(TextureTest, NestedMapsAndTheStartFlag)
{
    auto t = make(*driver, ETT_2D, 4, 4, false);
    void* a = t->map(EBMA_CLIENT_WRITE);
    void* b = t->map(EBMA_CLIENT_WRITE);
    EXPECT_EQ(a, b);
    EXPECT_TRUE(t->getStateFlags() & 0x40);
    t->unmap();
    EXPECT_EQ(t->getMapState() & 0x1f, 1);
    t->unmap();
    EXPECT_EQ(t->getMapState(), 0);
    EXPECT_FALSE(t->getStateFlags() & 0x40);
    EXPECT_FALSE(t->copy());  // it owns its data already
}

TEST_F(TextureTest, SamplingParametersThroughAttributes)
{
    auto single = make(*driver, ETT_2D, 4, 4, false);
    single->setDirtyFlags(0);
    single->setMinFilter(ETFT_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(single->getMinFilter(), ETFT_LINEAR);  // a mipmapped filter on one level is ignored
    EXPECT_EQ(single->getDirtyFlags(), 0);
    single->setAnisotropy(0.5f);
    EXPECT_FLOAT_EQ(single->getAnisotropy(), 1.f);

    single->setWrapR(ETC_CLAMP_TO_EDGE);
    boost::intrusive_ptr<io::CAttributes> attributes(new io::CAttributes(nullptr), false);
    io::CAttributes& store = *attributes;
    single->serializeAttributes(&store);
    EXPECT_STREQ(store.getString("Name").c_str(), "t");
    store.push("Sampling State");
    EXPECT_STREQ(store.getEnum("Wrap R"), "Clamp to Edge");
    EXPECT_STREQ(store.getEnum("Min Filter"), "Linear");
    store.pop();
    single->setDirtyFlags(0);
    single->deserializeAttributes(&store);
    EXPECT_EQ(single->getDirtyFlags(), 0);  // reading back the same values changes nothing
}

}  // namespace

TEST_F(TextureTest, TextureAttributeKeepsItsTextureAndDriverAlive)
{
    auto t = make(*driver, ETT_2D, 4, 4, false);
    const int textureCount = t->getReferenceCount(), driverCount = driver->getReferenceCount();
    {
        io::CAttributes store(driver.get());
        store.addTexture("tex", t.get());
        EXPECT_EQ(t->getReferenceCount(), textureCount + 1);
        EXPECT_EQ(store.getTexture("tex"), t.get());
        store.setAttribute("tex", io::TexturePtr(nullptr));
        EXPECT_EQ(t->getReferenceCount(), textureCount);
        store.setAttribute("tex", t.get());
        EXPECT_GT(driver->getReferenceCount(), driverCount);
    }
    EXPECT_EQ(t->getReferenceCount(), textureCount);
    EXPECT_EQ(driver->getReferenceCount(), driverCount);
}
