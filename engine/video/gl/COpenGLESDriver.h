#pragma once
// The OpenGL ES 1.1 driver, the engine's only real renderer. It runs on the GL ES context
// current at creation (the application makes and presents it), probes version, extensions and
// limits, keeps GL state in the shadow of its base and calls GL (through the dispatch table)
// only on a change, creates buffers, textures and render targets lazily on first bind, and
// drives the fixed-function pipeline. It draws nothing itself: drawImpl sets up each pass of
// the material and issues the draw call once draws are switched on (setSubmitDraws).
// Split by concern: COpenGLESDriver.cpp (start-up, frame), _state (render-state cache),
// _resources (buffers, textures, render targets), _fixed (fixed-function state),
// _draw (per-pass set-up). Main thread only.

#include "engine/core/ProcessBuffer.h"
#include "engine/video/gl/CCommonGLDriverBase.h"
#include "engine/video/gl/CFixedGLShader.h"
#include "engine/video/ITexture.h"
#include "engine/video/gl/GLDispatch.h"
#include "engine/video/material/SRenderPass.h"

namespace pravik::video {

class CLight;
class CVertexStreams;

class COpenGLESDriver : public CCommonGLDriverBase {
public:
    class CBuffer;
    class CTexture;
    class CRenderBuffer;
    class CRenderTarget;
    class CFramebuffer;

    COpenGLESDriver(IDevice* device, const core::dimension2d<int>& screenSize);
    ~COpenGLESDriver() override;

    bool initDriver();
    bool genericDriverInit(const core::dimension2d<int>& size, bool);

    // Frame.
    bool beginScene() override;
    bool endScene() override;
    bool beginScene2D() override;
    bool endScene2D() override;
    bool swapBuffers(int clearFlags) override;
    virtual bool swapBuffersImpl(int clearFlags);
    void clearBuffers(int flags) override;
    boost::intrusive_ptr<CImage> createScreenShot() override;  // null when GL refuses the read
    bool captureFramebufferImpl(const boost::intrusive_ptr<ITexture>&, const core::position2d<int>&,
                                const core::rect<int>&, unsigned char, E_TEXTURE_CUBE_MAP_FACE, bool) override
    {
        return false;
    }
    E_DRIVER_TYPE getDriverType() const override { return EDT_OGLES1; }
    unsigned getMaxUserClipPlanes() const override { return m_clipPlaneCount; }
    unsigned queryMaxLightCount() const;
    bool doVersionCheck() const { return m_version < 200; }
    void draw2DRectangle(const core::rect<int>& dest, const core::rect<int>& source, const SColor* colors,
                         const core::rect<int>* clip) override;

    // Render-state cache: GL is called only when a value changes.
    void setBlendEnable(bool on) override;
    void setBlendColor(SColor) override {}
    void setBlendEquation(E_BLEND_EQUATION e) override;
    void setBlendFunc(E_BLEND_FACTOR src, E_BLEND_FACTOR dst) override;
    void setColorMask(bool r, bool g, bool b, bool a) override;
    void setClearColor(SColor c) override;
    void setCullFaceEnable(bool on) override;
    void setCullFace(E_FACE_SIDE f) override;
    void setFrontFace(E_FACE_WINDING w) override;
    void setDepthTestEnable(bool on) override;
    void setDepthFunc(E_COMPARE_FUNC f) override;
    void setDepthMask(bool on) override;
    void setClearDepth(float d) override;
    void setDepthRange(float zNear, float zFar) override;
    void setDitherEnable(bool on) override;
    void setLineWidth(float w) override;
    void setPointSize(float s) override;
    void setPolygonModeFront(E_POLYGON_MODE m) override;
    void setPolygonModeBack(E_POLYGON_MODE m) override;
    void setPolygonOffsetFillEnable(bool on) override;
    void setPolygonOffsetLineEnable(bool) override {}
    void setPolygonOffsetPointEnable(bool) override {}
    void setPolygonOffset(float factor, float units) override;
    void setSampleAlphaToCoverageEnable(bool on) override;
    void setSampleCoverageEnable(bool on) override;
    void setSampleCoverageInvert(bool on) override;
    void setSampleCoverageValue(float v) override;
    void setScissorEnable(bool on) override;
    void setScissor(const core::rect<int>& r) override;
    void setStencilTestEnable(bool) override {}
    void setStencilFunc(E_COMPARE_FUNC) override {}
    void setStencilFuncRef(unsigned char) override {}
    void setStencilFuncMask(unsigned char) override {}
    void setStencilOpFail(E_STENCIL_OP) override {}
    void setStencilOpZFail(E_STENCIL_OP) override {}
    void setStencilOpZPass(E_STENCIL_OP) override {}
    void setStencilMask(unsigned char mask) override;
    void setClearStencil(unsigned char s) override;
    void setRenderState(const detail::driver::SRenderState& state) override;
    void setViewportImpl(const core::rect<int>& viewport) override;
    void restoreRenderState();
    // Applies one pass record; never flushes (it runs at draw time).
    void applyRenderPass(const detail::renderpass::SRenderState& state);
    void applyRenderStates(CMaterial* material, unsigned char technique, unsigned char pass);

