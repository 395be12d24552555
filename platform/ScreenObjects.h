#pragma once
// What the windowing handles point at. Shared by the screen calls, the event services and the
// video backends; not for callers.

#include "platform/Screen.h"

#include <EGL/egl.h>

#include <string>

namespace platform {

struct ScreenContext {
    bool eventsRequested = false;
};

struct ScreenWindow {
    ScreenContext* context = nullptr;
    std::string group;
    int format = SCREEN_FORMAT_RGBA8888;
    int alphaMode = 0;
    int usage = 0;
    int rotation = 0;
    int size[2] = {600, 1024};
    int buffers = 0;
    int swapInterval = 1;
    int zorder = 0;
    unsigned long native = 0;  // the X11 window, once its surface exists
};

struct ScreenEvent {
    int type = SCREEN_EVENT_NONE;
    int touchId = 0;
    int position[2] = {0, 0};
    int keySym = 0;
};

}  // namespace platform
