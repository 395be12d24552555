#pragma once
// A headless OpenGL ES 1.1 context on Mesa's surfaceless platform with a small pbuffer, made
// current for the life of the object, and the GL dispatch table loaded: what a program without
// a window (the inspection tool, the tests) makes before it brings up the ES1 driver.

#include <EGL/egl.h>

namespace pravik::video {

class CSurfacelessContext {
public:
    explicit CSurfacelessContext(int width = 64, int height = 64);
    ~CSurfacelessContext();
    CSurfacelessContext(const CSurfacelessContext&) = delete;
    CSurfacelessContext& operator=(const CSurfacelessContext&) = delete;

    bool ok() const { return m_ok; }  // false when no context could be made current

private:
    EGLDisplay m_display = EGL_NO_DISPLAY;
    EGLContext m_context = EGL_NO_CONTEXT;
    EGLSurface m_surface = EGL_NO_SURFACE;
    bool m_ok = false;
};

}  // namespace pravik::video
