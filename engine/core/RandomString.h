#pragma once
// Names that are unique within a run and the same in every run: length - 1 hexadecimal digits
// of a process-wide counter (least significant first), then "r". The counter starts at 1 and
// grows by one a call; a length of 1 or less gives "r". Main thread only.

#include "engine/core/pravikString.h"

namespace pravik::core {

stringc randomString(int length);

}  // namespace pravik::core
