// EGL and the 600x1024 window: an RGBA8888 OpenGL ES 1 config, the context, the window with the
// shell's properties, its surface made current with a swap interval of 1. Every call is checked;
// init answers false after one line naming the call that failed.
#pragma once

#include "platform/Screen.h"

#include <EGL/egl.h>

class Screen {
public:
    static Screen& instance();
    virtual ~Screen() = default;

    bool init();
    void destroy();               // prints "Shutting down Screen"; safe after a failed init
    EGLBoolean swapBuffers();
    void showEglInfo() const;
    static int chooseFormat(EGLDisplay display, EGLConfig config);
    EGLConfig chooseConfig(EGLDisplay display, const int wanted[5]) const;

    EGLDisplay m_display = EGL_NO_DISPLAY;
    EGLConfig m_config = nullptr;
    EGLContext m_context = EGL_NO_CONTEXT;
    EGLSurface m_surface = EGL_NO_SURFACE;
    platform::screen_context_t m_screenContext = nullptr;
    platform::screen_window_t m_window = nullptr;
    platform::screen_event_t m_event = nullptr;

    static const int egl_conf_attr[5];   // red, green, blue, alpha sizes and sample count

private:
    Screen() = default;
};
