#pragma once
// One windowing backend (x11 or headless), chosen once on first use by Video and kept until
// video_close. A backend owns its native display and the native side of windows.

#include "platform/ScreenObjects.h"

#include <memory>

namespace platform {

class EventHub;

class VideoBackend {
public:
    virtual ~VideoBackend() = default;
    virtual const char* name() const = 0;
    virtual EGLDisplay eglDisplay() = 0;  // uninitialised; the caller initialises and terminates it
    virtual EGLint surfaceTypeBit() const = 0;
    virtual EGLSurface createSurface(EGLDisplay display, EGLConfig config, ScreenWindow& window,
                                     const EGLint* attributes) = 0;
    virtual void resize(ScreenWindow&) {}
    virtual void destroyWindow(ScreenWindow&) {}
    virtual void poll(EventHub&) {}             // moves pending native input into the hub
    virtual bool opensLinks() const { return false; }  // a desktop to show web links on
};

std::unique_ptr<VideoBackend> openX11Video();  // null when no display opens
std::unique_ptr<VideoBackend> openHeadlessVideo();

class Video {
public:
    static VideoBackend& backend();   // opens it on first use
    static VideoBackend* current();   // null before first use
    static void close();
};

}  // namespace platform
