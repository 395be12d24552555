#pragma once
// A headless OpenGL ES 1.1 context on Mesa's surfaceless platform with a small pbuffer, made
// current for the life of the object, and the GL dispatch table loaded.

#include <EGL/egl.h>

namespace pravik::video::test {

class GLTestContext {
public:
    explicit GLTestContext(int width = 64, int height = 64);
    ~GLTestContext();
    GLTestContext(const GLTestContext&) = delete;
    GLTestContext& operator=(const GLTestContext&) = delete;

    bool ok() const { return m_ok; }

private:
    EGLDisplay m_display = EGL_NO_DISPLAY;
    EGLContext m_context = EGL_NO_CONTEXT;
    EGLSurface m_surface = EGL_NO_SURFACE;
    bool m_ok = false;
};

}  // namespace pravik::video::test
