// The event services: the queue of EventHub fed from the video backend and the script, plus
// locale, accelerometer, network status and web links.

#include "platform/Bps.h"

#include "platform/Clock.h"
#include "platform/EventHub.h"
#include "platform/ScriptPlayer.h"
#include "platform/VideoBackend.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>

extern char** environ;

namespace platform {

struct bps_event_t {
    HubEvent event;
};

namespace {

std::atomic<int> g_initCount{0};
bps_event_t g_current;      // the event last handed out
bool g_turnEnded = true;    // the pump ran dry: the next call begins a turn
std::atomic<int> g_netForced{-1};

// Turns are counted where one begins: the force read or the first event request after the pump
// ran dry, whichever comes first.
void beginTurn()
{
    if (g_turnEnded) {
        g_turnEnded = false;
        Clock::countTurn();
    }
}

void takeScriptEvents(EventHub& hub)
{
    // Headless, nobody can close the window: a script that does not end the run ends it anyway.
    const VideoBackend* video = Video::current();
    const bool impliedExit = !video || std::string_view(video->name()) == "headless";
    ScriptEvent ev;
    while (ScriptPlayer::instance().nextEvent(Clock::frames(), impliedExit, ev)) {
        switch (ev.kind) {
        case ScriptEvent::Kind::Touch: hub.pushTouch(SCREEN_EVENT_MTOUCH_TOUCH, ev.id, ev.x, ev.y); break;
        case ScriptEvent::Kind::Move: hub.pushTouch(SCREEN_EVENT_MTOUCH_MOVE, ev.id, ev.x, ev.y); break;
        case ScriptEvent::Kind::Release: hub.pushTouch(SCREEN_EVENT_MTOUCH_RELEASE, ev.id, ev.x, ev.y); break;
        case ScriptEvent::Kind::Key: hub.pushKey(ev.id); break;
        case ScriptEvent::Kind::Pause: hub.pushWindowState(NAVIGATOR_WINDOW_THUMBNAIL); break;
        case ScriptEvent::Kind::Resume: hub.pushWindowState(NAVIGATOR_WINDOW_FULLSCREEN); break;
        case ScriptEvent::Kind::KeyboardShown: hub.pushKeyboard(VIRTUALKEYBOARD_EVENT_VISIBLE); break;
        case ScriptEvent::Kind::KeyboardHidden: hub.pushKeyboard(VIRTUALKEYBOARD_EVENT_HIDDEN); break;
        case ScriptEvent::Kind::Exit: hub.pushExit(); break;
        default: break;
        }
    }
}

char* copy(const std::string& s)
{
    return strdup(s.c_str());
}

bool onPath(const char* program)
{
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    size_t at = 0;
    while (at <= dirs.size()) {
        const size_t end = std::min(dirs.find(':', at), dirs.size());
        const std::string file = dirs.substr(at, end - at) + "/" + program;
        if (end > at && access(file.c_str(), X_OK) == 0)
            return true;
        at = end + 1;
    }
    return false;
}

void openOnDesktop(const char* url)
{
    if (!onPath("xdg-open"))
        return;
    char* argv[] = {const_cast<char*>("xdg-open"), const_cast<char*>(url), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv, environ) != 0)
        return;
    std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();  // reaped, never waited for
}

}  // namespace

int bps_initialize()
{
    ScriptPlayer::instance().active();  // a bad script stops the run here, before any frame
    ++g_initCount;
    return BPS_SUCCESS;
}

void bps_shutdown()
{
    if (g_initCount > 0 && --g_initCount == 0)
        EventHub::instance().clear();
}

int bps_get_event(bps_event_t** event, int timeout_ms)
{
    if (!event)
        return BPS_FAILURE;
    *event = nullptr;
    if (g_initCount == 0)
        return BPS_FAILURE;
    beginTurn();
    EventHub& hub = EventHub::instance();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(timeout_ms, 0));
    for (;;) {
        if (VideoBackend* video = Video::current())
            video->poll(hub);
        takeScriptEvents(hub);
        if (hub.pop(g_current.event)) {
            *event = &g_current;
            return BPS_SUCCESS;
        }
        if (timeout_ms == 0 || (timeout_ms > 0 && std::chrono::steady_clock::now() >= deadline))
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    g_turnEnded = true;
    return BPS_SUCCESS;
}

