#include "engine/video/gl/COpenGLESDriver.h"

#include <EGL/egl.h>

#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "engine/os/Printer.h"
#include "engine/video/gl/CFixedGLShaderManager.h"
#include "engine/video/image/CImage.h"
#include "engine/video/gl/COpenGLESDriver_resources.h"
#include "engine/video/gl/GLDispatch.h"
#include "engine/video/image/pixel_format.h"

namespace pravik::video {

COpenGLESDriver::COpenGLESDriver(IDevice* device, const core::dimension2d<int>& screenSize)
    : CCommonGLDriverBase(device, new CFixedGLShaderManager()), m_screenSize(screenSize)
{
    for (auto& a : m_lightAttenuation) a[0] = 1.f;
    for (auto& spot : m_lightSpot) spot[1] = 180.f;
}

COpenGLESDriver::~COpenGLESDriver()
{
    releaseDriverResources();
    clearImplementationDependentData();
}

COpenGLESDriver* createOpenGLES1Driver(IDevice* device, const core::dimension2d<int>& screenSize)
{
    // Every GL call below needs the application's context; without one there is no driver.
    if (eglGetCurrentContext() == EGL_NO_CONTEXT) {
        os::Printer::log("OpenGL|ES driver: no current EGL context", ELL_ERROR);
        return nullptr;
    }
    if (!loadGLDispatch()) return nullptr;
    auto* driver = new COpenGLESDriver(device, screenSize);
    if (!driver->initDriver()) {
        driver->drop();
        return nullptr;
    }
    return driver;
}

bool COpenGLESDriver::initDriver()
{
    return genericDriverInit(m_screenSize, false);
}

bool COpenGLESDriver::genericDriverInit(const core::dimension2d<int>& size, bool)
{
    if (!loadGLDispatch()) return false;
    const char* version = reinterpret_cast<const char*>(g_gl.glGetString(GL_VERSION));
    m_version = 0;
    if (version) {
        const char* p = version;
        while (*p && (*p < '0' || *p > '9')) ++p;
        unsigned major = 0, minor = 0;
        if (std::sscanf(p, "%u.%u", &major, &minor) >= 1) m_version = major * 100 + minor;
    }
    if (m_version <= 100)
        os::Printer::log("    Warning: OpenGL|ES driver version is not 1.1 or better.", ELL_WARNING);
    else
        os::Printer::log("    OpenGL|ES driver version is 1.1 or better.", ELL_INFORMATION);
    if (!doVersionCheck()) return false;

    initExtensions(g_gl.glGetString(GL_EXTENSIONS));
    if (queryExtension(EGLE_EXT_texture_filter_anisotropic))
        g_gl.glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &m_maxAnisotropy);

    GLint units = 1;
    g_gl.glGetIntegerv(GL_MAX_TEXTURE_UNITS, &units);
    m_textureUnitCount = units < 1 ? 1u : units > 4 ? 4u : unsigned(units);
    const bool fbo = queryExtension(EGLE_EXT_framebuffer_object) || queryExtension(EGLE_ARB_framebuffer_object) ||
                     queryExtension(EGLE_OES_framebuffer_object);
    const bool blendEquation = queryExtension(EGLE_OES_blend_subtract) || queryExtension(EGLE_EXT_blend_minmax);
    setFeature(E_VIDEO_DRIVER_FEATURE(0), true);
    setFeature(E_VIDEO_DRIVER_FEATURE(1), m_textureUnitCount > 1);
    setFeature(EVDF_MIP_MAP_GENERATION, fbo);
    setFeature(EVDF_RENDER_BUFFER, fbo);
    setFeature(EVDF_TEXTURE_NSQUARE, true);
    setFeature(EVDF_TEXTURE_NPOT, queryExtension(EGLE_ARB_texture_non_power_of_two) ||
                                      queryExtension(EGLE_OES_texture_npot) ||
                                      queryExtension(EGLE_APPLE_texture_2D_limited_npot));
    setFeature(EVDF_TEXTURE_3D, queryExtension(EGLE_EXT_texture3D) || queryExtension(EGLE_OES_texture_3D));
    setFeature(EVDF_TEXTURE_CUBE_MAP, queryExtension(EGLE_OES_texture_cube_map));
    setFeature(EVDF_TEXTURE_RECTANGLE,
               queryExtension(EGLE_ARB_texture_rectangle) || queryExtension(EGLE_NV_texture_rectangle));
    setFeature(E_VIDEO_DRIVER_FEATURE(12), true);
    setFeature(E_VIDEO_DRIVER_FEATURE(17), queryExtension(EGLE_EXT_texture_filter_anisotropic));
    setFeature(E_VIDEO_DRIVER_FEATURE(18), blendEquation);
    if (queryExtension(EGLE_OES_blend_func_separate)) {
        if (!blendEquation || queryExtension(EGLE_OES_blend_equation_separate))
            setFeature(E_VIDEO_DRIVER_FEATURE(19), true);
        else
            os::Printer::log("OpenGL|ES driver init", "separate blend func without separate blend equation not supported",
                             ELL_ERROR);
    }
    setFeature(EVDF_TEXTURE_COMMIT, true);
    m_maxColorAttachments = 1;
    fillFormatTable();

