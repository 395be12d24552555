#include "engine/video/C2DDriver.h"
#include "engine/video/material/CMaterial.h"
#include "engine/video/ITexture.h"
#include "tests/engine/video/DriverTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

using namespace pravik;
using namespace pravik::video;

namespace {

class Recording2D : public CNullDriver {
public:
    struct Call {
        std::string what;
        core::rect<int> rect, source;
        std::vector<SColor> colours;
        CMaterial* material;
    };
    Recording2D() : CNullDriver(static_cast<IDevice*>(nullptr)) {}
    void draw2DLine(const core::position2d<int>& a, const core::position2d<int>& b, SColor c) override
    {
        calls.push_back({"line", core::rect<int>(a.X, a.Y, b.X, b.Y), {}, {c}, getCurrentMaterial()});
    }
    void draw2DRectangle(const core::rect<int>& r, const core::rect<int>& s, const SColor* c, const core::rect<int>*) override
    {
        calls.push_back({"rect", r, s, {c[0], c[1], c[2], c[3]}, getCurrentMaterial()});
    }
    std::vector<Call> calls;
};

// Stands in for the built-in material types the 2D object asks for.
void buildTwoDimensionalTypes(CMaterialRendererManager& m)
{
    IVideoDriver& driver = *m.getVideoDriver();
    auto solid = test::addTestShader(driver, "solid", {}, {EVA_POSITION, EVA_COLOR0});
    auto textured = test::addTestShader(driver, "textured", {{"Texture0", ESPT_TEXTURE, ESPVT_SAMPLER2D, 0}},
                                        {EVA_POSITION, EVA_TEXCOORD0, EVA_COLOR0});
    m.setBuiltInId(EMT_UNLIT_NON_TEXTURED_BLEND_NO_DEPTH, test::buildRenderer(driver, "Unlit Non Textured Blend No Depth", solid));
    m.setBuiltInId(EMT_UNLIT_TEXTURED_BLEND_NO_DEPTH, test::buildRenderer(driver, "Unlit Textured Blend No Depth", textured));
    m.setBuiltInId(EMT_UNLIT_TEXTURED_BLEND_TEXTURE_ALPHA_NO_CULLING_NO_DEPTH,
                   test::buildRenderer(driver, "Unlit Textured Blend Texture Alpha No Culling No Depth", textured));
}

class TwoDTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CMaterialRendererManager::setBuiltInBuilder(&buildTwoDimensionalTypes);
        driver.initImplementationDependentData();
        driver.set2DDriver(&drawer);
    }
    void TearDown() override { CMaterialRendererManager::setBuiltInBuilder(nullptr); }
    test::ProcessBufferHeap heap;
    Recording2D driver;
    C2DDriver drawer{&driver};
};

TEST_F(TwoDTest, PolygonOfFourPoints)
{
    drawer.draw2DPolygon({100, 100}, 10.f, SColor(1, 2, 3, 4), 4);
    ASSERT_EQ(driver.calls.size(), 4u);
    const core::rect<int> lines[4] = {{110, 100, 100, 110}, {100, 90, 110, 100}, {90, 100, 100, 90}, {90, 100, 100, 110}};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(driver.calls[size_t(i)].what, "line");
        EXPECT_EQ(driver.calls[size_t(i)].rect, lines[i]);
    }
    driver.calls.clear();
    drawer.draw2DPolygon({5, 5}, 3.f, SColor(), 0);
    ASSERT_EQ(driver.calls.size(), 1u);
    EXPECT_EQ(driver.calls[0].rect, core::rect<int>(0, 0, 0, 0));
}

TEST_F(TwoDTest, FourColourRectangleUsesTheSolidMaterial)
{
    const SColor c1(1, 0, 0, 255), c2(2, 0, 0, 255), c3(3, 0, 0, 255), c4(4, 0, 0, 255);
    drawer.draw2DRectangle(core::rect<int>(1, 2, 3, 4), c1, c2, c3, c4, nullptr);
    ASSERT_EQ(driver.calls.size(), 1u);
    EXPECT_EQ(driver.calls[0].colours, (std::vector<SColor>{c1, c2, c4, c3}));
    EXPECT_EQ(driver.calls[0].source, core::rect<int>(0, 0, 0, 0));
    ASSERT_NE(driver.calls[0].material, nullptr);
    EXPECT_STREQ(driver.calls[0].material->getMaterialRenderer()->getName(), "Unlit Non Textured Blend No Depth");
}

TEST_F(TwoDTest, ImagesRowsAndFreedTextures)
{
    STextureDesc desc;
    desc.width = 32;
    desc.height = 32;
    boost::intrusive_ptr<ITexture> texture = driver.createTexture("img", desc);
    ASSERT_TRUE(texture);
    drawer.draw2DImage(texture, core::position2d<int>(10, 20), core::rect<int>(8, 0, 0, 16), nullptr, SColor(255, 255, 255, 255), false);
    ASSERT_EQ(driver.calls.size(), 1u);
    EXPECT_EQ(driver.calls[0].rect, core::rect<int>(10, 20, 18, 36));
    CMaterial* image = driver.calls[0].material;
    ASSERT_NE(image, nullptr);
    const unsigned short textureId = image->getMaterialRenderer()->getParameterID(ESPT_TEXTURE, 0);
    boost::intrusive_ptr<ITexture> held;
    image->getParameter(textureId, 0, held);
    EXPECT_EQ(held, texture);

    driver.calls.clear();
    drawer.draw2DImage(texture, {0, 0}, {core::rect<int>(0, 0, 5, 5), core::rect<int>(0, 0, 7, 5)}, {0, 1}, 2, nullptr,
                       SColor(255, 255, 255, 255), true);
    ASSERT_EQ(driver.calls.size(), 2u);
    EXPECT_EQ(driver.calls[0].rect.UpperLeftCorner.X, 0);
    EXPECT_EQ(driver.calls[1].rect.UpperLeftCorner.X, 7);
    EXPECT_STREQ(driver.calls[1].material->getMaterialRenderer()->getName(),
                 "Unlit Textured Blend Texture Alpha No Culling No Depth");

    drawer.freeTextures();
    image->getParameter(textureId, 0, held);
    EXPECT_FALSE(held);
    held.reset();
    EXPECT_EQ(texture->getReferenceCount(), 1);  // only the test holds it now
}

}  // namespace
