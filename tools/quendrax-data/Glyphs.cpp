#include "Glyphs.h"

#include "framework/CZyFont.h"
#include "framework/GlyphTables.h"
#include "tools/formats/GlyphSheet.h"
#include "tools/formats/TextRaster.h"

#include <cstdio>
#include <string>
#include <vector>

namespace qdata {

namespace {

struct SheetSize {
    int pixelSize, cellW, cellH, texW;
};
constexpr SheetSize kSmall = {16, 20, 22, 1024};
constexpr SheetSize kLarge = {28, 34, 38, 1024};

void addSheet(DataFolder& folder, const formats::Typeface& face, const char* name, const SGlyphTable& table,
              const SheetSize& size)
{
    std::vector<uint32_t> codePoints;
    for (int i = 0; i < table.count; ++i)
        codePoints.push_back(uint32_t(table.entries[i].codePoint));
    const formats::glyphs::Sheet sheet =
        formats::glyphs::Render(face, codePoints, size.pixelSize, size.cellW, size.cellH, size.texW);
    const std::string base = std::string("unicode_text_res/") + name;
    folder.put(base + ".png", sheet.image.encode(".png"));
    const std::vector<uint8_t> bin = formats::glyphs::WriteBin(sheet.metrics);
    folder.put(base + ".bin", std::string(bin.begin(), bin.end()));
}

}  // namespace

void addGlyphSheets(DataFolder& folder)
{
    const formats::Typeface face(formats::cjkFont());
    if (!face.ok()) {
        std::fprintf(stderr, "quendrax-data: no CJK font (fonts-wqy-microhei); the glyph sheets are left out\n");
        return;
    }
    const struct { int language; const char (*names)[20]; } kLanguages[] = {
        {5, kFontFiles_CS}, {6, kFontFiles_JP}, {7, kFontFiles_KO}};
    for (const auto& l : kLanguages) {
        addSheet(folder, face, l.names[0], SmallGlyphTable(l.language), kSmall);
        addSheet(folder, face, l.names[1], BigGlyphTable(l.language), kLarge);
    }
}

}  // namespace qdata
