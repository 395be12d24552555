#pragma once
// The abstract base of every video driver. It owns the shader manager and, when it created
// them, the material renderer manager, the texture manager and the global parameter manager;
// it keeps the render-target stack (bottom: the screen), the frame statistics, the dynamic
// lights, the option bits and the 25-bit feature set, creates the internal buffers and vertex
// stream sets, merges small draws into append buffers and pools process buffers.
//
// Option bits: E_VIDEO_DRIVER_OPTION; internal flags: E_VIDEO_DRIVER_INTERNAL_FLAG.
// Main thread only.

#include "engine/IReferenceCounted.h"
#include "engine/core/CMatrix4.h"
#include "engine/core/aabbox3d.h"
#include "engine/core/dimension2d.h"
#include "engine/core/pravikString.h"
#include "engine/core/rect.h"
#include "engine/core/triangle3d.h"
#include "engine/core/vector3d.h"
#include "engine/video/CFPSCounter.h"
#include "engine/video/material/CPrimitiveStream.h"
#include "engine/video/EDriverTypes.h"
#include "engine/video/material/ERenderStateEnums.h"
#include "engine/video/ETexture.h"
#include "engine/video/IBuffer.h"
#include "engine/video/IRenderTarget.h"
#include "engine/video/SColor.h"

#include <boost/intrusive_ptr.hpp>

#include <vector>

namespace pravik {
class IDevice;
}

namespace pravik::scene {
class CAppendMeshBuffer;
class CMeshBuffer;
}  // namespace pravik::scene

namespace pravik::video {

// The option bits (setOption, getOptions).
enum E_VIDEO_DRIVER_OPTION : unsigned int {
    EVDO_MIPMAPS                = 0x10,     // new textures get mipmaps
    EVDO_ZWRITE_ON_TRANSPARENT  = 0x80,     // transparent materials may write depth
    EVDO_MERGE_DRAWS            = 0x100,    // merge small draws; clearing it flushes
    EVDO_KEEP_PENDING_DRAW      = 0x200,    // keep the pending merged draw when a draw cannot merge
    EVDO_TEXTURE_COMMIT         = 0x2000
};

// The internal flags (getInternalFlags).
enum E_VIDEO_DRIVER_INTERNAL_FLAG : unsigned int {
    EVDIF_SCREEN_AREA_SET       = 0x1,
    EVDIF_DREW                  = 0x2,      // the concrete driver drew
    EVDIF_PUSHING_TARGET        = 0x4,      // a render target is being pushed
    EVDIF_CONFIGURE_APPEND      = 0x8,      // the baker must configure the next append buffer
    EVDIF_OWNS_RENDERERS        = 0x10,     // the renderer manager is ours
    EVDIF_OWNS_MANAGERS         = 0x20      // the texture and global parameter managers are ours
};

class CDriverBinding;
class CGlobalMaterialParameterManager;
class CImage;
class CLight;
class CMaterial;
class CMaterialRenderer;
class CMaterialRendererManager;
class CTextureManager;
class CVertexAttributeMap;
class CVertexStreams;
class C2DDriver;
class IBatchBaker;
class IShader;
class IShaderManager;
class ITexture;

namespace detail::driver {
struct SRenderState;  // the concrete driver's full state record
}

// The texture manager belongs to the texture layer: the driver reaches it through these
// hooks, installed once by that layer. Without them the driver runs without texture manager.
struct STextureManagerHooks {
    CTextureManager* (*create)(IVideoDriver*) = nullptr;
    void (*destroy)(CTextureManager*) = nullptr;
    void (*clearDriverSpecificResources)(CTextureManager*) = nullptr;
    void (*removeUnused)(CTextureManager*) = nullptr;  // place holders, then unheld textures
};

class IVideoDriver : public IReferenceCounted {
public:
    class ICompileData {
    public:
        virtual ~ICompileData() = default;
    };

    // The screen's render target: the area inside the physical framebuffer.
    class IFramebuffer;

    // The shader manager is required and owned; null managers and light are created here.
    IVideoDriver(IDevice* device, IShaderManager* shaderManager, CMaterialRendererManager* renderers,
                 CTextureManager* textures, CGlobalMaterialParameterManager* globals,
                 const boost::intrusive_ptr<CLight>& defaultLight);
    ~IVideoDriver() override;
    IVideoDriver(const IVideoDriver&) = delete;
    IVideoDriver& operator=(const IVideoDriver&) = delete;

