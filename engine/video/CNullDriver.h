#pragma once
// The driver that draws nothing: every manager, transform, render target, texture and buffer
// exists (textures and buffers keep client memory), but nothing is uploaded or rasterised.
// The second constructor shares the managers of another driver, which must outlive it.

#include "engine/core/CMatrix4.h"
#include "engine/video/image/CImage.h"
#include "engine/video/CLight.h"
#include "engine/video/ITexture.h"
#include "engine/video/IVideoDriver.h"

namespace pravik::video {

class CNullDriver : public IVideoDriver {
public:
    class CTexture : public ITexture {
    public:
        CTexture(const char* name, IVideoDriver* driver, const STextureDesc& desc) : ITexture(name, driver, desc) {}
        bool bindImpl(bool) override { m_dirtyFlags &= ~(ETDF_DATA | ETDF_MIPMAPS); return false; }
        void unbindImpl() override {}
        void* mapImpl(unsigned char, E_TEXTURE_CUBE_MAP_FACE, unsigned char) override { return nullptr; }
        void unmapImpl() const override {}
        void* getMappedPtr() const override { return nullptr; }
        void generateMipmapsImpl() override {}
    };

    class CBuffer : public IBuffer {
    public:
        CBuffer(E_BUFFER_TYPE type, E_BUFFER_USAGE usage, unsigned size, void* data, unsigned char flags)
            : IBuffer(type, usage, size, data, flags) {}
        void bindImpl(bool) override {}
        void unbindImpl() override {}
        void* mapImpl(unsigned int) const override { return nullptr; }
        void unmapImpl() const override {}
        void* getMappedPtr() const override { return nullptr; }
        boost::intrusive_ptr<IBuffer> cloneImpl() const override
        {
            return new CBuffer(getType(), getUsage(), getSize(), getData(), 0);
        }
    };

    class CFramebuffer : public IFramebuffer {
    public:
        CFramebuffer(IVideoDriver* driver, const core::dimension2d<int>& size) : IFramebuffer(driver, size) {}
        bool bind() override { return true; }
        bool unbind() override { return true; }
    };

    explicit CNullDriver(IDevice* device, const core::dimension2d<int>& screenSize = {600, 1024});
    explicit CNullDriver(IVideoDriver* other);
    ~CNullDriver() override;

    bool initDriver();
    void printVersion() const;

    bool beginScene() override { IVideoDriver::beginScene(); return true; }
    bool endScene() override { return IVideoDriver::endScene(); }
    bool beginScene2D() override { return true; }
    bool endScene2D() override { return true; }
    bool swapBuffers(int) override { return true; }
    void clearBuffers(int) override {}
    void draw2DLine(const core::position2d<int>&, const core::position2d<int>&, SColor) override {}
    void draw2DRectangle(const core::rect<int>&, const core::rect<int>&, const SColor*, const core::rect<int>*) override {}
    unsigned drawImpl(const boost::intrusive_ptr<CVertexStreams>&, const CPrimitiveStream&, CDriverBinding**) override { return 0; }
    bool captureFramebufferImpl(const boost::intrusive_ptr<ITexture>&, const core::position2d<int>&, const core::rect<int>&,
                                unsigned char, E_TEXTURE_CUBE_MAP_FACE, bool) override { return false; }
    bool checkDriverReset() override { return false; }
    boost::intrusive_ptr<CImage> createScreenShot() override { return nullptr; }
    void* createRenderBuffer(const core::dimension2d<int>&, E_PIXEL_FORMAT) override { return nullptr; }
    boost::intrusive_ptr<IRenderTarget> createRenderTarget(const boost::intrusive_ptr<ITexture>&, unsigned int) override { return nullptr; }
    boost::intrusive_ptr<IRenderTarget> createMultipleRenderTarget() override { return nullptr; }
    boost::intrusive_ptr<IBuffer> createBuffer(E_BUFFER_TYPE type, E_BUFFER_USAGE usage, unsigned size, void* data, bool own) override
    {
        return new CBuffer(type, usage, size, data, own ? 1 : 0);
    }
    boost::intrusive_ptr<ITexture> createTextureImpl(const char* name, const STextureDesc& desc) override
    {
        return new CTexture(name, this, desc);
    }
    E_DRIVER_TYPE getDriverType() const override { return EDT_NULL; }
    E_PIXEL_FORMAT getColorFormat() const override { return EPF_R5G6B5; }
    unsigned getMaxUserClipPlanes() const override { return 0; }
    void setTransform(E_TRANSFORMATION_STATE state, const core::CMatrix4<float>& m) override
    {
        if (state < ETS_COUNT) m_transforms[state] = m;
    }
    const core::CMatrix4<float>& getTransform(E_TRANSFORMATION_STATE state) const override
    {
        return m_transforms[state < ETS_COUNT ? state : ETS_WORLD];
    }
    void restoreShadowState() override {}
    void setViewportImpl(const core::rect<int>&) override {}
    void getRenderState(detail::driver::SRenderState&) const override {}
    void setRenderState(const detail::driver::SRenderState&) override {}
    void commitCurrentMaterial() override {}
    void commitMaterialRenderer(const boost::intrusive_ptr<CMaterialRenderer>&) override {}
    void onMaterialDestroyed(CMaterial* material) override { IVideoDriver::onMaterialDestroyed(material); }

