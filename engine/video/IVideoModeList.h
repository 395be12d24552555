#pragma once
// The device's display modes and desktop settings.

#include "engine/IReferenceCounted.h"
#include "engine/core/dimension2d.h"

namespace pravik::video {

class IVideoModeList : public IReferenceCounted {
public:
    virtual int getVideoModeCount() const = 0;
    virtual core::dimension2d<int> getVideoModeResolution(int index) const = 0;  // 0 x 0 out of range
    virtual int getVideoModeDepth(int index) const = 0;                          // 0 out of range
    virtual const core::dimension2d<int>& getDesktopResolution() const = 0;
    virtual int getDesktopDepth() const = 0;
};

}  // namespace pravik::video
