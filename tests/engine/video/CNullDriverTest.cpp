#include "engine/video/CNullDriver.h"
#include "engine/video/material/CGlobalMaterialParameterManager.h"
#include "engine/video/material/CMaterialRendererManager.h"
#include "tests/engine/video/DriverTestSupport.h"
#include "tests/engine/video/ImageTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

using namespace pravik;
using namespace pravik::video;

namespace {

class NullDriverTest : public ::testing::Test {
protected:
    test::ProcessBufferHeap heap;
    boost::intrusive_ptr<CNullDriver> driver = test::makeNullDriver();
};

TEST_F(NullDriverTest, AnswersItsNameColourFormatAndFeatures)
{
    EXPECT_EQ(driver->getName(), "NullDriver");
    EXPECT_EQ(driver->getVendorName(), "Not available on this driver.");
    EXPECT_EQ(driver->getDriverType(), EDT_NULL);
    EXPECT_EQ(driver->getColorFormat(), EPF_R5G6B5);
    for (unsigned f = 0; f < 25; ++f) {
        SCOPED_TRACE(f);
        EXPECT_EQ(driver->queryFeature(E_VIDEO_DRIVER_FEATURE(f)), f == EVDF_TEXTURE_2D);
    }
    EXPECT_THROW(driver->queryFeature(E_VIDEO_DRIVER_FEATURE(25)), std::out_of_range);
    EXPECT_EQ(driver->getMaxUserClipPlanes(), 0u);
    EXPECT_EQ(driver->getOptions(), 0x10u);
    EXPECT_EQ(driver->getRenderTargetCount(), 1u);
    EXPECT_EQ(driver->getScissor(), core::rect<int>(0, 0, 600, 1024));
    EXPECT_EQ(driver->getStencilFunc(), ECF_ALWAYS);
    EXPECT_EQ(driver->getStencilFuncMask(), 0xff);
    E_BLEND_FACTOR src, dst;
    driver->getBlendFunc(src, dst);
    EXPECT_EQ(src, EBF_ONE);
    EXPECT_EQ(dst, EBF_ZERO);
}

TEST_F(NullDriverTest, OwnsTheManagersAndRegistersLightAndFogParameters)
{
    EXPECT_EQ(driver->getInternalFlags() & 0x30u, 0x30u);
    CGlobalMaterialParameterManager* g = driver->getGlobalMaterialParameterManager();
    EXPECT_NE(g->getId("DynamicLight0"), 0xffff);
    EXPECT_EQ(g->getId("DynamicLight1"), 0xffff);
    EXPECT_EQ(driver->getFirstDynamicLightId(), g->getId("DynamicLight0"));
    EXPECT_NE(g->getId("SceneAmbientLight"), 0xffff);
    const unsigned short fog = g->getId("FogColor0");
    EXPECT_EQ(g->getId("FogDensity0"), fog + 1);
    EXPECT_EQ(g->getId("FogStartEnd0"), fog + 2);
    SColor colour;
    ASSERT_TRUE(g->getParameter(fog, 0, colour));
    EXPECT_EQ(colour, SColor(255, 0, 128, 255));

    // A second null driver over the first shares its managers and owns none.
    boost::intrusive_ptr<CNullDriver> second(new CNullDriver(driver.get()), false);
    EXPECT_EQ(second->getInternalFlags() & 0x30u, 0u);
    EXPECT_EQ(second->getMaterialRendererManager(), driver->getMaterialRendererManager());
    EXPECT_EQ(second->getFirstDynamicLightId(), driver->getFirstDynamicLightId());
}

TEST_F(NullDriverTest, TexturesKeepClientMemoryAndBindClearsTheirDirtyBits)
{
    STextureDesc desc;
    desc.width = 4;
    desc.height = 4;
    boost::intrusive_ptr<ITexture> texture = driver->createTexture("t", desc);
    ASSERT_TRUE(texture);
    auto* pixels = static_cast<unsigned char*>(texture->lock());
    ASSERT_NE(pixels, nullptr);
    std::memset(pixels, 0x5a, 64);
    texture->unlock();
    const auto* back = static_cast<const unsigned char*>(texture->map(EBMA_CLIENT_READ_WRITE));
    EXPECT_EQ(back[63], 0x5a);
    texture->unmap();
    EXPECT_TRUE(texture->getDirtyFlags() & 0x0001);
    EXPECT_FALSE(texture->bind());
    EXPECT_FALSE(texture->getDirtyFlags() & 0x0003);
}

TEST_F(NullDriverTest, CreateTextureRefusesWhatTheFeaturesDoNotAllow)
{
    struct Case {
        const char* why;
        E_TEXTURE_TYPE type;
        int w;
        unsigned h;
        const char* message;
    } cases[] = {
        {"square power of two", ETT_2D, 64, 64, nullptr},
        {"placeholder 1x1", ETT_2D, 1, 1, nullptr},
        {"non-square", ETT_2D, 64, 32, "non square dimension not supported (provided: 64x32x1)"},
        {"non power of two", ETT_2D, 100, 100, "non power-of-two dimension not supported (provided: 100x100x1)"},
        {"cube map", ETT_CUBE_MAP, 1, 1, "Cube Map type not supported"},
        {"unknown type", ETT_UNKNOWN, 4, 4, "unknown type not supported"},
        {"null size", ETT_2D, 0, 4, "null dimension not supported"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        test::LogCapture log;
        STextureDesc desc;
        desc.type = c.type;
        desc.width = c.w;
        desc.height = c.h;
        boost::intrusive_ptr<ITexture> t = driver->createTexture("tex", desc);
        EXPECT_EQ(bool(t), c.message == nullptr);
        if (c.message) {
            EXPECT_TRUE(log.contains(std::string("adding texture tex: ") + c.message)) << log.first();
        }
    }
}

TEST_F(NullDriverTest, ClonedBuffersOwnTheirCopy)
{
    auto* data = new unsigned char[8]{1, 2, 3, 4, 5, 6, 7, 8};
    boost::intrusive_ptr<IBuffer> buffer = driver->createBuffer(EBT_VERTEX, EBU_DYNAMIC, 8, data, true);
    boost::intrusive_ptr<IBuffer> copy = buffer->clone();
    ASSERT_TRUE(copy);
    EXPECT_NE(copy->getData(), buffer->getData());
    EXPECT_EQ(static_cast<unsigned char*>(copy->getData())[7], 8);
    EXPECT_TRUE(copy->getFlags() & 0x01);
}

TEST_F(NullDriverTest, TransformsStartAsIdentity)
{
    for (unsigned s = 0; s < ETS_COUNT; ++s) EXPECT_TRUE(driver->getTransform(E_TRANSFORMATION_STATE(s)).isIdentity());
    core::CMatrix4<float> m;
    m.setTranslation({1, 2, 3});
    driver->setTransform(ETS_WORLD, m);
    EXPECT_EQ(driver->getTransform(ETS_WORLD).getTranslation(), core::vector3d<float>(1, 2, 3));
}

}  // namespace
