#include "tools/formats/BuiltInFont.h"

#include "tools/formats/Bmp4Writer.h"

#include <algorithm>
#include <string>

namespace formats::builtinfont {

namespace {

// Glyph rows from the top of the capitals down ('#' ink, '.' none), separated by '/': six rows
// of capital height, then up to two rows of descender. The longest row gives the width.
const char* const Ascii[95] = {
    "...",                                      // space
    "#/#/#/#/./#",                              // !
    "#.#/#.#",                                  // "
    ".#.#./#####/.#.#./#####/.#.#.",            // #
    "..#../.####/#.#../.###./..#.#/####./..#..",  // $
    "##..#/##.#./..#../.#.##/#..##",            // %
    ".#../#.#./.#../#.#.#/#..#./.##.#",         // &
    "#/#",                                      // '
    ".#/#./#./#./#./.#",                        // (
    "#./.#/.#/.#/.#/#.",                        // )
    "...../#.#.#/.###./#.#.#",                  // *
    "...../..#../..#../#####/..#../..#..",      // +
    "./././././#/#",                            // ,
    "..../..../..../####",                      // -
    "./././././#",                              // .
    "....#/...#./..#../..#../.#.../#....",      // /
    ".##./#..#/#.##/##.#/#..#/.##.",            // 0
    ".#./##./.#./.#./.#./###",                  // 1
    ".##./#..#/...#/..#./.#../####",            // 2
    "###./...#/.##./...#/...#/###.",            // 3
    "..#./.##./#.#./####/..#./..#.",            // 4
    "####/#.../###./...#/...#/###.",            // 5
    ".##./#.../###./#..#/#..#/.##.",            // 6
    "####/...#/..#./.#../.#../.#..",            // 7
    ".##./#..#/.##./#..#/#..#/.##.",            // 8
    ".##./#..#/#..#/.###/...#/.##.",            // 9
    "./#/./././#",                              // :
    "./#/./././#/#",                            // ;
    ".../..#/.#./#../.#./..#",                  // <
    "..../..../####/..../####",                 // =
    ".../#../.#./..#/.#./#..",                  // >
    ".##./#..#/..#./.#../..../.#..",            // ?
    ".###./#...#/#.###/#.#.#/#.###/#..../.###.",  // @
    ".##./#..#/#..#/####/#..#/#..#",            // A
    "###./#..#/###./#..#/#..#/###.",            // B
    ".###/#.../#.../#.../#.../.###",            // C
    "###./#..#/#..#/#..#/#..#/###.",            // D
    "####/#.../###./#.../#.../####",            // E
    "####/#.../###./#.../#.../#...",            // F
    ".###/#.../#.##/#..#/#..#/.###",            // G
    "#..#/#..#/####/#..#/#..#/#..#",            // H
    "###/.#./.#./.#./.#./###",                  // I
    "..##/...#/...#/...#/#..#/.##.",            // J
    "#..#/#.#./##../#.#./#..#/#..#",            // K
    "#.../#.../#.../#.../#.../####",            // L
    "#...#/##.##/#.#.#/#...#/#...#/#...#",      // M
    "#..#/##.#/#.##/#..#/#..#/#..#",            // N
    ".##./#..#/#..#/#..#/#..#/.##.",            // O
    "###./#..#/#..#/###./#.../#...",            // P
    ".##./#..#/#..#/#..#/#.#./.#.#",            // Q
    "###./#..#/#..#/###./#.#./#..#",            // R
    ".###/#.../.##./...#/...#/###.",            // S
    "#####/..#../..#../..#../..#../..#..",      // T
    "#..#/#..#/#..#/#..#/#..#/.##.",            // U
    "#...#/#...#/#...#/.#.#./.#.#./..#..",      // V
    "#...#/#...#/#...#/#.#.#/##.##/#...#",      // W
    "#..#/#..#/.##./.##./#..#/#..#",            // X
    "#...#/#...#/.#.#./..#../..#../..#..",      // Y
    "####/...#/..#./.#../#.../####",            // Z
    "##/#./#./#./#./##",                        // [
    "#..../.#.../..#../..#../...#./....#",      // backslash
    "##/.#/.#/.#/.#/##",                        // ]
    ".#./#.#",                                  // ^
    "..../..../..../..../..../..../####",       // _
    "#./.#",                                    // `
    "..../..../.###/#..#/#..#/.###",            // a
    "#.../#.../###./#..#/#..#/###.",            // b
    "..../..../.###/#.../#.../.###",            // c
    "...#/...#/.###/#..#/#..#/.###",            // d
    "..../..../.##./####/#.../.###",            // e
    "..##/.#../###./.#../.#../.#..",            // f
    "..../..../.###/#..#/#..#/.###/...#/.##.",  // g
    "#.../#.../###./#..#/#..#/#..#",            // h
    "#/./#/#/#/#",                              // i
    ".#/../.#/.#/.#/.#/.#/#.",                  // j
    "#.../#.../#.#./##../#.#./#..#",            // k
    "#/#/#/#/#/#",                              // l
    "...../...../####./#.#.#/#.#.#/#.#.#",      // m
    "..../..../###./#..#/#..#/#..#",            // n
    "..../..../.##./#..#/#..#/.##.",            // o
    "..../..../###./#..#/#..#/###./#.../#...",  // p
    "..../..../.###/#..#/#..#/.###/...#/...#",  // q
    "..../..../#.##/##../#.../#...",            // r
    "..../..../.###/##../..##/###.",            // s
    ".#../.#../###./.#../.#../..##",            // t
    "..../..../#..#/#..#/#..#/.###",            // u
    "..../..../#..#/#..#/.##./.##.",            // v
    "...../...../#...#/#.#.#/#.#.#/.#.#.",      // w
    "..../..../#..#/.##./.##./#..#",            // x
    "..../..../#..#/#..#/#..#/.###/...#/.##.",  // y
    "..../..../####/..#./.#../####",            // z
    "..#/.#./.#./#../.#./.#./..#",              // {
    "#/#/#/#/#/#/#",                            // |
    "#../.#./.#./..#/.#./.#./#..",              // }
    "..../..../.#.#/#.#.",                      // ~
};

// Codes 127-159 have no glyph of their own.
const char* const Box = ".../###/#.#/#.#/#.#/###";

// Accents of two rows, set above a capital (rows -2 and -1) or a small letter (rows 0 and 1).
enum EAccent { NONE, GRAVE, ACUTE, CIRCUMFLEX, TILDE, DIAERESIS, RING, MACRON, CEDILLA };
const char* const AccentRows[] = {"", "#./.#", ".#/#.", ".#./#.#", ".#.#/#.#.", "/#.#", "##/##", "/####", ""};

struct SComposed {
    const char* base;  // glyph rows, or null for a drawing of its own in 'own'
    EAccent accent;
    bool small;
    const char* own;
};

// Small letters without their dot, for accents on i.
const char* const DotlessI = "././#/#/#/#";

// Latin-1, codes 160-255.
const SComposed Latin1[96] = {
    {nullptr, NONE, false, "..."},                                     // no-break space
    {nullptr, NONE, false, "#/./#/#/#/#"},                             // inverted !
    {nullptr, NONE, false, "..#./.###/#.#./#.#./.###/..#."},           // cent
    {nullptr, NONE, false, "..##/.#../###./.#../.#../####"},           // pound
    {nullptr, NONE, false, "#...#/.###./.#.#./.###./#...#"},           // currency
    {nullptr, NONE, false, "#...#/.#.#./#####/..#../#####/..#.."},     // yen
    {nullptr, NONE, false, "#/#/./#/#"},                               // broken bar
    {nullptr, NONE, false, ".###/#.../.##./#..#/.##./...#/###."},      // section
    {nullptr, NONE, false, "#.#"},                                     // diaeresis
    {nullptr, NONE, false, ".####./#....#/#.##.#/#.#..#/#.##.#/#....#/.####."},  // copyright
    {nullptr, NONE, false, ".##/#.#/.##/.../###"},                     // feminine ordinal
    {nullptr, NONE, false, "...../..#.#/.#.#./#.#../.#.#./..#.#"},     // left guillemet
    {nullptr, NONE, false, "..../..../####/...#"},                     // not
    {nullptr, NONE, false, "..../..../..../####"},                     // soft hyphen
    {nullptr, NONE, false, ".####./#....#/#.##.#/#.##.#/#.#..#/#....#/.####."},  // registered
    {nullptr, NONE, false, "####"},                                    // macron
    {nullptr, NONE, false, ".#./#.#/.#."},                             // degree
    {nullptr, NONE, false, "..#../..#../#####/..#../..#../#####"},     // plus-minus
    {nullptr, NONE, false, "##./..#/.#./###"},                         // superscript 2
    {nullptr, NONE, false, "##./.##/..#/##."},                         // superscript 3
    {nullptr, NONE, false, ".#/#."},                                   // acute
    {nullptr, NONE, false, "..../..../#..#/#..#/#..#/###./#.../#..."}, // micro
    {nullptr, NONE, false, ".####/###.#/###.#/.##.#/..#.#/..#.#"},     // pilcrow
    {nullptr, NONE, false, "././#"},                                   // middle dot
    {nullptr, NONE, false, "../../../../../../.#/#."},                 // cedilla
    {nullptr, NONE, false, ".#/##/.#/.#"},                             // superscript 1
    {nullptr, NONE, false, ".#./#.#/.#./.../###"},                     // masculine ordinal
    {nullptr, NONE, false, "...../#.#../.#.#./..#.#/.#.#./#.#.."},     // right guillemet
    {nullptr, NONE, false, "#..#./#.#../..#../.#.#./#.###/...#."},     // one quarter
    {nullptr, NONE, false, "#..#./#.#../..#../.#.##/#...#/...##"},     // one half
    {nullptr, NONE, false, "##.#./.##../##.../.#.#./#.###/...#."},     // three quarters
    {nullptr, NONE, false, ".#../..../.#../#.../#..#/.##."},           // inverted ?
    {"A", GRAVE, false, nullptr},
    {"A", ACUTE, false, nullptr},
    {"A", CIRCUMFLEX, false, nullptr},
    {"A", TILDE, false, nullptr},
    {"A", DIAERESIS, false, nullptr},
    {"A", RING, false, nullptr},
    {nullptr, NONE, false, ".####/#.#../####./#.#../#.#../#.###"},     // AE
    {"C", CEDILLA, false, nullptr},
    {"E", GRAVE, false, nullptr},
    {"E", ACUTE, false, nullptr},
    {"E", CIRCUMFLEX, false, nullptr},
    {"E", DIAERESIS, false, nullptr},
    {"I", GRAVE, false, nullptr},
    {"I", ACUTE, false, nullptr},
    {"I", CIRCUMFLEX, false, nullptr},
    {"I", DIAERESIS, false, nullptr},
    {nullptr, NONE, false, ".###./.#..#/###.#/.#..#/.#..#/.###."},     // ETH
    {"N", TILDE, false, nullptr},
    {"O", GRAVE, false, nullptr},
    {"O", ACUTE, false, nullptr},
    {"O", CIRCUMFLEX, false, nullptr},
    {"O", TILDE, false, nullptr},
    {"O", DIAERESIS, false, nullptr},
    {nullptr, NONE, false, "...../#...#/.#.#./..#../.#.#./#...#"},     // multiplication
    {nullptr, NONE, false, ".###/#..#/#.##/##.#/#..#/###."},           // O stroke
    {"U", GRAVE, false, nullptr},
    {"U", ACUTE, false, nullptr},
    {"U", CIRCUMFLEX, false, nullptr},
    {"U", DIAERESIS, false, nullptr},
    {"Y", ACUTE, false, nullptr},
    {nullptr, NONE, false, "#.../###./#..#/###./#.../#..."},           // THORN
    {nullptr, NONE, false, ".##./#..#/###./#..#/#..#/#.#."},           // sharp s
    {"a", GRAVE, true, nullptr},
    {"a", ACUTE, true, nullptr},
    {"a", CIRCUMFLEX, true, nullptr},
    {"a", TILDE, true, nullptr},
    {"a", DIAERESIS, true, nullptr},
    {"a", RING, true, nullptr},
    {nullptr, NONE, false, "...../...../##.#./..###/####./##.##"},     // ae
    {"c", CEDILLA, true, nullptr},
    {"e", GRAVE, true, nullptr},
    {"e", ACUTE, true, nullptr},
    {"e", CIRCUMFLEX, true, nullptr},
    {"e", DIAERESIS, true, nullptr},
    {"i", GRAVE, true, nullptr},
    {"i", ACUTE, true, nullptr},
    {"i", CIRCUMFLEX, true, nullptr},
    {"i", DIAERESIS, true, nullptr},
    {nullptr, NONE, false, "#.#./.#../.###/#..#/#..#/.##."},           // eth
    {"n", TILDE, true, nullptr},
    {"o", GRAVE, true, nullptr},
    {"o", ACUTE, true, nullptr},
    {"o", CIRCUMFLEX, true, nullptr},
    {"o", TILDE, true, nullptr},
    {"o", DIAERESIS, true, nullptr},
    {nullptr, NONE, false, "...../..#../...../#####/...../..#.."},     // division
    {nullptr, NONE, false, "..../..../.###/#.##/##.#/###."},           // o stroke
    {"u", GRAVE, true, nullptr},
    {"u", ACUTE, true, nullptr},
    {"u", CIRCUMFLEX, true, nullptr},
    {"u", DIAERESIS, true, nullptr},
    {"y", ACUTE, true, nullptr},
    {nullptr, NONE, false, "#.../#.../###./#..#/#..#/###./#.../#..."}, // thorn
    {"y", DIAERESIS, true, nullptr},
};

// The skin's icons, characters 257-278 in icon-sprite order (sprites 225-246).
const char* const Icons[22] = {
    "#######/#######/#.....#/#.....#/#.....#/#######",                // window maximize
    "..#####/..#...#/#####.#/#...#.#/#...###/#...#../#####..",        // window restore
    "#.....#/.#...#./..#.#../...#.../..#.#../.#...#./#.....#",        // window close
    "......./......./......./......./......./#######",                // window minimize
    "...#.../..###../.#####./#######",                                // cursor up
    "#######/.#####./..###../...#...",                                // cursor down
    "...#/..##/.###/####/.###/..##/...#",                             // cursor left
    "#.../##../###./####/###./##../#...",                             // cursor right
    "......#/.....##/#...##./##.##../.###.../..#....",                // check box checked
    "#######/.#####./..###../...#...",                                // drop down
    "..#../.###./#####",                                              // small cursor up
    "#####/.###./..#..",                                              // small cursor down
    "..###../.#####./#######/#######/#######/.#####./..###..",        // radio button checked
    "..#..#/.#..#./#..#../.#..#./..#..#",                             // more left
    "#..#../.#..#./..#..#/.#..#./#..#..",                             // more right
    "..#../.#.#./#...#/..#../.#.#./#...#",                            // more up
    "#...#/.#.#./..#../#...#/.#.#./..#..",                            // more down
    "......#/.....#./....#.#/...#.#./..#.#.#/.#.#.#./#.#.#.#",        // window resize
    "#######/#.....#/#..#..#/#.###.#/#..#..#/#.....#/#######",        // expand
    "#######/#.....#/#.....#/#.###.#/#.....#/#.....#/#######",        // collapse
    "####.../#..##../#..#.#./#..####/#.....#/#.....#/#######",        // file
    "###..../#..####/#.....#/#.....#/#.....#/#######",                // directory
};

// A glyph as rows of ink, row 0 being the cell's row 2.
struct SGlyph {
    std::vector<std::string> rows;  // may start at a negative row: see 'top'
    int top = 0;                    // cell row of rows[0] minus 2
    int width() const
    {
        size_t w = 0;
        for (const std::string& r : rows)
            w = std::max(w, r.size());
        return int(w);
    }
};

std::vector<std::string> split(const char* text)
{
    std::vector<std::string> rows;
    std::string row;
    for (const char* p = text; *p; ++p) {
        if (*p == '/') {
            rows.push_back(row);
            row.clear();
        } else {
            row += *p;
        }
    }
    rows.push_back(row);
    return rows;
}

SGlyph plain(const char* text) { return {split(text), 0}; }

SGlyph composed(const SComposed& c)
{
    if (!c.base)
        return plain(c.own);
    const bool dotlessI = c.small && c.base[0] == 'i';
    SGlyph g = plain(dotlessI ? DotlessI : Ascii[c.base[0] - 32]);
    const int width = g.width();
    if (c.accent == CEDILLA) {
        while (g.rows.size() < 6)
            g.rows.push_back("");
        const int at = width / 2;
        g.rows.push_back(std::string(size_t(at), '.') + "#");
        g.rows.push_back(std::string(size_t(std::max(at - 1, 0)), '.') + "#");
        return g;
    }
    std::vector<std::string> accent = split(AccentRows[c.accent]);
    const int accentWidth = int(std::max(accent[0].size(), accent[1].size()));
    int offset = std::max((width - accentWidth) / 2, 0);
    if (!c.small && offset < 1 && !accent[0].empty() && accent[0][0] == '#')
        offset = 1;  // the cell's first pixel is the upper-left marker
    for (std::string& r : accent)
        r = std::string(size_t(offset), '.') + r;
    if (c.small) {
        // Small letters keep rows 0 and 1 free above their x-height.
        g.rows[0] = accent[0];
        g.rows[1] = accent[1];
    } else {
        g.rows.insert(g.rows.begin(), accent.begin(), accent.end());
        g.top = -2;
    }
    return g;
}

std::vector<SGlyph> glyphs()
{
    std::vector<SGlyph> all;
    for (const char* a : Ascii)
        all.push_back(plain(a));
    for (int c = 127; c < 160; ++c)
        all.push_back(plain(Box));
    for (const SComposed& c : Latin1)
        all.push_back(composed(c));
    all.push_back(composed({"A", MACRON, false, nullptr}));
    for (const char* icon : Icons)
        all.push_back(plain(icon));
    return all;
}

}  // namespace

std::vector<SCell> layout()
{
    std::vector<SCell> cells;
    int x = 0, y = 0;
    for (const SGlyph& g : glyphs()) {
        const int width = g.width() + 1;
        if (x + width > ImageSize - 1) {  // the lower-right marker needs a column too
            x = 0;
            y += CellHeight + 1;
        }
        if (y + CellHeight >= ImageSize)
            return {};
        cells.push_back({x, y, width});
        x += width;
    }
    return cells;
}

std::vector<std::uint8_t> image()
{
    const std::vector<SGlyph> all = glyphs();
    const std::vector<SCell> cells = layout();
    if (cells.size() != all.size())
        return {};
    std::vector<std::uint8_t> pixels(size_t(ImageSize) * ImageSize, Background);
    auto at = [&](int x, int y) -> std::uint8_t& { return pixels[size_t(y) * ImageSize + size_t(x)]; };
    for (size_t i = 0; i < all.size(); ++i) {
        const SCell& cell = cells[i];
        const SGlyph& g = all[i];
        for (size_t r = 0; r < g.rows.size(); ++r) {
            const int y = cell.y + 2 + g.top + int(r);
            for (size_t c = 0; c < g.rows[r].size(); ++c)
                if (g.rows[r][c] == '#' && y >= cell.y && y < cell.y + CellHeight)
                    at(cell.x + int(c), y) = Ink;
        }
        at(cell.x, cell.y) = UpperLeftMarker;
        at(cell.x + cell.width, cell.y + CellHeight) = LowerRightMarker;
    }
    // The scan reads the marker colours from the first three pixels: the first glyph (the
    // space) leaves (1, 0) and (2, 0) free for the lower-right colour and the background.
    at(1, 0) = LowerRightMarker;
    at(2, 0) = Background;
    return pixels;
}

std::vector<std::uint8_t> build()
{
    const std::vector<bmp::SPaletteColor> palette = {
        {0, 255, 0}, {255, 255, 0}, {255, 0, 0}, {255, 255, 255}, {0, 0, 0}};
    const std::vector<std::uint8_t> pixels = image();
    if (pixels.empty())
        return {};
    return bmp::write4Bit(ImageSize, ImageSize, palette, pixels);
}

}  // namespace formats::builtinfont
