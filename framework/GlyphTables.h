// The glyph index tables of the Chinese, Japanese and Korean glyph sheets: entry i is glyph
// i + 1 of the sheet and its code point, ascending. The small tables list every glyph of the
// small sheet, the big ones the subset in the large sheet. The sheet writers and the string
// table writers take their characters from here.
#pragma once

#include <cstdint>

struct SGlyphMapping {
    int32_t index;       // 1-based glyph index
    int32_t codePoint;
};

extern const SGlyphMapping charMappingCN[962];
extern const SGlyphMapping charMappingJP[670];
extern const SGlyphMapping charMappingKO[674];
extern const SGlyphMapping charMappingCNBIG[125];
extern const SGlyphMapping charMappingJPBIG[119];
extern const SGlyphMapping charMappingKOBIG[119];

struct SGlyphTable {
    const SGlyphMapping* entries;
    int count;
};

// Small and big tables of a language (5 cn, 6 jp, 7 ko); empty for the other languages.
SGlyphTable SmallGlyphTable(int language);
SGlyphTable BigGlyphTable(int language);

// 1-based position of the entry with this code point, or -1.
int BinarySearch(const SGlyphMapping* table, int count, int codePoint);
