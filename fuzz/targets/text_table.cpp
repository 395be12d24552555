// ".lang" string tables: byte 0 chooses the language (narrow UTF-8 or 16-bit glyph indices), the
// rest is the table; every string it decodes is read to its terminator.

#include "fuzz/FuzzTarget.h"

#include "framework/CStringManager.h"
#include "tools/formats/LangWriter.h"

#include <cwchar>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const int language = data[0] % LANGUAGE_COUNT;
    // A short count keeps runs quick; the table's end is reached either way on small inputs.
    constexpr int kCount = 64;
    std::vector<wchar_t*> table(kCount, nullptr);
    CStringManager::DecodeTable(data + 1, size - 1, table.data(), kCount, language);
    for (wchar_t* text : table) {
        if (!text) continue;
        fuzz::sum(text, (std::wcslen(text) + 1) * sizeof(wchar_t));
        delete[] text;
    }
    return 0;
}

std::vector<std::string> fuzz::seeds() {
    const std::vector<std::u32string> texts = {U"Play", U"", U"Caf\u00e9 \u00fcber", U"Level %d"};
    std::vector<std::string> all;
    for (int language : {0, 3, 5, 6, 7, 8}) {
        const std::vector<uint8_t> table = formats::lang::Write(texts, language);
        all.push_back(char(language) + std::string(table.begin(), table.end()));
    }
    return all;
}
