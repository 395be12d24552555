// Buffers, textures, render buffers, render targets and the screen framebuffer of the GL ES
// driver, with the binding caches that keep redundant binds away from GL.

#include <algorithm>
#include <cstring>

#include "engine/os/Printer.h"
#include "engine/video/gl/COpenGLESDriver_resources.h"
#include "engine/video/image/pixel_format.h"

namespace pravik::video {

namespace {

GLenum bufferTarget(E_BUFFER_TYPE t)
{
    return t == EBT_VERTEX ? GL_ARRAY_BUFFER : t == EBT_INDEX ? GL_ELEMENT_ARRAY_BUFFER : 0;
}
GLenum bufferUsage(unsigned u)
{
    return u == 0 ? GL_STATIC_DRAW : u <= 2 ? GL_DYNAMIC_DRAW : 0;
}
const GLenum Filters[] = {GL_NEAREST, GL_LINEAR, GL_NEAREST_MIPMAP_NEAREST, GL_LINEAR_MIPMAP_NEAREST,
                          GL_NEAREST_MIPMAP_LINEAR, GL_LINEAR_MIPMAP_LINEAR, GL_NEAREST, GL_NEAREST};
GLenum wrap(E_TEXTURE_CLAMP c)
{
    return c == ETC_REPEAT ? GL_REPEAT : c == ETC_MIRROR ? GL_MIRRORED_REPEAT_OES : GL_CLAMP_TO_EDGE;
}
bool isCompressed(E_PIXEL_FORMAT f)
{
    return pixel_format::desc(f).Flags & EPFF_COMPRESSED;
}
bool isPowerOfTwo(unsigned v)
{
    return v && !(v & (v - 1));
}
void clearGLErrors()
{
    for (int i = 0; i < 8 && g_gl.glGetError() != GL_NO_ERROR; ++i) {
    }
}
template <class E>
const char* enumName(E value, unsigned count)
{
    const char* const* names = getStringsInternal((E*)nullptr);
    return unsigned(value) < count && names[value] ? names[value] : "unknown";
}

}  // namespace

// --- driver side ------------------------------------------------------------------------------

void COpenGLESDriver::bindBuffer(E_BUFFER_TYPE type, unsigned name)
{
    const GLenum target = bufferTarget(type);
    if (!target || m_bufferBinding[type] == name) return;
    g_gl.glBindBuffer(target, name);
    m_bufferBinding[type] = name;
}

void COpenGLESDriver::setActiveTexture(unsigned unit)
{
    if (unit == m_activeTexture) return;
    g_gl.glActiveTexture(GL_TEXTURE0 + unit);
    m_activeTexture = unit;
}

void COpenGLESDriver::setUnpackAlignment(unsigned alignment)
{
    if (alignment == m_unpackAlignment) return;
    g_gl.glPixelStorei(GL_UNPACK_ALIGNMENT, GLint(alignment));
    m_unpackAlignment = alignment;
}

void COpenGLESDriver::setFlipped(bool flipped)
{
    if (flipped == m_flipY) return;
    m_flipY = flipped;
    g_gl.glFrontFace((m_frontFace == EFW_CCW) != flipped ? GL_CCW : GL_CW);
    const core::CMatrix4<float> projection = m_transforms[ETS_PROJECTION];
    setTransform(ETS_PROJECTION, projection);
}

boost::intrusive_ptr<IBuffer> COpenGLESDriver::createBuffer(E_BUFFER_TYPE type, E_BUFFER_USAGE usage, unsigned size,
                                                            void* data, bool own)
{
    return new CBuffer(this, type, usage, size, data, own ? EBUF_OWNS_DATA : 0);
}

const unsigned char* COpenGLESDriver::setBuffer(IBuffer* buffer)
{
    if (!buffer) return nullptr;
    auto* b = static_cast<CBuffer*>(buffer);
    b->makeCurrent();
    return b->getUsage() == EBU_CLIENT_ONLY ? static_cast<const unsigned char*>(b->getData()) : nullptr;
}

bool COpenGLESDriver::setTexture(unsigned unit, ITexture* texture, E_TEXTURE_TYPE type)
{
    if (unit >= m_textureUnitCount || type >= ETT_COUNT) return false;
    ITexture*& slot = m_boundTextures[type][unit];
    if (texture != slot) {
        slot = texture;
        if (!texture) return true;
        ++m_textureBindings;
        setActiveTexture(unit);
        auto* t = static_cast<CTexture*>(texture);
        if (t->getStateFlags() & ETSF_DRIVER_OBJECT) {
            g_gl.glBindTexture(t->getGLTarget(), t->getGLName());
            t->update();
        } else {
            t->bind(false);
        }
        setTextureLODBiasTexEnv(texture);
        return true;
    }
    if (texture && (texture->getDirtyFlags() & ETDF_ALL)) {
        setActiveTexture(unit);
        static_cast<CTexture*>(texture)->update();
    }
    return true;
}

bool COpenGLESDriver::disableTextures(unsigned firstUnit)
{
    bool ok = true;
    for (unsigned u = firstUnit; u < 4; ++u)
        for (unsigned t = 0; t < ETT_COUNT; ++t)
            if (u < m_textureUnitCount) ok &= setTexture(u, nullptr, E_TEXTURE_TYPE(t));
    return ok;
}

boost::intrusive_ptr<ITexture> COpenGLESDriver::createTextureImpl(const char* name, const STextureDesc& desc)
{
    STextureDesc d = desc;
    const char* typeName = enumName(d.type, ETT_COUNT);
    if (queryExtension(EGLE_APPLE_texture_2D_limited_npot) && d.type != ETT_2D && d.type != ETT_RECTANGLE &&
        (!isPowerOfTwo(unsigned(d.width)) || !isPowerOfTwo(d.height) || (d.type == ETT_3D && !isPowerOfTwo(d.depth)))) {
        os::Printer::logf(ELL_ERROR, "creating %s: %s NPOT (%dx%dx%u) texture not supported", name, typeName, d.width,
                          int(d.height), d.depth);
        return nullptr;
    }
    const unsigned flags = pixel_format::desc(d.format).Flags;
    if ((flags & (EPFF_DEPTH | EPFF_STENCIL)) && d.type != ETT_2D && d.type != ETT_CUBE_MAP) {
        os::Printer::logf(ELL_ERROR, "creating %s: %s formats can only be used with 2D textures", name,
                          pixel_format::getName(d.format));
        return nullptr;
    }
    const SGLFormat& row = getGLFormat(d.format);
    const unsigned short wanted = d.isRenderTarget ? row.renderTargetFormat : row.textureFormat;
    if (wanted >= EPF_COUNT) {
        os::Printer::logf(ELL_ERROR, "creating %s: pixel format %s not supported", name,
                          pixel_format::getName(d.format));
        return nullptr;
    }
    if (wanted != d.format) {
        os::Printer::logf(ELL_WARNING, "creating %s: %s is not a supported %s pixel format; using %s instead", name,
                          pixel_format::getName(d.format), d.isRenderTarget ? "render target" : "texture",
                          pixel_format::getName(E_PIXEL_FORMAT(wanted)));
        d.format = E_PIXEL_FORMAT(wanted);
    }
    if (d.layout == ETL_TILED_32) {
        os::Printer::logf(ELL_ERROR, "creating %s: %s layout not supported", name, enumName(d.layout, ETL_COUNT));
        return nullptr;
    }
    if (d.layout == ETL_SWIZZLED &&
        (!isPowerOfTwo(unsigned(d.width)) || !isPowerOfTwo(d.height) || !isPowerOfTwo(d.depth))) {
        os::Printer::logf(ELL_ERROR, "creating %s: swizzled textures must have power-of-two size (provided: %dx%dx%u)",
                          name, d.width, int(d.height), d.depth);
        return nullptr;
    }
    if (d.layout != ETL_LINEAR) {
        os::Printer::logf(ELL_WARNING, "creating %s: %s layout not supported (will convert to linear)", name,
                          enumName(d.layout, ETL_COUNT));
        d.layout = ETL_LINEAR;
    }
    return new CTexture(name, this, d);
}

void* COpenGLESDriver::createRenderBuffer(const core::dimension2d<int>& size, E_PIXEL_FORMAT format)
{
    if (!queryFeature(EVDF_RENDER_BUFFER)) return nullptr;
    const unsigned short use = getGLFormat(format).renderTargetFormat;
    if (use >= EPF_COUNT) {
        os::Printer::log("Render buffer format not supported", pixel_format::getName(format), ELL_ERROR);
        return nullptr;
    }
    if (use != format) {
        os::Printer::logf(ELL_ERROR, "Render buffer format not supported: using %s instead of %s",
                          pixel_format::getName(E_PIXEL_FORMAT(use)), pixel_format::getName(format));
    }
    auto* buffer = new CRenderBuffer(this, E_PIXEL_FORMAT(use), size);
    m_renderBuffers.push_back(buffer);
    return buffer;
}

boost::intrusive_ptr<IRenderTarget> COpenGLESDriver::createRenderTarget(const boost::intrusive_ptr<ITexture>& texture,
                                                                        unsigned level)
{
    if (!texture) return nullptr;
    const E_PIXEL_FORMAT f = texture->getPixelFormat();
    const unsigned short rt = getGLFormat(f).renderTargetFormat;
    if (rt != f) {
        char text[128];
        std::snprintf(text, sizeof text, "%s (%s is suggested instead)", pixel_format::getName(f),
                      rt < EPF_COUNT ? pixel_format::getName(E_PIXEL_FORMAT(rt)) : "unknown");
        os::Printer::log("Texture has an unsupported render target pixel format", text, ELL_ERROR);
        return nullptr;
    }
    boost::intrusive_ptr<CRenderTarget> target(new CRenderTarget(this));
    if (!target->addTarget(CRenderTarget::EAT_COLOR, texture, ETCMF_POSITIVE_X, level)) return nullptr;
    return target;
}

boost::intrusive_ptr<IRenderTarget> COpenGLESDriver::createMultipleRenderTarget()
{
    return new CRenderTarget(this);
}

// --- buffers ----------------------------------------------------------------------------------

COpenGLESDriver::CBuffer::~CBuffer()
{
    if (m_flags & EBUF_DEVICE_MAPPING) unmapImpl();
    if (m_flags & EBUF_DEVICE_COPY) unbindImpl();
}

void COpenGLESDriver::CBuffer::fallBackToClientMemory()
{
    g_gl.glDeleteBuffers(1, &m_name);
    if (m_driver->m_bufferBinding[m_type] == m_name) m_driver->m_bufferBinding[m_type] = 0;
    m_name = 0;
    if (m_usage != EBU_CLIENT_ONLY) m_flags |= EBUF_UPLOAD_FAILED | (m_data ? EBUF_CLIENT_CHANGED : 0);
    m_usage = EBU_CLIENT_ONLY;
    os::Printer::log("GL buffer allocation failed", "keeping the data in client memory", ELL_WARNING);
}

void COpenGLESDriver::CBuffer::bindImpl(bool releaseClient)
{
    if (m_flags & EBUF_DEVICE_COPY) {
        if (m_flags & EBUF_CLIENT_CHANGED) update();
        if (releaseClient && m_data) {
            reset(m_size, nullptr, true);
            m_flags &= ~EBUF_CLIENT_CHANGED;
        }
        return;
    }
    const GLenum target = bufferTarget(getType());
    if (!target || m_usage == EBU_CLIENT_ONLY) return;
    g_gl.glGenBuffers(1, &m_name);
    if (!m_name) return;
    if (m_size) {
        m_driver->bindBuffer(getType(), m_name);
        clearGLErrors();
        g_gl.glBufferData(target, m_size, m_data, bufferUsage(m_usage));
        if (g_gl.glGetError() != GL_NO_ERROR) {
            fallBackToClientMemory();
            return;
        }
        if (releaseClient && m_data) reset(m_size, nullptr, true);
        m_flags &= ~EBUF_CLIENT_CHANGED;
    }
    m_flags |= EBUF_DEVICE_COPY;
}

void COpenGLESDriver::CBuffer::update()
{
    const GLenum target = bufferTarget(getType());
    m_driver->bindBuffer(getType(), m_name);
    clearGLErrors();
    if (m_flags & EBUF_CLIENT_CHANGED) {
        g_gl.glBufferData(target, m_size, m_data, bufferUsage(m_usage));
        if (g_gl.glGetError() != GL_NO_ERROR) {
            fallBackToClientMemory();
            m_flags &= ~EBUF_DEVICE_COPY;
            return;
        }
    } else if (m_data) {
        g_gl.glBufferSubData(target, 0, m_size, m_data);
    }
    m_flags &= ~EBUF_CLIENT_CHANGED;
}

void COpenGLESDriver::CBuffer::makeCurrent()
{
    if (m_flags & EBUF_CLIENT_CHANGED) {
        if (m_flags & EBUF_DEVICE_COPY) update();
        else if (m_usage != EBU_CLIENT_ONLY) bindImpl(false);
    }
    m_driver->bindBuffer(getType(), m_usage == EBU_CLIENT_ONLY ? 0 : m_name);
}

void COpenGLESDriver::CBuffer::unbindImpl()
{
    if (m_driver->m_bufferBinding[m_type] == m_name) m_driver->m_bufferBinding[m_type] = 0;
    if (m_name) g_gl.glDeleteBuffers(1, &m_name);
    m_name = 0;
    m_flags &= ~(EBUF_DEVICE_COPY | EBUF_UPLOAD_FAILED);
    if (m_size) {
        m_flags |= EBUF_CLIENT_CHANGED;
        m_flags &= ~EBUF_DEVICE_NEWER;
    }
}

void* COpenGLESDriver::CBuffer::mapImpl(unsigned int access) const
{
    const GLenum target = bufferTarget(getType());
    const GLenum glAccess = access == 2 ? GL_WRITE_ONLY_OES : access == 3 ? 0x88BA : 0;
    if (target && glAccess && (m_flags & EBUF_DEVICE_COPY) && !((access == 3 || access == 4) && m_data) &&
        g_gl.glMapBufferOES) {
        m_driver->bindBuffer(getType(), m_name);
        m_mapped = g_gl.glMapBufferOES(target, glAccess);
        if (m_mapped) {
            m_mapState = (unsigned char)(access * 32 + 1);
            m_flags |= EBUF_DEVICE_MAPPING;
            return m_mapped;
        }
    }
    if (!m_data) return nullptr;
    if (access <= 2) {
        m_mapState = 0x21;
    } else {
        if (m_usage != EBU_CLIENT_ONLY) m_flags |= EBUF_CLIENT_CHANGED;
        m_mapState = (unsigned char)((access == 3 ? access + 2 : access) * 32 + 1);
    }
    return m_data;
}

void COpenGLESDriver::CBuffer::unmapImpl() const
{
    m_driver->bindBuffer(getType(), m_name);
    if (g_gl.glUnmapBufferOES) g_gl.glUnmapBufferOES(bufferTarget(getType()));
    m_mapped = nullptr;
    m_flags &= ~EBUF_DEVICE_MAPPING;
}

boost::intrusive_ptr<IBuffer> COpenGLESDriver::CBuffer::cloneImpl() const
{
    if (m_data) return new CBuffer(m_driver, getType(), getUsage(), m_size, m_data, 0);
    const void* source = map(EBRMA_READ);
    unsigned char* copy = new unsigned char[m_size];
    if (source) std::memcpy(copy, source, m_size);
    else std::memset(copy, 0, m_size);
    unmap();
    return new CBuffer(m_driver, getType(), getUsage(), m_size, copy, EBUF_OWNS_DATA);
}

// --- textures ---------------------------------------------------------------------------------

COpenGLESDriver::CTexture::~CTexture()
{
    if (m_stateFlags & ETSF_DRIVER_OBJECT) unbindImpl();
}

GLenum COpenGLESDriver::CTexture::getGLTarget() const
{
    switch (getType()) {
    case ETT_3D: return 0x806F;
    case ETT_CUBE_MAP: return GL_TEXTURE_CUBE_MAP_OES;
    case ETT_RECTANGLE: return 0x84F5;
    default: return GL_TEXTURE_2D;
    }
}

bool COpenGLESDriver::CTexture::bindImpl(bool releaseClientData)
{
    COpenGLESDriver& d = *m_gl;
    const unsigned last = d.m_textureUnitCount - 1;
    bool result = false;
    // Bound where it is recorded on the active unit (setTexture records it first), else on
    // the last unit, which the driver keeps for work outside the materials.
    if (m_stateFlags & ETSF_DRIVER_OBJECT) {
        if (d.m_boundTextures[getType()][d.m_activeTexture] != this) {
            d.setActiveTexture(last);
            if (d.m_boundTextures[getType()][last] != this) {
                d.m_boundTextures[getType()][last] = this;
                g_gl.glBindTexture(getGLTarget(), m_name);
            }
        }
        updateParameters();
        result = updateData(false);
    } else {
        m_stateFlags &= ~ETSF_DRIVER_FAILED;
        g_gl.glGenTextures(1, &m_name);
        if (!m_name) {
            m_stateFlags |= ETSF_DRIVER_FAILED;
        } else {
            if (d.m_boundTextures[getType()][d.m_activeTexture] != this) {
                d.setActiveTexture(last);
                d.m_boundTextures[getType()][last] = this;
            }
            g_gl.glBindTexture(getGLTarget(), m_name);
            const E_TEXTURE_FILTER_TYPE minFilter = getMinFilter();
            const bool swapFilter = m_mipCount >= 2 && (!(m_stateFlags & ETSF_ONLY_LEVEL0) || !isCompressed(getPixelFormat())) &&
                                    minFilter <= 1;
            if (swapFilter) setField(12, 3, 2, ETDF_MIN_FILTER);
            m_stateFlags |= ETSF_DRIVER_OBJECT;
            updateParameters();
            if (m_dirtyFlags & ETDF_DATA) result = updateData(true);
            if (swapFilter) setField(12, 3, minFilter, ETDF_MIN_FILTER);
        }
    }
    if ((m_stateFlags & ETSF_DRIVER_FAILED) && m_name) {
        unbindImpl();
        m_stateFlags |= ETSF_DRIVER_FAILED;
        return false;
    }
    if (releaseClientData && m_clientData) setData(nullptr, true, (m_stateFlags & ETSF_ONLY_LEVEL0) != 0);
    return result;
}

void COpenGLESDriver::CTexture::updateParameters()
{
    const GLenum target = getGLTarget();
    if (m_dirtyFlags & ETDF_MIN_FILTER) {
        if (getMinFilter() >= 2 && (m_stateFlags & ETSF_ONLY_LEVEL0) &&
            (isCompressed(getPixelFormat()) || !m_gl->queryFeature(EVDF_MIP_MAP_GENERATION))) {
            os::Printer::logf(ELL_ERROR,
                              "texture %s: mipmap filtering with level 0 only data and %s not supported; using %s instead",
                              getName().c_str(),
                              isCompressed(getPixelFormat()) ? "compressed pixel format" : "no mipmap generation",
                              "Nearest");
            m_params &= ~(7u << 12);
        }
        g_gl.glTexParameteri(target, GL_TEXTURE_MIN_FILTER, GLint(Filters[getMinFilter()]));
    }
    if (m_dirtyFlags & ETDF_MAG_FILTER) g_gl.glTexParameteri(target, GL_TEXTURE_MAG_FILTER, GLint(Filters[getMagFilter()]));
    if (m_dirtyFlags & ETDF_WRAP_S) g_gl.glTexParameteri(target, GL_TEXTURE_WRAP_S, GLint(wrap(getWrapS())));
    if (m_dirtyFlags & ETDF_WRAP_T) g_gl.glTexParameteri(target, GL_TEXTURE_WRAP_T, GLint(wrap(getWrapT())));
    if ((m_dirtyFlags & ETDF_ANISOTROPY) && m_gl->queryFeature(E_VIDEO_DRIVER_FEATURE(17)))
        g_gl.glTexParameterf(target, GL_TEXTURE_MAX_ANISOTROPY_EXT, std::min(m_gl->getMaxAnisotropy(), m_anisotropy));
    if ((m_dirtyFlags & ETDF_MAX_LOD) && m_gl->queryExtension(EGLE_APPLE_texture_max_level)) {
        const bool linearMip = getMinFilter() == ETFT_NEAREST_MIPMAP_LINEAR || getMinFilter() == ETFT_LINEAR_MIPMAP_LINEAR;
        const float v = m_maxLod;
        const GLint n = linearMip ? GLint(v) + (float(GLint(v)) < v ? 1 : 0) : GLint(v + 0.5f);
        g_gl.glTexParameteri(target, 0x813D, n);
    }
    m_dirtyFlags &= ~ETDF_PARAMETERS;
}

bool COpenGLESDriver::CTexture::updateData(bool create)
{
    const E_PIXEL_FORMAT f = getPixelFormat();
    const SGLFormat& row = m_gl->getGLFormat(f);
    if (m_clientData) {
        const unsigned pitch = getPitch(0);
        m_gl->setUnpackAlignment(pitch & 1 ? 1 : pitch % 4 == 2 ? 2 : 4);
    }
    clearGLErrors();
    const bool compressed = isCompressed(f);
    const bool onlyLevel0 = m_stateFlags & ETSF_ONLY_LEVEL0;
    if (compressed && !create && !onlyLevel0 &&
        !(isPowerOfTwo(unsigned(m_width)) && isPowerOfTwo(unsigned(m_height)) && isPowerOfTwo(unsigned(m_depth))))
        create = true;
    const unsigned faces = getFaceCount();
    const unsigned levels = onlyLevel0 ? 1 : m_mipCount;
    bool failed = false;
    if (getType() != ETT_3D) {
        for (unsigned face = 0; face < faces; ++face)
            for (unsigned level = 0; level < levels; ++level) {
                if (!isLevelDirty(face, (unsigned char)level)) continue;
                const void* src = getClientPointer(face, (unsigned char)level);
                const GLsizei w = std::max(m_width >> level, 1), h = std::max(m_height >> level, 1);
                const GLenum target = getType() == ETT_CUBE_MAP ? GL_TEXTURE_CUBE_MAP_POSITIVE_X_OES + face
                                                                : getGLTarget();
                if (compressed) {
                    const GLsizei bytes = GLsizei(pixel_format::computeSizeInBytes(f, unsigned(w), unsigned(h)));
                    if (create)
                        g_gl.glCompressedTexImage2D(target, GLint(level), row.internalFormat, w, h, 0, bytes, src);
                    else if (src)
                        g_gl.glCompressedTexSubImage2D(target, GLint(level), 0, 0, w, h, row.internalFormat, bytes, src);
                } else if (create) {
                    g_gl.glTexImage2D(target, GLint(level), GLint(row.internalFormat), w, h, 0, row.format, row.type, src);
                } else if (src) {
                    g_gl.glTexSubImage2D(target, GLint(level), 0, 0, w, h, row.format, row.type, src);
                }
                if (g_gl.glGetError() != GL_NO_ERROR) failed = true;
            }
    }
    std::memset(getDirtyLevelBits(), 0, getDirtyLevelWordCount() * sizeof(unsigned));
    m_dirtyFlags &= ~(ETDF_DATA | ETDF_MIPMAPS);
    if (failed) {
        m_stateFlags |= ETSF_DRIVER_FAILED;
        os::Printer::log("texture upload refused by GL", getName().c_str(), ELL_ERROR);
        return false;
    }
    if (m_mipCount >= 2 && onlyLevel0) {
        if (m_clientData && !compressed) {
            if (m_gl->queryFeature(EVDF_MIP_MAP_GENERATION)) generateMipmapsImpl();
        } else if (compressed) {
            os::Printer::logf(ELL_WARNING,
                              "texture %s: mipmap generation with compressed pixel format not supported; provide full data",
                              getName().c_str());
        }
    }
    return true;
}

bool COpenGLESDriver::CTexture::update()
{
    if (m_dirtyFlags & ETDF_PARAMETERS) updateParameters();
    if (m_dirtyFlags & ETDF_DATA) return updateData(false);
    return false;
}

void COpenGLESDriver::CTexture::generateMipmapsImpl()
{
    COpenGLESDriver& d = *m_gl;
    const unsigned last = d.m_textureUnitCount - 1;
    d.setTexture(last, this, getType());
    d.setActiveTexture(last);
    if (!g_gl.glGenerateMipmapOES) return;
    if (getMinFilter() >= 2) {
        g_gl.glGenerateMipmapOES(getGLTarget());
    } else {
        g_gl.glTexParameteri(getGLTarget(), GL_TEXTURE_MIN_FILTER, GL_NEAREST_MIPMAP_NEAREST);
        g_gl.glGenerateMipmapOES(getGLTarget());
        g_gl.glTexParameteri(getGLTarget(), GL_TEXTURE_MIN_FILTER, GLint(Filters[getMinFilter()]));
    }
    if (!(m_stateFlags & ETSF_ONLY_LEVEL0)) m_dirtyFlags |= ETDF_MIPMAPS;
}

void COpenGLESDriver::CTexture::unbindImpl()
{
    COpenGLESDriver& d = *m_gl;
    for (unsigned u = 0; u < 4; ++u)
        if (d.m_boundTextures[getType()][u] == this) d.m_boundTextures[getType()][u] = nullptr;
    if (m_name) g_gl.glDeleteTextures(1, &m_name);
    m_name = 0;
    m_stateFlags &= ~(ETSF_DRIVER_OBJECT | ETSF_DRIVER_FAILED);
    m_dirtyFlags |= ETDF_NEW;
    markDirty();
}

void* COpenGLESDriver::CTexture::mapImpl(unsigned char access, E_TEXTURE_CUBE_MAP_FACE face, unsigned char level)
{
    // Maps the client copy, making one when there is none.
    if (!m_clientData) {
        setData(new unsigned char[getSizeInBytes()](), true, (m_stateFlags & ETSF_ONLY_LEVEL0) != 0);
        os::Printer::log("CTexture::mapImpl", "reallocating client data", ELL_WARNING);
    }
    m_dirtyFlags |= ETDF_DATA;
    const unsigned bit = unsigned(face) * m_mipCount + level;
    if (bit < getDirtyLevelWordCount() * 32) getDirtyLevelBits()[bit / 32] |= 1u << (bit % 32);
    m_mapState = (access & 1) ? 0xA1 : 0x81;
    m_mappedPlace = (unsigned char)(face | level << 3);
    if (face == 0 && level == 0) m_stateFlags |= ETSF_WHOLE_MAPPING;
    return getClientPointer(face, level);
}

// --- render buffers ---------------------------------------------------------------------------

COpenGLESDriver::CRenderBuffer::~CRenderBuffer()
{
    unbind();
    auto& list = m_driver->m_renderBuffers;
    auto it = std::find(list.begin(), list.end(), static_cast<void*>(this));
    if (it != list.end()) list.erase(it);
}

void COpenGLESDriver::CRenderBuffer::bind()
{
    if (m_name) return;
    g_gl.glGenRenderbuffersOES(1, &m_name);
    g_gl.glBindRenderbufferOES(GL_RENDERBUFFER_OES, m_name);
    g_gl.glRenderbufferStorageOES(GL_RENDERBUFFER_OES, m_driver->getGLFormat(m_format).renderBufferFormat,
                                  m_size.Width, m_size.Height);
}

void COpenGLESDriver::CRenderBuffer::unbind()
{
    if (m_name) g_gl.glDeleteRenderbuffersOES(1, &m_name);
    m_name = 0;
}

// --- render targets ---------------------------------------------------------------------------

void COpenGLESDriver::CRenderTarget::SAttachment::reset()
{
    if (object) object->drop();
    *this = SAttachment();
}

E_PIXEL_FORMAT COpenGLESDriver::CRenderTarget::SAttachment::format() const
{
    if (kind == 0) return static_cast<const ITexture*>(object)->getPixelFormat();
    if (kind == 1) return static_cast<const CRenderBuffer*>(object)->getPixelFormat();
    return EPF_COUNT;
}

COpenGLESDriver::CRenderTarget::~CRenderTarget()
{
    if (m_name) g_gl.glDeleteFramebuffersOES(1, &m_name);
    m_stencil.reset();
    m_depth.reset();
    for (int i = 3; i >= 0; --i) m_color[i].reset();
}

COpenGLESDriver::CRenderTarget::SAttachment* COpenGLESDriver::CRenderTarget::chooseSlot(
    E_ATTACHMENT_TYPE type, E_PIXEL_FORMAT format, const core::dimension2d<int>& size, const void* object,
    unsigned index)
{
    const bool adding = index == Add;
    if (m_size.Width < 0) {
        m_size = size;
        setViewport(core::rect<int>(0, 0, size.Width, size.Height));
    } else if (m_size != size) {
        return nullptr;
    }
    SAttachment* slot = nullptr;
    switch (type) {
    case EAT_COLOR:
        if (!adding) {
            if (index >= m_colorCount) {
                os::Printer::log("color attachment index out of bounds", ELL_INFORMATION);
                return nullptr;
            }
            if (m_colorCount == 1) m_colorFormat = (unsigned char)format;
            else if (format != m_colorFormat) return nullptr;
            slot = &m_color[index];
            break;
        }
        if (m_colorCount >= m_gl->getMaxColorAttachments() || m_colorCount >= 4) {
            os::Printer::log("Color attachment overflow!", ELL_WARNING);
            return nullptr;
        }
        if (m_colorCount == 0) m_colorFormat = (unsigned char)format;
        else if (format != m_colorFormat) return nullptr;
        slot = &m_color[m_colorCount++];
        break;
    case EAT_DEPTH:
        if (adding && m_depth.object) {
            os::Printer::log("depth attachement already added", ELL_ERROR);
            return nullptr;
        }
        if (format == EPF_DEPTH24_STENCIL8 && m_stencil.object && m_stencil.object != object) {
            os::Printer::log("invalid packed depth stencil attachment (does not match added stencil attachment)",
                             ELL_ERROR);
            return nullptr;
        }
        if (format != EPF_DEPTH24_STENCIL8 && m_stencil.object && m_stencil.format() == EPF_DEPTH24_STENCIL8) {
            os::Printer::log("invalid depth attachment (does not match added packed depth stencil attachment)",
                             ELL_ERROR);
            return nullptr;
        }
        slot = &m_depth;
        break;
    case EAT_STENCIL:
        if (adding && m_stencil.object) {
            os::Printer::log("stencil attachment already added", ELL_ERROR);
            return nullptr;
        }
        if (format == EPF_DEPTH24_STENCIL8 && m_depth.object && m_depth.object != object) {
            os::Printer::log("invalid packed depth stencil attachment (does not match added depth attachment)",
                             ELL_ERROR);
            return nullptr;
        }
        if (format != EPF_DEPTH24_STENCIL8 && m_depth.object && m_depth.format() == EPF_DEPTH24_STENCIL8) {
            os::Printer::log("invalid stencil attachment (does not match added packed depth stencil attachment)",
                             ELL_ERROR);
            return nullptr;
        }
        slot = &m_stencil;
        break;
    case EAT_DEPTH_STENCIL:
        if (format != EPF_DEPTH24_STENCIL8) {
            os::Printer::log("invalid depth stencil pixel format", ELL_ERROR);
            return nullptr;
        }
        if (!adding) {
            m_stencil.reset();
        } else if (m_depth.object || m_stencil.object) {
            os::Printer::log("depth or stencil attachment already added", ELL_ERROR);
            return nullptr;
        }
        slot = &m_depth;
        break;
    default:
        os::Printer::log("unknown attachment type", ELL_ERROR);
        return nullptr;
    }
    slot->reset();
    m_dirty = true;
    return slot;
}

bool COpenGLESDriver::CRenderTarget::addTarget(E_ATTACHMENT_TYPE type, CRenderBuffer* buffer)
{
    return attach(type, buffer, Add);
}

bool COpenGLESDriver::CRenderTarget::setTarget(E_ATTACHMENT_TYPE type, CRenderBuffer* buffer, unsigned index)
{
    return attach(type, buffer, index);
}

bool COpenGLESDriver::CRenderTarget::addTarget(E_ATTACHMENT_TYPE type, const boost::intrusive_ptr<ITexture>& texture,
                                               E_TEXTURE_CUBE_MAP_FACE face, unsigned level)
{
    return attach(type, texture, face, level, Add);
}

bool COpenGLESDriver::CRenderTarget::setTarget(E_ATTACHMENT_TYPE type, const boost::intrusive_ptr<ITexture>& texture,
                                               E_TEXTURE_CUBE_MAP_FACE face, unsigned level, unsigned index)
{
    return attach(type, texture, face, level, index);
}

bool COpenGLESDriver::CRenderTarget::attach(E_ATTACHMENT_TYPE type, CRenderBuffer* buffer, unsigned index)
{
    if (!buffer || !m_gl->queryFeature(EVDF_RENDER_BUFFER)) return false;
    SAttachment* slot = chooseSlot(type, buffer->getPixelFormat(), buffer->getSize(), buffer, index);
    if (!slot) return false;
    buffer->grab();
    slot->kind = 1;
    slot->object = buffer;
    if (type == EAT_DEPTH_STENCIL) {
        m_stencil.reset();
        m_stencil = *slot;
        buffer->grab();
    }
    return true;
}

bool COpenGLESDriver::CRenderTarget::attach(E_ATTACHMENT_TYPE type, const boost::intrusive_ptr<ITexture>& texture,
                                            E_TEXTURE_CUBE_MAP_FACE face, unsigned level, unsigned index)
{
    if (!texture || texture->getType() == ETT_3D) return false;
    if (type != EAT_COLOR && !m_gl->queryFeature(EVDF_RENDER_BUFFER)) return false;
    SAttachment* slot = chooseSlot(type, texture->getPixelFormat(),
                                   core::dimension2d<int>(texture->getWidth(), texture->getHeight()), texture.get(),
                                   index);
    if (!slot) return false;
    texture->grab();
    slot->kind = 0;
    slot->face = (unsigned char)face;
    slot->level = (unsigned char)level;
    slot->object = texture.get();
    if (type == EAT_DEPTH_STENCIL) {
        m_stencil.reset();
        m_stencil = *slot;
        texture->grab();
    }
    return true;
}

bool COpenGLESDriver::CRenderTarget::removeTarget(E_ATTACHMENT_TYPE type, unsigned index)
{
    switch (type) {
    case EAT_COLOR:
        if (index >= m_colorCount) return false;
        m_color[index].reset();
        for (unsigned i = index; i + 1 < m_colorCount; ++i) std::swap(m_color[i], m_color[i + 1]);
        --m_colorCount;
        break;
    case EAT_DEPTH: m_depth.reset(); break;
    case EAT_STENCIL: m_stencil.reset(); break;
    case EAT_DEPTH_STENCIL:
        if (m_depth.object != m_stencil.object) return false;
        m_depth.reset();
        m_stencil.reset();
        break;
    }
    m_dirty = true;
    return true;
}

unsigned COpenGLESDriver::CRenderTarget::getTargetCount(E_ATTACHMENT_TYPE type) const
{
    switch (type) {
    case EAT_COLOR: return m_colorCount;
    case EAT_DEPTH: return m_depth.object ? 1 : 0;
    case EAT_STENCIL: return m_stencil.object ? 1 : 0;
    case EAT_DEPTH_STENCIL: return m_depth.object && m_depth.object == m_stencil.object ? 1 : 0;
    }
    return 0;
}

bool COpenGLESDriver::CRenderTarget::needsCompile() const
{
    if (m_dirty || !m_colorCount) return true;
    auto missing = [](const SAttachment& a) {
        if (a.kind == 0) return !(static_cast<const ITexture*>(a.object)->getStateFlags() & ETSF_DRIVER_OBJECT);
        if (a.kind == 1) return static_cast<const CRenderBuffer*>(a.object)->getGLName() == 0;
        return false;
    };
    for (unsigned i = 0; i < m_colorCount; ++i)
        if (missing(m_color[i])) return true;
    return missing(m_depth) || missing(m_stencil);
}

void COpenGLESDriver::CRenderTarget::compile(GLenum point, const SAttachment& a)
{
    if (a.kind == 1) {
        auto* buffer = static_cast<CRenderBuffer*>(a.object);
        buffer->bind();
        g_gl.glFramebufferRenderbufferOES(GL_FRAMEBUFFER_OES, point, GL_RENDERBUFFER_OES, buffer->getGLName());
    } else if (a.kind == 0) {
        auto* texture = static_cast<CTexture*>(a.object);
        if ((texture->getDirtyFlags() & ~ETDF_MIPMAPS) || !(texture->getStateFlags() & ETSF_DRIVER_OBJECT))
            m_gl->setTexture(m_gl->getTextureUnitCount() - 1, texture, texture->getType());
        const GLenum target = texture->getType() == ETT_CUBE_MAP ? GL_TEXTURE_CUBE_MAP_POSITIVE_X_OES + a.face
                                                                 : texture->getGLTarget();
        g_gl.glFramebufferTexture2DOES(GL_FRAMEBUFFER_OES, point, target, texture->getGLName(), a.level);
    }
}

bool COpenGLESDriver::CRenderTarget::bind()
{
    m_gl->setViewportImpl(m_viewport);
    if (m_gl->queryFeature(EVDF_RENDER_BUFFER)) {
        if (needsCompile()) {
            if (!m_name) g_gl.glGenFramebuffersOES(1, &m_name);
            g_gl.glBindFramebufferOES(GL_FRAMEBUFFER_OES, m_name);
            for (unsigned i = 0; i < m_colorCount; ++i) compile(GL_COLOR_ATTACHMENT0_OES + i, m_color[i]);
            compile(GL_DEPTH_ATTACHMENT_OES, m_depth);
            compile(GL_STENCIL_ATTACHMENT_OES, m_stencil);
            m_status = g_gl.glCheckFramebufferStatusOES(GL_FRAMEBUFFER_OES);
            static const char* const Messages[] = {"Some attachments are incomplete", "Some attachments are missing",
                                                   nullptr, "Dimensions are not the same",
                                                   "Some attachments formats are not legal", "Draw buffer is not set",
                                                   "Read buffer is not set", "Framebuffer objects are not supported"};
            const unsigned k = m_status - 0x8CD6u;
            if (k < 8 && Messages[k]) os::Printer::log(Messages[k], ELL_ERROR);
            m_dirty = false;
        }
        g_gl.glBindFramebufferOES(GL_FRAMEBUFFER_OES, m_name);
    }
    m_gl->setFlipped(true);
    return true;
}

bool COpenGLESDriver::CRenderTarget::unbind()
{
    if (m_gl->queryFeature(EVDF_RENDER_BUFFER)) return true;
    // Without framebuffer objects the pass drew into the back buffer: copy it out.
    for (unsigned i = 0; i < m_colorCount; ++i) {
        if (m_color[i].kind != 0) continue;
        auto* texture = static_cast<CTexture*>(m_color[i].object);
        m_gl->setTexture(m_gl->getTextureUnitCount() - 1, texture, texture->getType());
        m_gl->setActiveTexture(m_gl->getTextureUnitCount() - 1);
        g_gl.glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 0, 0, texture->getWidth(), texture->getHeight(), 0);
        break;
    }
    return true;
}

// --- screen -----------------------------------------------------------------------------------

COpenGLESDriver::CFramebuffer::CFramebuffer(COpenGLESDriver* driver, const core::dimension2d<int>& size)
    : CFramebufferBase(driver, size), m_gl(driver)
{
    if (driver->queryFeature(EVDF_RENDER_BUFFER)) {
        GLint name = 0;
        g_gl.glGetIntegerv(GL_FRAMEBUFFER_BINDING_OES, &name);
        m_glName = unsigned(name);
    }
}

bool COpenGLESDriver::CFramebuffer::bind()
{
    if (m_gl->queryFeature(EVDF_RENDER_BUFFER)) g_gl.glBindFramebufferOES(GL_FRAMEBUFFER_OES, m_glName);
    else m_gl->clearBuffers(3);
    m_gl->setViewportImpl(m_viewport);
    m_gl->setFlipped(false);
    return true;
}

}  // namespace pravik::video
