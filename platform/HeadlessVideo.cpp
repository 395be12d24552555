// The headless backend: no window; EGL on Mesa's surfaceless platform draws into a pbuffer the
// size of the window.

#include "platform/VideoBackend.h"

#include <EGL/eglext.h>

namespace platform {

namespace {

class HeadlessVideo : public VideoBackend {
public:
    const char* name() const override { return "headless"; }

    EGLDisplay eglDisplay() override
    {
        return eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    }

    EGLint surfaceTypeBit() const override { return EGL_PBUFFER_BIT; }

    EGLSurface createSurface(EGLDisplay display, EGLConfig config, ScreenWindow& window, const EGLint*) override
    {
        // Window-surface attributes (the render buffer) mean nothing to a pbuffer.
        const EGLint size[] = {EGL_WIDTH, window.size[0], EGL_HEIGHT, window.size[1], EGL_NONE};
        return eglCreatePbufferSurface(display, config, size);
    }
};

}  // namespace

std::unique_ptr<VideoBackend> openHeadlessVideo()
{
    return std::make_unique<HeadlessVideo>();
}

}  // namespace platform
