#pragma once
// Pack "16"'s brick masks, global tables and brick templates.

#include "DataFolder.h"

namespace qdata {

void addGlobals(DataFolder& folder);

}  // namespace qdata
