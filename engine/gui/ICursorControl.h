// The cursor position in window pixels and relative to the window (or to a reference
// rectangle). The platform has no mouse cursor; camera animators and the GUI read it.
#pragma once

#include "engine/IReferenceCounted.h"
#include "engine/core/position2d.h"
#include "engine/core/rect.h"

namespace pravik::gui {

class ICursorControl : public IReferenceCounted {
public:
    virtual void setVisible(bool visible) = 0;
    virtual bool isVisible() const = 0;
    virtual void setPosition(const core::position2d<float>& position) = 0;   // relative
    virtual void setPosition(float x, float y) = 0;                          // relative
    virtual void setPosition(const core::position2d<int>& position) = 0;     // pixels
    virtual void setPosition(int x, int y) = 0;                              // pixels
    virtual core::position2d<int> getPosition() = 0;
    virtual core::position2d<float> getRelativePosition() = 0;
    virtual void setReferenceRect(core::rect<int>* rect = nullptr) = 0;      // null: the window

protected:
    explicit ICursorControl(int startCount = 1) : IReferenceCounted(startCount) {}
};

} // namespace pravik::gui
