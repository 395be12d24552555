// A settled main-menu frame: the whole program in process on the sample data, headless, booted
// through the splash to the main menu and left to settle; then 600 frames of the game's frame
// (update, paint, overlay, batch flush: CGame::OnMainLoop) on a clock that moves 16 ms a frame.
// CPU: main-thread CPU time with GL draws and clears counted and not forwarded (every other GL
// call is forwarded and counted), C++ allocations counted on the main thread. llvmpipe: the same
// frames drawn for real, presented and finished, in wall time. Both against the 16.7 ms frame;
// each run is a child process of its own, as the program's singletons last a process.

#include <benchmark/benchmark.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <new>
#include <vector>

#include "bench/SampleData.h"
#include "engine/os/StandardRandom.h"
#include "engine/os/Timer.h"
#include "engine/video/gl/CGLCallRecorder.h"
#include "engine/video/gl/GLDispatch.h"
#include "framework/CGame.h"
#include "framework/EventHandler.h"
#include "framework/Screen.h"
#include "framework/ZyGame.h"
#include "game/CAIGame.h"
#include "platform/Clock.h"

// C++ allocations of the calling thread, for the whole benchmark program.
namespace {
thread_local uint64_t t_allocations = 0;
}
void* operator new(std::size_t size)
{
    ++t_allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    ++t_allocations;
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& t) noexcept { return operator new(size, t); }
// These deletes pair with the mallocs above; GCC sees only the library new they replace.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace {

namespace fs = std::filesystem;
using WallClock = std::chrono::steady_clock;
constexpr double kFrameMs = 1000.0 / 60.0;
constexpr int kBootFrames = 2000, kSettleFrames = 300, kWarmUpFrames = 60, kFrames = 600;

struct SResult {
    bool ok = false;
    double medianMs = 0, p95Ms = 0, worstMs = 0;
    double draws = 0, clears = 0, glCalls = 0;   // per frame
    uint64_t allocations = 0;                    // over the measured frames
    uint64_t warmUpAllocations = 0;
    uint64_t bootAllocations = 0;                // shows that the count sees the program's allocations
};

// Draws and clears: counted here, never reaching the driver.
uint64_t g_draws = 0, g_clears = 0;
void GL_APIENTRY countDrawArrays(GLenum, GLint, GLsizei) { ++g_draws; }
void GL_APIENTRY countDrawElements(GLenum, GLsizei, GLenum, const void*) { ++g_draws; }
void GL_APIENTRY countClear(GLbitfield) { ++g_clears; }

uint64_t g_benchUs = 0;
uint64_t benchClock() { return g_benchUs; }

double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// From the first frame to the settled main menu, tapping through the splash; false when the
// menu is not reached.
bool bootToMenu(ZyGame& shell)
{
    bool tapped = false, released = false;
    int settled = -1;
    for (int frame = 0; frame < kBootFrames; ++frame) {
        shell.turn();
        if (CAIGame::s_stateCurrent == STATE_MAIN && settled < 0)
            settled = frame + kSettleFrames;
        if (settled >= 0 && frame >= settled)
            return true;
        if (released) {
        } else if (tapped) {
            shell.onTouchRelease(1, 300, 512);
            released = true;
        } else if (CAIGame::s_stateCurrent == STATE_SPLASH && CAIGame::s_loadingIsFinished) {
            shell.onTouchPress(1, 300, 512);
            tapped = true;
        }
    }
    return false;
}

void percentiles(std::vector<double> ms, SResult& r)
{
    std::sort(ms.begin(), ms.end());
    r.medianMs = ms[ms.size() / 2];
    r.p95Ms = ms[std::min(ms.size() - 1, ms.size() * 95 / 100)];
    r.worstMs = ms.back();
}

