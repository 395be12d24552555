#pragma once
// The event services' one queue. Backends and the script push; bps_get_event pops. Events of a
// domain nobody requested are dropped on the way in, as the tablet never delivers them.

#include "platform/ScreenObjects.h"

#include <deque>
#include <mutex>

namespace platform {

enum Domain : int { kScreenDomain = 1, kNavigatorDomain, kKeyboardDomain, kLocaleDomain };

struct HubEvent {
    int domain = 0;
    unsigned int code = 0;
    int windowState = -1;  // navigator window-state events
    ScreenEvent screen;    // screen events
};

class EventHub {
public:
    static EventHub& instance();

    void pushTouch(int type, int id, int x, int y);
    void pushKey(int sym);
    void pushWindowState(int state);
    void pushExit();
    void pushKeyboard(unsigned int code);

    // Called by the event services only (Bps.cpp).
    void push(const HubEvent& event);
    bool pop(HubEvent& out);
    void setRequested(int domain, bool on);
    void clear();  // drops queued events and every request

private:
    std::mutex m_mutex;
    std::deque<HubEvent> m_queue;
    bool m_requested[5] = {};
};

}  // namespace platform
