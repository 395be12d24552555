#pragma once
// Writes the XML description of a bitmap font: <font type="bitmap">, one <Texture> per image
// and one <c> per glyph with its character, underhang, overhang, texture and rectangle.
// Fields left empty are left out, so tests can write incomplete elements.

#include <string>
#include <vector>

namespace formats::fontxml {

struct STexture {
    std::string filename;
    std::string index = "0";
    std::string hasAlpha = "true";
};

struct SGlyph {
    std::wstring c;  // the character (first one counts)
    std::string u = "0", o = "0", i = "0";
    std::string r;  // "x1,y1,x2,y2"
};

// 8-bit text (characters above 127 written as character references).
std::string write(const std::vector<STexture>& textures, const std::vector<SGlyph>& glyphs,
                  const std::string& type = "bitmap");

}  // namespace formats::fontxml
