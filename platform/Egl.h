#pragma once
// What the shell needs to keep its EGL calls real on either windowing backend. It asks
// egl_get_display() in place of eglGetDisplay(EGL_DEFAULT_DISPLAY) (an X11 display, or Mesa's
// surfaceless platform headless), picks a config whose EGL_SURFACE_TYPE has egl_surface_type_bit()
// (EGL_WINDOW_BIT on x11, EGL_PBUFFER_BIT headless), makes its surface with
// egl_create_window_surface (an X11 window surface, or a pbuffer of the window's size), and
// presents with egl_swap_buffers: the present hook that counts frames, takes scripted shots and,
// without a script, holds frames to 60 a second. Every other EGL call is the shell's own.
// The backend is chosen on first use from QUENDRAX_VIDEO: "x11" (falls back to headless with a
// warning when no display opens), "headless"; unset means x11 when DISPLAY is set. Any other
// value ends the process with status 2 after one line.

#include "platform/Screen.h"

#include <EGL/egl.h>

namespace platform {

EGLDisplay egl_get_display();
EGLint egl_surface_type_bit();
// attributes apply to a window surface; a pbuffer takes the window's size instead.
EGLSurface egl_create_window_surface(EGLDisplay display, EGLConfig config, screen_window_t window,
                                     const EGLint* attributes);
EGLBoolean egl_swap_buffers(EGLDisplay display, EGLSurface surface);

const char* video_backend_name();  // "x11" or "headless"
void video_close();                // drops the backend; the next use chooses again (tests)

}  // namespace platform
