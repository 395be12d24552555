#pragma once
// What an animator asks of a timeline controller: clip selection by index or name, and the
// play range that effect instances restart from.

#include "engine/IReferenceCounted.h"

namespace pravik::scene {

class ITimelineController : public IReferenceCounted {
public:
    virtual int setClip(int index) = 0;
    virtual int setClip(const char* name) = 0;            // the index selected, or -1
    virtual int getClipIndex(const char* name) const = 0;  // first clip of that name ignoring case, or -1
    // The range in ms, unless a clip library fixes it; jump restarts playback at its start.
    virtual void setRange(int start, int end, bool jump) { (void)start, (void)end, (void)jump; }
    virtual int getRangeEnd() const { return 0; }
};

}  // namespace pravik::scene