    static void setTextureManagerHooks(const STextureManagerHooks& hooks);

    void init(unsigned short hardwareLights, unsigned short lightParameters, unsigned char flag);
    // Byte capacities of the two append buffers (the device's creation parameters; 32768 and
    // 4096 by default); read by initImplementationDependentData.
    void setAppendBufferSizes(unsigned vertexBytes, unsigned indexBytes) { m_appendVertexBytes = vertexBytes; m_appendIndexBytes = indexBytes; }
    void initImplementationDependentData();
    void clearImplementationDependentData();

    // Frame.
    virtual bool beginScene();
    virtual bool endScene();
    virtual bool beginScene2D() = 0;
    virtual bool endScene2D() = 0;

    // Lines and shapes; each ends in draw(), so they merge like any draw.
    virtual void draw3DLine(const core::vector3d<float>& start, const core::vector3d<float>& end, SColor color);
    virtual void draw3DLines(const core::vector3d<float>* positions, const unsigned short* indices, const SColor* colors,
                             unsigned vertexCount, unsigned lineCount);
    virtual void draw3DTriangle(const core::triangle3d<float>& triangle, SColor color);
    virtual void draw3DBox(const core::aabbox3d<float>& box, SColor color);
    virtual void draw2DLine(const core::position2d<int>& start, const core::position2d<int>& end, SColor color);
    virtual void draw2DLines(const core::position2d<int>* positions, const unsigned short* indices, const SColor* colors,
                             unsigned vertexCount, unsigned lineCount);
    virtual void draw2DRectangle(const core::rect<int>& dest, const core::rect<int>& source, const SColor* colors,
                                 const core::rect<int>* clip) = 0;
    // An element count of 0 draws nothing; merged while EVDO_MERGE_DRAWS is on.
    virtual void draw(const boost::intrusive_ptr<CVertexStreams>& streams, const CPrimitiveStream& primitives,
                      CDriverBinding** binding = nullptr,
                      const scene::CMeshBuffer* meshBuffer = nullptr);  // not used by the base
    virtual E_DRIVER_TYPE getDriverType() const = 0;
    virtual unsigned getMaximalPrimitiveCount() const;
    virtual bool checkDriverReset();
    virtual E_PIXEL_FORMAT getColorFormat() const = 0;

    virtual void setTransform(E_TRANSFORMATION_STATE state, const core::CMatrix4<float>& m) = 0;
    virtual const core::CMatrix4<float>& getTransform(E_TRANSFORMATION_STATE state) const = 0;
    virtual void restoreShadowState() = 0;
    virtual boost::intrusive_ptr<IBuffer> createBuffer(E_BUFFER_TYPE type, E_BUFFER_USAGE usage, unsigned size,
                                                       void* data, bool own) = 0;

    virtual void setMaxTextureSize(const core::dimension2d<int>& size);
    virtual void* createRenderBuffer(const core::dimension2d<int>& size, E_PIXEL_FORMAT format) = 0;
    virtual boost::intrusive_ptr<IRenderTarget> createRenderTarget(const boost::intrusive_ptr<ITexture>& texture,
                                                                   unsigned int flags) = 0;
    virtual boost::intrusive_ptr<IRenderTarget> createMultipleRenderTarget() = 0;

    virtual bool pushRenderTarget(const boost::intrusive_ptr<IRenderTarget>& target);
    virtual boost::intrusive_ptr<IRenderTarget> popRenderTarget();  // the screen is never popped
    virtual void onResize(const core::dimension2d<int>& size);
    virtual boost::intrusive_ptr<CImage> createScreenShot() = 0;
    virtual bool captureFramebufferImpl(const boost::intrusive_ptr<ITexture>& texture, const core::position2d<int>& dest,
                                        const core::rect<int>& source, unsigned char level,
                                        E_TEXTURE_CUBE_MAP_FACE face, bool flag) = 0;

    virtual void setOption(unsigned int bits, bool on);
    virtual bool swapBuffers(int flags) = 0;
    virtual void clearBuffers(int which) = 0;
    virtual void removeUnused();

