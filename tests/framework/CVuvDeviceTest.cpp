// The render device on a headless 600x1024 GL ES context: a frame drawn through it and read
// back, its game materials, and files found through the archives it mounts.

#include "framework/AppPlaybook.h"
#include "framework/CNDSFile.h"
#include "framework/CVuvDevice.h"
#include "framework/GameInterface.h"
#include "framework/ScreenGeometry.h"
#include "framework/ViDuz.h"

#include "engine/io/CWriteFile.h"
#include "engine/io/CZipWriter.h"
#include "engine/scene/CBillboardSceneNode.h"
#include "engine/scene/CSceneManager.h"
#include "engine/video/gl/CFixedGLShaderManager.h"
#include "engine/video/gl/CGLCallRecorder.h"
#include "engine/video/material/CMaterialRendererManager.h"
#include "engine/scene/ICameraSceneNode.h"
#include "engine/video/material/CMaterialRenderer.h"
#include "engine/video/material/SRenderPass.h"
#include "tests/framework/FrameworkGLSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <unistd.h>

using pravik::video::ITexture;

namespace {

struct SState : IGameInterface {
    int state = 12;
    int StateCurrent() override { return state; }
};

// The device's file system changes the working directory: each test puts it back.
class CVuvDeviceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_context.ok());
        ASSERT_TRUE(getcwd(m_oldDir, sizeof m_oldDir));
        ScreenGeometry_SetMode(RESOLUTION_MODE_600X1024);
        const std::filesystem::path data = m_dir.path() / "app/native/data";
        std::filesystem::create_directories(data);
        writeArchive((data / "res.bar").string(), "only_in_res.bin", std::string("\x34\x12\xff\xff", 4));
        std::snprintf(g_appPath, sizeof g_appPath, "%s/", data.string().c_str());
        SetGameInterface(&m_state);
        m_device = new CVuvDevice(600, 1024);
        ASSERT_TRUE(m_device->IsValid());
    }
    void TearDown() override
    {
        delete m_device;
        SetGameInterface(nullptr);
        g_appPath[0] = 0;
        EXPECT_EQ(chdir(m_oldDir), 0);
    }
    static void writeArchive(const std::string& path, const char* member, const std::string& bytes)
    {
        pravik::io::IWriteFile* file = pravik::io::createWriteFile(path.c_str(), false);
        ASSERT_NE(file, nullptr);
        {
            pravik::io::CZipWriter zip(file);
            zip.addNewFile(member, bytes.data(), uint32_t(bytes.size()));
            ASSERT_TRUE(zip.close());
        }
        file->drop();
    }
    boost::intrusive_ptr<ITexture> fourColours()
    {
        pravik::video::STextureDesc desc;
        desc.format = pravik::video::EPF_R8G8B8A8;
        desc.width = 2;
        desc.height = 2;
        auto t = m_device->getVideoDriver()->createTexture("four", desc);
        const unsigned char texels[16] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 0, 255};
        std::memcpy(t->map(pravik::video::EBMA_CLIENT_WRITE), texels, sizeof texels);
        t->unmap();
        t->setMagFilter(pravik::video::ETFT_NEAREST);
        t->setMinFilter(pravik::video::ETFT_NEAREST);
        return t;
    }

    test::ProcessBufferHeap m_heap;
    pravik::video::test::GLTestContext m_context{600, 1024};
    test::TempDir m_dir;
    char m_oldDir[1024] = {};
    SState m_state;
    CVuvDevice* m_device = nullptr;
};

} // namespace

TEST_F(CVuvDeviceTest, AFrameOfRectangleAndImageReadsBack)
{
    auto image = fourColours();
    m_device->BeginScene();
    m_device->BeginScene2D();
    ViDuz::SetColor(0xFF0000u);
    ViDuz::FillRect(100, 100, 200, 100);
    ViDuz::Draw2DImage(image.get(), 400, 600);
    m_device->EndScene2D();
    m_device->EndScene();
    test::expectColour(50, 50, 42, 7, 42);
    test::expectColour(599, 1023, 42, 7, 42);
    test::expectColour(100, 100, 255, 0, 0);
    test::expectColour(299, 199, 255, 0, 0);
    test::expectColour(300, 150, 42, 7, 42);
    test::expectColour(400, 600, 255, 0, 0);
    test::expectColour(401, 600, 0, 255, 0);
    test::expectColour(400, 601, 0, 0, 255);
    test::expectColour(401, 601, 255, 255, 0);
    test::expectColour(402, 600, 42, 7, 42);

    m_state.state = 26;   // any other screen clears to black
    m_device->BeginScene();
    test::expectColour(50, 50, 0, 0, 0);
}

