#pragma once
// Every sprite the game loads, generated: each pack row gets a ".bsprite" with the frames,
// animations, modules and markers the game's code indexes, drawn in the game's look, and every
// texture those sprites name gets its atlas image.

#include "Atlas.h"
#include "DataFolder.h"

#include "tools/formats/SpriteWriter.h"

#include <string>
#include <vector>

namespace qdata {

// A written sprite, for the contact sheet: its pack, row, file path and frame count.
struct SpriteEntry {
    std::string pack;
    int row = 0;
    std::string path;       // ".bsprite" path in the data folder
    std::vector<std::string> images;  // image paths in the data folder, by image index
    formats::sprites::Sprite sprite;
};

std::vector<SpriteEntry> addSprites(DataFolder& folder);

}  // namespace qdata
