// The event pump: each turn reads the accelerometer, then takes the platform's events without
// waiting and turns touches, window states, exit and the virtual keyboard into listener calls.
// Other screen event types and other domains reach no listener.
#pragma once

#include "platform/Bps.h"

class IEventsListener {
public:
    virtual void onFullScreen() {}
    virtual void onMinimizedOrInvisible() {}
    virtual void onScreenRotationChanged(int angle) { (void)angle; }
    virtual void onExit() {}
    virtual void onTouchPress(int id, int x, int y) { (void)id, (void)x, (void)y; }
    virtual void onTouchRelease(int id, int x, int y) { (void)id, (void)x, (void)y; }
    virtual void onTouchMove(int id, int x, int y) { (void)id, (void)x, (void)y; }

protected:
    ~IEventsListener() = default;
};

class EventHandler {
public:
    static EventHandler& instance();
    virtual ~EventHandler() = default;

    bool init(platform::screen_context_t context);   // false with one line when a request fails
    void handleEvents();
    void destroy();
    void setListener(IEventsListener* listener) { m_listener = listener; }
    void handleOrientationEvent(int angle);

    bool IsRunning() const { return m_running; }

private:
    EventHandler() = default;
    void handleScreenEvent(platform::bps_event_t* event);
    void handleNavigatorEvent(platform::bps_event_t* event);
    void handleVkbEvent(platform::bps_event_t* event);

    platform::screen_context_t m_context = nullptr;
    IEventsListener* m_listener = nullptr;
    bool m_running = false;
    bool m_keyboardEvents = true;
    int m_touchPosition[2] = {0, 0};
    double m_force[3] = {0, 0, 0};
};
