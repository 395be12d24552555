// The level objects of the game controller's pools (items, bullets, effects, triggers, ...).
// Only what the controller needs so far: a kind and the pause of its effects; the objects'
// behaviour is added with level play.
#pragma once

#include <cstdint>

class CAIObject {
public:
    virtual ~CAIObject() = default;
    virtual void SFXPause() {}
    virtual void SFXResume() {}

    int32_t m_kind = 0;   // object kind; 2 is a falling item
};
