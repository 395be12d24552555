// The shell's listener and main loop. Each turn pumps the events; while inactive it sleeps 100 ms
// and runs no frame, otherwise it runs one application turn and presents. After the navigator's
// exit the platform is torn down ("Shutting down Screen") and the process ends with status 0.
// Start-up failures stop the process with one line and status 1.
#pragma once

#include "framework/EventHandler.h"

class ZyGame : public IEventsListener {
public:
    static ZyGame& instance();
    virtual ~ZyGame() = default;

    bool init();          // Screen, events, AppPlaybook, the application's start
    [[noreturn]] void start();
    void turn();          // one turn of the main loop
    void destroy();

    void onFullScreen() override;
    void onMinimizedOrInvisible() override;
    void onScreenRotationChanged(int angle) override;
    void onExit() override;
    void onTouchPress(int id, int x, int y) override;
    void onTouchRelease(int id, int x, int y) override;
    void onTouchMove(int id, int x, int y) override;

    bool IsActive() const { return m_active != 0; }
    bool HasExited() const { return m_exited; }

    // How the loop sleeps and how the process ends: the system's by default; tests record them.
    struct SHooks {
        void (*sleepMicroseconds)(unsigned us);
        void (*exitProcess)(int status);
    };
    static void SetHooks(const SHooks& hooks);

private:
    ZyGame() = default;
    int m_active = 1;
    bool m_exited = false;
};
