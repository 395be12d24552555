// The engine clock: real time in milliseconds and a virtual clock that moves only when tick()
// (or a set) latches a new real time. Virtual time can run at another speed and be stopped;
// stops nest. Real time comes from a time source that tests and input scripts may replace.
// Main thread only.
#pragma once

#include <cstdint>

namespace pravik::os {

class Timer {
public:
    // Microseconds since an arbitrary origin, never going backwards. Null restores the
    // monotonic clock.
    using TimeSource = std::uint64_t (*)();
    static void setTimeSource(TimeSource source);

    static std::uint32_t getRealTime();       // milliseconds, wraps after about 49.7 days
    static std::uint32_t getMicroSeconds();   // wraps after about 71.6 minutes

    static void initTimer();
    static void tick();
    static std::uint32_t getTime();
    static void setTime(std::uint32_t time);
    static void setSpeed(float speed);        // negative speeds become 0
    static float getSpeed() { return VirtualTimerSpeed; }
    static void stopTimer();
    static void startTimer();
    static bool isStopped() { return VirtualTimerStopCounter != 0; }

    static float VirtualTimerSpeed;
    static std::int32_t VirtualTimerStopCounter;
    static std::uint32_t LastVirtualTime;
    static std::uint32_t StaticTime;
    static std::uint32_t StartRealTime;
    static std::uint32_t TickCount;   // frame stamp of the batching code
};

} // namespace pravik::os
