#include "tools/formats/BitmapFontXml.h"

namespace formats::fontxml {

namespace {

std::string attribute(const char* name, const std::string& value)
{
    return value.empty() ? std::string() : std::string(" ") + name + "=\"" + value + "\"";
}

std::string escape(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text) {
        if (c == L'"' || c == L'<' || c == L'&' || c > 127)
            out += "&#" + std::to_string(unsigned(c)) + ";";
        else
            out += char(c);
    }
    return out;
}

}  // namespace

std::string write(const std::vector<STexture>& textures, const std::vector<SGlyph>& glyphs, const std::string& type)
{
    std::string xml = "<?xml version=\"1.0\"?>\n<font type=\"" + type + "\">\n";
    for (const STexture& t : textures)
        xml += "  <Texture" + attribute("filename", t.filename) + attribute("index", t.index) +
               attribute("hasAlpha", t.hasAlpha) + " />\n";
    for (const SGlyph& g : glyphs)
        xml += "  <c" + (g.c.empty() ? std::string() : " c=\"" + escape(g.c) + "\"") + attribute("u", g.u) +
               attribute("o", g.o) + attribute("i", g.i) + attribute("r", g.r) + " />\n";
    return xml + "</font>\n";
}

}  // namespace formats::fontxml
