#include "platform/EventHub.h"

#include "platform/Bps.h"

namespace platform {

EventHub& EventHub::instance()
{
    static EventHub hub;
    return hub;
}

void EventHub::push(const HubEvent& event)
{
    std::lock_guard lock(m_mutex);
    if (event.domain > 0 && event.domain < 5 && m_requested[event.domain])
        m_queue.push_back(event);
}

bool EventHub::pop(HubEvent& out)
{
    std::lock_guard lock(m_mutex);
    if (m_queue.empty())
        return false;
    out = m_queue.front();
    m_queue.pop_front();
    return true;
}

void EventHub::setRequested(int domain, bool on)
{
    std::lock_guard lock(m_mutex);
    if (domain > 0 && domain < 5)
        m_requested[domain] = on;
}

void EventHub::clear()
{
    std::lock_guard lock(m_mutex);
    m_queue.clear();
    for (bool& r : m_requested)
        r = false;
}

void EventHub::pushTouch(int type, int id, int x, int y)
{
    HubEvent e;
    e.domain = kScreenDomain;
    e.screen.type = type;
    e.screen.touchId = id;
    e.screen.position[0] = x;
    e.screen.position[1] = y;
    push(e);
}

void EventHub::pushKey(int sym)
{
    HubEvent e;
    e.domain = kScreenDomain;
    e.screen.type = SCREEN_EVENT_KEYBOARD;
    e.screen.keySym = sym;
    push(e);
}

void EventHub::pushWindowState(int state)
{
    HubEvent e;
    e.domain = kNavigatorDomain;
    e.code = NAVIGATOR_WINDOW_STATE;
    e.windowState = state;
    push(e);
}

void EventHub::pushExit()
{
    HubEvent e;
    e.domain = kNavigatorDomain;
    e.code = NAVIGATOR_EXIT;
    push(e);
}

void EventHub::pushKeyboard(unsigned int code)
{
    HubEvent e;
    e.domain = kKeyboardDomain;
    e.code = code;
    push(e);
}

}  // namespace platform
