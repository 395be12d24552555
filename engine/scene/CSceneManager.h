// The scene manager as the device sees it: counted through a virtual base and offered the
// input that neither the user's receiver nor the GUI took. The scene layer fills in the rest.
#pragma once

#include "engine/IReferenceCounted.h"

namespace pravik {
struct SEvent;
}

namespace pravik::scene {

class CSceneManager : public virtual IReferenceCounted {
public:
    ~CSceneManager() override = default;
    virtual bool postEventFromUser(const SEvent& event) { return (void)event, false; }  // true when taken

protected:
    CSceneManager() : IReferenceCounted(1) {}
};

}  // namespace pravik::scene
