#pragma once
// A tiny 4-channel ProTracker module ("M.K."), built in code: one looped 8-bit sample, one
// pattern of 16 rows with a few notes, then a pattern break, so it plays about 2 seconds.

#include <string>

namespace test {

std::string tinyModule();

}  // namespace test
