#pragma once
// "AndroidDevConfig.bin": a text of 29 lines "KEY@value"; the game keeps the text after the first
// '@' of each line, with '^' standing for a space.

#include <string>
#include <utility>
#include <vector>

namespace formats {

constexpr int kDevConfigLines = 29;

// Lines past 29 are dropped, missing ones are written as "KEYn@0"; spaces in values become '^'.
std::string devConfigFile(const std::vector<std::pair<std::string, std::string>>& entries);

}  // namespace formats
