#include "framework/ZyGame.h"

#include "framework/AppPlaybook.h"
#include "framework/GameInterface.h"
#include "framework/Screen.h"
#include "framework/Trace.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

void systemSleep(unsigned us)
{
    usleep(us);
}

// Ends at once after flushing: no static destructor may race the audio threads.
void systemExit(int status)
{
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(status);
}

ZyGame::SHooks s_hooks = {systemSleep, systemExit};

} // namespace

void ZyGame::SetHooks(const SHooks& hooks)
{
    s_hooks = hooks;
}

ZyGame& ZyGame::instance()
{
    static ZyGame game;
    return game;
}

bool ZyGame::init()
{
    if (!AppPlaybook::InitDirectories())
        return false;
    if (!Screen::instance().init())
        return false;
    if (!EventHandler::instance().init(Screen::instance().m_screenContext))
        return false;
    return AppPlaybook::instance().onAppInit(600, 1024);
}

void ZyGame::start()
{
    if (!init()) {
        s_hooks.exitProcess(1);
        std::_Exit(1);   // a hook that returns does not let a failed start run frames
    }
    EventHandler::instance().setListener(this);
    for (;;)
        turn();
}

void ZyGame::turn()
{
    EventHandler::instance().handleEvents();
    if (!m_active) {
        if (!m_exited)
            Trace("idle");
        s_hooks.sleepMicroseconds(100000);
        return;
    }
    AppPlaybook::instance().onAppUpdate();
    Screen::instance().swapBuffers();
}

void ZyGame::destroy()
{
    EventHandler::instance().setListener(nullptr);
    AppPlaybook::instance().onAppDestroy();
    EventHandler::instance().destroy();
    Screen::instance().destroy();
}

void ZyGame::onFullScreen()
{
    m_active = 1;
    AppPlaybook::instance().onAppResume();
}

void ZyGame::onMinimizedOrInvisible()
{
    m_active = 0;
    AppPlaybook::instance().onAppPause();
}

void ZyGame::onScreenRotationChanged(int angle)
{
    if (Screen::instance().m_window)
        platform::screen_set_window_property_iv(Screen::instance().m_window, platform::SCREEN_PROPERTY_ROTATION, &angle);
}

void ZyGame::onExit()
{
    m_active = 0;
    Trace("exit");
    // The process ends without static destructors: the last save asked for must be on disk first.
    GameInterface().WaitForSave();
    destroy();
    m_exited = true;
    s_hooks.exitProcess(0);
}

void ZyGame::onTouchPress(int id, int x, int y)
{
    AppPlaybook::instance().onTouchPress(id, x, y);
}

void ZyGame::onTouchRelease(int id, int x, int y)
{
    AppPlaybook::instance().onTouchRelease(id, x, y);
}

void ZyGame::onTouchMove(int id, int x, int y)
{
    AppPlaybook::instance().onTouchMove(id, x, y);
}
