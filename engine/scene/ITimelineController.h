#pragma once
// A time controller over a range: a clip of a clip library or an explicit start and end (ms),
// played at a speed scale, looping or stopping at the end. The end callback hears every wrap
// (loop) or the one stop (no loop).

#include "engine/scene/ITimeController.h"

namespace pravik::scene {

class ITimelineController : public ITimeController {
public:
    using EndCallback = void (*)(ITimelineController* controller, void* userData);

    virtual int setClip(int index) = 0;                    // the clip's length
    virtual int setClip(const char* name) = 0;             // the index selected, or -1
    virtual int getClipIndex(const char* name) const = 0;  // first clip of that name ignoring case, or -1
    virtual int getClipCount() const = 0;
    virtual int getClipStart(int index) const = 0;
    virtual int getClipEnd(int index) const = 0;
    virtual int getClipLength(int index) const = 0;
    virtual int getCurrentClipStart() const = 0;
    virtual int getCurrentClipEnd() const = 0;
    virtual int getCurrentClipLength() const = 0;
    virtual int getCurrentClipIndex() const = 0;
    virtual const char* getClipName(int index) const = 0;
    virtual void setLoop(bool loop) = 0;
    virtual bool getLoop() const { return false; }
    virtual void setScale(float) {}
    virtual float getScale() const { return 1.f; }
    virtual void setRange(int start, int end, bool jump) = 0;
    virtual int getRangeStart() const = 0;
    virtual int getRangeEnd() const = 0;

    void setEndCallback(EndCallback callback, void* userData)
    {
        Callback = callback;
        CallbackUserData = userData;
    }

protected:
    EndCallback Callback = nullptr;
    void* CallbackUserData = nullptr;
};

}  // namespace pravik::scene
