// The scene drawn for real through the GL ES driver on llvmpipe into a 64 x 64 pbuffer.
#include <gtest/gtest.h>

#include "engine/EngineServices.h"
#include "engine/os/Timer.h"
#include "engine/scene/CBatchSceneNode.h"
#include "engine/scene/CBillboardSceneNode.h"
#include "engine/scene/CCameraSceneNode.h"
#include "engine/scene/CGeometryCreator.h"
#include "engine/scene/CMeshSceneNode.h"
#include "engine/scene/CSceneManager.h"
#include "engine/video/gl/CFixedGLShaderManager.h"
#include "engine/video/gl/COpenGLESDriver.h"
#include "engine/video/gl/GLDispatch.h"
#include "engine/video/material/CMaterialRendererManager.h"
#include "tests/engine/video/DriverTestSupport.h"
#include "tests/engine/video/GLTestContext.h"

#include <numbers>
#include <vector>

namespace pravik::scene {
namespace {

constexpr int kSize = 64;

struct SPixels {
    std::vector<unsigned char> rgba = std::vector<unsigned char>(kSize * kSize * 4);
    // Row 0 is the top of the image.
    const unsigned char* at(int x, int y) const { return &rgba[size_t(((kSize - 1 - y) * kSize + x) * 4)]; }
    bool lit(int x, int y) const { const unsigned char* p = at(x, y); return p[0] + p[1] + p[2] > 0; }
    // The box of lit pixels: left, top, right, bottom (inclusive); -1s when nothing is lit.
    std::vector<int> litBox() const
    {
        std::vector<int> box{kSize, kSize, -1, -1};
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x)
                if (lit(x, y)) {
                    box[0] = std::min(box[0], x);
                    box[1] = std::min(box[1], y);
                    box[2] = std::max(box[2], x);
                    box[3] = std::max(box[3], y);
                }
        if (box[2] < 0) box = {-1, -1, -1, -1};
        return box;
    }
};

class ScenePixelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_context.ok());
        m_driver = video::createOpenGLES1Driver(nullptr, {kSize, kSize});
        ASSERT_NE(m_driver, nullptr);
        m_manager = new CSceneManager(m_driver, nullptr);
    }
    void TearDown() override
    {
        if (m_manager) m_manager->drop();
        if (m_driver) m_driver->drop();
    }

    // Unlit and untextured: each vertex shows its own colour.
    boost::intrusive_ptr<video::CMaterial> vertexColoured()
    {
        video::SFixedGLShaderVertexState vs;
        vs.setShadeModel(video::ESM_SMOOTH);
        video::SFixedGLShaderFragmentState fs;
        auto* shaders = static_cast<video::CFixedGLShaderManager*>(m_driver->getShaderManager());
        boost::intrusive_ptr<video::IShader> shader = shaders->createShader("vertex colours", vs, fs);
        video::CMaterialRendererManager& renderers = *m_driver->getMaterialRendererManager();
        renderers.beginMaterialRenderer("vertex colours", true);
        renderers.beginTechnique("Technique #1", true);
        renderers.addRenderPass(boost::intrusive_ptr<const video::IShader>(shader), video::detail::renderpass::SRenderState());
        renderers.endTechnique(true, 0);
        return renderers.getMaterialInstance(renderers.endMaterialRenderer());
    }
    CCameraSceneNode* addCamera(float distance)
    {
        auto* camera = static_cast<CCameraSceneNode*>(m_manager->addSceneNode("camera"));
        camera->setPosition(core::vector3d<float>(0, 0, distance));
        camera->setTarget({0, 0, 0});
        camera->setFOV(std::numbers::pi_v<float> / 2);
        return camera;
    }
    SPixels frame()
    {
        m_driver->setClearColor(video::SColor(0, 0, 0, 255));
        m_driver->clearBuffers(3);
        m_manager->update(16);
        ++os::Timer::TickCount;  // a new frame for the batch code
        m_driver->setOption(0x100, false);  // each draw straight to GL, not merged
        m_driver->setSubmitDraws(true);     // the engine's own geometry on screen
        m_manager->drawAll();
        SPixels pixels;
        video::g_gl.glReadPixels(0, 0, kSize, kSize, GL_RGBA, GL_UNSIGNED_BYTE, pixels.rgba.data());
        return pixels;
    }

    CEngineServicesScope m_services;  // shaders find their batch bakers through it
    ::test::ProcessBufferHeap m_heap;
    video::test::GLTestContext m_context{kSize, kSize};
    video::COpenGLESDriver* m_driver = nullptr;
    CSceneManager* m_manager = nullptr;
};

