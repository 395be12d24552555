// Writes save records "wzt5.sav" (layout in game/SaveRecord.h) from a plain field struct.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/SaveRecord.h"

namespace formats::save {

using Fields = SSaveFields;

std::vector<uint8_t> Record(const Fields& fields);   // exactly 2000 bytes
bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);   // false when it cannot

}  // namespace formats::save
