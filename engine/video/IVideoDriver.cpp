// Video driver base: construction, global parameters, frame, options, textures, render targets.

#include "engine/video/IVideoDriver.h"

#include "engine/IDevice.h"
#include "engine/os/Printer.h"
#include "engine/os/Timer.h"
#include "engine/scene/CAppendMeshBuffer.h"
#include "engine/video/C2DDriver.h"
#include "engine/video/CDriverBinding.h"
#include "engine/video/material/CGlobalMaterialParameterManager.h"
#include "engine/video/CLight.h"
#include "engine/video/material/CMaterial.h"
#include "engine/video/material/CMaterialRendererManager.h"
#include "engine/video/material/CVertexAttributeMap.h"
#include "engine/video/material/CVertexStreams.h"
#include "engine/video/material/IBatchBaker.h"
#include "engine/video/material/IShaderManager.h"
#include "engine/video/ITexture.h"
#include "engine/video/image/pixel_format.h"

#include <cstdio>
#include <new>
#include <stdexcept>

namespace pravik::video {

namespace {

STextureManagerHooks s_textureManagerHooks;

bool isPowerOfTwo(unsigned v) { return v && !(v & (v - 1)); }

}  // namespace

unsigned char IVideoDriver::DefaultAttribMap[30];

void IVideoDriver::setTextureManagerHooks(const STextureManagerHooks& hooks) { s_textureManagerHooks = hooks; }

IVideoDriver::IVideoDriver(IDevice* device, IShaderManager* shaderManager, CMaterialRendererManager* renderers,
                           CTextureManager* textures, CGlobalMaterialParameterManager* globals,
                           const boost::intrusive_ptr<CLight>& defaultLight)
    : IReferenceCounted(1), m_defaultLight(defaultLight), m_device(device), m_shaderManager(shaderManager),
      m_rendererManager(renderers), m_textureManager(textures), m_globalParameters(globals)
{
    if (m_device) {
        const SCreationParameters& parameters = m_device->getCreationParameters();
        setAppendBufferSizes(parameters.AppendVertexBufferSize, parameters.AppendIndexBufferSize);
    }
    setFeature(EVDF_TEXTURE_2D, true);
    if (m_shaderManager) m_shaderManager->init(this, true);
    m_fogColorId = 0xffff;
    if (!m_defaultLight) {
        m_defaultLight = CLight::allocate();
        resetDefaultDynamicLight();
    }
    if (!m_rendererManager) {
        m_rendererManager = new CMaterialRendererManager(this);
        m_internalFlags |= EVDIF_OWNS_RENDERERS;
    }
    if (!m_textureManager && s_textureManagerHooks.create) {
        m_textureManager = s_textureManagerHooks.create(this);
        m_internalFlags |= EVDIF_OWNS_MANAGERS;
    }
    if (!m_globalParameters) {
        m_globalParameters = new CGlobalMaterialParameterManager(this);
        m_internalFlags |= EVDIF_OWNS_MANAGERS;
    } else {
        const unsigned short first = m_globalParameters->getId("DynamicLight0");
        if (first != 0xffff) {
            m_firstDynamicLightId = first;
            m_fogColorId = m_globalParameters->getId("FogColor0");
            m_sceneAmbientLightId = m_globalParameters->getId("SceneAmbientLight");
        }
    }
    m_techniqueMapSource = m_rendererManager;
}

IVideoDriver::~IVideoDriver() { releaseDriverResources(); }

void IVideoDriver::releaseDriverResources()
{
    releaseBatchState();
    if (m_internalFlags & EVDIF_OWNS_RENDERERS) delete m_rendererManager;
    m_rendererManager = nullptr;
    m_techniqueMapSource = nullptr;
    if (m_internalFlags & EVDIF_OWNS_MANAGERS) {
        if (m_textureManager && s_textureManagerHooks.destroy) s_textureManagerHooks.destroy(m_textureManager);
        m_textureManager = nullptr;
        if (m_globalParameters) {
            m_globalParameters->clearParameters();
            delete m_globalParameters;
            m_globalParameters = nullptr;
        }
    }
    m_internalFlags &= ~(EVDIF_OWNS_RENDERERS | EVDIF_OWNS_MANAGERS);
    m_renderBuffers.clear();
    for (auto& m : m_textureCommitMaps) m.reset();
    m_textureCommitPoint.reset();
    m_appendBuffers.clear();
    m_currentAppendBuffer = nullptr;
    delete m_shaderManager;
    m_shaderManager = nullptr;
    m_renderTargets.clear();
    m_processBufferPool.clear();
    m_vertexBuffer.reset();
    m_colorBuffer.reset();
    m_indexBuffer.reset();
    m_lineStreams.reset();
    m_lineListStreams.reset();
    m_quadStreams.reset();
    m_defaultLight.reset();
}

void IVideoDriver::init(unsigned short hardwareLights, unsigned short lightParameters, unsigned char)
{
    m_hardwareLightCount = hardwareLights;
    m_dynamicLightParameterCount = lightParameters;
    CGlobalMaterialParameterManager& g = *m_globalParameters;
    for (unsigned i = 0; i < lightParameters; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "%s%u", "DynamicLight", i);
        const unsigned short id = g.addParameter(name, ESPT_LIGHT, ESPVT_LIGHT, 1, (unsigned char)i);
        if (i == 0) m_firstDynamicLightId = id;
        if (id == 0xffff) continue;
        g.grabInternal(id);
        g.setParameter(id, 0, m_defaultLight);
    }
    m_sceneAmbientLightId = g.addParameter("SceneAmbientLight", ESPT_SCENE_AMBIENT_LIGHT, ESPVT_COLORF, 1, 255);
    if (m_sceneAmbientLightId != 0xffff) g.grabInternal(m_sceneAmbientLightId);
    m_fogColorId = g.addParameter("FogColor0", ESPT_FOG_COLOR, ESPVT_COLOR, 1, 255);
    if (m_fogColorId != 0xffff) {
        g.grabInternal(m_fogColorId);
        g.setParameter(m_fogColorId, 0, SColor(255, 0, 128, 255));
    }
    const unsigned short density = g.addParameter("FogDensity0", ESPT_FOG_DENSITY, ESPVT_FLOAT, 1, 255);
    if (density != 0xffff) {
        g.setParameter(density, 0, 1.0f);
        g.grabInternal(density);
    }
    const unsigned short startEnd = g.addParameter("FogStartEnd0", ESPT_FOG_START_END, ESPVT_FLOAT2, 1, 255);
    if (startEnd != 0xffff) {
        g.setParameter(startEnd, 0, core::vector2d<float>(0.0f, 1.0f));
        g.grabInternal(startEnd);
    }
}

