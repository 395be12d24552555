#pragma once
// The layer between the driver interface and the OpenGL ES driver: the cache of GL state the
// driver compares against before it calls GL (the getters answer from it, never from GL), the
// transforms, the extension set, the GL format table, 2D projection, projection and
// screen-area fix-ups. It makes no GL call itself.
// The extension override hides advertised extensions from every driver started afterwards, so
// that tests reach the branches of a poorer GL implementation.

#include <bitset>
#include <initializer_list>

#include "engine/core/CMatrix4.h"
#include "engine/video/EDriverTypes.h"
#include "engine/video/image/EPixelFormat.h"
#include "engine/video/material/ERenderStateEnums.h"
#include "engine/video/IVideoDriver.h"
#include "engine/video/SScreenArea.h"

namespace pravik::video {

class ITexture;

namespace detail::driver {
// Word: bits 0-7 stencil write mask, 8-15 clear stencil, 16-19 colour write red, green, blue,
// alpha, 20 dither, 21 scissor test; other bits are the caller's.
struct SRenderState {
    unsigned int word = 0;
    SColor clearColor;
    float clearDepth = 1.f;
    float depthNear = 0.f;
    float depthFar = 1.f;
    core::rect<int> scissor;
};
}  // namespace detail::driver

// One row per pixel format: what a texture, a render target and a render buffer of the format
// are made as (EPF_COUNT: refused), and the GL values of its uploads.
struct SGLFormat {
    unsigned short textureFormat = EPF_COUNT;
    unsigned short renderTargetFormat = EPF_COUNT;
    unsigned int internalFormat = 0;
    unsigned int format = 0;
    unsigned int type = 0;
    unsigned int renderBufferFormat = 0;
};

class CCommonGLDriverBase : public IVideoDriver {
public:
    // The screen: the window system's framebuffer, always the bottom of the target stack.
    class CFramebufferBase : public IFramebuffer {
    public:
        CFramebufferBase(IVideoDriver* driver, const core::dimension2d<int>& size) : IFramebuffer(driver, size) {}
        void setSize(const core::dimension2d<int>& size) { m_size = size; }
        bool unbind() override { return true; }
        unsigned int m_glName = 0;  // the framebuffer bound when the screen was created
    };

    CCommonGLDriverBase(IDevice* device, IShaderManager* shaderManager);

    static void hideExtensions(std::initializer_list<E_GL_EXTENSION> extensions);
    static void clearHiddenExtensions();

    bool queryExtension(E_GL_EXTENSION e) const { return m_extensions.test(e); }  // throws past 438
    void initExtensions(const unsigned char* extensionText);
    const SGLFormat& getGLFormat(E_PIXEL_FORMAT f) const { return m_formats[f < EPF_COUNT ? f : 0]; }
    unsigned getVersion() const { return m_version; }
    float getMaxAnisotropy() const { return m_maxAnisotropy; }
    unsigned char getMaxColorAttachments() const { return m_maxColorAttachments; }
    bool getFlipY() const { return m_flipY; }

    // Screen area and orientation (on the screen framebuffer, the bottom of the stack).
    SScreenArea getScreenArea() const;
    void setOrientation(E_ORIENTATION orientation);
    void setFramebufferScreen(const core::rect<int>& area);
    void onResize(const core::dimension2d<int>& physicalSize) override;
    bool fixUpScreenArea(const core::rect<int>& area, int& x, int& y, int& w, int& h, bool allowEmpty,
                         bool force) const;
    void fixUpProjectionMatrix(core::CMatrix4<float>& m) const;
    void set2DProjection();
    // Copies the source rectangle of the current target into a texture level at destination;
    // the checks and the clipping to the target's viewport come first, then the driver's copy.
    bool captureFramebuffer(const boost::intrusive_ptr<ITexture>& texture, const core::position2d<int>& destination,
                            const core::rect<int>& source, unsigned char level, E_TEXTURE_CUBE_MAP_FACE face,
                            bool flag);
    // A quad through the quad streams; colours: top left, bottom left, bottom right, top right.
    void drawQuads(const core::rect<int>& dest, const core::rect<float>& source, const SColor colors[4]);

    const core::CMatrix4<float>& getTransform(E_TRANSFORMATION_STATE state) const override
    {
        return m_transforms[state < ETS_COUNT ? state : ETS_WORLD];
    }
    E_PIXEL_FORMAT getColorFormat() const override { return m_colorFormat; }
    void getRenderState(detail::driver::SRenderState& state) const override;

