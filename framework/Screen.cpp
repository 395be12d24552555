#include "framework/Screen.h"

#include "platform/Egl.h"

#include <cstdio>
#include <vector>

using namespace platform;

const int Screen::egl_conf_attr[5] = {8, 8, 8, 8, 0};

namespace {
bool failed(const char* call)
{
    std::fprintf(stderr, "quendrax: %s failed (EGL error 0x%04x)\n", call, unsigned(eglGetError()));
    return false;
}
bool screenFailed(const char* call)
{
    std::fprintf(stderr, "quendrax: %s failed\n", call);
    return false;
}
} // namespace

Screen& Screen::instance()
{
    static Screen screen;
    return screen;
}

EGLConfig Screen::chooseConfig(EGLDisplay display, const int wanted[5]) const
{
    EGLint count = 0;
    if (!eglGetConfigs(display, nullptr, 0, &count) || count <= 0) {
        std::printf("Error in eglGetConfigs\n");
        return nullptr;
    }
    std::vector<EGLConfig> configs(static_cast<std::size_t>(count));
    if (!eglGetConfigs(display, configs.data(), count, &count)) {
        std::printf("Error in eglGetConfigs\n");
        return nullptr;
    }
    configs.resize(static_cast<std::size_t>(count));
    for (EGLConfig c : configs) {
        EGLint surface = 0, renderable = 0, v[5] = {-1, -1, -1, -1, -1};
        eglGetConfigAttrib(display, c, EGL_SURFACE_TYPE, &surface);
        eglGetConfigAttrib(display, c, EGL_RENDERABLE_TYPE, &renderable);
        eglGetConfigAttrib(display, c, EGL_RED_SIZE, &v[0]);
        eglGetConfigAttrib(display, c, EGL_GREEN_SIZE, &v[1]);
        eglGetConfigAttrib(display, c, EGL_BLUE_SIZE, &v[2]);
        eglGetConfigAttrib(display, c, EGL_ALPHA_SIZE, &v[3]);
        eglGetConfigAttrib(display, c, EGL_SAMPLES, &v[4]);
        if (!(surface & egl_surface_type_bit()) || !(renderable & EGL_OPENGL_ES_BIT))
            continue;
        if (v[0] == wanted[0] && v[1] == wanted[1] && v[2] == wanted[2] && v[3] == wanted[3] && v[4] == wanted[4])
            return c;
    }
    return nullptr;
}

int Screen::chooseFormat(EGLDisplay display, EGLConfig config)
{
    EGLint bufferSize = 0, alphaSize = 0;
    eglGetConfigAttrib(display, config, EGL_BUFFER_SIZE, &bufferSize);
    eglGetConfigAttrib(display, config, EGL_ALPHA_SIZE, &alphaSize);
    switch (bufferSize) {
    case 32: return SCREEN_FORMAT_RGBA8888;
    case 24: return SCREEN_FORMAT_RGB888;
    case 16:
        switch (alphaSize) {
        case 1: return SCREEN_FORMAT_RGBA5551;
        case 4: return SCREEN_FORMAT_RGBA4444;
        default: return SCREEN_FORMAT_RGB565;
        }
    default: return SCREEN_FORMAT_BYTE;
    }
}

bool Screen::init()
{
    m_display = egl_get_display();
    if (m_display == EGL_NO_DISPLAY)
        return failed("eglGetDisplay");
    if (!eglInitialize(m_display, nullptr, nullptr))
        return failed("eglInitialize");
    m_config = chooseConfig(m_display, egl_conf_attr);
    if (!m_config)
        return screenFailed("choosing an RGBA8888 OpenGL ES 1 config");
    m_context = eglCreateContext(m_display, m_config, EGL_NO_CONTEXT, nullptr);
    if (m_context == EGL_NO_CONTEXT)
        return failed("eglCreateContext");
    showEglInfo();

    if (screen_create_context(&m_screenContext, 0) != 0)
        return screenFailed("screen_create_context");
    if (screen_create_window(&m_window, m_screenContext) != 0)
        return screenFailed("screen_create_window");
    if (screen_create_window_group(m_window, "screenGroupQuendrax") != 0)
        return screenFailed("screen_create_window_group");
    const int format = chooseFormat(m_display, m_config);
    const int alphaMode = SCREEN_PRE_MULTIPLIED_ALPHA;
    const int usage = SCREEN_USAGE_NATIVE | SCREEN_USAGE_OPENGL_ES1 | SCREEN_USAGE_ROTATION;
    const int rotation = 90, size[2] = {600, 1024}, interval = 1, zorder = 0;
    if (screen_set_window_property_iv(m_window, SCREEN_PROPERTY_FORMAT, &format) != 0 ||
        screen_set_window_property_iv(m_window, SCREEN_PROPERTY_ALPHA_MODE, &alphaMode) != 0 ||
        screen_set_window_property_iv(m_window, SCREEN_PROPERTY_USAGE, &usage) != 0 ||
        screen_set_window_property_iv(m_window, SCREEN_PROPERTY_ROTATION, &rotation) != 0 ||
        screen_set_window_property_iv(m_window, SCREEN_PROPERTY_SIZE, size) != 0)
        return screenFailed("screen_set_window_property_iv");
    if (screen_create_window_buffers(m_window, 2) != 0)
        return screenFailed("screen_create_window_buffers");
    if (screen_set_window_property_iv(m_window, SCREEN_PROPERTY_SWAP_INTERVAL, &interval) != 0 ||
        screen_set_window_property_iv(m_window, SCREEN_PROPERTY_ZORDER, &zorder) != 0)
        return screenFailed("screen_set_window_property_iv");
    if (screen_create_event(&m_event) != 0)
        return screenFailed("screen_create_event");

    const EGLint attributes[] = {EGL_RENDER_BUFFER, EGL_BACK_BUFFER, EGL_NONE};
    m_surface = egl_create_window_surface(m_display, m_config, m_window, attributes);
    if (m_surface == EGL_NO_SURFACE)
        return failed("eglCreateWindowSurface");
    if (!eglMakeCurrent(m_display, m_surface, m_surface, m_context))
        return failed("eglMakeCurrent");
    if (!eglSwapInterval(m_display, 1))
        return failed("eglSwapInterval");
    return true;
}