// In the child: boot, settle, measure; the result goes to `out`.
[[noreturn]] void menuChild(const fs::path& run, bool drawn, int out)
{
    SResult r;
    if (bench::EnterRun(run)) {
        ZyGame& shell = ZyGame::instance();
        CGame* game = nullptr;
        if (shell.init()) {
            EventHandler::instance().setListener(&shell);
            if (bootToMenu(shell))
                game = CGame::GetGame();
        }
        if (game) {
            r.bootAllocations = t_allocations;
            g_benchUs = platform::Clock::frameTimeMs() * 1000;
            pravik::os::Timer::setTimeSource(benchClock);
            std::vector<double> ms;
            ms.reserve(kFrames);
            auto frame = [&] {
                g_benchUs += 16000;
                game->OnMainLoop();
                if (drawn) {
                    Screen::instance().swapBuffers();
                    pravik::video::g_gl.glFinish();
                }
            };
            if (drawn) {
                for (int i = 0; i < kWarmUpFrames; ++i)
                    frame();
                for (int i = 0; i < kFrames; ++i) {
                    const WallClock::time_point t0 = WallClock::now();
                    frame();
                    ms.push_back(std::chrono::duration<double, std::milli>(WallClock::now() - t0).count());
                }
            } else {
                pravik::video::CGLCallRecorder gl(false);
                pravik::video::g_gl.glDrawArrays = countDrawArrays;
                pravik::video::g_gl.glDrawElements = countDrawElements;
                pravik::video::g_gl.glClear = countClear;
                const uint64_t a0 = t_allocations;
                for (int i = 0; i < kWarmUpFrames; ++i)
                    frame();
                r.warmUpAllocations = t_allocations - a0;
                gl.clear();
                g_draws = g_clears = 0;
                const uint64_t a1 = t_allocations;
                for (int i = 0; i < kFrames; ++i) {
                    const double t0 = threadCpuMs();
                    frame();
                    ms.push_back(threadCpuMs() - t0);
                }
                r.allocations = t_allocations - a1;
                r.draws = double(g_draws) / kFrames;
                r.clears = double(g_clears) / kFrames;
                r.glCalls = double(gl.total() + g_draws + g_clears) / kFrames;
            }
            percentiles(ms, r);
            r.ok = CAIGame::s_stateCurrent == STATE_MAIN;
        }
    }
    (void)!write(out, &r, sizeof r);
    std::_Exit(0);
}

SResult measure(bool drawn)
{
    const fs::path run = fs::path(bench::sampleData()).parent_path() / (drawn ? "menu-drawn" : "menu-cpu");
    fs::remove_all(run);
    fs::create_directories(run / "data");
    fs::create_directory_symlink(fs::path(bench::sampleData()) / "app", run / "app");
    return bench::fromChild<SResult>([&](int out) { menuChild(run, drawn, out); });
}

void report(benchmark::State& state, bool drawn)
{
    if (bench::sampleData().empty())
        return state.SkipWithError("the sample-data builder failed");
    SResult r;
    for (auto _ : state) {
        r = measure(drawn);
        if (!r.ok)
            return state.SkipWithError("the settled main menu was not reached");
        state.SetIterationTime(r.medianMs / 1e3);
    }
    state.counters["median_ms"] = r.medianMs;
    state.counters["p95_ms"] = r.p95Ms;
    state.counters["worst_ms"] = r.worstMs;
    state.counters["frame_share_p95"] = r.p95Ms / kFrameMs;
    if (!drawn) {
        state.counters["draws_per_frame"] = r.draws;
        state.counters["clears_per_frame"] = r.clears;
        state.counters["gl_calls_per_frame"] = r.glCalls;
        state.counters["allocs_per_frame"] = double(r.allocations) / kFrames;
        state.counters["allocs_warm_up"] = double(r.warmUpAllocations);
        state.counters["allocs_boot"] = double(r.bootAllocations);
    }
}

void BM_MainMenuFrameCpu(benchmark::State& state) { report(state, false); }
BENCHMARK(BM_MainMenuFrameCpu)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();

void BM_MainMenuFrameLlvmpipe(benchmark::State& state) { report(state, true); }
BENCHMARK(BM_MainMenuFrameLlvmpipe)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();

}  // namespace
