#pragma once
// One picture of every sprite's frames, labelled with pack, row, file and frame number, so the
// generated art can be reviewed at a glance.

#include "DataFolder.h"
#include "Sprites.h"

#include <string>
#include <vector>

namespace qdata {

// The sheet as PNG bytes; frames are drawn from the images in `folder`.
std::string contactSheet(const DataFolder& folder, const std::vector<SpriteEntry>& sprites);

}  // namespace qdata