void IVideoDriver::initImplementationDependentData()
{
    m_processBufferPool.push_back(createBuffer(EBT_VERTEX, EBU_CLIENT_ONLY, 0, nullptr, true));
    m_vertexBuffer = createBuffer(EBT_VERTEX, EBU_CLIENT_ONLY, 0, nullptr, true);
    m_colorBuffer = createBuffer(EBT_VERTEX, EBU_CLIENT_ONLY, 0, nullptr, true);
    m_indexBuffer = createBuffer(EBT_INDEX, EBU_CLIENT_ONLY, 0, nullptr, true);

    if (queryFeature(EVDF_TEXTURE_COMMIT)) {
        auto* point = new unsigned char[12]();
        boost::intrusive_ptr<IBuffer> buffer = createBuffer(EBT_VERTEX, EBU_STATIC, 12, point, true);
        if (buffer && (!(buffer->getFlags() & EBUF_DEVICE_COPY) || (buffer->getFlags() & EBUF_CLIENT_CHANGED))) buffer->bindImpl(true);
        m_textureCommitPoint = CVertexStreams::allocate(0xffffffffu);
        if (m_textureCommitPoint) {
            m_textureCommitPoint->setupStreams(buffer, (1u << EVA_POSITION));
            m_textureCommitPoint->setVertexCount(1);
            const unsigned char pairs[] = {EVA_POSITION, EVA_POSITION, EVA_TEXCOORD0, EVA_POSITION};
            boost::intrusive_ptr<CVertexAttributeMap> map(new (::operator new(sizeof(CVertexAttributeMap)))
                                                              CVertexAttributeMap(m_textureCommitPoint.get(), 2, pairs, false));
            for (auto& m : m_textureCommitMaps) m = map;
        }
        m_options |= EVDO_TEXTURE_COMMIT;
    }

    auto setStream = [](CVertexStreams& s, unsigned attribute, const boost::intrusive_ptr<IBuffer>& b, unsigned offset,
                        unsigned short type, unsigned short components, unsigned short stride) {
        SVertexStream* r = s.getStream(attribute);
        if (r == s.end()) return;
        r->buffer = b;
        r->offset = offset;
        r->valueType = type;
        r->componentCount = components;
        r->stride = stride;
    };
    m_lineStreams = CVertexStreams::allocate((1u << EVA_POSITION) | (1u << EVA_COLOR0));
    setStream(*m_lineStreams, EVA_POSITION, m_vertexBuffer, 4, EVAVT_FLOAT, 3, 16);
    setStream(*m_lineStreams, EVA_COLOR0, m_vertexBuffer, 0, EVAVT_UBYTE, 4, 16);
    m_lineStreams->updateHomogeneityInternal(false);
    m_lineListStreams = CVertexStreams::allocate((1u << EVA_POSITION) | (1u << EVA_COLOR0));
    setStream(*m_lineListStreams, EVA_POSITION, m_vertexBuffer, 0, EVAVT_FLOAT, 3, 12);
    setStream(*m_lineListStreams, EVA_COLOR0, m_colorBuffer, 0, EVAVT_UBYTE, 4, 4);
    m_lineListStreams->updateHomogeneityInternal(false);
    m_quadStreams = CVertexStreams::allocate((1u << EVA_POSITION) | (1u << EVA_TEXCOORD0) | (1u << EVA_COLOR0));
    setStream(*m_quadStreams, EVA_POSITION, m_vertexBuffer, 12, EVAVT_FLOAT, 3, 24);
    setStream(*m_quadStreams, EVA_TEXCOORD0, m_vertexBuffer, 0, EVAVT_FLOAT, 2, 24);
    setStream(*m_quadStreams, EVA_COLOR0, m_vertexBuffer, 8, EVAVT_UBYTE, 4, 24);
    m_quadStreams->updateHomogeneityInternal(false);

    for (int i = 0; i < 2; ++i)
        m_appendBuffers.push_back(new scene::CAppendMeshBuffer(m_appendVertexBytes, m_appendIndexBytes, this, EBU_CLIENT_ONLY, 0xffffffffu));
    m_currentAppendBufferIndex = 0;
    m_currentAppendBuffer = m_appendBuffers[0].get();
}

