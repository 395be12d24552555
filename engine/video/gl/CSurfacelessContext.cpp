#include "engine/video/gl/CSurfacelessContext.h"

#include <EGL/eglext.h>

#include "engine/video/gl/GLDispatch.h"

namespace pravik::video {

CSurfacelessContext::CSurfacelessContext(int width, int height)
{
    m_display = eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (m_display == EGL_NO_DISPLAY || !eglInitialize(m_display, nullptr, nullptr)) return;
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_ES_BIT,
                                       EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8,
                                       EGL_DEPTH_SIZE, 16, EGL_NONE};
    EGLConfig config;
    EGLint n = 0;
    if (!eglChooseConfig(m_display, configAttributes, &config, 1, &n) || n < 1) return;
    eglBindAPI(EGL_OPENGL_ES_API);
    const EGLint contextAttributes[] = {EGL_CONTEXT_CLIENT_VERSION, 1, EGL_NONE};
    m_context = eglCreateContext(m_display, config, EGL_NO_CONTEXT, contextAttributes);
    const EGLint size[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    m_surface = eglCreatePbufferSurface(m_display, config, size);
    if (m_context == EGL_NO_CONTEXT || m_surface == EGL_NO_SURFACE) return;
    m_ok = eglMakeCurrent(m_display, m_surface, m_surface, m_context) && loadGLDispatch();
}

CSurfacelessContext::~CSurfacelessContext()
{
    if (m_display == EGL_NO_DISPLAY) return;
    eglMakeCurrent(m_display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (m_surface != EGL_NO_SURFACE) eglDestroySurface(m_display, m_surface);
    if (m_context != EGL_NO_CONTEXT) eglDestroyContext(m_display, m_context);
}

}  // namespace pravik::video