    // Resources.
    boost::intrusive_ptr<IBuffer> createBuffer(E_BUFFER_TYPE type, E_BUFFER_USAGE usage, unsigned size, void* data,
                                               bool own) override;
    boost::intrusive_ptr<ITexture> createTextureImpl(const char* name, const STextureDesc& desc) override;
    void* createRenderBuffer(const core::dimension2d<int>& size, E_PIXEL_FORMAT format) override;  // a CRenderBuffer, count 1
    boost::intrusive_ptr<IRenderTarget> createRenderTarget(const boost::intrusive_ptr<ITexture>& texture,
                                                           unsigned level) override;
    boost::intrusive_ptr<IRenderTarget> createMultipleRenderTarget() override;
    bool setTexture(unsigned unit, ITexture* texture, E_TEXTURE_TYPE type);
    bool disableTextures(unsigned firstUnit);
    const unsigned char* setBuffer(IBuffer* buffer);  // base pointer for offsets; client data or null
    void bindBuffer(E_BUFFER_TYPE type, unsigned name);
    void setActiveTexture(unsigned unit);
    void setUnpackAlignment(unsigned alignment);
    void setFlipped(bool flipped);

    // Fixed-function pipeline.
    void setTransform(E_TRANSFORMATION_STATE state, const core::CMatrix4<float>& m) override;
    void restoreShadowState() override;
    void commitShader(const IShader* shader);
    void commitCurrentMaterial() override;
    void commitMaterialRenderer(const boost::intrusive_ptr<CMaterialRenderer>& renderer) override;
    void setLightModelAmbient(const float rgba[4]);
    void setClientActiveTexture(unsigned unit);
    void setTexEnvMode(unsigned mode);
    void setMaterialColor(unsigned which, SColor c);  // 0 ambient, 1 diffuse, 2 specular, 3 emission
    void setMaterialShininess(float shininess);
    // Turning colour material off sends the shadow ambient and diffuse again (GL lost them).
    void setColorMaterialEnable(bool on);
    void setTexEnvColor(SColor c);  // on the active unit
    // The texture's LOD bias on the active unit, sent only when it differs from the unit's; a
    // GL without GL_EXT_texture_lod_bias (Mesa's ES1) gets no call and the unit keeps 0.
    void setTextureLODBiasTexEnv(const ITexture* texture);
    float getTextureLODBias(unsigned unit) const { return unit < 4 ? m_lodBias[unit] : 0.f; }
    // Combiner state of the active unit; argument k is 0, 1 or 2.
    void setCombineRGB(E_TEXTURE_COMBINE_MODE mode);
    void setCombineAlpha(E_TEXTURE_COMBINE_MODE mode);
    void setSourceRGB(unsigned k, E_TEXTURE_COMBINE_SOURCE source);
    void setSourceAlpha(unsigned k, E_TEXTURE_COMBINE_SOURCE source);
    void setOperandRGB(unsigned k, E_TEXTURE_COMBINE_OPERAND operand);
    void setOperandAlpha(unsigned k, E_TEXTURE_COMBINE_OPERAND operand);
    void setRGBScale(float scale);
    void setAlphaScale(float scale);
    // Records a unit's coordinate generation; units above 0 only with multitexturing.
    void setTexGen(int unit, E_TEX_GEN_TYPE type);
    E_TEX_GEN_TYPE getTexGen(unsigned unit) const { return unit < 4 ? E_TEX_GEN_TYPE(m_texGen[unit]) : ETGT_NONE; }
    void setLightAttenuation(unsigned light, float constant, float linear, float quadratic);
    void setLightSpotExponent(unsigned light, float exponent);
    void setLightSpotCutoff(unsigned light, float cutoff);
    void setFogDensityInternal(float density);
    void setFogStartEndInternal(const core::vector2d<float>& startEnd);
    void setFogColorInternal(SColor c);
    void setFogHint(unsigned hint);  // E_RENDER_HINT
    bool isTextureMatrixIdentity(unsigned unit) const { return unit < 8 && (m_textureMatrixIdentity >> unit & 1); }
    void setTextureMatrixIdentity(unsigned unit, bool identity)
    {
        if (unit >= 8) return;
        if (identity) m_textureMatrixIdentity |= (unsigned char)(1u << unit);
        else m_textureMatrixIdentity &= (unsigned char)~(1u << unit);
    }