void IVideoDriver::clearImplementationDependentData()
{
    m_textureCommitPoint.reset();
    for (auto& m : m_textureCommitMaps) m.reset();
    m_lineStreams.reset();
    m_lineListStreams.reset();
    m_quadStreams.reset();
    m_vertexBuffer.reset();
    m_colorBuffer.reset();
    m_indexBuffer.reset();
    m_appendBuffers.clear();
    m_currentAppendBuffer = nullptr;
    m_batchMaterial.reset();
    destroyBatchSourceCopy();
    if ((m_internalFlags & EVDIF_OWNS_MANAGERS) && m_globalParameters) {
        if (m_firstDynamicLightId != 0xffff) {
            for (unsigned i = 0; i < m_dynamicLightParameterCount; ++i) m_globalParameters->dropInternal((unsigned short)(m_firstDynamicLightId + i));
            if (m_sceneAmbientLightId != 0xffff) m_globalParameters->dropInternal(m_sceneAmbientLightId);
            if (m_fogColorId != 0xffff)
                for (unsigned short i = 0; i < 3; ++i) m_globalParameters->dropInternal((unsigned short)(m_fogColorId + i));
            m_firstDynamicLightId = m_sceneAmbientLightId = m_fogColorId = 0xffff;
            m_globalParameters->clearParameters();
        }
    }
    // A driver sharing another's texture manager must not release that driver's textures.
    if ((m_internalFlags & EVDIF_OWNS_MANAGERS) && m_textureManager && s_textureManagerHooks.clearDriverSpecificResources)
        s_textureManagerHooks.clearDriverSpecificResources(m_textureManager);
    if (m_shaderManager) m_shaderManager->clearDriverSpecificResources();
}

bool IVideoDriver::beginScene()
{
    ++m_frameNumber;
    m_primitivesDrawn = m_drawCalls = m_drawCalls2D = m_textureBindings = 0;
    return true;
}

