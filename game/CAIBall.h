// A ball. Only what the controller calls so far: its overlay paint and the pause of its effects.
#pragma once

#include "game/CAIObject.h"

class CAIBall : public CAIObject {
public:
    virtual void Render3D() {}
};
