#pragma once
// The game's six bitmap fonts (pack "2"): Latin-1 glyphs drawn white with FreeType so the game's
// palettes tint them; frame 0 holds one frame-module per code 0..255, record 0 being the space.

#include "Atlas.h"
#include "DataFolder.h"
#include "Sprites.h"

namespace qdata {

std::vector<SpriteEntry> addFonts(DataFolder& folder);

}  // namespace qdata
