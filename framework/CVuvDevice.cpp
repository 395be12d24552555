#include "framework/CVuvDevice.h"

#include "framework/CBatchSpriteTarget.h"

#include "framework/AppPlaybook.h"
#include "framework/GameInterface.h"
#include "framework/ResourceContext.h"
#include "framework/ScreenGeometry.h"

#include "engine/collada/CColladaDatabase.h"
#include "engine/collada/CRootSceneNode.h"
#include "engine/IDevice.h"
#include "engine/gui/IGUIEnvironment.h"
#include "engine/gui/IGUIStaticText.h"
#include "engine/scene/CLightSceneNode.h"
#include "engine/scene/CSceneManager.h"
#include "engine/scene/ICameraSceneNode.h"
#include "engine/io/IFileSystem.h"
#include "engine/memory/Pools.h"
#include "engine/os/Timer.h"
#include "engine/video/CTextureManager.h"
#include "engine/video/IVideoDriver.h"
#include "engine/video/gl/CFixedGLShaderManager.h"
#include "engine/video/gl/COpenGLESDriver.h"
#include "engine/video/material/CMaterialRendererManager.h"

#include <cstdio>

using namespace pravik;
using pravik::video::CMaterial;

pravik::io::IFileSystem* g_vuvFileSystem = nullptr;

namespace {

CVuvDevice* g_pVuvDevice = nullptr;

struct SGameMaterial {
    const char* renderer;
    const char* shader;
    bool modulate;   // vertex colour tints the texture; else the texture replaces it
    unsigned word0, word1;
};

const SGameMaterial kGameMaterials[4] = {
    {"MaterialRenderer Texture Additive #1", "Shader Textrue Addition Shader #1", true, 0x18FF0014u, 0x10007u},
    {"MaterialRenderer Texture Blend No Depth #1", "Shader Textrue Blend Shader #1", false, 0x18FF0054u, 0x10007u},
    {"MaterialRenderer Texture Solid No Depth #1", "Shader Textrue Solid Shader #1", false, 0x18FF0054u, 0x7u},
    // Asks for the blend shader's name, so the shader manager hands back the blend shader.
    {"MaterialRenderer Texture Font No Depth #1", "Shader Textrue Blend Shader #1", true, 0x18FF0054u, 0x10007u},
};

} // namespace

// Sprites paint into the batcher while a render device exists.
static CBatchSpriteTarget s_spriteTarget;

CVuvDevice::CVuvDevice(int windowWidth, int windowHeight)
{
    g_pVuvDevice = this;
    for (int& id : m_materialIds)
        id = -1;
    Initialize(windowWidth, windowHeight);
    if (!IsValid())
        return;
    InitializeFileSystem();
    InitializeMaterialRender();
    SetSpriteTarget(&s_spriteTarget);
}

CVuvDevice::~CVuvDevice()
{
    if (SpriteTarget() == &s_spriteTarget)
        SetSpriteTarget(nullptr);
    OnDestroy();
}

pravik::scene::ISceneNode* CVuvDevice::constructScene(const char* path)
{
    if (!m_pVideoDriver || !path)
        return nullptr;
    return pravik::collada::CColladaDatabase::constructScene(m_pVideoDriver, path, ZuduvaGetColladaFactory());
}

void CVuvDevice::OnDestroy()
{
    if (g_pVuvDevice == this)
        g_pVuvDevice = nullptr;
    if (ZuduvaGetHost() == this)
        ZuduvaSetHost(nullptr);
    if (GetResourceContext().fileSystem == m_pFileSystem)
        GetResourceContext() = SResourceContext{};
    if (g_vuvFileSystem == m_pFileSystem)
        g_vuvFileSystem = nullptr;
    m_render.SetVideoDriver(nullptr);
    if (m_pDevice)
        m_pDevice->drop();
    m_pDevice = nullptr;
    m_pVideoDriver = nullptr;
    m_pSceneManager = nullptr;
    m_pGUIEnvironment = nullptr;
    m_pFileSystem = nullptr;
    pravik::memory::destroyPools();
}

