// Bitmap-font sprites: the 256 glyphs of a font drawn white with FreeType (so palettes tint
// them) and the sprite whose frame 0 holds record c for code c, record 0 (the space) carrying
// the spacing as its x offset; module 0 gives the space advance and the line height.
#pragma once

#include "tools/formats/Canvas.h"
#include "tools/formats/SpriteWriter.h"

#include <vector>

namespace formats {
class Typeface;
}

namespace formats::fontsprites {

// One picture a code 0..255 (codes below 32 and 127..159 draw as the space), each as wide as
// the glyph's advance less the spacing and `lineHeight` high, the baseline shared.
std::vector<Canvas> GlyphCells(const Typeface& face, int pixelSize, int spacing, int& lineHeight);

// The font's frame over its 256 modules (module c for code c).
sprites::Sprite FontSprite(const std::vector<sprites::Module>& modules, int lineHeight, int spacing);

struct Font {
    sprites::Sprite sprite;
    Canvas image;   // the glyph cells in rows, image 0 of the sprite
};

// A whole font on one image `texW` pixels wide.
Font Render(const Typeface& face, int pixelSize, int spacing = 1, int texW = 512);

}  // namespace formats::fontsprites
