#pragma once
// A clock for one animator: the animation time it hands out (current time, ms), advanced from
// the engine clock by update and set directly by jumpTo. Held by reference count.

#include "engine/IReferenceCounted.h"

namespace pravik::scene {

class ITimeController : public virtual IReferenceCounted {
public:
    virtual void update(int) {}  // the engine clock in ms (not a step)
    virtual void jumpTo(int ms) { CurrentTime = ms; }
    int getCurrentTime() const { return CurrentTime; }

protected:
    int CurrentTime = 0;
};

}  // namespace pravik::scene
