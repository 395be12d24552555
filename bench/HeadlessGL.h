#pragma once
// One GL ES 1.1 context on Mesa's surfaceless platform with a small pbuffer, made current on
// first use for the rest of the run; the GL dispatch table is loaded with it.

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include "engine/video/gl/GLDispatch.h"

namespace bench {

inline bool headlessGL()
{
    static const bool ok = [] {
        EGLDisplay display = eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr)) return false;
        const EGLint attributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_ES_BIT,
                                     EGL_RED_SIZE, 8, EGL_NONE};
        EGLConfig config;
        EGLint n = 0;
        if (!eglChooseConfig(display, attributes, &config, 1, &n) || n < 1) return false;
        eglBindAPI(EGL_OPENGL_ES_API);
        const EGLint version[] = {EGL_CONTEXT_CLIENT_VERSION, 1, EGL_NONE};
        const EGLint size[] = {EGL_WIDTH, 64, EGL_HEIGHT, 64, EGL_NONE};
        EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, version);
        EGLSurface surface = eglCreatePbufferSurface(display, config, size);
        return eglMakeCurrent(display, surface, surface, context) && pravik::video::loadGLDispatch();
    }();
    return ok;
}

}  // namespace bench
