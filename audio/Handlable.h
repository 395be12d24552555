#pragma once
// Base of every engine object that clients reach through handles: a 64-bit id unique among the
// objects of its kind, a reference count held by live handles, and a time-stamp slot (0..15).

#include <cstdint>

#include "audio/Mutex.h"

namespace kez {

class Handlable {
public:
    explicit Handlable(int64_t id = -1) : m_id(id) {}
    virtual ~Handlable() = default;

    virtual void Retain();   // +1 under the object lock
    virtual void Release();  // -1 under the object lock, never below 0; destroys nothing

    int64_t GetId() const { return m_id; }
    int GetRefCount();
    uint32_t GetTimeStampSlot() const { return m_slot; }
    void SetTimeStampSlot(uint32_t slot) { m_slot = slot; }

protected:
    int64_t m_id;
    int32_t m_refCount = 0;  // under m_lock
    uint32_t m_slot = 0;
    Mutex m_lock;            // the object lock
};

}  // namespace kez
