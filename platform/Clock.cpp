#include "platform/Clock.h"

#include "platform/ScriptPlayer.h"

#include <atomic>
#include <chrono>
#include <ctime>

namespace platform {

namespace {

std::atomic<uint64_t> g_frames{0};
std::atomic<bool> g_presentedSinceIdle{true};
std::atomic<ClockSource*> g_source{nullptr};

}  // namespace

void Clock::setSource(ClockSource* source) { g_source = source; }

void Clock::waitFor(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, uint64_t ns)
{
    if (ClockSource* source = g_source.load())
        source->waitFor(cv, lock, ns);
    else
        cv.wait_for(lock, std::chrono::nanoseconds(ns));
}

void Clock::wait(std::condition_variable& cv, std::unique_lock<std::mutex>& lock)
{
    if (ClockSource* source = g_source.load())
        source->wait(cv, lock);
    else
        cv.wait(lock);
}

uint64_t Clock::monotonicNs()
{
    if (ClockSource* source = g_source.load())
        return source->nowNs();
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return uint64_t(ts.tv_sec) * 1000000000ull + uint64_t(ts.tv_nsec);
}

uint64_t Clock::monotonicMs()
{
    return monotonicNs() / 1000000ull;
}

uint64_t Clock::frameTimeMs()
{
    return scripted() ? frames() * kScriptFrameMs : monotonicMs();
}

uint64_t Clock::frames()
{
    return g_frames.load();
}

void Clock::countPresent()
{
    ++g_frames;
    g_presentedSinceIdle = true;
}

void Clock::countTurn()
{
    if (!g_presentedSinceIdle.exchange(false))
        ++g_frames;
}

void Clock::reset()
{
    g_frames = 0;
    g_presentedSinceIdle = true;
}

bool Clock::scripted()
{
    return ScriptPlayer::instance().active();
}

}  // namespace platform