void CVuvDevice::Initialize(int windowWidth, int windowHeight)
{
    pravik::memory::createPools();
    SCreationParameters parameters;
    parameters.DriverType = video::EDT_OGLES1;
    parameters.WindowSize = {windowWidth, windowHeight};
    parameters.ColorBits = 16;
    parameters.SecondBits = 16;
    m_pDevice = createDeviceEx(parameters);
    if (!m_pDevice) {
        std::fprintf(stderr, "quendrax: the engine device could not be created\n");
        return;
    }
    m_pVideoDriver = m_pDevice->getVideoDriver();
    m_pSceneManager = m_pDevice->getSceneManager();
    m_pGUIEnvironment = m_pDevice->getGUIEnvironment();
    if (!m_pVideoDriver) {
        std::fprintf(stderr, "quendrax: the engine device has no video driver\n");
        return;
    }
    os::Timer::initTimer();
    // The scene and the GUI draw through the driver itself, beside the quad batcher.
    if (auto* gl = dynamic_cast<video::COpenGLESDriver*>(m_pVideoDriver))
        gl->setSubmitDraws(true);
    m_pVideoDriver->setClearColor(video::SColor(0, 0, 0, 255));
    m_fScreenHeight = float(Screen_Height());
    if (m_pSceneManager) {
        m_pCamera = dynamic_cast<scene::ICameraSceneNode*>(m_pSceneManager->addSceneNode("camera"));
        if (m_pCamera) {
            m_pCamera->setUpVector({0, 1, 0});
            m_pCamera->setTarget({0, 0, 0});
            m_pCamera->setFOV(1.5707964f);
            m_pCamera->setPosition({0, 0, m_fScreenHeight / 2});
            m_pCamera->setAspectRatio(float(windowWidth) / float(windowHeight));
            m_pSceneManager->setActiveCamera(m_pCamera);
        }
        m_pSceneManager->setAmbientLight(video::SColorf(1, 0, 0, 0));
        if (auto* light = dynamic_cast<scene::CLightSceneNode*>(m_pSceneManager->addSceneNode("light"))) {
            if (video::CLight* data = light->getLight().get()) {
                data->DiffuseColor = video::SColorf(200 / 255.f, 200 / 255.f, 200 / 255.f, 1.f);
                data->AmbientColor = video::SColorf(0, 0, 1.f, 0);
                data->Attenuation = {200.f, 0.f, 0.f};
                data->Type = video::ELT_AMBIENT;
            }
            light->setPosition({0, 200, 0});
        }
    }
    ResetCamera();
    m_pVideoDriver->setOption(pravik::video::EVDO_MIPMAPS, false);
    if (m_pGUIEnvironment) {
        m_pStaticText = m_pGUIEnvironment->addStaticText(L"", core::rect<int>(70, 70, 640, 960), false, true, nullptr,
                                                         -1, false);
        if (m_pStaticText)
            m_pStaticText->setOverrideColor(video::SColor(255, 0, 0, 255));
    }
    m_render.SetVideoDriver(m_pVideoDriver);
    ZuduvaSetHost(this);
}

void CVuvDevice::InitializeFileSystem()
{
    m_pFileSystem = m_pDevice->getFileSystem().get();
    g_vuvFileSystem = m_pFileSystem;
    GetResourceContext() = SResourceContext{m_pFileSystem, m_pVideoDriver};
    if (!m_pFileSystem)
        return;
    m_pFileSystem->changeWorkingDirectoryTo(g_appPath);
    m_pFileSystem->addFolderFileArchive(g_appPath, true, false);
    for (const char* archive : {"res.bar", "EffectLibrary.bar", "SFX.bar"})
        m_pFileSystem->addZipFileArchive(archive, true, false, 1);
    m_pFileSystem->addFolderFileArchive("EffectLibrary", true, true);
    if (video::CTextureManager* textures = m_pVideoDriver->getTextureManager())
        textures->setFlags(video::ETMF_KEY_ABSOLUTE_PATH, false);
}

