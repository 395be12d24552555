// A brick group of the level. Only its life in the controller's tables so far.
#pragma once

#include "game/CAIObject.h"

class CAIBrick : public CAIObject {};