    os::Printer::log("Driver informations:", ELL_INFORMATION);
    if (version) {
        m_name = std::strstr(version, "OpenGL ") ? version : (std::string("OpenGL ") + version).c_str();
        os::Printer::log("    Driver ", m_name.c_str(), ELL_INFORMATION);
    }
    const char* renderer = reinterpret_cast<const char*>(g_gl.glGetString(GL_RENDERER));
    const char* vendor = reinterpret_cast<const char*>(g_gl.glGetString(GL_VENDOR));
    if (renderer && vendor) {
        os::Printer::log("    Renderer ", renderer, ELL_INFORMATION);
        os::Printer::log("    Vendor ", vendor, ELL_INFORMATION);
        m_vendorName = vendor;
    }

    m_maxLights = queryMaxLightCount();
    init((unsigned short)m_maxLights, (unsigned short)(m_maxLights < 8 ? m_maxLights : 8), 0);

    boost::intrusive_ptr<IRenderTarget> screen(new CFramebuffer(this, size));
    pushRenderTarget(screen);
    g_gl.glPixelStorei(GL_PACK_ALIGNMENT, 1);

    // Fixed-function start-up.
    const float black[4] = {0, 0, 0, 0};
    setLightModelAmbient(black);
    g_gl.glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    m_matrixDirty = kAllMatricesDirty;
    m_sceneMode = 2;
    g_gl.glEnableClientState(GL_VERTEX_ARRAY);
    g_gl.glMatrixMode(GL_MODELVIEW);
    GLint planes = 0;
    g_gl.glGetIntegerv(GL_MAX_CLIP_PLANES, &planes);
    m_clipPlaneCount = planes < 0 ? 0u : planes > 6 ? 6u : unsigned(planes);
    const float attenuation[3] = {0.f, 0.f, 10.01f};
    g_gl.glPointParameterfv(GL_POINT_DISTANCE_ATTENUATION, attenuation);
    g_gl.glPointParameterf(GL_POINT_FADE_THRESHOLD_SIZE, 60.f);
    m_textureMatrixIdentity = 0;

    g_gl.glBindBuffer(GL_ARRAY_BUFFER, m_bufferBinding[EBT_VERTEX]);
    g_gl.glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_bufferBinding[EBT_INDEX]);
    restoreShadowState();
    clearBuffers(1);
    initImplementationDependentData();
    return true;
}

unsigned COpenGLESDriver::queryMaxLightCount() const
{
    GLint n = 0;
    g_gl.glGetIntegerv(GL_MAX_LIGHTS, &n);
    return n < 0 ? 0u : unsigned(n);
}

