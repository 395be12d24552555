#pragma once
// Named events on a scene file's animation timeline: key times (u8 or u16 frames at 30 a
// second, or s32 ms), each with a list of names. Between two successive play times every event
// passed is reported once to a callback, also across a wrap of the range; the default callback
// logs it. Only keys below both the key count and the list count exist; records whose arrays
// leave the file are refused (no events).
//
// Events record: +0 time base, +8 key count, +0xC key times, +0x10 list count, +0x14 lists
// (8 bytes each: name count, reference to that many text references).

#include "engine/IReferenceCounted.h"
#include "engine/collada/SAnimationRecords.h"

#include <cstdint>

namespace pravik::collada {

struct STriggeredEvent {
    int elapsed;       // ms between the event's key time and the reference time
    const char* name;  // the file's text
};

using EventsCallback = void (*)(const STriggeredEvent& event, void* userData);

// Logs "Warning - Event not handled : See collada::CSceneNodeAnimator::setEventsCallback",
// then the event's name (information level).
void FxEchoNotHandledEvents(const STriggeredEvent& event, void* userData);

class IEventsManager : public IReferenceCounted {
public:
    virtual void onUpdate(int from, int to) = 0;
    virtual void onUpdate(int previous, int current, int rangeStart, int rangeEnd) = 0;
    virtual int getEventTimeFromEventName(const char* name) const = 0;
};

// A resolved events record: every range checked against the file once.
struct SAnimationEventsView {
    const IRecordSpace* file = nullptr;
    std::uint32_t timeBase = 0;
    std::uint32_t count = 0;  // usable keys: min(key count, list count)
    const unsigned char* keyTimes = nullptr;
    const unsigned char* lists = nullptr;

    bool resolve(const IRecordSpace& space, std::uint32_t ref);  // false: no usable record
    int keyTimeMs(std::uint32_t k) const;                         // 0 for an unknown time base
    std::uint32_t nameCount(std::uint32_t k) const;
    const char* name(std::uint32_t k, std::uint32_t n) const;    // null when it leaves the file
};

class CEventsManager : public IEventsManager {
public:
    CEventsManager(const SAnimationEventsView& events, EventsCallback callback = FxEchoNotHandledEvents,
                   void* userData = nullptr);

    void onUpdate(int from, int to) override;
    void onUpdate(int previous, int current, int rangeStart, int rangeEnd) override;
    int getEventTimeFromEventName(const char* name) const override;  // -1 when no key has it
    void dispatchEvents(int first, int last, int reference) const;

    void setCallback(EventsCallback callback, void* userData)
    {
        m_callback = callback;
        m_userData = userData;
    }
    int getLastFiredKey() const { return m_lastFired; }

private:
    bool supported() const;
    int firstAfter(int time) const;  // first key with time > time (count when none)
    int lastAtOrBefore(int time) const;  // last key with time <= time (-1 when none)

    EventsCallback m_callback;
    void* m_userData;
    int m_lastFired = -1;
    SAnimationEventsView m_events;
};

} // namespace pravik::collada