    // What the batch-compiling driver overrides.
    virtual bool setRenderTarget(const boost::intrusive_ptr<ITexture>&, int) { return false; }
    virtual void beginCompile(ICompileData*) {}
    virtual void endCompile() {}
    virtual void commitCurrentMaterial(bool) {}

    bool getBlendEnable() const override { return false; }
    void setBlendEnable(bool) override {}
    SColor getBlendColor() const override { return SColor(0, 0, 0, 0); }
    void setBlendColor(SColor) override {}
    E_BLEND_EQUATION getBlendEquation() const override { return EBE_ADD; }
    void setBlendEquation(E_BLEND_EQUATION) override {}
    void getBlendFunc(E_BLEND_FACTOR& src, E_BLEND_FACTOR& dst) const override { src = EBF_ONE; dst = EBF_ZERO; }
    void setBlendFunc(E_BLEND_FACTOR, E_BLEND_FACTOR) override {}
    void getColorMask(bool& r, bool& g, bool& b, bool& a) const override { r = g = b = a = true; }
    void setColorMask(bool, bool, bool, bool) override {}
    SColor getClearColor() const override { return SColor(0, 0, 0, 0); }
    void setClearColor(SColor) override {}
    bool getCullFaceEnable() const override { return false; }
    void setCullFaceEnable(bool) override {}
    E_FACE_SIDE getCullFace() const override { return EFS_BACK; }
    void setCullFace(E_FACE_SIDE) override {}
    E_FACE_WINDING getFrontFace() const override { return EFW_CCW; }
    void setFrontFace(E_FACE_WINDING) override {}
    bool getDepthTestEnable() const override { return false; }
    void setDepthTestEnable(bool) override {}
    E_COMPARE_FUNC getDepthFunc() const override { return ECF_LESS; }
    void setDepthFunc(E_COMPARE_FUNC) override {}
    bool getDepthMask() const override { return true; }
    void setDepthMask(bool) override {}
    float getClearDepth() const override { return 0.f; }
    void setClearDepth(float) override {}
    void getDepthRange(float& zNear, float& zFar) const override { zNear = 0.f; zFar = 1.f; }
    void setDepthRange(float, float) override {}
    bool getDitherEnable() const override { return false; }
    void setDitherEnable(bool) override {}
    float getLineWidth() const override { return 1.f; }
    void setLineWidth(float) override {}
    float getPointSize() const override { return 1.f; }
    void setPointSize(float) override {}
    E_POLYGON_MODE getPolygonModeFront() const override { return EPM_FILL; }
    void setPolygonModeFront(E_POLYGON_MODE) override {}
    E_POLYGON_MODE getPolygonModeBack() const override { return EPM_FILL; }
    void setPolygonModeBack(E_POLYGON_MODE) override {}
    bool getPolygonOffsetFillEnable() const override { return false; }
    void setPolygonOffsetFillEnable(bool) override {}
    bool getPolygonOffsetLineEnable() const override { return false; }
    void setPolygonOffsetLineEnable(bool) override {}
    bool getPolygonOffsetPointEnable() const override { return false; }
    void setPolygonOffsetPointEnable(bool) override {}
    void getPolygonOffset(float& factor, float& units) const override { factor = 0.f; units = 1.f; }
    void setPolygonOffset(float, float) override {}
    bool getSampleAlphaToCoverageEnable() const override { return false; }
    void setSampleAlphaToCoverageEnable(bool) override {}
    bool getSampleCoverageEnable() const override { return false; }
    void setSampleCoverageEnable(bool) override {}
    bool getSampleCoverageInvert() const override { return false; }
    void setSampleCoverageInvert(bool) override {}
    float getSampleCoverageValue() const override { return 0.f; }
    void setSampleCoverageValue(float) override {}
    bool getScissorEnable() const override { return false; }
    void setScissorEnable(bool) override {}
    core::rect<int> getScissor() const override;
    void setScissor(const core::rect<int>&) override {}
    bool getStencilTestEnable() const override { return false; }
    void setStencilTestEnable(bool) override {}
    E_COMPARE_FUNC getStencilFunc() const override { return ECF_ALWAYS; }
    void setStencilFunc(E_COMPARE_FUNC) override {}
    unsigned char getStencilFuncRef() const override { return 0; }
    void setStencilFuncRef(unsigned char) override {}
    unsigned char getStencilFuncMask() const override { return 0xff; }
    void setStencilFuncMask(unsigned char) override {}
    E_STENCIL_OP getStencilOpFail() const override { return ESO_KEEP; }
    void setStencilOpFail(E_STENCIL_OP) override {}
    E_STENCIL_OP getStencilOpZFail() const override { return ESO_KEEP; }
    void setStencilOpZFail(E_STENCIL_OP) override {}
    E_STENCIL_OP getStencilOpZPass() const override { return ESO_KEEP; }
    void setStencilOpZPass(E_STENCIL_OP) override {}
    unsigned char getStencilMask() const override { return 0xff; }
    void setStencilMask(unsigned char) override {}
    unsigned char getClearStencil() const override { return 0; }
    void setClearStencil(unsigned char) override {}

protected:
    core::CMatrix4<float> m_transforms[ETS_COUNT];
    core::dimension2d<int> m_screenSize;
    bool m_ownsData = false;
};

CNullDriver* createNullDriver(IDevice* device, const core::dimension2d<int>& screenSize = {600, 1024});  // count 1

}  // namespace pravik::video
