// The GUI environment as the device sees it: it is offered user input after the user's event
// receiver and reports its elements' events to that receiver. The GUI layer extends this
// interface with the rest of the environment.
#pragma once

#include "engine/IReferenceCounted.h"

namespace pravik {
class IEventReceiver;
struct SEvent;
}  // namespace pravik

namespace pravik::gui {

class IGUIEnvironment : public IReferenceCounted {
public:
    virtual bool postEventFromUser(const SEvent& event) = 0;          // true when the GUI took it
    virtual void setUserEventReceiver(IEventReceiver* receiver) = 0;  // not owned

protected:
    IGUIEnvironment() : IReferenceCounted(1) {}
};

}  // namespace pravik::gui
