#pragma once
// Stand-in for the tablet's windowing library: a context, a window with its properties and the
// screen events that event services hand out (Bps.h). The shell creates a context and a window,
// sets the window's properties (format, usage, rotation, 600x1024 size, buffers, swap interval,
// z-order), then makes its EGL surface for the window with platform::egl_create_window_surface
// (Egl.h). Touches arrive as screen events of type SCREEN_EVENT_MTOUCH_* carrying a touch id and a
// source position in window pixels. Calls answer 0, or -1 with errno set (EINVAL for a null
// handle or an unknown property).

namespace platform {

struct ScreenContext;
struct ScreenWindow;
struct ScreenEvent;
using screen_context_t = ScreenContext*;
using screen_window_t = ScreenWindow*;
using screen_event_t = ScreenEvent*;

// Window and event properties.
constexpr int SCREEN_PROPERTY_ALPHA_MODE = 1;
constexpr int SCREEN_PROPERTY_FORMAT = 14;
constexpr int SCREEN_PROPERTY_ROTATION = 38;         // degrees; kept, the window never turns
constexpr int SCREEN_PROPERTY_SIZE = 40;             // two ints, width and height
constexpr int SCREEN_PROPERTY_SOURCE_POSITION = 41;  // two ints, window pixels
constexpr int SCREEN_PROPERTY_SWAP_INTERVAL = 45;
constexpr int SCREEN_PROPERTY_TYPE = 47;             // SCREEN_EVENT_*
constexpr int SCREEN_PROPERTY_USAGE = 48;            // SCREEN_USAGE_* bits
constexpr int SCREEN_PROPERTY_ZORDER = 54;
constexpr int SCREEN_PROPERTY_TOUCH_ID = 73;
constexpr int SCREEN_PROPERTY_KEY_SYM = 74;          // keyboard events

constexpr int SCREEN_FORMAT_BYTE = 1;
constexpr int SCREEN_FORMAT_RGBA4444 = 2;
constexpr int SCREEN_FORMAT_RGBA5551 = 4;
constexpr int SCREEN_FORMAT_RGB565 = 6;
constexpr int SCREEN_FORMAT_RGB888 = 7;
constexpr int SCREEN_FORMAT_RGBA8888 = 8;

constexpr int SCREEN_PRE_MULTIPLIED_ALPHA = 1;

constexpr int SCREEN_USAGE_NATIVE = 0x8;
constexpr int SCREEN_USAGE_OPENGL_ES1 = 0x10;
constexpr int SCREEN_USAGE_ROTATION = 0x200;

constexpr int SCREEN_EVENT_NONE = 0;
constexpr int SCREEN_EVENT_KEYBOARD = 6;
constexpr int SCREEN_EVENT_MTOUCH_TOUCH = 100;
constexpr int SCREEN_EVENT_MTOUCH_MOVE = 101;
constexpr int SCREEN_EVENT_MTOUCH_RELEASE = 102;

constexpr int SCREEN_APPLICATION_CONTEXT = 0;

int screen_create_context(screen_context_t* context, int flags);
int screen_destroy_context(screen_context_t context);
int screen_create_window(screen_window_t* window, screen_context_t context);  // 600x1024, unshown
int screen_create_window_group(screen_window_t window, const char* name);
int screen_set_window_property_iv(screen_window_t window, int property, const int* values);
int screen_get_window_property_iv(screen_window_t window, int property, int* values);
int screen_create_window_buffers(screen_window_t window, int count);  // 1 or 2
int screen_destroy_window(screen_window_t window);

// An event of the caller's own; events from the pump come from screen_event_get_event (Bps.h).
int screen_create_event(screen_event_t* event);
int screen_destroy_event(screen_event_t event);
int screen_get_event_property_iv(screen_event_t event, int property, int* values);

}  // namespace platform
