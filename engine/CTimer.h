// The timer the device creates (count 1); a view onto the static engine clock.
#pragma once

#include "engine/ITimer.h"
#include "engine/os/Timer.h"

namespace pravik {

class CTimer : public ITimer {
public:
    CTimer() = default;

    std::uint32_t getRealTime() const override { return os::Timer::getRealTime(); }
    std::uint32_t getTime() const override { return os::Timer::getTime(); }
    void setTime(std::uint32_t time) override { os::Timer::setTime(time); }
    void stop() override { os::Timer::stopTimer(); }
    void start() override { os::Timer::startTimer(); }
    void setSpeed(float speed) override { os::Timer::setSpeed(speed); }
    float getSpeed() const override { return os::Timer::getSpeed(); }
    bool isStopped() const override { return os::Timer::isStopped(); }
    void tick() override { os::Timer::tick(); }
};

} // namespace pravik
