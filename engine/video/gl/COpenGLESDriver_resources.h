#pragma once
// The GL objects behind the driver's resources. Each is created on its first bind and
// released by unbindImpl or the destructor; the client copy kept by the base classes is
// uploaded whenever it is dirty.

#include "engine/video/gl/COpenGLESDriver.h"
#include "engine/video/gl/GLDispatch.h"

namespace pravik::video {

class COpenGLESDriver::CBuffer : public IBuffer {
public:
    CBuffer(COpenGLESDriver* driver, E_BUFFER_TYPE type, E_BUFFER_USAGE usage, unsigned size, void* data,
            unsigned char flags)
        : IBuffer(type, usage, size, data, flags), m_driver(driver) {}
    ~CBuffer() override;

    void bindImpl(bool releaseClient) override;
    void unbindImpl() override;
    void* mapImpl(unsigned int access) const override;
    void unmapImpl() const override;
    void* getMappedPtr() const override { return m_mapped; }
    boost::intrusive_ptr<IBuffer> cloneImpl() const override;

    void update();
    void makeCurrent();  // uploads when dirty, then binds through the cache
    unsigned getGLName() const { return m_name; }

private:
    void fallBackToClientMemory();

    COpenGLESDriver* m_driver;
    unsigned m_name = 0;
    mutable void* m_mapped = nullptr;
};

class COpenGLESDriver::CTexture : public ITexture {
public:
    CTexture(const char* name, COpenGLESDriver* driver, const STextureDesc& desc) : ITexture(name, driver, desc),
        m_gl(driver) {}
    ~CTexture() override;

    bool bindImpl(bool releaseClientData) override;
    void unbindImpl() override;
    void* mapImpl(unsigned char access, E_TEXTURE_CUBE_MAP_FACE face, unsigned char level) override;
    void unmapImpl() const override {}
    void* getMappedPtr() const override { return nullptr; }
    void generateMipmapsImpl() override;

    bool update();
    bool updateData(bool create);
    void updateParameters();
    unsigned getGLName() const { return m_name; }
    void setGLName(unsigned name) { m_name = name; }   // a name made outside the driver (2D upload)
    GLenum getGLTarget() const;

private:
    COpenGLESDriver* m_gl;
    unsigned m_name = 0;
};

// A render buffer: storage for a render-target attachment that is never sampled.
class COpenGLESDriver::CRenderBuffer : public IReferenceCounted {
public:
    CRenderBuffer(COpenGLESDriver* driver, E_PIXEL_FORMAT format, const core::dimension2d<int>& size)
        : IReferenceCounted(1), m_driver(driver), m_format(format), m_size(size) {}
    ~CRenderBuffer() override;
    void bind();
    void unbind();
    E_PIXEL_FORMAT getPixelFormat() const { return m_format; }
    const core::dimension2d<int>& getSize() const { return m_size; }
    unsigned getGLName() const { return m_name; }

private:
    COpenGLESDriver* m_driver;
    E_PIXEL_FORMAT m_format;
    core::dimension2d<int> m_size;
    unsigned m_name = 0;
};

// An off-screen target: up to the driver's colour attachment count, plus depth and stencil.
// Attachments must share one size and one colour format; the packed depth-stencil format
// fills both slots with one object or neither.
class COpenGLESDriver::CRenderTarget : public IRenderTarget {
public:
    enum E_ATTACHMENT_TYPE { EAT_COLOR = 0, EAT_DEPTH, EAT_STENCIL, EAT_DEPTH_STENCIL };

    explicit CRenderTarget(COpenGLESDriver* driver) : IRenderTarget(driver, {-1, -1}), m_gl(driver)
    {
        m_viewport = core::rect<int>(0, 0, -1, -1);
    }
    ~CRenderTarget() override;

    bool bind() override;
    bool unbind() override;
    bool addTarget(E_ATTACHMENT_TYPE type, CRenderBuffer* buffer);
    bool addTarget(E_ATTACHMENT_TYPE type, const boost::intrusive_ptr<ITexture>& texture,
                   E_TEXTURE_CUBE_MAP_FACE face, unsigned level);
    // Replace attachment index of the type (colour index, or 0 for depth and stencil).
    bool setTarget(E_ATTACHMENT_TYPE type, CRenderBuffer* buffer, unsigned index);
    bool setTarget(E_ATTACHMENT_TYPE type, const boost::intrusive_ptr<ITexture>& texture,
                   E_TEXTURE_CUBE_MAP_FACE face, unsigned level, unsigned index);
    bool removeTarget(E_ATTACHMENT_TYPE type, unsigned index);
    unsigned getTargetCount(E_ATTACHMENT_TYPE type) const;
    E_PIXEL_FORMAT getColorFormat() const { return E_PIXEL_FORMAT(m_colorFormat); }
    unsigned getGLName() const { return m_name; }
    GLenum getStatus() const { return m_status; }

private:
    struct SAttachment {
        unsigned short kind = 255;  // 0 texture, 1 render buffer, 255 empty
        unsigned char face = 0;
        unsigned char level = 0;
        IReferenceCounted* object = nullptr;  // one reference held
        void reset();
        E_PIXEL_FORMAT format() const;
    };
    static constexpr unsigned Add = 0xffffffffu;  // index meaning: a new attachment
    SAttachment* chooseSlot(E_ATTACHMENT_TYPE type, E_PIXEL_FORMAT format, const core::dimension2d<int>& size,
                            const void* object, unsigned index);
    bool attach(E_ATTACHMENT_TYPE type, CRenderBuffer* buffer, unsigned index);
    bool attach(E_ATTACHMENT_TYPE type, const boost::intrusive_ptr<ITexture>& texture, E_TEXTURE_CUBE_MAP_FACE face,
                unsigned level, unsigned index);
    void compile(GLenum point, const SAttachment& a);
    bool needsCompile() const;

    COpenGLESDriver* m_gl;
    SAttachment m_color[4];
    SAttachment m_depth;
    SAttachment m_stencil;
    unsigned char m_colorFormat = EPF_COUNT;
    unsigned char m_colorCount = 0;
    bool m_dirty = true;
    unsigned m_name = 0;
    GLenum m_status = 0;
};

class COpenGLESDriver::CFramebuffer : public CCommonGLDriverBase::CFramebufferBase {
public:
    CFramebuffer(COpenGLESDriver* driver, const core::dimension2d<int>& size);
    bool bind() override;

private:
    COpenGLESDriver* m_gl;
};

}  // namespace pravik::video
