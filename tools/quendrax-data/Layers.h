#pragma once
// The 38 UI layout layers of pack "14".

#include "DataFolder.h"

namespace qdata {

void addLayers(DataFolder& folder);

}  // namespace qdata