    // Render state, getter first.
    virtual bool getBlendEnable() const = 0;
    virtual void setBlendEnable(bool on) = 0;
    virtual SColor getBlendColor() const = 0;
    virtual void setBlendColor(SColor c) = 0;
    virtual E_BLEND_EQUATION getBlendEquation() const = 0;
    virtual void setBlendEquation(E_BLEND_EQUATION e) = 0;
    virtual void getBlendFunc(E_BLEND_FACTOR& src, E_BLEND_FACTOR& dst) const = 0;
    virtual void setBlendFunc(E_BLEND_FACTOR src, E_BLEND_FACTOR dst) = 0;
    virtual void getColorMask(bool& r, bool& g, bool& b, bool& a) const = 0;
    virtual void setColorMask(bool r, bool g, bool b, bool a) = 0;
    virtual SColor getClearColor() const = 0;
    virtual void setClearColor(SColor c) = 0;
    virtual bool getCullFaceEnable() const = 0;
    virtual void setCullFaceEnable(bool on) = 0;
    virtual E_FACE_SIDE getCullFace() const = 0;
    virtual void setCullFace(E_FACE_SIDE f) = 0;
    virtual E_FACE_WINDING getFrontFace() const = 0;
    virtual void setFrontFace(E_FACE_WINDING w) = 0;
    virtual bool getDepthTestEnable() const = 0;
    virtual void setDepthTestEnable(bool on) = 0;
    virtual E_COMPARE_FUNC getDepthFunc() const = 0;
    virtual void setDepthFunc(E_COMPARE_FUNC f) = 0;
    virtual bool getDepthMask() const = 0;
    virtual void setDepthMask(bool on) = 0;
    virtual float getClearDepth() const = 0;
    virtual void setClearDepth(float d) = 0;
    virtual void getDepthRange(float& zNear, float& zFar) const = 0;
    virtual void setDepthRange(float zNear, float zFar) = 0;
    virtual bool getDitherEnable() const = 0;
    virtual void setDitherEnable(bool on) = 0;
    virtual float getLineWidth() const = 0;
    virtual void setLineWidth(float w) = 0;
    virtual float getPointSize() const = 0;
    virtual void setPointSize(float s) = 0;
    virtual E_POLYGON_MODE getPolygonModeFront() const = 0;
    virtual void setPolygonModeFront(E_POLYGON_MODE m) = 0;
    virtual E_POLYGON_MODE getPolygonModeBack() const = 0;
    virtual void setPolygonModeBack(E_POLYGON_MODE m) = 0;
    virtual bool getPolygonOffsetFillEnable() const = 0;
    virtual void setPolygonOffsetFillEnable(bool on) = 0;
    virtual bool getPolygonOffsetLineEnable() const = 0;
    virtual void setPolygonOffsetLineEnable(bool on) = 0;
    virtual bool getPolygonOffsetPointEnable() const = 0;
    virtual void setPolygonOffsetPointEnable(bool on) = 0;
    virtual void getPolygonOffset(float& factor, float& units) const = 0;
    virtual void setPolygonOffset(float factor, float units) = 0;
    virtual bool getSampleAlphaToCoverageEnable() const = 0;
    virtual void setSampleAlphaToCoverageEnable(bool on) = 0;
    virtual bool getSampleCoverageEnable() const = 0;
    virtual void setSampleCoverageEnable(bool on) = 0;
    virtual bool getSampleCoverageInvert() const = 0;
    virtual void setSampleCoverageInvert(bool on) = 0;
    virtual float getSampleCoverageValue() const = 0;
    virtual void setSampleCoverageValue(float v) = 0;
    virtual bool getScissorEnable() const = 0;
    virtual void setScissorEnable(bool on) = 0;
    virtual core::rect<int> getScissor() const = 0;
    virtual void setScissor(const core::rect<int>& r) = 0;
    virtual bool getStencilTestEnable() const = 0;
    virtual void setStencilTestEnable(bool on) = 0;
    virtual E_COMPARE_FUNC getStencilFunc() const = 0;
    virtual void setStencilFunc(E_COMPARE_FUNC f) = 0;
    virtual unsigned char getStencilFuncRef() const = 0;
    virtual void setStencilFuncRef(unsigned char ref) = 0;
    virtual unsigned char getStencilFuncMask() const = 0;
    virtual void setStencilFuncMask(unsigned char mask) = 0;
    virtual E_STENCIL_OP getStencilOpFail() const = 0;
    virtual void setStencilOpFail(E_STENCIL_OP op) = 0;
    virtual E_STENCIL_OP getStencilOpZFail() const = 0;
    virtual void setStencilOpZFail(E_STENCIL_OP op) = 0;
    virtual E_STENCIL_OP getStencilOpZPass() const = 0;
    virtual void setStencilOpZPass(E_STENCIL_OP op) = 0;
    virtual unsigned char getStencilMask() const = 0;
    virtual void setStencilMask(unsigned char mask) = 0;
    virtual unsigned char getClearStencil() const = 0;
    virtual void setClearStencil(unsigned char s) = 0;