    // Drawing.
    unsigned drawImpl(const boost::intrusive_ptr<CVertexStreams>& streams, const CPrimitiveStream& primitives,
                      CDriverBinding** binding) override;
    // Off, the driver sets every pass up and issues no draw command (benchmarks and tests that
    // count set-up alone). The game's render device switches it on, so the scene and the GUI
    // reach the screen beside the quad batcher.
    void setSubmitDraws(bool on) { m_submitDraws = on; }
    bool getSubmitDraws() const { return m_submitDraws; }
    void submit(const CPrimitiveStream& primitives);  // the GL draw of one pass, arrays set up
    unsigned commitMatrices(const CFixedGLShader* shader, const CVertexStreams* streams,
                            const unsigned char* attributeMap);
    void popMatrices(unsigned pushed);
    // A unit without coordinates: warning, array off, constant (0, 0, 0, 0); the request without the unit.
    unsigned setMissingTexCoord(unsigned unit, unsigned changing, unsigned requested);
    // Generated coordinates and colours live in the scratch holders until the pass ends.
    void setupArrays(const CFixedGLShader* shader, const CVertexStreams* streams, const unsigned char* attributeMap,
                     const CPrimitiveStream& primitives, core::SScopedProcessArray<float>* texScratch,
                     core::SScopedProcessArray<float>& colorScratch);
    // Fill scratch for vertices [first, end) of the primitives; false (logged) when the data does not allow.
    bool softTexGen(E_TEX_GEN_TYPE type, const CVertexStreams* streams, const unsigned char* attributeMap,
                    const CPrimitiveStream& primitives, core::SScopedProcessArray<float>& scratch);
    bool softColorGen(unsigned mode, const CVertexStreams* streams, const unsigned char* attributeMap,
                      const CPrimitiveStream& primitives, core::SScopedProcessArray<float>& scratch);

    // Shadow of the fixed-function state, for tests and restoreShadowState.
    unsigned getEnabledLightCount() const { return m_lightCount; }
    unsigned getEnabledClientArrays() const { return m_clientArrays; }
    SColor getVertexColor() const { return m_vertexColor; }

private:
    void makeModelView(core::CMatrix4<float>& out) const;
    void loadProjection();
    // Bindings [first, last) of a pass: from the current material, or from the global parameters.
    void commitPassParameters(const SRenderPass& pass, unsigned first, unsigned last, bool global);
    template <class Source>
    void commitBindings(const SRenderPass& pass, unsigned first, unsigned last, Source& source);
    void commitLightParameter(unsigned light, const CLight* l, unsigned property);
    void enableTexture2D(unsigned unit, bool on);
    void fillFormatTable();

    core::dimension2d<int> m_screenSize;
    unsigned m_clipPlaneCount = 0;
    unsigned m_maxLights = 0;
    static constexpr unsigned char kAllMatricesDirty = (1u << ETS_COUNT) - 1;
    unsigned char m_matrixDirty = 0;  // bit per transform state
    unsigned char m_lastPass = 0, m_lastTechnique = 0;

    // Fixed-function shadow.
    bool m_lighting = false, m_twoSided = false, m_colorMaterial = false, m_normalize = false;
    bool m_smooth = true, m_fog = false, m_alphaTest = false;
    unsigned m_lightCount = 0;
    unsigned m_fogMode = 0, m_fogHint = 0;
    float m_lightModelAmbient[4] = {0.2f, 0.2f, 0.2f, 1.f};
    SColor m_materialColors[4] = {SColor(51, 51, 51, 255), SColor(204, 204, 204, 255), SColor(0, 0, 0, 255),
                                  SColor(0, 0, 0, 255)};
    float m_shininess = 0.f;
    unsigned m_alphaFunc = 7;
    float m_alphaRef = 0.f;
    SFixedGLShaderTexEnv m_texEnv[4];
    SColor m_texEnvColor[4] = {SColor(0, 0, 0, 0), SColor(0, 0, 0, 0), SColor(0, 0, 0, 0), SColor(0, 0, 0, 0)};
    float m_lodBias[4] = {};
    unsigned m_enabledTextureUnits = 0;
    bool m_clipPlaneOn[6] = {};
    unsigned char m_texGen[4] = {};
    unsigned char m_textureMatrixIdentity = 0;  // bit per unit
    unsigned m_clientActiveTexture = 0;
    unsigned m_colorGen = 0;
    SColor m_colorGenConstant = SColor(0, 0, 0, 255);
    SColor m_vertexColor = SColor(255, 255, 255, 255);
    float m_lightAttenuation[8][3] = {};  // GL's defaults are set by the constructor
    float m_lightSpot[8][2] = {};         // exponent, cutoff
    float m_fogDensity = 1.f, m_fogStart = 0.f, m_fogEnd = 1.f;
    SColor m_fogColor = SColor(0, 0, 0, 0);
    bool m_fogColorKnown = false;
    const CLight* m_colorGenLight = nullptr;
    bool m_submitDraws = false;

    // What GL last received for the constant colour and the array pointers, so that draws
    // sharing streams repeat nothing. Forgotten by restoreShadowState (foreign GL code).
    struct SPointer {
        GLint size = -1;
        GLenum type = 0;
        GLsizei stride = 0;
        const void* pointer = nullptr;
        unsigned buffer = 0;
        bool operator==(const SPointer&) const = default;
    };
    SPointer m_pointers[6];  // position, texture units 0-3, normals
    SColor m_currentColor;
    bool m_currentColorKnown = false;
    void setPointer(unsigned slot, const SPointer& p);
    void setCurrentColor(SColor c);
    void forgetVertexState();
};

// A driver on the current GL ES context, count 1; null when GL is unusable (logged).
COpenGLESDriver* createOpenGLES1Driver(IDevice* device, const core::dimension2d<int>& screenSize);

}  // namespace pravik::video
