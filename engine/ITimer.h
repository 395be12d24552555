// The device's timer object: each operation forwards to the static engine clock (os::Timer).
#pragma once

#include <cstdint>

#include "engine/IReferenceCounted.h"

namespace pravik {

class ITimer : public IReferenceCounted {
public:
    virtual std::uint32_t getRealTime() const = 0;
    virtual std::uint32_t getTime() const = 0;
    virtual void setTime(std::uint32_t time) = 0;
    virtual void stop() = 0;
    virtual void start() = 0;
    virtual void setSpeed(float speed) = 0;
    virtual float getSpeed() const = 0;
    virtual bool isStopped() const = 0;
    virtual void tick() = 0;

protected:
    explicit ITimer(int startCount = 1) : IReferenceCounted(startCount) {}
};

} // namespace pravik