    virtual void getRenderState(detail::driver::SRenderState& state) const = 0;
    virtual void setRenderState(const detail::driver::SRenderState& state) = 0;
    virtual void setViewportImpl(const core::rect<int>& viewport) = 0;
    virtual unsigned getMaxUserClipPlanes() const = 0;

    // Process buffers and driver bindings.
    virtual E_DRIVER_ALLOCATION_RESULT getProcessBuffer(E_PROCESS_BUFFER_TYPE type, unsigned firstVertex,
                                                        unsigned vertexEnd, unsigned attributeMask,
                                                        const boost::intrusive_ptr<CVertexStreams>& streams,
                                                        CDriverBinding** binding, bool allocate);
    virtual void releaseProcessBuffer(E_PROCESS_BUFFER_TYPE type, const boost::intrusive_ptr<CVertexStreams>& streams,
                                      unsigned firstVertex, unsigned attributeMask, CDriverBinding* binding);
    virtual CDriverBinding* createBinding();
    virtual bool flush() { return drawPendingBatch(); }

    // What the concrete driver implements for drawing.
    virtual unsigned drawImpl(const boost::intrusive_ptr<CVertexStreams>& streams, const CPrimitiveStream& primitives,
                              CDriverBinding** binding) = 0;
    virtual boost::intrusive_ptr<ITexture> createTextureImpl(const char* name, const STextureDesc& desc) = 0;
    virtual void commitCurrentMaterial() = 0;
    virtual void commitMaterialRenderer(const boost::intrusive_ptr<CMaterialRenderer>& renderer) = 0;
    virtual void onMaterialDestroyed(CMaterial* material);
    virtual void onShaderDestroyed(IShader* shader);

    // Materials and merging.
    void setMaterial(const boost::intrusive_ptr<CMaterial>& material, unsigned char technique = 0,
                     const boost::intrusive_ptr<CVertexAttributeMap>* attributeMap = nullptr);
    bool appendBatch(const boost::intrusive_ptr<CVertexStreams>& streams, const CPrimitiveStream& primitives,
                     CDriverBinding** binding);
    bool drawPendingBatch();
    // Bakes the draw into the mapped append buffer, which has room for it, and grows its fill;
    // the baker and batch material are set.
    void bakeIntoAppendBuffer(const CVertexStreams& streams, const CPrimitiveStream& primitives,
                              scene::CAppendMeshBuffer& a);
    void resetBatchMaterial(const boost::intrusive_ptr<CMaterial>& material, unsigned char technique);
    void releaseBatchState();  // baker, batch material and batch source copy
    void forceCommitTexture(const boost::intrusive_ptr<ITexture>& texture);
    void drawFullScreenQuad(const SColor colors[4]);
    static bool clip(core::rect<int>& dest, core::rect<float>& source, const core::rect<int>& clipRect, SColor* colors);
    CDriverBinding* ensureBinding(CDriverBinding** binding);

    // Textures.
    boost::intrusive_ptr<ITexture> createTexture(const char* name, const STextureDesc& desc);  // null with a logged reason

    // Lights.
    void addDynamicLight(const boost::intrusive_ptr<CLight>& light);  // ignored beyond the parameter count
    void deleteAllDynamicLights();
    const boost::intrusive_ptr<CLight>& getDynamicLight(unsigned short index) const;
    void resetDefaultDynamicLight();
    unsigned short getDynamicLightCount() const { return m_dynamicLightsInUse; }
    unsigned short getDynamicLightParameterCount() const { return m_dynamicLightParameterCount; }
    unsigned short getHardwareLightCount() const { return m_hardwareLightCount; }
    unsigned short getFirstDynamicLightId() const { return m_firstDynamicLightId; }
    unsigned short getSceneAmbientLightId() const { return m_sceneAmbientLightId; }
    unsigned short getFogColorId() const { return m_fogColorId; }
    const boost::intrusive_ptr<CLight>& getDefaultLight() const { return m_defaultLight; }

