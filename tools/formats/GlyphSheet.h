// Writes the glyph-sheet fonts of Chinese, Japanese and Korean: a sheet image of equal cells
// and its ".bin" metrics (layout in framework/CZyFont.h).
#pragma once

#include "tools/formats/Canvas.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

namespace formats {
class Typeface;
}

namespace formats::glyphs {

struct Metrics {
    int count = -1;                  // the stored glyph count; -1: glyphs.size()
    int cellW = 0, cellH = 0;        // stored as bytes
    struct Glyph {
        int xOffset = 0, width = 0;  // signed bytes, x offset in the cell
    };
    std::vector<Glyph> glyphs;       // glyph 1 first
    int8_t chars[256];               // -2 ignored, -1 blank, v >= 0 glyph v + 1
    Metrics() { std::fill(std::begin(chars), std::end(chars), int8_t(-2)); }
};

// Every field as given, so tests can also make broken files.
std::vector<uint8_t> WriteBin(const Metrics& m);

// The cell of a 1-based glyph in a sheet texW pixels wide.
void CellOrigin(int glyph, int cellW, int cellH, int texW, int& x, int& y);

struct Sheet {
    Canvas image;     // white glyphs in alpha, so the font's colour tints them
    Metrics metrics;
};

// Renders the code points (glyph 1 first; glyph 1 is the blank) into cells of a sheet texW wide
// (its height the power of two that holds every row). The character table maps the ASCII
// characters present to their glyphs, ' ' to the blank.
Sheet Render(const Typeface& face, const std::vector<uint32_t>& codePoints, int pixelSize, int cellW, int cellH,
             int texW);

}  // namespace formats::glyphs
