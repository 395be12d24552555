#pragma once
// The glyph sheets of Chinese, Japanese and Korean ("unicode_text_res/"): every glyph of the
// framework's glyph tables drawn white with FreeType from WenQuanYi Micro Hei, with their metrics.

#include "DataFolder.h"

namespace qdata {

void addGlyphSheets(DataFolder& folder);

}  // namespace qdata