void CVuvDevice::InitializeMaterialRender()
{
    video::CMaterialRendererManager* renderers = m_pVideoDriver ? m_pVideoDriver->getMaterialRendererManager() : nullptr;
    if (!renderers)
        return;
    for (int type = 0; type < video::EMT_COUNT; ++type) {
        m_materialIds[type] = -1;
        unsigned short id = renderers->getBuiltInId(video::E_MATERIAL_TYPE(type));
        if (id == 0xffff)
            id = renderers->createMaterialRenderer(video::E_MATERIAL_TYPE(type));
        if (id != 0xffff)
            renderers->getMaterialInstance(id);   // taken and released: the renderer is ready
    }
    auto* shaders = dynamic_cast<video::CFixedGLShaderManager*>(m_pVideoDriver->getShaderManager());
    for (int i = 0; i < 4; ++i) {
        const SGameMaterial& m = kGameMaterials[i];
        const int number = FIRST_GAME_MATERIAL + i;
        video::SFixedGLShaderFragmentState fragment;
        fragment.setActiveUnitCount(1);
        video::SFixedGLShaderTexEnv& env = fragment.texEnv[0];
        env.setEnvMode(video::ETEM_COMBINE);
        if (m.modulate) {
            env.setRGBMode(video::ETCM_MODULATE);
            env.setRGBSource(0, video::ETCS_PRIMARY_COLOR);
            env.setRGBSource(1, video::ETCS_TEXTURE);
        } else {
            env.setRGBMode(video::ETCM_REPLACE);
            env.setRGBSource(0, video::ETCS_TEXTURE);
        }
        boost::intrusive_ptr<video::IShader> shader =
            shaders ? shaders->createShader(m.shader, video::SFixedGLShaderVertexState{}, fragment) : nullptr;
        video::detail::renderpass::SRenderState pass;
        pass.word0 = m.word0;
        pass.word1 = m.word1;
        // A renderer of this name still registered (held by a material) keeps its id.
        if (shader && renderers->beginMaterialRenderer(m.renderer, true)) {
            renderers->beginTechnique("Technique #1", true);
            renderers->addRenderPass(shader, pass);
            renderers->endTechnique(true, 0);
            const unsigned short id = renderers->endMaterialRenderer();
            if (id != 0xffff)
                m_materialIds[number] = id;
        }
        if (m_materialIds[number] >= 0)
            renderers->getMaterialInstance(static_cast<unsigned short>(m_materialIds[number]));
    }
}

CVuvDevice* CVuvDevice::GetVuvDevice()
{
    return g_pVuvDevice;
}

pravik::IDevice* CVuvDevice::GetPravikDevice()
{
    return g_pVuvDevice ? g_pVuvDevice->m_pDevice : nullptr;
}

video::IVideoDriver* CVuvDevice::GetVideoDriver()
{
    return g_pVuvDevice ? g_pVuvDevice->m_pVideoDriver : nullptr;
}

scene::CSceneManager* CVuvDevice::GetSceneManager()
{
    return g_pVuvDevice ? g_pVuvDevice->m_pSceneManager : nullptr;
}

io::IFileSystem* CVuvDevice::GetFileSystem()
{
    return g_pVuvDevice ? g_pVuvDevice->m_pFileSystem : nullptr;
}

gui::IGUIEnvironment* CVuvDevice::GetGUIEnvironment()
{
    return g_pVuvDevice ? g_pVuvDevice->m_pGUIEnvironment : nullptr;
}

