#include "tools/formats/LangWriter.h"

#include "framework/GlyphTables.h"

namespace formats::lang {

static void pad(std::vector<uint8_t>& out)
{
    while (out.size() % 4)
        out.push_back(0);
}

std::vector<uint8_t> WriteBytes(const std::vector<std::string>& strings)
{
    std::vector<uint8_t> out(4, 0);
    for (const std::string& s : strings) {
        out.insert(out.end(), s.begin(), s.end());
        out.push_back(0);
        pad(out);
    }
    return out;
}

std::vector<uint8_t> WriteUnits(const std::vector<std::vector<uint16_t>>& strings)
{
    std::vector<uint8_t> out(4, 0);
    for (const auto& s : strings) {
        for (uint16_t u : s) {
            out.push_back(uint8_t(u));
            out.push_back(uint8_t(u >> 8));
        }
        out.push_back(0);
        out.push_back(0);
        pad(out);
    }
    return out;
}

std::string Utf8(const std::u32string& text)
{
    std::string out;
    for (char32_t c : text) {
        if (c < 0x80) {
            out.push_back(char(c));
        } else if (c < 0x800) {
            out.push_back(char(0xC0 | (c >> 6)));
            out.push_back(char(0x80 | (c & 0x3F)));
        } else {
            out.push_back(char(0xE0 | ((c >> 12) & 0x0F)));
            out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(char(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::vector<uint8_t> Write(const std::vector<std::u32string>& strings, int language)
{
    const SGlyphTable table = SmallGlyphTable(language);
    if (!table.entries) {
        std::vector<std::string> bytes;
        for (const auto& s : strings)
            bytes.push_back(Utf8(s));
        return WriteBytes(bytes);
    }
    std::vector<std::vector<uint16_t>> units;
    for (const auto& s : strings) {
        units.emplace_back();
        for (char32_t c : s) {
            const int index = BinarySearch(table.entries, table.count, int(c));
            units.back().push_back(uint16_t(index > 0 ? index : 1));
        }
    }
    return WriteUnits(units);
}

}  // namespace formats::lang