void COpenGLESDriver::fillFormatTable()
{
    const bool rgb8 = queryExtension(EGLE_OES_rgb8_rgba8), arm8 = queryExtension(EGLE_ARM_rgba8);
    const bool appleBGRA = queryExtension(EGLE_APPLE_texture_format_BGRA8888);
    const bool bgra = queryExtension(EGLE_EXT_texture_format_BGRA8888) || appleBGRA ||
                      queryExtension(EGLE_IMG_texture_format_BGRA8888);
    const bool dxt1 = queryExtension(EGLE_EXT_texture_compression_dxt1) ||
                      queryExtension(EGLE_EXT_texture_compression_s3tc);
    const bool s3tc = queryExtension(EGLE_EXT_texture_compression_s3tc);
    const bool pvr = queryExtension(EGLE_IMG_texture_compression_pvrtc);
    const bool oesHalf = queryExtension(EGLE_OES_texture_half_float);
    const bool half = (queryExtension(EGLE_ARB_texture_float) &&
                       (queryExtension(EGLE_ARB_half_float_pixel) || queryExtension(EGLE_NV_half_float))) ||
                      oesHalf;
    const bool oesFloat = queryExtension(EGLE_OES_texture_float);
    const bool flt = queryExtension(EGLE_ARB_texture_float) || oesFloat;
    const bool depthTex = queryExtension(EGLE_OES_depth_texture);
    const bool depth24 = queryExtension(EGLE_OES_depth24), depth32 = queryExtension(EGLE_OES_depth32);
    const bool pds = queryExtension(EGLE_EXT_packed_depth_stencil) || queryExtension(EGLE_NV_packed_depth_stencil) ||
                     queryExtension(EGLE_OES_packed_depth_stencil);
    const bool st1 = queryExtension(EGLE_OES_stencil1), st4 = queryExtension(EGLE_OES_stencil4),
               st8 = queryExtension(EGLE_OES_stencil8);
    const bool r1010 = queryExtension(EGLE_EXT_texture_type_2_10_10_10_REV);
    const E_PIXEL_FORMAT rgba8Target = rgb8 || arm8 ? EPF_R8G8B8A8 : EPF_R4G4B4A4;
    const E_PIXEL_FORMAT rgbTarget = rgb8 ? EPF_R8G8B8 : arm8 ? EPF_R8G8B8A8 : EPF_R5G6B5;
    const E_PIXEL_FORMAT none = EPF_COUNT;
    auto row = [&](E_PIXEL_FORMAT f, unsigned short tex, unsigned short rt, unsigned internal, unsigned format,
                   unsigned type, unsigned rb) { m_formats[f] = SGLFormat{tex, rt, internal, format, type, rb}; };
    row(EPF_L8, EPF_L8, rgb8 || arm8 ? EPF_R8G8B8A8 : EPF_R5G6B5, GL_LUMINANCE, GL_LUMINANCE, GL_UNSIGNED_BYTE, 0);
    row(EPF_L16, EPF_L8, m_formats[EPF_L8].renderTargetFormat, 0, 0, 0, 0);
    row(EPF_A8, EPF_A8, EPF_R8G8B8A8, GL_ALPHA, GL_ALPHA, GL_UNSIGNED_BYTE, 0);
    row(EPF_A8L8, EPF_L8A8, rgba8Target, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0);
    row(EPF_L8A8, EPF_L8A8, rgba8Target, GL_LUMINANCE_ALPHA, GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE, 0);
    row(EPF_R5G6B5, EPF_R5G6B5, EPF_R5G6B5, GL_RGB, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, GL_RGB565_OES);
    row(EPF_A4R4G4B4, EPF_R4G4B4A4, EPF_R4G4B4A4, 0, 0, 0, 0);
    row(EPF_R4G4B4A4, EPF_R4G4B4A4, EPF_R4G4B4A4, GL_RGBA, GL_RGBA, GL_UNSIGNED_SHORT_4_4_4_4, GL_RGBA4_OES);
    row(EPF_A1R5G5B5, EPF_R5G5B5A1, EPF_R5G5B5A1, 0, 0, 0, 0);
    row(EPF_R5G5B5A1, EPF_R5G5B5A1, EPF_R5G5B5A1, GL_RGBA, GL_RGBA, GL_UNSIGNED_SHORT_5_5_5_1, GL_RGB5_A1_OES);
    row(EPF_R8G8B8, EPF_R8G8B8, rgbTarget, GL_RGB, GL_RGB, GL_UNSIGNED_BYTE, rgb8 ? GL_RGB8_OES : 0);
    row(EPF_B8G8R8, EPF_R8G8B8, rgbTarget, 0, 0, 0, 0);
    row(EPF_A8R8G8B8, EPF_R8G8B8A8, EPF_R8G8B8A8, 0, 0, 0, 0);
    row(EPF_B8G8R8A8, bgra ? EPF_B8G8R8A8 : EPF_R8G8B8A8, rgba8Target,
        bgra ? (appleBGRA ? GL_RGBA : GL_BGRA_EXT) : 0, bgra ? GL_BGRA_EXT : 0, bgra ? GL_UNSIGNED_BYTE : 0, 0);
    row(EPF_R8G8B8A8, EPF_R8G8B8A8, rgba8Target, GL_RGBA, GL_RGBA, GL_UNSIGNED_BYTE, rgb8 || arm8 ? GL_RGBA8_OES : 0);
    row(EPF_A8B8G8R8, EPF_R8G8B8A8, rgba8Target, 0, 0, 0, 0);
    row(EPF_A2B10G10R10, r1010 ? EPF_A2B10G10R10 : EPF_R8G8B8A8, rgb8 || arm8 ? EPF_R8G8B8A8 : EPF_R5G5B5A1,
        r1010 ? GL_RGBA : 0, GL_RGBA, r1010 ? 0x8368u : 0, 0);
    row(EPF_COMPRESSED_RGB_S3TC_DXT1, dxt1 ? EPF_COMPRESSED_RGB_S3TC_DXT1 : EPF_R5G6B5, EPF_R5G6B5,
        dxt1 ? 0x83F0u : 0, 0, 0, 0);
    os::Printer::log(dxt1 ? "Setting EPF_COMPRESSED_RGBA_S3TC_DXT1" : "NO Setting EPF_COMPRESSED_RGBA_S3TC_DXT1",
                     ELL_WARNING);
    row(EPF_COMPRESSED_RGBA_S3TC_DXT1, dxt1 ? EPF_COMPRESSED_RGBA_S3TC_DXT1 : EPF_R5G5B5A1, EPF_R8G8B8A8,
        dxt1 ? 0x83F1u : 0, 0, 0, 0);
    os::Printer::log(s3tc ? "Setting EPF_COMPRESSED_RGBA_S3TC_DXT3" : "NO Setting EPF_COMPRESSED_RGBA_S3TC_DXT3",
                     ELL_WARNING);
    row(EPF_COMPRESSED_RGBA_S3TC_DXT3, s3tc ? EPF_COMPRESSED_RGBA_S3TC_DXT3 : EPF_R8G8B8A8, EPF_R8G8B8A8,
        s3tc ? 0x83F2u : 0, 0, 0, 0);
    os::Printer::log(s3tc ? "Setting EPF_COMPRESSED_RGBA_S3TC_DXT5" : "NO Setting EPF_COMPRESSED_RGBA_S3TC_DXT5",
                     ELL_WARNING);
    row(EPF_COMPRESSED_RGBA_S3TC_DXT5, s3tc ? EPF_COMPRESSED_RGBA_S3TC_DXT5 : EPF_R8G8B8A8, EPF_R8G8B8A8,
        s3tc ? 0x83F3u : 0, 0, 0, 0);
    row(EPF_COMPRESSED_RGB_PVRTC_2BPP, pvr ? EPF_COMPRESSED_RGB_PVRTC_2BPP : EPF_R8G8B8A8, EPF_R5G6B5,
        pvr ? 0x8C01u : 0, 0, 0, 0);
    row(EPF_COMPRESSED_RGBA_PVRTC_2BPP, pvr ? EPF_COMPRESSED_RGBA_PVRTC_2BPP : EPF_R8G8B8A8, EPF_R4G4B4A4,
        pvr ? 0x8C03u : 0, 0, 0, 0);
    row(EPF_COMPRESSED_RGB_PVRTC_4BPP, pvr ? EPF_COMPRESSED_RGB_PVRTC_4BPP : EPF_R8G8B8A8, EPF_R5G6B5,
        pvr ? 0x8C00u : 0, 0, 0, 0);
    row(EPF_COMPRESSED_RGBA_PVRTC_4BPP, pvr ? EPF_COMPRESSED_RGBA_PVRTC_4BPP : EPF_R8G8B8A8, EPF_R4G4B4A4,
        pvr ? 0x8C02u : 0, 0, 0, 0);
    row(EPF_RGB16F, half ? EPF_RGB16F : oesFloat ? EPF_RGB32F : EPF_R8G8B8A8, rgbTarget, oesHalf ? 0x881Bu : 0,
        oesHalf ? GL_RGB : 0, oesHalf ? 0x8D61u : 0, 0);
    row(EPF_RGBA16F, half ? EPF_RGBA16F : oesFloat ? EPF_RGBA32F : EPF_R8G8B8A8,
        rgb8 ? EPF_R8G8B8 : arm8 ? EPF_R8G8B8A8 : EPF_R4G4B4A4, oesHalf ? 0x881Au : 0, oesHalf ? GL_RGBA : 0,
        oesHalf ? 0x8D61u : 0, 0);
    row(EPF_RGB32F, flt ? EPF_RGBA32F : oesHalf ? EPF_RGBA16F : EPF_R8G8B8A8, rgbTarget, oesFloat ? 0x8815u : 0,
        flt ? GL_RGB : 0, flt ? GL_FLOAT : 0, 0);
    row(EPF_RGBA32F, flt ? EPF_RGBA32F : oesHalf ? EPF_RGBA16F : EPF_R8G8B8A8, rgba8Target, flt ? 0x8814u : 0,
        flt ? GL_RGBA : 0, flt ? GL_FLOAT : 0, 0);
    row(EPF_DEPTH16, depthTex ? EPF_DEPTH16 : none, EPF_DEPTH16, depthTex ? 0x1902u : 0, depthTex ? 0x1902u : 0,
        depthTex ? GL_UNSIGNED_SHORT : 0, GL_DEPTH_COMPONENT16_OES);
    row(EPF_DEPTH24, depthTex ? EPF_DEPTH16 : none, depth24 ? EPF_DEPTH24 : EPF_DEPTH16, 0, 0, 0,
        depth24 ? GL_DEPTH_COMPONENT24_OES : 0);
    row(EPF_DEPTH32, depthTex ? EPF_DEPTH32 : none, depth32 ? EPF_DEPTH32 : depth24 ? EPF_DEPTH24 : EPF_DEPTH16,
        depthTex ? 0x1902u : 0, depthTex ? 0x1902u : 0, depthTex ? GL_UNSIGNED_INT : 0,
        depth32 ? GL_DEPTH_COMPONENT32_OES : 0);
    row(EPF_DEPTH24_STENCIL8, none, pds ? EPF_DEPTH24_STENCIL8 : none, 0, 0, 0, pds ? GL_DEPTH24_STENCIL8_OES : 0);
    row(EPF_STENCIL1, none, st1 ? EPF_STENCIL1 : st4 ? EPF_STENCIL4 : st8 ? EPF_STENCIL8 : none, 0, 0, 0,
        st1 ? GL_STENCIL_INDEX1_OES : 0);
    row(EPF_STENCIL4, none, st4 ? EPF_STENCIL4 : st8 ? EPF_STENCIL8 : st1 ? EPF_STENCIL1 : none, 0, 0, 0,
        st4 ? GL_STENCIL_INDEX4_OES : 0);
    row(EPF_STENCIL8, none, st8 ? EPF_STENCIL8 : st4 ? EPF_STENCIL4 : st1 ? EPF_STENCIL1 : none, 0, 0, 0,
        st8 ? GL_STENCIL_INDEX8_OES : 0);
}

