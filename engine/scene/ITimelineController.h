#pragma once
// What an animator asks of a timeline controller: clip selection by index or name.

#include "engine/IReferenceCounted.h"

namespace pravik::scene {

class ITimelineController : public IReferenceCounted {
public:
    virtual int setClip(int index) = 0;
    virtual int setClip(const char* name) = 0;            // the index selected, or -1
    virtual int getClipIndex(const char* name) const = 0;  // first clip of that name ignoring case, or -1
};

}  // namespace pravik::scene