int bps_event_get_domain(bps_event_t* event)
{
    return event ? event->event.domain : BPS_FAILURE;
}

unsigned int bps_event_get_code(bps_event_t* event)
{
    return event ? event->event.code : 0;
}

void bps_free(void* p)
{
    std::free(p);
}

int screen_get_domain()
{
    return kScreenDomain;
}

int screen_request_events(screen_context_t context)
{
    if (!context)
        return BPS_FAILURE;
    context->eventsRequested = true;
    EventHub::instance().setRequested(kScreenDomain, true);
    return BPS_SUCCESS;
}

int screen_stop_events(screen_context_t context)
{
    if (!context)
        return BPS_FAILURE;
    context->eventsRequested = false;
    EventHub::instance().setRequested(kScreenDomain, false);
    return BPS_SUCCESS;
}

screen_event_t screen_event_get_event(bps_event_t* event)
{
    return event && event->event.domain == kScreenDomain ? &event->event.screen : nullptr;
}

int navigator_get_domain()
{
    return kNavigatorDomain;
}

int navigator_request_events(int)
{
    EventHub::instance().setRequested(kNavigatorDomain, true);
    return BPS_SUCCESS;
}

int navigator_event_get_window_state(bps_event_t* event)
{
    return event && event->event.domain == kNavigatorDomain && event->event.code == NAVIGATOR_WINDOW_STATE
               ? event->event.windowState
               : -1;
}

int navigator_invoke(const char* url, char** error)
{
    if (error)
        *error = nullptr;
    if (!url || !*url) {
        if (error)
            *error = copy("no address to open");
        return BPS_FAILURE;
    }
    std::printf("Opening %s\n", url);
    std::fflush(stdout);
    if (VideoBackend* video = Video::current(); video && video->opensLinks())
        openOnDesktop(url);
    return BPS_SUCCESS;
}

int navigator_set_orientation(int, char** error)
{
    if (error)
        *error = nullptr;
    return BPS_SUCCESS;
}

int virtualkeyboard_get_domain()
{
    return kKeyboardDomain;
}

int virtualkeyboard_request_events(int)
{
    EventHub::instance().setRequested(kKeyboardDomain, true);
    return BPS_SUCCESS;
}

int locale_get_domain()
{
    return kLocaleDomain;
}

int locale_request_events(int)
{
    EventHub::instance().setRequested(kLocaleDomain, true);
    return BPS_SUCCESS;
}

int locale_get(char** language, char** country)
{
    if (!language || !country)
        return BPS_FAILURE;
    const char* env = std::getenv("LANG");
    std::string lang = env ? env : "";
    lang = lang.substr(0, lang.find_first_of(".@"));
    std::string lg = lang.substr(0, lang.find('_'));
    std::string ct = lang.find('_') == std::string::npos ? "" : lang.substr(lang.find('_') + 1);
    if (lg.empty() || lg == "C" || lg == "POSIX") {
        lg = "en";
        ct = "US";
    }
    *language = copy(lg);
    *country = copy(ct);
    return BPS_SUCCESS;
}

int accelerometer_set_update_frequency(int hertz)
{
    return hertz > 0 ? BPS_SUCCESS : BPS_FAILURE;
}

int accelerometer_read_forces(double* x, double* y, double* z)
{
    if (!x || !y || !z)
        return BPS_FAILURE;
    if (g_initCount > 0)
        beginTurn();
    double f[3] = {0, 0, 0};
    ScriptPlayer::instance().forcesAt(Clock::frames(), f);
    *x = f[0];
    *y = f[1];
    *z = f[2];
    return BPS_SUCCESS;
}

int netstatus_get_availability(bool* available)
{
    if (!available)
        return BPS_FAILURE;
    if (const int forced = g_netForced; forced >= 0) {
        *available = forced != 0;
        return BPS_SUCCESS;
    }
    *available = false;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return BPS_SUCCESS;
    for (ifaddrs* a = list; a; a = a->ifa_next)
        if ((a->ifa_flags & IFF_UP) && (a->ifa_flags & IFF_RUNNING) && !(a->ifa_flags & IFF_LOOPBACK))
            *available = true;
    freeifaddrs(list);
    return BPS_SUCCESS;
}

void netstatus_force(int available)
{
    g_netForced = available < 0 ? -1 : available != 0;
}

}  // namespace platform
