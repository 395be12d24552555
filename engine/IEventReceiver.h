// Receiver of engine events; not reference counted.
#pragma once

#include "engine/SEvent.h"

namespace pravik {

class IEventReceiver {
public:
    virtual ~IEventReceiver() = default;
    virtual bool onEvent(const SEvent& event) = 0;   // true when the receiver took the event
};

} // namespace pravik
