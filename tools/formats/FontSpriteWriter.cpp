#include "tools/formats/FontSpriteWriter.h"

#include "tools/formats/TextRaster.h"

#include <algorithm>

namespace formats::fontsprites {

std::vector<Canvas> GlyphCells(const Typeface& face, int pixelSize, int spacing, int& lineHeight)
{
    const TextExtent line = face.measure("\xC3\x80\xC3\x89gjpqy|", pixelSize);
    lineHeight = line.ascent + line.descent + 2;
    std::vector<Canvas> cells;
    for (int c = 0; c < 256; ++c) {
        const uint32_t code = c < 32 || (c >= 127 && c < 160) ? uint32_t(' ') : uint32_t(c);
        const Glyph g = face.glyph(code, pixelSize);
        Canvas cell(std::max(1, g.advance - spacing), lineHeight);
        for (int y = 0; y < g.image.height(); ++y)
            for (int x = 0; x < g.image.width(); ++x)
                cell.set(x + std::max(0, g.left), y + line.ascent + 1 - g.top, g.image.at(x, y));
        cells.push_back(cell);
    }
    return cells;
}

sprites::Sprite FontSprite(const std::vector<sprites::Module>& modules, int lineHeight, int spacing)
{
    sprites::Sprite s;
    s.modules = modules;
    std::vector<sprites::FModule> fms;
    for (int c = 0; c < 256; ++c) {
        sprites::FModule fm;
        fm.index = c;
        fm.x = c == 0 ? spacing : 0;
        fms.push_back(fm);
    }
    s.addFrame(fms);
    s.frames[0].rect[2] = int16_t(lineHeight);
    s.frames[0].rect[3] = int16_t(lineHeight);
    return s;
}

Font Render(const Typeface& face, int pixelSize, int spacing, int texW)
{
    int lineHeight = 0;
    const std::vector<Canvas> cells = GlyphCells(face, pixelSize, spacing, lineHeight);
    std::vector<sprites::Module> modules;
    int x = 0, y = 0;
    for (const Canvas& c : cells) {
        if (x + c.width() > texW) {
            x = 0;
            y += lineHeight + 1;
        }
        sprites::Module m;
        m.x = x, m.y = y, m.w = c.width(), m.h = c.height();
        modules.push_back(m);
        x += c.width() + 1;
    }
    int texH = 1;
    while (texH < y + lineHeight)
        texH *= 2;
    Font font{FontSprite(modules, lineHeight, spacing), Canvas(texW, texH)};
    for (size_t i = 0; i < cells.size(); ++i)
        font.image.copy(cells[i], modules[i].x, modules[i].y);
    return font;
}

}  // namespace formats::fontsprites