TEST_F(ScenePixelTest, BillboardFacesTheCameraWithItsShades)
{
    addCamera(20);
    auto* billboard = new CBillboardSceneNode(m_driver, -1, {0, 0, 0}, {20, 10}, video::SColor(255, 0, 0, 255),
                                              video::SColor(0, 0, 255, 255));
    billboard->setMaterial(vertexColoured());
    m_manager->getRootSceneNode()->addChild(billboard);
    billboard->drop();

    const SPixels pixels = frame();
    // 40 world units across 64 pixels at the billboard's distance: 20 x 10 is 32 x 16 pixels.
    const std::vector<int> box = pixels.litBox();
    ASSERT_NE(box[0], -1);
    EXPECT_NEAR(box[0], 16, 1);
    EXPECT_NEAR(box[2], 47, 1);
    EXPECT_NEAR(box[1], 24, 1);
    EXPECT_NEAR(box[3], 39, 1);
    const unsigned char* top = pixels.at(32, 26);
    const unsigned char* bottom = pixels.at(32, 37);
    EXPECT_GT(top[0], 200);
    EXPECT_LT(top[2], 55);
    EXPECT_GT(bottom[2], 200);
    EXPECT_LT(bottom[0], 55);
    EXPECT_FALSE(pixels.lit(2, 2));
    EXPECT_FALSE(pixels.lit(61, 61));
    EXPECT_EQ(video::g_gl.glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(ScenePixelTest, CubeUnderATransformationNodeMovesWithIt)
{
    addCamera(200);
    boost::intrusive_ptr<CMesh> cube = createCubeMesh(0x60003, m_driver, 100);
    ASSERT_TRUE(cube);
    cube->setMaterial(0, vertexColoured(), nullptr);
    ISceneNode* carrier = m_manager->addSceneNode("dummyTransformation");
    ASSERT_NE(carrier, nullptr);
    auto* node = new CMeshSceneNode(cube);
    carrier->addChild(node);
    node->drop();

    const SPixels still = frame();
    EXPECT_TRUE(still.lit(32, 32));
    for (int corner : {0, kSize - 1}) {
        EXPECT_FALSE(still.lit(corner, corner));
        EXPECT_FALSE(still.lit(corner, kSize - 1 - corner));
    }
    const std::vector<int> before = still.litBox();

    // The front face lies 150 units from the camera, where 300 units span the 64 pixels.
    carrier->setPosition(core::vector3d<float>(50, 0, 0));
    const std::vector<int> after = frame().litBox();
    EXPECT_NEAR(after[2] - before[2], 50.f * 64.f / 300.f, 1.f);
    EXPECT_NEAR(after[1], before[1], 1);
    EXPECT_NEAR(after[3], before[3], 1);
    EXPECT_EQ(video::g_gl.glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(ScenePixelTest, CompiledCubesDrawThroughTheirBatchNode)
{
    addCamera(200);
    const boost::intrusive_ptr<video::CMaterial> material = vertexColoured();
    ISceneNode* group = m_manager->addSceneNode("empty");
    for (float x : {-100.f, 0.f, 100.f}) {
        boost::intrusive_ptr<CMesh> cube = createCubeMesh(0x60003, m_driver, 40);
        cube->setMaterial(0, material, nullptr);
        auto* node = new CMeshSceneNode(cube);
        node->setPosition(core::vector3d<float>(x, 0, 0));
        group->addChild(node);
        node->drop();
    }
    m_manager->update(16);
    CBatchSceneNode* batch = m_manager->compile(group, nullptr, false, nullptr, nullptr, 0u);
    ASSERT_NE(batch, nullptr);
    ASSERT_EQ(batch->getBatchMesh()->getBatchCount(), 1u);
    group->remove();
    m_manager->getRootSceneNode()->addChild(batch);
    batch->drop();

    // The front faces lie 180 units away, where 360 units span the 64 pixels: cubes of 7 pixels
    // centred 18 pixels apart.
    for (int pass = 0; pass < 2; ++pass) {  // the second frame draws from the kept indices
        SCOPED_TRACE(pass);
        const SPixels pixels = frame();
        for (int x : {32 - 18, 32, 32 + 18}) EXPECT_TRUE(pixels.lit(x, 32)) << x;
        for (int x : {32 - 9, 32 + 9}) EXPECT_FALSE(pixels.lit(x, 32)) << x;
        const std::vector<int> box = pixels.litBox();
        EXPECT_NEAR(box[0], 32 - 18 - 4, 1);
        EXPECT_NEAR(box[2], 32 + 18 + 3, 1);
        EXPECT_FALSE(pixels.lit(0, 0));
        EXPECT_FALSE(pixels.lit(kSize - 1, kSize - 1));
    }
    EXPECT_EQ(video::g_gl.glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace
}  // namespace pravik::scene