bool IVideoDriver::endScene()
{
    m_fps.registerFrame(os::Timer::getRealTime(), m_primitivesDrawn, m_drawCalls, m_drawCalls2D, m_textureBindings);
    return true;
}

unsigned IVideoDriver::getPrimitiveCountDrawn(unsigned mode) const
{
    if (mode == 0) return m_fps.getPrimitive();
    if (mode == 1) return unsigned(m_fps.getPrimitiveAverage());
    return m_fps.getPrimitiveTotal();
}

unsigned IVideoDriver::getMaximalPrimitiveCount() const { return 0xffffffffu; }
bool IVideoDriver::checkDriverReset() { return false; }
void IVideoDriver::setMaxTextureSize(const core::dimension2d<int>& size) { m_maxTextureSize = size; }

bool IVideoDriver::checkPrimitiveCount(unsigned n) const
{
    const unsigned maximum = getMaximalPrimitiveCount();
    if (maximum >= n) return true;
    os::Printer::logf(ELL_ERROR, "Could not draw triangles, too many primitives(%u), maxium is %u.", n, maximum);
    return false;
}

bool IVideoDriver::queryFeature(E_VIDEO_DRIVER_FEATURE feature) const
{
    if (unsigned(feature) >= EVDF_FEATURE_COUNT) throw std::out_of_range("invalid bitset<N> position");
    return (m_features[feature / 16] >> (feature % 16)) & 1u;
}

void IVideoDriver::setFeature(E_VIDEO_DRIVER_FEATURE feature, bool on)
{
    if (unsigned(feature) >= EVDF_FEATURE_COUNT) throw std::out_of_range("invalid bitset<N> position");
    if (on) m_features[feature / 16] |= (unsigned short)(1u << (feature % 16));
    else m_features[feature / 16] &= (unsigned short)~(1u << (feature % 16));
}

void IVideoDriver::setOption(unsigned int bits, bool on)
{
    if (on) {
        m_options |= bits;
    } else {
        m_options &= ~bits;
        if (bits & EVDO_MERGE_DRAWS) flush();
    }
}

void IVideoDriver::clearRenderBuffers()
{
    // Render buffers belong to the concrete driver, which unbinds them itself.
}

void IVideoDriver::onResize(const core::dimension2d<int>&) {}

boost::intrusive_ptr<ITexture> IVideoDriver::createTexture(const char* name, const STextureDesc& desc)
{
    const char* const* types = getStringsInternal((E_TEXTURE_TYPE*)nullptr);
    const char* label = name ? name : "";
    const bool known = desc.type < ETT_COUNT;
    if (!known || !queryFeature(E_VIDEO_DRIVER_FEATURE(unsigned(desc.type) + unsigned(EVDF_TEXTURE_2D)))) {
        os::Printer::logf(ELL_ERROR, "adding texture %s: %s type not supported", label, known ? types[desc.type] : "unknown");
        return nullptr;
    }
    const unsigned w = desc.width > 0 ? unsigned(desc.width) : 0u;
    if (desc.width <= 0 || desc.height == 0 || desc.depth == 0) {
        os::Printer::logf(ELL_ERROR, "adding texture %s: null dimension not supported (provided: %dx%dx%u)", label, desc.width,
                          int(desc.height), desc.depth);
        return nullptr;
    }
    if (!queryFeature(EVDF_TEXTURE_NSQUARE) && (w != desc.height || (desc.type == ETT_3D && w != desc.depth))) {
        os::Printer::logf(ELL_ERROR, "adding texture %s: non square dimension not supported (provided: %dx%dx%u)", label,
                          desc.width, int(desc.height), desc.depth);
        return nullptr;
    }
    if (desc.type != ETT_RECTANGLE && !queryFeature(EVDF_TEXTURE_NPOT) &&
        (!isPowerOfTwo(w) || !isPowerOfTwo(desc.height) || (desc.type == ETT_3D && !isPowerOfTwo(desc.depth)))) {
        os::Printer::logf(ELL_ERROR, "adding texture %s: non power-of-two dimension not supported (provided: %dx%dx%u)", label,
                          desc.width, int(desc.height), desc.depth);
        return nullptr;
    }
    const SPixelFormatDesc& f = pixel_format::desc(desc.format);
    const unsigned bw = f.BlockWidth ? f.BlockWidth : 1, bh = f.BlockHeight ? f.BlockHeight : 1, bd = f.BlockDepth ? f.BlockDepth : 1;
    if (desc.format >= EPF_COUNT || w % bw || desc.height % bh || desc.depth % bd) {
        os::Printer::logf(ELL_ERROR, "adding texture %s: texture size is not a multiple of its pixel format's (%s) block size (%ux%ux%u)",
                          label, pixel_format::getName(desc.format), bw, bh, bd);
        return nullptr;
    }
    return createTextureImpl(name, desc);
}

