#include "Strings.h"

#include "Texts.h"

#include "framework/CStringManager.h"
#include "framework/GlyphTables.h"
#include "tools/formats/LangWriter.h"
#include "tools/formats/TextRaster.h"

namespace qdata {

namespace {

std::u32string decode(const std::string& utf8)
{
    std::u32string out;
    for (size_t at = 0; at < utf8.size();)
        out.push_back(char32_t(formats::nextCodePoint(utf8, at)));
    return out;
}

void put(DataFolder& folder, const char* path, const std::vector<uint8_t>& bytes)
{
    folder.put(path, std::string(bytes.begin(), bytes.end()));
}

}  // namespace

void addStrings(DataFolder& folder)
{
    const std::vector<std::string> english = englishTexts();
    for (int language = 0; language < LANGUAGE_COUNT; ++language) {
        std::vector<std::u32string> strings;
        for (const std::string& text : english)
            strings.push_back(decode(languageText(text, language)));
        put(folder, SMALL_FONT_STRING_FILES[language], formats::lang::Write(strings, language));
        if (!CStringManager::IsWCharLanguage(language))
            continue;
        // The big-font table: loaded, never looked up; the first titles, as glyphs of the big sheet
        // (a character the big sheet lacks is left out).
        const SGlyphTable big = BigGlyphTable(language);
        std::vector<std::vector<uint16_t>> units;
        for (int id = 0; id < BIG_STRING_COUNT; ++id) {
            std::vector<uint16_t> glyphs;
            for (char32_t c : strings[size_t(id)]) {
                const int index = BinarySearch(big.entries, big.count, int(c));
                if (index > 0)
                    glyphs.push_back(uint16_t(index));
            }
            units.push_back(glyphs);
        }
        put(folder, BIG_FONT_STRING_FILES[language], formats::lang::WriteUnits(units));
    }
}

}  // namespace qdata