bool COpenGLESDriver::beginScene()
{
    IVideoDriver::beginScene();
    return true;
}

bool COpenGLESDriver::endScene()
{
    flush();
    g_gl.glFlush();
    IVideoDriver::endScene();
    return true;
}

bool COpenGLESDriver::beginScene2D()
{
    flush();
    m_merge2D = (m_options & EVDO_MERGE_DRAWS) ? 1 : 0;
    if (!m_merge2D) setOption(EVDO_MERGE_DRAWS, true);
    for (unsigned i = 0; i < ETS_COUNT; ++i) m_savedTransforms[i] = m_transforms[i];
    setTransform(ETS_WORLD, core::CMatrix4<float>());
    setTransform(ETS_VIEW, core::CMatrix4<float>());
    m_sceneMode = 1;
    set2DProjection();
    return true;
}

bool COpenGLESDriver::endScene2D()
{
    flush();
    if (!m_merge2D) setOption(EVDO_MERGE_DRAWS, false);
    m_sceneMode = 2;
    setTransform(ETS_VIEW, m_savedTransforms[ETS_VIEW]);
    setTransform(ETS_WORLD, m_savedTransforms[ETS_WORLD]);
    setTransform(ETS_PROJECTION, m_savedTransforms[ETS_PROJECTION]);
    return true;
}