void Screen::destroy()
{
    std::printf("Shutting down Screen\n");
    if (m_display != EGL_NO_DISPLAY) {
        eglMakeCurrent(m_display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (m_surface != EGL_NO_SURFACE)
            eglDestroySurface(m_display, m_surface);
    }
    if (m_event)
        screen_destroy_event(m_event);
    if (m_window)
        screen_destroy_window(m_window);
    if (m_screenContext)
        screen_destroy_context(m_screenContext);
    if (m_display != EGL_NO_DISPLAY) {
        if (m_context != EGL_NO_CONTEXT)
            eglDestroyContext(m_display, m_context);
        eglTerminate(m_display);
    }
    eglReleaseThread();
    m_surface = EGL_NO_SURFACE;
    m_context = EGL_NO_CONTEXT;
    m_display = EGL_NO_DISPLAY;
    m_event = nullptr;
    m_window = nullptr;
    m_screenContext = nullptr;
}

EGLBoolean Screen::swapBuffers()
{
    static EGLBoolean last = EGL_FALSE;
    last = egl_swap_buffers(m_display, m_surface);
    return last;
}

void Screen::showEglInfo() const
{
    auto attr = [&](EGLint name) {
        EGLint v = 0;
        eglGetConfigAttrib(m_display, m_config, name, &v);
        return int(v);
    };
    auto text = [&](EGLint name) {
        const char* s = eglQueryString(m_display, name);
        return s ? s : "";
    };
    std::printf("EGL_VENDOR = %s\n", text(EGL_VENDOR));
    std::printf("EGL_VERSION = %s\n", text(EGL_VERSION));
    std::printf("EGL_CLIENT_APIS = %s\n", text(EGL_CLIENT_APIS));
    std::printf("EGL_EXTENSIONS = %s\n", text(EGL_EXTENSIONS));
    std::printf("EGL_CONFIG_ID = %d\n", attr(EGL_CONFIG_ID));
    std::printf("EGL_RED_SIZE = %d\n", attr(EGL_RED_SIZE));
    std::printf("EGL_GREEN_SIZE = %d\n", attr(EGL_GREEN_SIZE));
    std::printf("EGL_BLUE_SIZE = %d\n", attr(EGL_BLUE_SIZE));
    std::printf("EGL_ALPHA_SIZE = %d\n", attr(EGL_ALPHA_SIZE));
    std::printf("EGL_DEPTH_SIZE = %d\n", attr(EGL_DEPTH_SIZE));
    std::printf("EGL_LEVEL = %d\n", attr(EGL_LEVEL));
    std::printf("EGL_NATIVE_RENDERABLE = %s\n", attr(EGL_NATIVE_RENDERABLE) ? "EGL_TRUE" : "EGL_FALSE");
    std::printf("EGL_NATIVE_VISUAL_TYPE = %d\n", attr(EGL_NATIVE_VISUAL_TYPE));
    std::printf("EGL_RENDERABLE_TYPE = 0x%04x\n", unsigned(attr(EGL_RENDERABLE_TYPE)));
    std::printf("EGL_SURFACE_TYPE = 0x%04x\n", unsigned(attr(EGL_SURFACE_TYPE)));
    if (attr(EGL_TRANSPARENT_TYPE) == EGL_TRANSPARENT_RGB) {
        std::printf("EGL_TRANSPARENT_TYPE = EGL_TRANSPARENT_RGB\n");
        std::printf("EGL_TRANSPARENT_RED = 0x%02x\n", unsigned(attr(EGL_TRANSPARENT_RED_VALUE)));
        std::printf("EGL_TRANSPARENT_GREEN = 0x%02x\n", unsigned(attr(EGL_TRANSPARENT_GREEN_VALUE)));
        std::printf("EGL_TRANSPARENT_BLUE = 0x%02x\n", unsigned(attr(EGL_TRANSPARENT_BLUE_VALUE)));
    } else {
        std::printf("EGL_TRANSPARENT_TYPE = EGL_NONE\n");
    }
}
