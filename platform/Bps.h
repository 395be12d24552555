#pragma once
// Stand-in for the tablet's event services: one event queue on the main thread, fed by the
// windowing backend (x11: mouse as touch id 0, focus and iconify as window states, the close
// button as exit) and by the input script (Clock.h, ScriptPlayer.h). A caller initialises,
// requests the domains it wants (events of other domains are never queued), then each turn reads
// the accelerometer and takes events with bps_get_event(&ev, 0) until it gives none, dispatching
// on bps_event_get_domain / bps_event_get_code. An event stays valid until the next
// bps_get_event. Calls answer BPS_SUCCESS or BPS_FAILURE; strings handed out are freed with bps_free.

#include "platform/Screen.h"

namespace platform {

struct bps_event_t;

constexpr int BPS_SUCCESS = 0;
constexpr int BPS_FAILURE = -1;

int bps_initialize();
void bps_shutdown();
// timeout_ms 0 does not wait, -1 waits for ever. *event is null when none came.
int bps_get_event(bps_event_t** event, int timeout_ms);
int bps_event_get_domain(bps_event_t* event);
unsigned int bps_event_get_code(bps_event_t* event);
void bps_free(void* p);

// Screen domain: one code, the screen event inside.
int screen_get_domain();
int screen_request_events(screen_context_t context);
int screen_stop_events(screen_context_t context);
screen_event_t screen_event_get_event(bps_event_t* event);  // null for another domain

// Navigator: exit, window state changes, web links.
constexpr unsigned int NAVIGATOR_EXIT = 2;
constexpr unsigned int NAVIGATOR_WINDOW_STATE = 3;
constexpr int NAVIGATOR_WINDOW_FULLSCREEN = 0;
constexpr int NAVIGATOR_WINDOW_THUMBNAIL = 1;
constexpr int NAVIGATOR_WINDOW_INVISIBLE = 2;
int navigator_get_domain();
int navigator_request_events(int flags);
int navigator_event_get_window_state(bps_event_t* event);  // -1 for another event
// Prints "Opening <url>" on standard output; with the x11 backend also hands it to xdg-open.
int navigator_invoke(const char* url, char** error);
int navigator_set_orientation(int angle, char** error);  // accepted; the window never turns

// Virtual keyboard: shown and hidden (script only).
constexpr unsigned int VIRTUALKEYBOARD_EVENT_VISIBLE = 1;
constexpr unsigned int VIRTUALKEYBOARD_EVENT_HIDDEN = 2;
int virtualkeyboard_get_domain();
int virtualkeyboard_request_events(int flags);

// Locale from LANG ("fr_FR.UTF-8" gives "fr" and "FR"; unset, C or POSIX give "en" and "US").
int locale_get_domain();
int locale_request_events(int flags);
int locale_get(char** language, char** country);  // both freed with bps_free

// Accelerometer forces in g: zero unless a script gives some.
constexpr int ACCELEROMETER_FREQUENCY_25HZ = 25;
int accelerometer_set_update_frequency(int hertz);
int accelerometer_read_forces(double* x, double* y, double* z);

// Network: available when an interface other than loopback is up, unless forced.
int netstatus_get_availability(bool* available);
void netstatus_force(int available);  // 1 or 0 forces the answer, -1 asks the system again (tests)

}  // namespace platform
