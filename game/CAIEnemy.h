// An enemy of the level. Only its life in the controller's tables and the pause of its effects.
#pragma once

#include "game/CAIObject.h"

class CAIEnemy : public CAIObject {};
