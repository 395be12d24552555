// One main-loop turn of the shell with an empty session on a headless pbuffer: the event pump
// and the application's frame, then the same with a clear and a present (eglSwapBuffers called
// directly, as the platform's 60-a-second hold would otherwise measure the wait).

#include <benchmark/benchmark.h>

#include <GLES/gl.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

#include "framework/AppPlaybook.h"
#include "framework/EventHandler.h"
#include "framework/GameInterface.h"
#include "framework/Screen.h"
#include "framework/ZyGame.h"

namespace {

bool startShell()
{
    static const bool ok = [] {
        setenv("QUENDRAX_VIDEO", "headless", 0);
        // The game installs itself when linked in; the shell's own cost is measured without it.
        SetGameInterface(nullptr);
        // The shell's start-up print would mix with the table.
        std::fflush(stdout);
        const int saved = dup(1);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        const bool started = ZyGame::instance().init();
        std::fflush(stdout);
        dup2(saved, 1);
        close(null);
        close(saved);
        EventHandler::instance().setListener(&ZyGame::instance());
        return started;
    }();
    return ok;
}

void BM_ShellTurn(benchmark::State& state)
{
    if (!startShell()) {
        state.SkipWithError("no headless EGL");
        return;
    }
    for (auto _ : state) {
        EventHandler::instance().handleEvents();
        AppPlaybook::instance().onAppUpdate();
    }
}
BENCHMARK(BM_ShellTurn);

void BM_ShellTurnClearPresent(benchmark::State& state)
{
    if (!startShell()) {
        state.SkipWithError("no headless EGL");
        return;
    }
    Screen& screen = Screen::instance();
    for (auto _ : state) {
        EventHandler::instance().handleEvents();
        AppPlaybook::instance().onAppUpdate();
        glClear(GL_COLOR_BUFFER_BIT);
        eglSwapBuffers(screen.m_display, screen.m_surface);
    }
}
BENCHMARK(BM_ShellTurnClearPresent);

} // namespace