    bool getBlendEnable() const override { return m_blend; }
    SColor getBlendColor() const override { return m_blendColor; }
    E_BLEND_EQUATION getBlendEquation() const override { return m_blendEquation; }
    void getBlendFunc(E_BLEND_FACTOR& src, E_BLEND_FACTOR& dst) const override
    {
        src = m_blendSrc;
        dst = m_blendDst;
    }
    void getColorMask(bool& r, bool& g, bool& b, bool& a) const override
    {
        r = m_colorMask[0], g = m_colorMask[1], b = m_colorMask[2], a = m_colorMask[3];
    }
    SColor getClearColor() const override { return m_clearColor; }
    bool getCullFaceEnable() const override { return m_cull; }
    E_FACE_SIDE getCullFace() const override { return m_cullFace; }
    E_FACE_WINDING getFrontFace() const override { return m_frontFace; }
    bool getDepthTestEnable() const override { return m_depthTest; }
    E_COMPARE_FUNC getDepthFunc() const override { return m_depthFunc; }
    bool getDepthMask() const override { return m_depthMask; }
    float getClearDepth() const override { return m_clearDepth; }
    void getDepthRange(float& zNear, float& zFar) const override
    {
        zNear = m_depthNear;
        zFar = m_depthFar;
    }
    bool getDitherEnable() const override { return m_dither; }
    float getLineWidth() const override { return m_lineWidth; }
    float getPointSize() const override { return m_pointSize; }
    E_POLYGON_MODE getPolygonModeFront() const override { return m_polygonModeFront; }
    E_POLYGON_MODE getPolygonModeBack() const override { return m_polygonModeBack; }
    bool getPolygonOffsetFillEnable() const override { return m_offsetFill; }
    bool getPolygonOffsetLineEnable() const override { return m_offsetLine; }
    bool getPolygonOffsetPointEnable() const override { return m_offsetPoint; }
    void getPolygonOffset(float& factor, float& units) const override
    {
        factor = m_offsetFactor;
        units = m_offsetUnits;
    }
    bool getSampleAlphaToCoverageEnable() const override { return m_alphaToCoverage; }
    bool getSampleCoverageEnable() const override { return m_sampleCoverage; }
    bool getSampleCoverageInvert() const override { return m_sampleCoverageInvert; }
    float getSampleCoverageValue() const override { return m_sampleCoverageValue; }
    bool getScissorEnable() const override { return m_scissorTest; }
    core::rect<int> getScissor() const override { return m_scissor; }
    bool getStencilTestEnable() const override { return m_stencilTest; }
    E_COMPARE_FUNC getStencilFunc() const override { return m_stencilFunc; }
    unsigned char getStencilFuncRef() const override { return m_stencilRef; }
    unsigned char getStencilFuncMask() const override { return m_stencilFuncMask; }
    E_STENCIL_OP getStencilOpFail() const override { return m_stencilOps[0]; }
    E_STENCIL_OP getStencilOpZFail() const override { return m_stencilOps[1]; }
    E_STENCIL_OP getStencilOpZPass() const override { return m_stencilOps[2]; }
    unsigned char getStencilMask() const override { return m_stencilMask; }
    unsigned char getClearStencil() const override { return m_clearStencil; }

protected:
    CFramebufferBase* screenFramebuffer() const;
    void setScreenArea(const SScreenArea& area);
    unsigned viewportKey() const;  // the orientation while only the screen is bound, else 0

    // The shadow of GL state.
    bool m_blend = false, m_cull = false, m_depthTest = true, m_depthMask = true, m_dither = false;
    bool m_offsetFill = false, m_offsetLine = false, m_offsetPoint = false;
    bool m_alphaToCoverage = false, m_sampleCoverage = false, m_sampleCoverageInvert = false;
    bool m_scissorTest = false, m_stencilTest = false;
    E_FACE_SIDE m_cullFace = EFS_BACK;
    E_FACE_WINDING m_frontFace = EFW_CCW;
    E_COMPARE_FUNC m_depthFunc = ECF_LEQUAL;
    E_POLYGON_MODE m_polygonModeFront = EPM_FILL, m_polygonModeBack = EPM_FILL;
    bool m_colorMask[4] = {true, true, true, true};
    E_COMPARE_FUNC m_stencilFunc = ECF_ALWAYS;
    unsigned char m_stencilRef = 0, m_stencilFuncMask = 255;
    E_STENCIL_OP m_stencilOps[3] = {ESO_KEEP, ESO_KEEP, ESO_KEEP};
    unsigned char m_stencilMask = 255, m_clearStencil = 0;
    E_BLEND_EQUATION m_blendEquation = EBE_ADD;
    E_BLEND_FACTOR m_blendSrc = EBF_ONE, m_blendDst = EBF_ZERO;
    SColor m_blendColor = SColor(0, 0, 0, 0);
    SColor m_clearColor = SColor(0, 0, 0, 255);
    float m_clearDepth = 1.f, m_depthNear = 0.f, m_depthFar = 1.f;
    float m_lineWidth = 1.f, m_pointSize = 1.f;
    float m_offsetFactor = 0.f, m_offsetUnits = 1.f;
    float m_sampleCoverageValue = 1.f;
    core::rect<int> m_scissor{0, 0, 0, 0};
    unsigned m_scissorKey = 0;
    core::rect<int> m_viewport{0, 0, 0, 0};
    unsigned m_viewportKey = 0;
    unsigned m_bufferBinding[EBT_COUNT] = {};
    unsigned m_activeTexture = 0;
    unsigned m_unpackAlignment = 4;
    unsigned m_clientArrays = 0;  // bit 1 + u texture coordinates of unit u, 17 normals, 18 colours

    E_PIXEL_FORMAT m_colorFormat = EPF_R8G8B8;
    core::CMatrix4<float> m_transforms[ETS_COUNT];
    core::CMatrix4<float> m_savedTransforms[ETS_COUNT];
    unsigned char m_merge2D = 0;
    struct SQuadVertex {
        float u, v;
        SColor color;
        float x, y, z;
    };
    SQuadVertex m_quad[4] = {};
    ITexture* m_boundTextures[4][4] = {};  // by type, then unit
    bool m_flipY = false;
    unsigned char m_maxColorAttachments = 0;
    unsigned m_version = 0;
    float m_maxAnisotropy = 0.f;
    SGLFormat m_formats[EPF_COUNT];
    std::bitset<EGLE_COUNT> m_extensions;
};

}  // namespace pravik::video
