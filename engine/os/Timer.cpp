#include "engine/os/Timer.h"

#include <cmath>
#include <ctime>

namespace pravik::os {

namespace {

std::uint64_t monotonicMicroSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::uint64_t(ts.tv_sec) * 1000000u + std::uint64_t(ts.tv_nsec) / 1000u;
}

Timer::TimeSource g_source = monotonicMicroSeconds;

} // namespace

float Timer::VirtualTimerSpeed = 1.0f;
std::int32_t Timer::VirtualTimerStopCounter = 0;
std::uint32_t Timer::LastVirtualTime = 0;
std::uint32_t Timer::StaticTime = 0;
std::uint32_t Timer::StartRealTime = 0;
std::uint32_t Timer::TickCount = 0;

void Timer::setTimeSource(TimeSource source)
{
    g_source = source ? source : monotonicMicroSeconds;
}

std::uint32_t Timer::getRealTime()
{
    return std::uint32_t(g_source() / 1000u);
}

std::uint32_t Timer::getMicroSeconds()
{
    return std::uint32_t(g_source());
}

void Timer::initTimer()
{
    StaticTime = StartRealTime = getRealTime();
}

void Timer::tick()
{
    StaticTime = getRealTime();
    ++TickCount;
}

std::uint32_t Timer::getTime()
{
    if (isStopped())
        return LastVirtualTime;
    const std::uint32_t elapsed = StaticTime - StartRealTime;
    // At speed 1 the elapsed time is added exactly; a float product would lose whole
    // milliseconds after a few hours of play, so other speeds use double.
    if (VirtualTimerSpeed == 1.0f)
        return LastVirtualTime + elapsed;
    double scaled = std::fmod(double(elapsed) * double(VirtualTimerSpeed), 4294967296.0);
    if (!std::isfinite(scaled))
        scaled = 0.0;
    return LastVirtualTime + std::uint32_t(scaled);   // wraps like the 32-bit clock it is
}

void Timer::setTime(std::uint32_t time)
{
    StaticTime = StartRealTime = getRealTime();
    LastVirtualTime = time;
}

void Timer::setSpeed(float speed)
{
    setTime(getTime());
    VirtualTimerSpeed = speed >= 0.0f ? speed : 0.0f;   // a NaN speed is no speed either
}

void Timer::stopTimer()
{
    if (!isStopped())
        LastVirtualTime = getTime();
    --VirtualTimerStopCounter;
}

void Timer::startTimer()
{
    ++VirtualTimerStopCounter;
    if (VirtualTimerStopCounter == 0)
        setTime(LastVirtualTime);
}

} // namespace pravik::os
