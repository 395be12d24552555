// `lang [--language N] FILE`: a ".lang" string table, `ID TEXT` a line. The language comes from
// the file name ("_cn", "_jp", "_ko" are the wide tables) unless given; glyph indices of wide
// tables are mapped back to their characters. Line breaks print as \n.

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Tool.h"
#include "framework/CStringManager.h"
#include "framework/GlyphTables.h"
#include "tools/formats/LangWriter.h"

namespace {

int languageOf(const std::string& path)
{
    const std::string base = path.substr(path.find_last_of('/') == std::string::npos ? 0 : path.find_last_of('/') + 1);
    for (int l = 0; l < LANGUAGE_COUNT; ++l)
        if (base.find(std::string("_") + LANGUAGE_CODES[l] + ".") != std::string::npos)
            return l;
    return 0;
}

int runLang(std::span<char* const> args)
{
    int language = -1;
    std::string path;
    for (size_t i = 0; i < args.size(); ++i) {
        if (std::strcmp(args[i], "--language") == 0 && i + 1 < args.size())
            language = std::atoi(args[++i]);
        else if (path.empty())
            path = args[i];
        else
            return tool::fail("lang", "usage: lang [--language N] FILE");
    }
    if (path.empty())
        return tool::fail("lang", "usage: lang [--language N] FILE");
    if (language < 0)
        language = languageOf(path);
    if (language >= LANGUAGE_COUNT)
        return tool::fail("lang", "language must be 0-8");
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return tool::fail("lang", "cannot open " + path);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < 4)
        return tool::fail("lang", path + ": shorter than its 4-byte header");
    // As many strings as the file holds: each takes at least 4 bytes.
    const int count = int((bytes.size() - 4) / 4);
    std::vector<wchar_t*> table(size_t(count), nullptr);
    CStringManager::DecodeTable(bytes.data(), bytes.size(), table.data(), count, language);
    const SGlyphTable glyphs = SmallGlyphTable(language);
    for (int id = 0; id < count && table[id]; ++id) {
        std::u32string text;
        for (const wchar_t* p = table[id]; *p; ++p) {
            char32_t c = char32_t(*p);
            if (glyphs.entries)
                c = *p >= 1 && *p <= glyphs.count ? char32_t(glyphs.entries[*p - 1].codePoint) : U'?';
            if (c == U'\n')
                text += U"\\n";
            else
                text.push_back(c);
        }
        std::printf("%d %s\n", id, formats::lang::Utf8(text).c_str());
    }
    for (wchar_t* s : table)
        delete[] s;
    return 0;
}

tool::ToolCommand langCommand("lang", "[--language N] FILE", runLang);

}  // namespace
