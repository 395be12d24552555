#include "engine/scene/CAppendMeshBuffer.h"
#include "engine/video/gl/CFixedGLNoLightBaker.h"
#include "engine/video/material/CGenericBaker.h"
#include "engine/video/material/CVertexStreams.h"
#include "tests/engine/video/DriverTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace pravik;
using namespace pravik::video;

namespace {

class BakerTest : public ::testing::Test {
protected:
    std::vector<std::pair<unsigned, unsigned>> layout(const scene::CAppendMeshBuffer& b)
    {
        std::vector<std::pair<unsigned, unsigned>> out;
        for (unsigned char s : b.ConfiguredStreams) out.emplace_back(s, b.getVertexStreams()->begin()[s].offset);
        return out;
    }
    test::ProcessBufferHeap heap;
    boost::intrusive_ptr<CNullDriver> driver = test::makeNullDriver();
    scene::CAppendMeshBuffer buffer{4096, 1024, driver.get(), EBU_CLIENT_ONLY, 0xffffffffu};
};

TEST_F(BakerTest, LayoutsAddAColourWhereTheBakerBakesOne)
{
    auto shader = test::addTestShader(*driver, "pos tex", {}, {EVA_POSITION, EVA_TEXCOORD0});
    using L = std::vector<std::pair<unsigned, unsigned>>;
    CFixedGLNoLightBaker noLight(shader.get());
    noLight.configureAppendBuffer(&buffer);
    EXPECT_EQ(layout(buffer), (L{{EVA_POSITION, 0}, {EVA_TEXCOORD0, 12}, {EVA_COLOR0, 20}}));
    EXPECT_EQ(buffer.VertexStride, 24u);
    CFixedGLLightBaker light(shader.get());  // without colour material: no colour added
    light.configureAppendBuffer(&buffer);
    EXPECT_EQ(buffer.VertexStride, 20u);
    CGenericBaker generic(shader.get());
    generic.configureAppendBuffer(&buffer);
    EXPECT_EQ(buffer.VertexStride, 20u);
    EXPECT_EQ((*generic.getVertexAttributeMap())[EVA_TEXCOORD0], EVA_TEXCOORD0);
}

TEST_F(BakerTest, NoLightBakerBakesTheDiffuseColourAndIgnoresItForCompatibility)
{
    auto shader = test::addTestShader(*driver, "diffuse", {{"Diffuse", ESPT_DIFFUSE_COLOR, ESPVT_COLOR}}, {EVA_POSITION});
    auto renderer = driver->getMaterialRendererManager()->get(test::buildRenderer(*driver, "diffuse renderer", shader));
    auto red = CMaterial::allocate(renderer), blue = CMaterial::allocate(renderer);
    red->setParameter(0, 0, SColor(255, 0, 0, 255));
    blue->setParameter(0, 0, SColor(0, 0, 255, 255));

    CFixedGLNoLightBaker noLight(shader.get());
    noLight.configureAppendBuffer(&buffer);
    auto batch = noLight.getBatchMaterial(red, 0);
    ASSERT_TRUE(batch);
    SColor white;
    batch->getParameter(0, 0, white);
    EXPECT_EQ(white, SColor(255, 255, 255, 255));
    EXPECT_TRUE(noLight.isCompatible(blue, 0));

    CGenericBaker generic(shader.get());
    generic.getBatchMaterial(red, 0);
    EXPECT_TRUE(generic.isCompatible(red, 0));
    EXPECT_FALSE(generic.isCompatible(blue, 0));

    // A source without colours gets the material's diffuse colour in every merged vertex.
    const float positions[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    auto vb = driver->createBuffer(EBT_VERTEX, EBU_CLIENT_ONLY, 36, new unsigned char[36], true);
    std::memcpy(vb->getData(), positions, 36);
    auto streams = CVertexStreams::allocate(1u << EVA_POSITION);
    streams->begin()->buffer = vb;
    streams->begin()->valueType = EVAVT_FLOAT;
    streams->begin()->componentCount = 3;
    streams->begin()->stride = 12;
    const CPrimitiveStream triangle(nullptr, 0, 3, 0, 3, EIT_NONE, EPT_TRIANGLES);
    unsigned char map[30];
    std::memset(map, 0xff, sizeof map);
    map[EVA_POSITION] = 0;
    core::CMatrix4<float> moved;
    moved.setTranslation({10, 0, 0});
    driver->setTransform(ETS_WORLD, moved);
    ASSERT_TRUE(buffer.map());
    noLight.bake(streams.get(), &triangle, red.get(), 0, map, buffer.getVertexStreams().get(), &buffer.getPrimitiveStream(),
                 batch.get(), nullptr, driver.get(), 0, 3, 0, 1, 2, 0, 0xffffffffu);
    buffer.unmap();
    const auto* bytes = static_cast<const unsigned char*>(buffer.VertexBuffer->getData());
    for (unsigned v = 2; v < 5; ++v) {
        SCOPED_TRACE(v);
        SColor c;
        std::memcpy(&c, bytes + v * 16 + 12, 4);
        EXPECT_EQ(c, SColor(255, 0, 0, 255));
    }
    float p[3];
    std::memcpy(p, bytes + 3 * 16, 12);
    EXPECT_EQ(p[0], 11.f);  // (1, 0, 0) moved by the world transformation
    const auto* indices = static_cast<const unsigned short*>(buffer.IndexBuffer->getData());
    EXPECT_EQ(indices[0], 2);
    EXPECT_EQ(indices[2], 4);
}

}  // namespace