bool COpenGLESDriver::swapBuffers(int clearFlags)
{
    return swapBuffersImpl(clearFlags);
}

bool COpenGLESDriver::swapBuffersImpl(int clearFlags)
{
    // The application presents with EGL; the device's flush belongs to it.
    if (clearFlags) clearBuffers(clearFlags);
    return false;
}

void COpenGLESDriver::clearBuffers(int flags)
{
    GLbitfield mask = 0;
    if (flags & 1) mask |= GL_COLOR_BUFFER_BIT;
    if (flags & 2) {
        mask |= GL_DEPTH_BUFFER_BIT;
        if (!m_depthMask) g_gl.glDepthMask(GL_TRUE);
    }
    const bool scissorWas = m_scissorTest;
    if (m_internalFlags & EVDIF_SCREEN_AREA_SET) {
        // The screen area moved: clear the whole surface once, so that no stale pixels stay
        // outside the new area. A coloured clear colour would tint the margins: use black.
        if (m_scissorTest) {
            g_gl.glDisable(GL_SCISSOR_TEST);
            m_scissorTest = false;
        }
        const SColor c = m_clearColor;
        if (c.getRed() || c.getGreen() || c.getBlue()) {
            g_gl.glClearColor(0.f, 0.f, 0.f, 0.f);
            g_gl.glClear(GL_COLOR_BUFFER_BIT);
            g_gl.glClearColor(c.getRed() / 255.f, c.getGreen() / 255.f, c.getBlue() / 255.f, c.getAlpha() / 255.f);
        } else {
            g_gl.glClear(GL_COLOR_BUFFER_BIT);
        }
        m_internalFlags &= ~EVDIF_SCREEN_AREA_SET;
    }
    if (mask) {
        const CFramebufferBase* screen = screenFramebuffer();
        if (m_renderTargets.size() == 1 && screen && (screen->m_extraWidth || screen->m_extraHeight)) {
            if (!m_scissorTest) {
                g_gl.glEnable(GL_SCISSOR_TEST);
                m_scissorTest = true;
            }
            setScissor(screen->getViewport());
        }
        g_gl.glClear(mask);
    }
    if (m_scissorTest != scissorWas) {
        if (scissorWas) g_gl.glEnable(GL_SCISSOR_TEST);
        else g_gl.glDisable(GL_SCISSOR_TEST);
        m_scissorTest = scissorWas;
    }
    if ((flags & 2) && !m_depthMask) g_gl.glDepthMask(GL_FALSE);
}

