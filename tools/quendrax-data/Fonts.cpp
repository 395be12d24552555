#include "Fonts.h"

#include "Art.h"
#include "SpriteMaker.h"

#include "framework/PackTables.h"
#include "tools/formats/FontSpriteWriter.h"
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
    int height = 0;
    for (const Canvas& cell :
         formats::fontsprites::GlyphCells(style.bold ? bold() : sans(), style.size, kSpacing, height))
        m.module(cell);
    return height;
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
        const sprites::Sprite sprite = formats::fontsprites::FontSprite(maker->sprite().modules, height, kSpacing);
        const std::vector<uint8_t> bytes = sprites::Write(sprite);
        folder.put(folderName + "/" + name + ".bsprite", std::string(bytes.begin(), bytes.end()));
        entries.push_back({PACK_FONT, row, folderName + "/" + name + ".bsprite", {folderName + "/" + texture + ".png"}, sprite});
    }
    for (const auto& [name, canvas] : atlases.render())
        folder.put(sprites::ModeFolder(PACK_FONT) + "/" + name + ".png", canvas.encode(".png"));
    return entries;
}

}  // namespace qdata