void CVuvDevice::BeginScene()
{
    m_render.BeginScene();
    if (GameInterface().StateCurrent() == 12)
        m_render.Clear(42, 7, 42);
    else
        m_render.Clear(0, 0, 0);
}

void CVuvDevice::EndScene()
{
    m_render.EndScene();
    m_render.SwapBuffer();
}

void CVuvDevice::BeginScene2D()
{
    m_render.Begin2DRender();
}

void CVuvDevice::EndScene2D()
{
    m_render.End2DRender();
}

void CVuvDevice::ResetCamera()
{
    UpdateCurCamera({0, 0, 0});
}

void CVuvDevice::UpdateCurCamera(const core::vector3d<float>& v)
{
    if (m_pCamera) {
        m_pCamera->setPosition({v.X, v.Y, m_fScreenHeight / 2});
        m_pCamera->setTarget({v.X, v.Y, 0});
    }
    m_render.m_vCameraPos = {v.X, v.Y, m_fScreenHeight / 2};
    m_render.m_vCameraTarget = {v.X, v.Y, 0};
    m_render.m_vCameraUp = {0, 1, 0};
}

void CVuvDevice::SetCurCameraPosition(const core::vector3d<float>& v)
{
    if (m_pCamera)
        m_pCamera->setPosition(v);
}

void CVuvDevice::SetCurCameraTarget(const core::vector3d<float>& v)
{
    if (m_pCamera)
        m_pCamera->setTarget(v);
}

boost::intrusive_ptr<CMaterial> CVuvDevice::CreateMaterial(int number)
{
    if (number < FIRST_GAME_MATERIAL || number >= MATERIAL_COUNT || m_materialIds[number] < 0 || !m_pVideoDriver)
        return nullptr;
    return m_pVideoDriver->getMaterialRendererManager()->getMaterialInstance(
        static_cast<unsigned short>(m_materialIds[number]), true);
}

boost::intrusive_ptr<CMaterial> CVuvDevice::GetMaterial(int number, bool reset)
{
    if (number < 0 || number >= MATERIAL_COUNT || !m_pVideoDriver)
        return nullptr;
    if (number >= FIRST_GAME_MATERIAL)
        return CreateMaterial(number);
    video::CMaterialRendererManager* renderers = m_pVideoDriver->getMaterialRendererManager();
    unsigned short id = renderers->getBuiltInId(video::E_MATERIAL_TYPE(number));
    if (id == 0xffff)
        id = renderers->createMaterialRenderer(video::E_MATERIAL_TYPE(number));
    return id == 0xffff ? nullptr : renderers->getMaterialInstance(id, reset);
}

int CVuvDevice::GetMaterialRenderID(int number) const
{
    if (number < 0 || number >= MATERIAL_COUNT)
        return -1;
    return number < FIRST_GAME_MATERIAL ? number : m_materialIds[number];
}

boost::intrusive_ptr<CMaterial> CVuvDevice::getMaterial(int blendType)
{
    if (blendType == 0)
        return CreateMaterial(18);
    if (blendType == 1)
        return CreateMaterial(17);
    return nullptr;
}

void CVuvDevice::ResetDevice(int width, int height)
{
    if (!m_pVideoDriver)
        return;
    m_pVideoDriver->onResize({width, height});
    m_pVideoDriver->setTransform(video::ETS_VIEW, core::IdentityMatrix);
    if (m_pCamera && height)
        m_pCamera->setAspectRatio(float(width) / float(height));
}

void CVuvDevice::Set2DProjection()
{
    if (!m_pVideoDriver)
        return;
    core::CMatrix4<float> m = core::buildProjectionMatrixOrtho(0.f, float(Screen_Width()), float(Screen_Height()),
                                                               0.f, -100.f, 100.f);
    m[12] += m[0] * 0.375f;
    m[13] += m[5] * 0.375f;
    m.setDefinitelyIdentityMatrix(false);
    m_pVideoDriver->setTransform(video::ETS_PROJECTION, m);
}
