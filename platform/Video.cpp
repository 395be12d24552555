// Backend choice and the EGL bridge, with the present hook: shots, frame count, pacing.

#include "platform/Egl.h"

#include "platform/Clock.h"
#include "platform/PngWriter.h"
#include "platform/ScriptPlayer.h"
#include "platform/VideoBackend.h"

#include <GLES/gl.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace platform {

namespace {

std::mutex g_mutex;
std::unique_ptr<VideoBackend> g_backend;
uint64_t g_nextPresentNs = 0;

constexpr uint64_t kFrameNs = 1000000000ull / 60;

std::unique_ptr<VideoBackend> choose()
{
    const char* env = std::getenv("QUENDRAX_VIDEO");
    std::string choice = env ? env : "";
    if (choice.empty()) {
        const char* display = std::getenv("DISPLAY");
        choice = display && *display ? "x11" : "headless";
    }
    if (choice == "headless")
        return openHeadlessVideo();
    if (choice == "x11") {
        if (auto x11 = openX11Video())
            return x11;
        std::fprintf(stderr, "video: warning: no X display opens, running headless\n");
        return openHeadlessVideo();
    }
    std::fprintf(stderr, "video: unknown QUENDRAX_VIDEO \"%s\" (x11 or headless)\n", choice.c_str());
    std::fflush(stderr);
    std::exit(2);
}

void writeShot(EGLDisplay display, EGLSurface surface, const std::string& path)
{
    EGLint w = 0, h = 0;
    if (!eglQuerySurface(display, surface, EGL_WIDTH, &w) || !eglQuerySurface(display, surface, EGL_HEIGHT, &h) ||
        w <= 0 || h <= 0) {
        std::fprintf(stderr, "shot: no surface to read for %s\n", path.c_str());
        return;
    }
    std::vector<uint8_t> pixels(size_t(w) * size_t(h) * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    writePng(path, pixels.data(), w, h, true);
}

}  // namespace

VideoBackend& Video::backend()
{
    std::lock_guard lock(g_mutex);
    if (!g_backend)
        g_backend = choose();
    return *g_backend;
}

VideoBackend* Video::current()
{
    std::lock_guard lock(g_mutex);
    return g_backend.get();
}

void Video::close()
{
    std::lock_guard lock(g_mutex);
    g_backend.reset();
}

EGLDisplay egl_get_display()
{
    return Video::backend().eglDisplay();
}

EGLint egl_surface_type_bit()
{
    return Video::backend().surfaceTypeBit();
}

EGLSurface egl_create_window_surface(EGLDisplay display, EGLConfig config, screen_window_t window,
                                     const EGLint* attributes)
{
    if (!window)
        return EGL_NO_SURFACE;
    return Video::backend().createSurface(display, config, *window, attributes);
}

EGLBoolean egl_swap_buffers(EGLDisplay display, EGLSurface surface)
{
    for (const auto& path : ScriptPlayer::instance().shotsDue(Clock::frames()))
        writeShot(display, surface, path);
    const EGLBoolean ok = eglSwapBuffers(display, surface);
    Clock::countPresent();
    if (!Clock::scripted()) {
        // The swap interval is the only frame limiter, and neither llvmpipe nor Xvfb waits for
        // a vertical blank: hold frames to 60 a second here.
        const uint64_t now = Clock::monotonicNs();
        if (g_nextPresentNs > now) {
            std::this_thread::sleep_for(std::chrono::nanoseconds(g_nextPresentNs - now));
            g_nextPresentNs += kFrameNs;
        } else {
            g_nextPresentNs = now + kFrameNs;
        }
    }
    return ok;
}

const char* video_backend_name()
{
    return Video::backend().name();
}

void video_close()
{
    Video::close();
}

}  // namespace platform
