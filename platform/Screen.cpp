// The windowing calls: handles, properties and events. Native windows belong to the video
// backend and come to life with the EGL surface (Egl.h), whose config decides their visual.

#include "platform/Screen.h"

#include "platform/ScreenObjects.h"
#include "platform/VideoBackend.h"

#include <cerrno>

namespace platform {

namespace {

int fail(int error)
{
    errno = error;
    return -1;
}

}  // namespace

int screen_create_context(screen_context_t* context, int)
{
    if (!context)
        return fail(EINVAL);
    *context = new ScreenContext;
    return 0;
}

int screen_destroy_context(screen_context_t context)
{
    if (!context)
        return fail(EINVAL);
    delete context;
    return 0;
}

int screen_create_window(screen_window_t* window, screen_context_t context)
{
    if (!window || !context)
        return fail(EINVAL);
    *window = new ScreenWindow;
    (*window)->context = context;
    return 0;
}

int screen_create_window_group(screen_window_t window, const char* name)
{
    if (!window || !name)
        return fail(EINVAL);
    window->group = name;
    return 0;
}

int screen_set_window_property_iv(screen_window_t window, int property, const int* values)
{
    if (!window || !values)
        return fail(EINVAL);
    switch (property) {
    case SCREEN_PROPERTY_FORMAT: window->format = values[0]; return 0;
    case SCREEN_PROPERTY_ALPHA_MODE: window->alphaMode = values[0]; return 0;
    case SCREEN_PROPERTY_USAGE: window->usage = values[0]; return 0;
    case SCREEN_PROPERTY_ROTATION: window->rotation = values[0]; return 0;
    case SCREEN_PROPERTY_SWAP_INTERVAL: window->swapInterval = values[0]; return 0;
    case SCREEN_PROPERTY_ZORDER: window->zorder = values[0]; return 0;
    case SCREEN_PROPERTY_SIZE:
        if (values[0] <= 0 || values[1] <= 0 || values[0] > 16384 || values[1] > 16384)
            return fail(EINVAL);
        window->size[0] = values[0];
        window->size[1] = values[1];
        if (window->native)
            Video::backend().resize(*window);
        return 0;
    default: return fail(EINVAL);
    }
}

int screen_get_window_property_iv(screen_window_t window, int property, int* values)
{
    if (!window || !values)
        return fail(EINVAL);
    switch (property) {
    case SCREEN_PROPERTY_FORMAT: values[0] = window->format; return 0;
    case SCREEN_PROPERTY_ALPHA_MODE: values[0] = window->alphaMode; return 0;
    case SCREEN_PROPERTY_USAGE: values[0] = window->usage; return 0;
    case SCREEN_PROPERTY_ROTATION: values[0] = window->rotation; return 0;
    case SCREEN_PROPERTY_SWAP_INTERVAL: values[0] = window->swapInterval; return 0;
    case SCREEN_PROPERTY_ZORDER: values[0] = window->zorder; return 0;
    case SCREEN_PROPERTY_SIZE:
        values[0] = window->size[0];
        values[1] = window->size[1];
        return 0;
    default: return fail(EINVAL);
    }
}

int screen_create_window_buffers(screen_window_t window, int count)
{
    if (!window || count < 1 || count > 2)
        return fail(EINVAL);
    window->buffers = count;
    return 0;
}

int screen_destroy_window(screen_window_t window)
{
    if (!window)
        return fail(EINVAL);
    if (window->native)
        if (VideoBackend* video = Video::current())
            video->destroyWindow(*window);
    delete window;
    return 0;
}

int screen_create_event(screen_event_t* event)
{
    if (!event)
        return fail(EINVAL);
    *event = new ScreenEvent;
    return 0;
}

int screen_destroy_event(screen_event_t event)
{
    if (!event)
        return fail(EINVAL);
    delete event;
    return 0;
}

int screen_get_event_property_iv(screen_event_t event, int property, int* values)
{
    if (!event || !values)
        return fail(EINVAL);
    switch (property) {
    case SCREEN_PROPERTY_TYPE: values[0] = event->type; return 0;
    case SCREEN_PROPERTY_TOUCH_ID: values[0] = event->touchId; return 0;
    case SCREEN_PROPERTY_SOURCE_POSITION:
        values[0] = event->position[0];
        values[1] = event->position[1];
        return 0;
    case SCREEN_PROPERTY_KEY_SYM: values[0] = event->keySym; return 0;
    default: return fail(EINVAL);
    }
}

}  // namespace platform
