#include "Fonts.h"

#include "Art.h"
#include "SpriteMaker.h"

#include "framework/PackTables.h"
#include "tools/formats/PackFolderWriter.h"

#include <map>
#include <memory>

namespace qdata {

namespace {

struct FontStyle {
    int size;
    bool bold;
};

// By pack row: bomb count, item names, titles, signboard captions, the workhorse, level panel.
const FontStyle kStyles[6] = {{20, true}, {22, false}, {34, true}, {28, true}, {20, false}, {22, false}};

constexpr int kSpacing = 1;

// The 256 glyph modules of a style, added to the atlas `texture` by `m`; returns the line height.
int addGlyphs(SpriteMaker& m, const FontStyle& style)
{
    const formats::Typeface& face = style.bold ? bold() : sans();
    const formats::TextExtent line = face.measure("ÀÉgjpqy|", style.size);
    const int height = line.ascent + line.descent + 2;
    for (int c = 0; c < 256; ++c) {
        // Codes below 32 and the unassigned C1 block draw as the space.
        const uint32_t code = c < 32 || (c >= 127 && c < 160) ? uint32_t(' ') : uint32_t(c);
        const formats::Glyph g = face.glyph(code, style.size);
        Canvas cell(std::max(1, g.advance - kSpacing), height);
        for (int y = 0; y < g.image.height(); ++y)
            for (int x = 0; x < g.image.width(); ++x)
                cell.set(x + std::max(0, g.left), y + line.ascent + 1 - g.top, g.image.at(x, y));
        m.module(cell);
    }
    return height;
}

// Frame 0 holds record c for code c; record 0 (the space) carries the spacing as its x offset.
sprites::Sprite fontSprite(const std::vector<sprites::Module>& modules, int lineHeight)
{
    sprites::Sprite s;
    s.modules = modules;
    std::vector<sprites::FModule> fms;
    for (int c = 0; c < 256; ++c) {
        sprites::FModule fm;
        fm.index = c;
        fm.x = c == 0 ? kSpacing : 0;
        fms.push_back(fm);
    }
    s.addFrame(fms);
    s.frames[0].rect[2] = int16_t(lineHeight);
    s.frames[0].rect[3] = int16_t(lineHeight);
    return s;
}

}  // namespace

std::vector<SpriteEntry> addFonts(DataFolder& folder)
{
    AtlasSet atlases;
    // One glyph set an image: a font naming another's image (font06 on font02) uses its glyphs.
    std::map<std::string, std::pair<std::unique_ptr<SpriteMaker>, int>> byTexture;
    for (int row = 0; row < 6; ++row) {
        const std::string texture = TEXTURE_FONT_2_NAME[row];
        if (byTexture.count(texture))
            continue;
        auto maker = std::make_unique<SpriteMaker>(atlases, texture);
        const int height = addGlyphs(*maker, kStyles[row]);
        byTexture[texture] = {std::move(maker), height};
    }
    atlases.pack();
    std::vector<SpriteEntry> entries;
    const std::string folderName = sprites::ModeFolder(PACK_FONT);
    for (int row = 0; row < 6; ++row) {
        const std::string name = PACK_FONT_2_NAME[row], texture = TEXTURE_FONT_2_NAME[row];
        auto& [maker, height] = byTexture[texture];
        maker->place();
        const sprites::Sprite sprite = fontSprite(maker->sprite().modules, height);
        const std::vector<uint8_t> bytes = sprites::Write(sprite);
        folder.put(folderName + "/" + name + ".bsprite", std::string(bytes.begin(), bytes.end()));
        entries.push_back({PACK_FONT, row, folderName + "/" + name + ".bsprite", {folderName + "/" + texture + ".png"}, sprite});
    }
    for (const auto& [name, canvas] : atlases.render())
        folder.put(sprites::ModeFolder(PACK_FONT) + "/" + name + ".png", canvas.encode(".png"));
    return entries;
}

}  // namespace qdata
