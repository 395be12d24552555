// `glyphs FILE.bin`: a glyph sheet's metrics: count and cell size, one glyph a line (index,
// x offset, width, cell origin on a sheet of --width W pixels, 1024 unless given), then the
// narrow characters the table maps.

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Tool.h"
#include "framework/CZyFont.h"

namespace {

int runGlyphs(std::span<char* const> args)
{
    const char* file = nullptr;
    int texW = 1024;
    for (size_t i = 0; i < args.size(); ++i) {
        if (!std::strcmp(args[i], "--width") && i + 1 < args.size())
            texW = std::atoi(args[++i]);
        else if (!file)
            file = args[i];
        else
            return tool::fail("glyphs", "usage: glyphs FILE.bin [--width W]");
    }
    if (!file || texW < 1)
        return tool::fail("glyphs", "usage: glyphs FILE.bin [--width W]");
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return tool::fail("glyphs", std::string("cannot open ") + file);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    CZyFontJP font;
    if (!font.LoadMetrics(bytes.data(), bytes.size(), CZyFont::FONT_SMALL)) {
        const unsigned n = bytes.size() >= 2 ? bytes[0] | bytes[1] << 8 : 0;
        return tool::fail("glyphs", std::string(file) + ": " + std::to_string(bytes.size()) +
                                        " bytes, too short for " + std::to_string(n) + " glyphs and the table");
    }
    const CZyFont::SStyle& s = font.m_styles[0];
    std::printf("glyphs %u cell %u x %u\n", s.count, s.cellW, s.cellH);
    const int columns = s.cellW ? (texW - 1) / s.cellW : 0;
    for (unsigned g = 1; g <= s.count; ++g) {
        const int xOffset = int8_t(s.glyphs[g - 1] & 0xFF), width = int8_t(s.glyphs[g - 1] >> 8);
        if (columns > 0)
            std::printf("glyph %u x %d width %d cell %d,%d\n", g, xOffset, width, int((g - 1) % columns) * s.cellW,
                        int((g - 1) / columns) * s.cellH + 3);
        else
            std::printf("glyph %u x %d width %d cell -\n", g, xOffset, width);
    }
    for (int c = 0; c < 256; ++c) {
        const int v = s.chars[c];
        if (v == -2)
            continue;
        const std::string shown = std::isprint(c) && c < 128 ? std::string("'") + char(c) + "'" : std::to_string(c);
        if (v == -1)
            std::printf("char %s blank\n", shown.c_str());
        else
            std::printf("char %s glyph %d\n", shown.c_str(), v + 1);
    }
    return 0;
}

tool::ToolCommand glyphsCommand("glyphs", "FILE.bin [--width W]", runGlyphs);

}  // namespace