    // Options and features.
    bool queryFeature(E_VIDEO_DRIVER_FEATURE feature) const;  // feature 25 or more throws std::out_of_range
    void setFeature(E_VIDEO_DRIVER_FEATURE feature, bool on);
    unsigned int getOptions() const { return m_options; }
    bool checkPrimitiveCount(unsigned n) const;
    void clearRenderBuffers();

    // Statistics.
    int getFPS() const { return m_fps.getFPS(); }
    unsigned getPrimitiveCountDrawn(unsigned mode = 0) const;  // 0 last frame, 1 per second, else total
    unsigned getDrawCallCount() const { return m_fps.getDrawCalls(); }
    unsigned getDrawCall2DCount() const { return m_fps.getDrawCalls2D(); }
    unsigned getTextureBindingCount() const { return m_fps.getTextureBindings(); }
    unsigned getFrameNumber() const { return m_frameNumber; }
    unsigned m_primitivesDrawn = 0;   // per-frame counters the concrete driver adds to
    unsigned m_drawCalls = 0;
    unsigned m_drawCalls2D = 0;
    unsigned m_textureBindings = 0;

    // Accessors.
    IDevice* getDevice() const { return m_device; }
    IShaderManager* getShaderManager() const { return m_shaderManager; }
    CMaterialRendererManager* getMaterialRendererManager() const { return m_rendererManager; }
    CTextureManager* getTextureManager() const { return m_textureManager; }
    CGlobalMaterialParameterManager* getGlobalMaterialParameterManager() const { return m_globalParameters; }
    C2DDriver* get2DDriver() const { return m_2DDriver; }
    void set2DDriver(C2DDriver* drawer) { m_2DDriver = drawer; }  // the device's, not owned
    const core::stringc& getName() const { return m_name; }
    const core::stringc& getVendorName() const { return m_vendorName; }
    IRenderTarget* getCurrentRenderTarget() const { return m_renderTargets.empty() ? nullptr : m_renderTargets.back().get(); }
    size_t getRenderTargetCount() const { return m_renderTargets.size(); }
    IRenderTarget* getBottomRenderTarget() const { return m_renderTargets.empty() ? nullptr : m_renderTargets.front().get(); }  // the screen
    const core::dimension2d<int>& getMaxTextureSize() const { return m_maxTextureSize; }
    unsigned getTextureUnitCount() const { return m_textureUnitCount; }
    unsigned getSceneMode() const { return m_sceneMode; }
    unsigned getInternalFlags() const { return m_internalFlags; }
    E_ORIENTATION getOrientation() const { return m_orientation; }
    CMaterial* getCurrentMaterial() const { return m_currentMaterial; }
    unsigned char getCurrentTechnique() const { return m_currentTechnique; }
    CMaterial* getCommittedMaterial() const { return m_committedMaterial; }
    unsigned char getCommittedTechnique() const { return m_committedTechnique; }
    const IShader* getCommittedShader() const { return m_committedShader; }
    void setCommittedShader(const IShader* shader) { m_committedShader = shader; }
    const boost::intrusive_ptr<CVertexAttributeMap>* getCurrentAttributeMap() const { return m_currentAttributeMap; }
    const boost::intrusive_ptr<CMaterial>& getBatchMaterial() const { return m_batchMaterial; }
    const boost::intrusive_ptr<IBatchBaker>& getBatchBaker() const { return m_batchBaker; }
    CMaterial* getBatchSourceCopy() const { return m_batchSourceCopy; }
    CMaterial* getBatchSource() const { return m_batchSource; }
    std::vector<boost::intrusive_ptr<scene::CAppendMeshBuffer>>& getAppendBuffers() { return m_appendBuffers; }
    scene::CAppendMeshBuffer* getCurrentAppendBuffer() const { return m_currentAppendBuffer; }
    unsigned getMergeVertexLimit() const { return m_mergeVertexLimit; }
    size_t getProcessBufferPoolSize() const { return m_processBufferPool.size(); }
    // The selected technique map: one table pointer per group of the source's maps, or null.
    const unsigned char* const* getTechniqueMap() const { return m_activeTechniqueMap; }
    void setTechniqueMap(CMaterialRendererManager* source, const unsigned char* const* map) { m_techniqueMapSource = source; m_activeTechniqueMap = map; }
    CMaterialRendererManager* getTechniqueMapSource() const { return m_techniqueMapSource; }