TEST_F(CVuvDeviceTest, GameMaterialsCarryTheirPassStates)
{
    const struct {
        int number;
        unsigned word0, word1;
        const char* renderer;
    } kCases[] = {{17, 0x18FF0014u, 0x10007u, "MaterialRenderer Texture Additive #1"},
                  {18, 0x18FF0054u, 0x10007u, "MaterialRenderer Texture Blend No Depth #1"},
                  {19, 0x18FF0054u, 0x7u, "MaterialRenderer Texture Solid No Depth #1"},
                  {20, 0x18FF0054u, 0x10007u, "MaterialRenderer Texture Font No Depth #1"}};
    std::vector<boost::intrusive_ptr<pravik::video::CMaterial>> held;
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.number);
        auto material = m_device->CreateMaterial(c.number);
        ASSERT_TRUE(material);
        const auto& renderer = material->getMaterialRenderer();
        EXPECT_STREQ(renderer->getName(), c.renderer);
        ASSERT_EQ(renderer->getPassCount(), 1u);
        EXPECT_EQ(renderer->getPasses()[0].renderState.word0, c.word0);
        EXPECT_EQ(renderer->getPasses()[0].renderState.word1, c.word1);
        EXPECT_GE(m_device->GetMaterialRenderID(c.number), 0);
        held.push_back(material);
    }
    EXPECT_FALSE(m_device->CreateMaterial(16));
    EXPECT_FALSE(m_device->CreateMaterial(21));
    EXPECT_FALSE(m_device->GetMaterial(-1, false));
    EXPECT_FALSE(m_device->GetMaterial(21, false));
    EXPECT_EQ(m_device->GetMaterialRenderID(5), 5);
    EXPECT_EQ(m_device->GetMaterialRenderID(-3), -1);
    EXPECT_EQ(m_device->GetMaterialRenderID(21), -1);

    int ids[4];
    for (int i = 0; i < 4; ++i)
        ids[i] = m_device->GetMaterialRenderID(17 + i);
    m_device->InitializeMaterialRender();   // the renderers are held: their ids stay
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(m_device->GetMaterialRenderID(17 + i), ids[i]);
    EXPECT_EQ(m_device->getMaterial(1)->getMaterialRenderer(), held[0]->getMaterialRenderer());
    EXPECT_EQ(m_device->getMaterial(0)->getMaterialRenderer(), held[1]->getMaterialRenderer());
}

TEST_F(CVuvDeviceTest, FilesOnlyInsideTheResourceArchiveOpen)
{
    CNDSFile file;
    ASSERT_TRUE(file.Open("only_in_res.bin"));
    EXPECT_EQ(file.GetFileSize(), 4);
    EXPECT_EQ(file.ReadUnsignedShort(), 0x1234);
    EXPECT_EQ(file.ReadShort(), -1);
    file.Seek(0, 0);
    EXPECT_EQ(file.ReadUShortReverse(), 0x3412);
    EXPECT_EQ(file.ReadUnsignedShort(), 65535);
    file.Seek(2, 4);   // four bytes back from the end
    EXPECT_EQ(file.ReadIntReverse(), int(0x3412FFFFu));
    EXPECT_EQ(file.ReadInt(), 0);   // past the end: the missing bytes read as 0
    file.Seek(2, 0);
    EXPECT_EQ(file.ReadUnsignedByte(), 0);
    file.Close();
    EXPECT_FALSE(file.Open("nowhere.bin"));
    EXPECT_EQ(file.ReadInt(), 0);
}

TEST_F(CVuvDeviceTest, TheSceneCameraAndTheBatcherCameraMoveTogether)
{
    pravik::scene::ICameraSceneNode* camera = m_device->GetCamera();
    ASSERT_NE(camera, nullptr);
    EXPECT_EQ(CVuvDevice::GetSceneManager()->getActiveCamera(), camera);
    EXPECT_FLOAT_EQ(camera->getFOV(), 1.5707964f);
    EXPECT_FLOAT_EQ(camera->getAspectRatio(), 600.f / 1024.f);
    EXPECT_FLOAT_EQ(camera->getPosition().Z, 512.f);
    m_device->UpdateCurCamera({30, -40, 0});
    const CM3DRender& batcher = m_device->GetM3DRender();
    for (const auto& v : {camera->getPosition(), batcher.m_vCameraPos}) {
        EXPECT_FLOAT_EQ(v.X, 30);
        EXPECT_FLOAT_EQ(v.Y, -40);
        EXPECT_FLOAT_EQ(v.Z, 512);
    }
    EXPECT_FLOAT_EQ(camera->getTarget().X, 30);
    EXPECT_FLOAT_EQ(batcher.m_vCameraTarget.Z, 0);
    m_device->SetCurCameraPosition({1, 2, 3});   // the node only
    EXPECT_FLOAT_EQ(batcher.m_vCameraPos.X, 30);
    EXPECT_EQ(ZuduvaGetHost(), m_device);
}