boost::intrusive_ptr<CImage> COpenGLESDriver::createScreenShot()
{
    flush();
    IRenderTarget* target = getCurrentRenderTarget();
    if (!target) return nullptr;
    const E_ORIENTATION orientation = m_orientation;
    if (m_renderTargets.size() == 1) m_orientation = EOO_0;
    const core::rect<int> viewport = target->getViewport();
    boost::intrusive_ptr<CImage> image(new CImage(EPF_R8G8B8, viewport.getSize()));
    if (!image->getData()) {
        m_orientation = orientation;
        return nullptr;
    }
    core::rect<int> device = viewport;
    if (m_renderTargets.size() == 1) getScreenArea().screen2Device(device);
    while (g_gl.glGetError() != GL_NO_ERROR) {
    }
    g_gl.glReadPixels(device.UpperLeftCorner.X, device.UpperLeftCorner.Y, viewport.getWidth(), viewport.getHeight(),
                      GL_RGB, GL_UNSIGNED_BYTE, image->getData());
    m_orientation = orientation;
    if (g_gl.glGetError() != GL_NO_ERROR) {
        os::Printer::log("createScreenShot", "reading the framebuffer failed", ELL_ERROR);
        return nullptr;
    }
    const unsigned pitch = image->getPitch();
    std::vector<unsigned char> row(pitch);
    auto* pixels = static_cast<unsigned char*>(image->getData());
    for (int i = 0, j = viewport.getHeight() - 1; i < j; ++i, --j) {
        std::memcpy(row.data(), pixels + i * pitch, pitch);
        std::memcpy(pixels + i * pitch, pixels + j * pitch, pitch);
        std::memcpy(pixels + j * pitch, row.data(), pitch);
    }
    return image;
}

}  // namespace pravik::video
