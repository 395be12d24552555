#pragma once
// The small typed-array packs: the framework's cosine and square-root tables, the font table,
// and the game's arctangent and cosine tables.

#include "DataFolder.h"

namespace qdata {

void addTables(DataFolder& folder);

}  // namespace qdata
