#include "framework/EventHandler.h"

#include "framework/AppPlaybook.h"

#include <cstdio>

using namespace platform;

EventHandler& EventHandler::instance()
{
    static EventHandler handler;
    return handler;
}

bool EventHandler::init(screen_context_t context)
{
    m_context = context;
    const struct {
        const char* what;
        int result;
    } kSteps[] = {
        {"bps_initialize", bps_initialize()},
        {"screen_request_events", screen_request_events(context)},
        {"virtualkeyboard_request_events", virtualkeyboard_request_events(0)},
        {"locale_request_events", locale_request_events(0)},
        {"navigator_request_events", navigator_request_events(0)},
        {"accelerometer_set_update_frequency", accelerometer_set_update_frequency(ACCELEROMETER_FREQUENCY_25HZ)},
    };
    for (const auto& s : kSteps)
        if (s.result != BPS_SUCCESS) {
            std::fprintf(stderr, "quendrax: %s failed\n", s.what);
            return false;
        }
    m_running = true;
    return true;
}

void EventHandler::destroy()
{
    m_running = false;
    screen_stop_events(m_context);
    bps_shutdown();
}

void EventHandler::handleEvents()
{
    if (m_running) {
        accelerometer_read_forces(&m_force[0], &m_force[1], &m_force[2]);
        AppPlaybook::instance().onAccelerometer(-9.81 * m_force[1], 9.81 * m_force[0], 9.81 * m_force[2]);
    }
    while (m_running) {
        bps_event_t* event = nullptr;
        if (bps_get_event(&event, 0) != BPS_SUCCESS || !event)
            break;
        if (!m_listener)
            continue;
        const int domain = bps_event_get_domain(event);
        if (domain == screen_get_domain())
            handleScreenEvent(event);
        else if (domain == navigator_get_domain())
            handleNavigatorEvent(event);
        else if (domain == virtualkeyboard_get_domain())
            handleVkbEvent(event);
    }
}

void EventHandler::handleScreenEvent(bps_event_t* event)
{
    screen_event_t screenEvent = screen_event_get_event(event);
    int type = SCREEN_EVENT_NONE;
    if (screen_get_event_property_iv(screenEvent, SCREEN_PROPERTY_TYPE, &type) != 0)
        return;
    if (type != SCREEN_EVENT_MTOUCH_TOUCH && type != SCREEN_EVENT_MTOUCH_MOVE && type != SCREEN_EVENT_MTOUCH_RELEASE)
        return;
    int id = 0;
    screen_get_event_property_iv(screenEvent, SCREEN_PROPERTY_TOUCH_ID, &id);
    screen_get_event_property_iv(screenEvent, SCREEN_PROPERTY_SOURCE_POSITION, m_touchPosition);
    const int x = m_touchPosition[0], y = m_touchPosition[1];
    if (type == SCREEN_EVENT_MTOUCH_TOUCH)
        m_listener->onTouchPress(id, x, y);
    else if (type == SCREEN_EVENT_MTOUCH_MOVE)
        m_listener->onTouchMove(id, x, y);
    else
        m_listener->onTouchRelease(id, x, y);
}

void EventHandler::handleNavigatorEvent(bps_event_t* event)
{
    const unsigned code = bps_event_get_code(event);
    if (code == NAVIGATOR_EXIT) {
        m_listener->onExit();
        return;
    }
    if (code != NAVIGATOR_WINDOW_STATE)
        return;
    const int state = navigator_event_get_window_state(event);
    if (state == NAVIGATOR_WINDOW_FULLSCREEN) {
        m_keyboardEvents = true;
        m_listener->onFullScreen();
    } else if (state == NAVIGATOR_WINDOW_THUMBNAIL || state == NAVIGATOR_WINDOW_INVISIBLE) {
        m_keyboardEvents = false;
        m_listener->onMinimizedOrInvisible();
    }
}

void EventHandler::handleVkbEvent(bps_event_t* event)
{
    if (!m_keyboardEvents)
        return;
    const unsigned code = bps_event_get_code(event);
    std::printf("handleVkbEvent: %d\n", int(code));
    if (code == VIRTUALKEYBOARD_EVENT_VISIBLE)
        m_listener->onMinimizedOrInvisible();
    else if (code == VIRTUALKEYBOARD_EVENT_HIDDEN)
        m_listener->onFullScreen();
}

void EventHandler::handleOrientationEvent(int angle)
{
    if (angle != 0 && angle != 180)
        return;
    navigator_set_orientation(angle, nullptr);
    if (m_listener)
        m_listener->onScreenRotationChanged(angle);
}
