#include "tests/platform/ShellHarness.h"

#include <cstddef>
#include <vector>

namespace test {

using namespace platform;

ShellHarness::ShellHarness()
{
    display = egl_get_display();
    if (!eglInitialize(display, nullptr, nullptr))
        return;
    EGLint count = 0;
    eglGetConfigs(display, nullptr, 0, &count);
    std::vector<EGLConfig> configs(std::size_t(count > 0 ? count : 0));
    eglGetConfigs(display, configs.data(), count, &count);
    for (EGLConfig c : configs) {
        EGLint surface = 0, renderable = 0, r = 0, g = 0, b = 0, a = 0, samples = -1;
        eglGetConfigAttrib(display, c, EGL_SURFACE_TYPE, &surface);
        eglGetConfigAttrib(display, c, EGL_RENDERABLE_TYPE, &renderable);
        eglGetConfigAttrib(display, c, EGL_RED_SIZE, &r);
        eglGetConfigAttrib(display, c, EGL_GREEN_SIZE, &g);
        eglGetConfigAttrib(display, c, EGL_BLUE_SIZE, &b);
        eglGetConfigAttrib(display, c, EGL_ALPHA_SIZE, &a);
        eglGetConfigAttrib(display, c, EGL_SAMPLES, &samples);
        if ((surface & egl_surface_type_bit()) && (renderable & EGL_OPENGL_ES_BIT) && r == 8 && g == 8 && b == 8 &&
            a == 8 && samples == 0) {
            config = c;
            break;
        }
    }
    if (!config)
        return;
    context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);  // ES 1 by default

    screen_create_context(&screen, 0);
    screen_create_window(&window, screen);
    screen_create_window_group(window, "screenGroupQuendrax");
    const int format = SCREEN_FORMAT_RGBA8888, alpha = 1, usage = 0x218, rotation = 90, size[2] = {600, 1024};
    const int interval = 1, zorder = 0;
    screen_set_window_property_iv(window, SCREEN_PROPERTY_FORMAT, &format);
    screen_set_window_property_iv(window, SCREEN_PROPERTY_ALPHA_MODE, &alpha);
    screen_set_window_property_iv(window, SCREEN_PROPERTY_USAGE, &usage);
    screen_set_window_property_iv(window, SCREEN_PROPERTY_ROTATION, &rotation);
    screen_set_window_property_iv(window, SCREEN_PROPERTY_SIZE, size);
    screen_create_window_buffers(window, 2);
    screen_set_window_property_iv(window, SCREEN_PROPERTY_SWAP_INTERVAL, &interval);
    screen_set_window_property_iv(window, SCREEN_PROPERTY_ZORDER, &zorder);

    const EGLint attribs[] = {EGL_RENDER_BUFFER, EGL_BACK_BUFFER, EGL_NONE};
    m_surface = egl_create_window_surface(display, config, window, attribs);
    m_current = m_surface != EGL_NO_SURFACE && eglMakeCurrent(display, m_surface, m_surface, context);
    eglSwapInterval(display, 1);
}

ShellHarness::~ShellHarness()
{
    if (display != EGL_NO_DISPLAY) {
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (m_surface != EGL_NO_SURFACE)
            eglDestroySurface(display, m_surface);
    }
    if (window)
        screen_destroy_window(window);
    if (screen)
        screen_destroy_context(screen);
    if (context != EGL_NO_CONTEXT)
        eglDestroyContext(display, context);
    if (display != EGL_NO_DISPLAY)
        eglTerminate(display);
    eglReleaseThread();
}

}  // namespace test