    static unsigned char DefaultAttribMap[30];

protected:
    // Frees the managers, buffers and targets while the whole driver still exists: their
    // destruction calls back into the concrete driver, so its destructor calls this first.
    // Idempotent; the base destructor calls it for drivers that do not.
    void releaseDriverResources();

    void commit(CMaterial* material, unsigned char technique);  // the commit rule
    void configureNextAppendBufferIfNeeded();
    void destroyBatchSourceCopy();

    core::stringc m_name;
    core::stringc m_vendorName;
    unsigned short m_firstDynamicLightId = 0xffff;
    unsigned short m_dynamicLightsInUse = 0;
    unsigned short m_dynamicLightParameterCount = 0;
    unsigned short m_hardwareLightCount = 0;
    boost::intrusive_ptr<CLight> m_defaultLight;
    core::dimension2d<int> m_maxTextureSize{0, 0};
    unsigned int m_textureUnitCount = 4;
    unsigned int m_frameNumber = 0;
    CFPSCounter m_fps;
    unsigned int m_options = EVDO_MIPMAPS;
    unsigned short m_features[2] = {0, 0};
    unsigned int m_sceneMode = 0;
    boost::intrusive_ptr<CVertexStreams> m_lineStreams;
    boost::intrusive_ptr<CVertexStreams> m_lineListStreams;
    boost::intrusive_ptr<CVertexStreams> m_quadStreams;
    boost::intrusive_ptr<IBuffer> m_vertexBuffer;
    boost::intrusive_ptr<IBuffer> m_colorBuffer;
    boost::intrusive_ptr<IBuffer> m_indexBuffer;
    std::vector<boost::intrusive_ptr<IBuffer>> m_processBufferPool;
    std::vector<boost::intrusive_ptr<IRenderTarget>> m_renderTargets;
    IDevice* m_device;
    IShaderManager* m_shaderManager;
    CMaterialRendererManager* m_rendererManager;
    CTextureManager* m_textureManager;
    CGlobalMaterialParameterManager* m_globalParameters;
    C2DDriver* m_2DDriver = nullptr;
    const boost::intrusive_ptr<CVertexAttributeMap>* m_currentAttributeMap = nullptr;
    CMaterial* m_currentMaterial = nullptr;
    CMaterial* m_committedMaterial = nullptr;
    const IShader* m_committedShader = nullptr;
    unsigned char m_currentTechnique = 255;
    unsigned char m_committedTechnique = 255;
    unsigned short m_fogColorId = 0xffff;
    CMaterialRendererManager* m_techniqueMapSource;
    const unsigned char* const* m_activeTechniqueMap = nullptr;
    unsigned int m_mergeVertexLimit = 16;
    std::vector<boost::intrusive_ptr<scene::CAppendMeshBuffer>> m_appendBuffers;
    unsigned int m_currentAppendBufferIndex = 0;
    scene::CAppendMeshBuffer* m_currentAppendBuffer = nullptr;
    boost::intrusive_ptr<CMaterial> m_batchMaterial;
    boost::intrusive_ptr<IBatchBaker> m_batchBaker;
    CMaterial* m_batchSourceCopy = nullptr;
    CMaterial* m_batchSource = nullptr;
    unsigned char m_batchSourceTechnique = 255;
    unsigned short m_sceneAmbientLightId = 0xffff;
    unsigned int m_internalFlags = 0;
    E_ORIENTATION m_orientation = EOO_0;
    boost::intrusive_ptr<CVertexStreams> m_textureCommitPoint;
    boost::intrusive_ptr<CVertexAttributeMap> m_textureCommitMaps[4];
    std::vector<void*> m_renderBuffers;   // the concrete driver's render buffers, not owned
    unsigned int m_appendVertexBytes = 32768;
    unsigned int m_appendIndexBytes = 4096;
};

// The screen's render target: its size is the screen area's; areaX/areaY place the area in
// the physical framebuffer and extraWidth/extraHeight are the framebuffer parts outside it.
class IVideoDriver::IFramebuffer : public IRenderTarget {
public:
    IFramebuffer(IVideoDriver* driver, const core::dimension2d<int>& size) : IRenderTarget(driver, size) {}
    int m_areaX = 0;
    int m_areaY = 0;
    int m_extraWidth = 0;
    int m_extraHeight = 0;
};

}  // namespace pravik::video