namespace {

boost::intrusive_ptr<pravik::video::CMaterial> vertexColoured(pravik::video::IVideoDriver* driver)
{
    using namespace pravik::video;
    SFixedGLShaderVertexState vs;
    vs.setShadeModel(ESM_SMOOTH);
    SFixedGLShaderFragmentState fs;
    auto* shaders = static_cast<CFixedGLShaderManager*>(driver->getShaderManager());
    boost::intrusive_ptr<IShader> shader = shaders->createShader("vertex colours", vs, fs);
    CMaterialRendererManager& renderers = *driver->getMaterialRendererManager();
    renderers.beginMaterialRenderer("vertex colours", true);
    renderers.beginTechnique("Technique #1", true);
    renderers.addRenderPass(boost::intrusive_ptr<const IShader>(shader), detail::renderpass::SRenderState());
    renderers.endTechnique(true, 0);
    return renderers.getMaterialInstance(renderers.endMaterialRenderer());
}

} // namespace

// The game's frame: the scene (small draws merged), the particles, then the 2D pass on top.
TEST_F(CVuvDeviceTest, SceneGeometryShowsUnderTheTwoDimensionalPass)
{
    pravik::video::IVideoDriver* driver = m_device->getVideoDriver();
    pravik::scene::CSceneManager* scene = CVuvDevice::GetSceneManager();
    driver->setOption(0x100, true);
    auto* billboard = new pravik::scene::CBillboardSceneNode(driver, -1, {0, 0, 0}, {100, 100},
                                                             pravik::video::SColor(255, 0, 0, 255),
                                                             pravik::video::SColor(255, 0, 0, 255));
    billboard->setMaterial(vertexColoured(driver));
    scene->getRootSceneNode()->addChild(billboard);
    billboard->drop();

    auto white = fourColours();
    const unsigned char texels[16] = {255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255};
    std::memcpy(white->map(pravik::video::EBMA_CLIENT_WRITE), texels, sizeof texels);
    white->unmap();
    // A blue particle over the right half of the billboard: the particles come after the scene.
    M3DXVertex_XYZDT particle[4] = {{20, -20, 0, 0, 0, 255, 255, 0, 0}, {60, -20, 0, 0, 0, 255, 255, 1, 0},
                                    {20, 20, 0, 0, 0, 255, 255, 0, 1}, {60, 20, 0, 0, 0, 255, 255, 1, 1}};
    for (int frame = 0; frame < 2; ++frame) {
        SCOPED_TRACE(frame);
        pravik::video::CGLCallRecorder recorder;
        m_device->BeginScene();
        scene->update(16, false);
        scene->drawAll(nullptr);
        CM3DRender& batcher = m_device->GetM3DRender();
        batcher.SetTexture(white);
        batcher.m_nBlendMode = 0;
        ASSERT_EQ(batcher.Blt(particle, 1), 0);
        batcher.Flsh3DRender();
        m_device->BeginScene2D();
        ViDuz::SetColor(0x00FF00u);
        ViDuz::FillRect(0, 0, 10, 10);
        m_device->EndScene2D();
        m_device->EndScene();
        EXPECT_GE(recorder.count("glDrawElements") + recorder.count("glDrawArrays"), 3u);
        test::expectColour(300, 512, 255, 0, 0);
        test::expectColour(340, 512, 0, 0, 255);
        test::expectColour(5, 5, 0, 255, 0);
        test::expectColour(300, 700, 42, 7, 42);
    }
}

// Materials 0-16 are the engine's built-in types (5 is a reserved slot): the device asks the
// renderer manager, which builds them through the builder the scene-file materials register.
TEST_F(CVuvDeviceTest, BuiltInMaterialsComeFromTheRegisteredBuilder)
{
    using namespace pravik::video;
    EXPECT_FALSE(m_device->GetMaterial(6, false));  // nothing registered: no renderer
    static int s_builds = 0;
    CMaterialRendererManager::setBuiltInBuilder([](CMaterialRendererManager& m) {
        ++s_builds;
        auto* shaders = static_cast<CFixedGLShaderManager*>(m.getVideoDriver()->getShaderManager());
        boost::intrusive_ptr<IShader> shader =
            shaders->createShader("built-in test", SFixedGLShaderVertexState(), SFixedGLShaderFragmentState());
        m.beginMaterialRenderer("built-in six", true);
        m.beginTechnique("Technique #1", true);
        m.addRenderPass(boost::intrusive_ptr<const IShader>(shader), detail::renderpass::SRenderState());
        m.endTechnique(true, 0);
        const unsigned short id = m.endMaterialRenderer();
        m.setBuiltInId(E_MATERIAL_TYPE(6), id);
    });
    auto six = m_device->GetMaterial(6, false);
    auto again = m_device->GetMaterial(6, false);
    CMaterialRendererManager::setBuiltInBuilder(nullptr);
    ASSERT_TRUE(six);
    EXPECT_STREQ(six->getMaterialRenderer()->getName(), "built-in six");
    EXPECT_EQ(again->getMaterialRenderer(), six->getMaterialRenderer());
    EXPECT_EQ(s_builds, 1);  // built once, then found by its id
    EXPECT_EQ(m_device->GetMaterialRenderID(6), 6);
}
