#pragma once
// The start-up the shell makes, through the layer: EGL display, the first RGBA8888 ES1 config
// whose surface type fits the backend, an ES 1 context, a 600x1024 window with the shell's
// properties, its surface, current. Torn down in the shell's order.

#include "platform/Bps.h"
#include "platform/Egl.h"

#include <EGL/egl.h>

namespace test {

class ShellHarness {
public:
    ShellHarness();
    ~ShellHarness();
    bool ok() const { return m_surface != EGL_NO_SURFACE && m_current; }

    EGLDisplay display = EGL_NO_DISPLAY;
    EGLConfig config = nullptr;
    EGLContext context = EGL_NO_CONTEXT;
    platform::screen_context_t screen = nullptr;
    platform::screen_window_t window = nullptr;

    EGLSurface surface() const { return m_surface; }

private:
    EGLSurface m_surface = EGL_NO_SURFACE;
    bool m_current = false;
};

}  // namespace test
