#include "platform/Clock.h"

#include "platform/ScriptPlayer.h"

#include <atomic>
#include <ctime>

namespace platform {

namespace {

std::atomic<uint64_t> g_frames{0};
std::atomic<bool> g_presentedSinceIdle{true};

}  // namespace

uint64_t Clock::monotonicNs()
{
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