void IVideoDriver::removeUnused()
{
    if (m_2DDriver) m_2DDriver->freeTextures();
    if (m_rendererManager) {
        m_rendererManager->removeAllBatchBaker();
        m_rendererManager->clearUnusedInstances();
        m_rendererManager->removeAll(false);
    }
    if (m_textureManager && s_textureManagerHooks.removeUnused) s_textureManagerHooks.removeUnused(m_textureManager);
}

void IVideoDriver::onMaterialDestroyed(CMaterial* material)
{
    if (material == m_currentMaterial) {
        m_currentMaterial = nullptr;
        m_currentAttributeMap = nullptr;
        m_currentTechnique = 255;
    }
    if (material == m_committedMaterial) {
        m_committedMaterial = nullptr;
        m_committedTechnique = 255;
    }
    if (material == m_batchSourceCopy) m_batchSourceCopy = nullptr;
}

void IVideoDriver::onShaderDestroyed(IShader* shader)
{
    if (shader == m_committedShader) m_committedShader = nullptr;
}

// --- render targets ---------------------------------------------------------------------------

bool IVideoDriver::pushRenderTarget(const boost::intrusive_ptr<IRenderTarget>& target)
{
    if (!target) return false;
    m_internalFlags |= EVDIF_PUSHING_TARGET;
    m_renderTargets.push_back(target);
    const bool bound = target->bind();
    m_internalFlags &= ~EVDIF_PUSHING_TARGET;
    return bound;
}

boost::intrusive_ptr<IRenderTarget> IVideoDriver::popRenderTarget()
{
    if (m_renderTargets.empty()) return nullptr;
    boost::intrusive_ptr<IRenderTarget> top = m_renderTargets.back();
    if (m_renderTargets.size() >= 2) {
        top->unbind();
        m_renderTargets.pop_back();
        m_renderTargets.back()->bind();
    }
    return top;
}

// --- lights -----------------------------------------------------------------------------------

void IVideoDriver::resetDefaultDynamicLight()
{
    CLight& l = *m_defaultLight;
    l.AmbientColor = l.DiffuseColor = l.SpecularColor = SColorf(0.f, 0.f, 0.f, 0.f);
    l.Attenuation = core::vector3d<float>(1.f, 0.f, 0.f);
    l.Radius = 0.f;
    l.InnerCone = l.OuterCone = 0.f;
    l.Falloff = 0.f;
    l.Type = ELT_AMBIENT;
    l.CastShadows = false;
}

void IVideoDriver::addDynamicLight(const boost::intrusive_ptr<CLight>& light)
{
    if (m_dynamicLightsInUse >= m_dynamicLightParameterCount || m_firstDynamicLightId == 0xffff) return;
    m_globalParameters->setParameter((unsigned short)(m_firstDynamicLightId + m_dynamicLightsInUse), 0, light);
    ++m_dynamicLightsInUse;
}

void IVideoDriver::deleteAllDynamicLights()
{
    for (unsigned i = 0; i < m_dynamicLightsInUse; ++i)
        m_globalParameters->setParameter((unsigned short)(m_firstDynamicLightId + i), 0, m_defaultLight);
    m_dynamicLightsInUse = 0;
}

const boost::intrusive_ptr<CLight>& IVideoDriver::getDynamicLight(unsigned short index) const
{
    static const boost::intrusive_ptr<CLight> none;
    static thread_local boost::intrusive_ptr<CLight> value;
    if (index >= m_dynamicLightsInUse) return none;
    m_globalParameters->getParameter((unsigned short)(m_firstDynamicLightId + index), 0, value);
    return value;
}

}  // namespace pravik::video
