// `layers FILE`: a UI layout layer item, an element a line (index, kind, id, x, y, n, values).
// `globals FILE`: a global-table item, a record a line (type, n, values), then each kept
// table's rows and width; `globals --templates FILE`: a brick template item, a column a line.
// Items the game would cut short are refused with the reason.

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Tool.h"

namespace {

bool readFile(const char* path, std::vector<uint8_t>& out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

int16_t s16(const std::vector<uint8_t>& b, size_t at) { return int16_t(b[at] | b[at + 1] << 8); }

int runLayers(std::span<char* const> args)
{
    if (args.size() != 1)
        return tool::fail("layers", "usage: layers FILE");
    std::vector<uint8_t> b;
    if (!readFile(args[0], b))
        return tool::fail("layers", std::string("cannot open ") + args[0]);
    size_t pos = 0;
    for (int index = 0; pos < b.size(); ++index) {
        if (pos + 10 > b.size())
            return tool::fail("layers", "element " + std::to_string(index) + " at byte " + std::to_string(pos) +
                                            ": head cut by the end of the item");
        const int n = s16(b, pos + 8);
        if (n < 0)
            return tool::fail("layers", "element " + std::to_string(index) + " at byte " + std::to_string(pos) +
                                            ": negative value count " + std::to_string(n));
        if (pos + 10 + 2 * size_t(n) > b.size())
            return tool::fail("layers", "element " + std::to_string(index) + " at byte " + std::to_string(pos) +
                                            ": " + std::to_string(n) + " values run past the end of the item");
        std::printf("%d %d %d %d %d %d", index, s16(b, pos), s16(b, pos + 2), s16(b, pos + 4), s16(b, pos + 6), n);
        for (int i = 0; i < n; ++i)
            std::printf(" %d", s16(b, pos + 10 + 2 * size_t(i)));
        std::printf("\n");
        pos += 10 + 2 * size_t(n);
    }
    return 0;
}

int runTemplates(const char* path)
{
    std::vector<uint8_t> b;
    if (!readFile(path, b))
        return tool::fail("globals", std::string("cannot open ") + path);
    if (b.size() < 5)
        return tool::fail("globals", "templates: item of " + std::to_string(b.size()) + " bytes has no head");
    const size_t t = b[0], rows = b[1];
    if (b.size() < 5 + 2 * t * rows)
        return tool::fail("globals", "templates: " + std::to_string(t) + " x " + std::to_string(rows) +
                                         " values need " + std::to_string(5 + 2 * t * rows) + " bytes, item has " +
                                         std::to_string(b.size()));
    for (size_t k = 0; k < t; ++k) {
        std::printf("%zu", k);
        for (size_t j = 0; j < rows; ++j)
            std::printf(" %d", s16(b, 5 + 2 * (j * t + k)));
        std::printf("\n");
    }
    return 0;
}

int runGlobals(std::span<char* const> args)
{
    if (args.size() == 2 && !std::strcmp(args[0], "--templates"))
        return runTemplates(args[1]);
    if (args.size() != 1)
        return tool::fail("globals", "usage: globals [--templates] FILE");
    std::vector<uint8_t> b;
    if (!readFile(args[0], b))
        return tool::fail("globals", std::string("cannot open ") + args[0]);
    int rows[256] = {};
    int width[256] = {};
    size_t pos = 0;
    for (int index = 0; pos < b.size(); ++index) {
        const int type = b[pos];
        const size_t head = type == 9 ? 6 : 2;
        if (pos + head > b.size())
            return tool::fail("globals", "record " + std::to_string(index) + " at byte " + std::to_string(pos) +
                                             ": head cut by the end of the item");
        const int n = b[pos + head - 1];
        if (pos + head + 2 * size_t(n) > b.size())
            return tool::fail("globals", "record " + std::to_string(index) + " at byte " + std::to_string(pos) +
                                             ": " + std::to_string(n) + " values run past the end of the item");
        std::printf("%d %d", type, n);
        for (int i = 0; i < n; ++i)
            std::printf(" %d", s16(b, pos + head + 2 * size_t(i)));
        std::printf("\n");
        ++rows[type];
        if (n > width[type])
            width[type] = n;
        pos += head + 2 * size_t(n);
    }
    static const struct {
        int type;
        const char* name;
    } kTables[] = {{2, "bricks"}, {3, "items"}, {6, "locations"}, {13, "materials"}, {14, "shop"}, {15, "secret_levels"}};
    for (const auto& t : kTables)
        std::printf("table %s rows %d width %d\n", t.name, rows[t.type], width[t.type]);
    return 0;
}

tool::ToolCommand layersCommand("layers", "FILE", runLayers);
tool::ToolCommand globalsCommand("globals", "[--templates] FILE", runGlobals);

}  // namespace
