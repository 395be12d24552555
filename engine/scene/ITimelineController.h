#pragma once
// A time controller over a range: a clip of a clip library or an explicit start and end (ms),
// played at a speed scale, looping or stopping at the end. The end callback hears every wrap
// (loop) or the one stop (no loop). What an animator asks of it: clip selection by index or
// name, and the play range that effect instances restart from. Defaults answer "nothing".

#include "engine/scene/ITimeController.h"

namespace pravik::scene {

class ITimelineController : public ITimeController {
public:
    using EndCallback = void (*)(ITimelineController* controller, void* userData);

    virtual int setClip(int index) = 0;                    // the clip's length
    virtual int setClip(const char* name) = 0;             // the index selected, or -1
    virtual int getClipIndex(const char* name) const = 0;  // first clip of that name ignoring case, or -1
    virtual int getClipCount() const { return 0; }
    virtual int getClipStart(int) const { return 0; }
    virtual int getClipEnd(int) const { return 0; }
    virtual int getClipLength(int) const { return 0; }
    virtual int getCurrentClipStart() const { return 0; }
    virtual int getCurrentClipEnd() const { return 0; }
    virtual int getCurrentClipLength() const { return 0; }
    virtual int getCurrentClipIndex() const { return 0; }
    virtual const char* getClipName(int) const { return nullptr; }
    virtual void setLoop(bool) {}
    virtual bool getLoop() const { return false; }
    virtual void setScale(float) {}
    virtual float getScale() const { return 1.f; }
    // The range in ms, unless a clip library fixes it; jump restarts playback at its start.
    virtual void setRange(int start, int end, bool jump) { (void)start, (void)end, (void)jump; }
    virtual int getRangeStart() const { return 0; }
    virtual int getRangeEnd() const { return 0; }

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
