#include "tools/formats/GlyphSheet.h"

#include "tools/formats/TextRaster.h"

#include <algorithm>

namespace formats::glyphs {

std::vector<uint8_t> WriteBin(const Metrics& m)
{
    const size_t n = m.count < 0 ? m.glyphs.size() : size_t(m.count);
    std::vector<uint8_t> out = {uint8_t(n), uint8_t(n >> 8), uint8_t(m.cellW), uint8_t(m.cellH)};
    for (const Metrics::Glyph& g : m.glyphs) {
        out.push_back(uint8_t(int8_t(g.xOffset)));
        out.push_back(uint8_t(int8_t(g.width)));
    }
    for (int8_t c : m.chars)
        out.push_back(uint8_t(c));
    return out;
}

void CellOrigin(int glyph, int cellW, int cellH, int texW, int& x, int& y)
{
    const int columns = std::max(1, (texW - 1) / cellW);
    const int k = glyph - 1;
    x = (k % columns) * cellW;
    y = (k / columns) * cellH + 3;
}

Sheet Render(const Typeface& face, const std::vector<uint32_t>& codePoints, int pixelSize, int cellW, int cellH,
             int texW)
{
    Sheet sheet;
    Metrics& m = sheet.metrics;
    m.cellW = cellW;
    m.cellH = cellH;
    const int columns = std::max(1, (texW - 1) / cellW);
    const int rows = (int(codePoints.size()) + columns - 1) / columns;
    int texH = 1;
    while (texH < rows * cellH + 3 + 2)
        texH *= 2;
    sheet.image = Canvas(texW, texH);
    const int baseline = cellH * 4 / 5;
    for (size_t i = 0; i < codePoints.size(); ++i) {
        const uint32_t cp = codePoints[i];
        const int glyph = int(i) + 1;
        if (cp < 128) {
            if (cp == ' ')
                m.chars[cp] = -1;
            else
                m.chars[cp] = int8_t(std::min<size_t>(i, 127));
        }
        const Glyph g = face.glyph(cp, pixelSize);
        int x, y;
        CellOrigin(glyph, cellW, cellH, texW, x, y);
        // The pen starts at the cell's left edge; ink left of it is cut.
        const int left = std::max(0, g.left);
        sheet.image.draw(g.image, x + left, y + baseline - g.top);
        const int width = std::clamp(std::max(g.advance, left + g.image.width()), 1, std::min(cellW, 127));
        m.glyphs.push_back({0, cp == ' ' ? 0 : width});
    }
    return sheet;
}

}  // namespace formats::glyphs
