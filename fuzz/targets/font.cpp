// Fonts: byte 0 chooses the reader. Even: glyph-sheet metrics (".bin") of a Chinese, Japanese or
// Korean font, then every glyph's width and a page of the glyphs broken into lines. Odd: the
// bitmap font's XML description, then every glyph area it lists and the text measured over the
// characters it maps.

#include "fuzz/FuzzTarget.h"

#include "engine/IDevice.h"
#include "engine/gui/CGUIFont.h"
#include "engine/gui/IGUIEnvironment.h"
#include "engine/io/CMemoryReadFile.h"
#include "engine/io/IXMLReader.h"
#include "framework/CZyFont.h"
#include "tools/formats/BitmapFontXml.h"
#include "tools/formats/GlyphSheet.h"

#include <cstdlib>
#include <memory>
#include <string>

namespace {

using namespace pravik;

void glyphFont(const uint8_t* data, size_t size, int kind) {
    std::unique_ptr<CZyFont> font;
    if (kind == 0) font = std::make_unique<CZyFontCS>();
    else if (kind == 1) font = std::make_unique<CZyFontJP>();
    else font = std::make_unique<CZyFontKO>();
    for (int style = 0; style < 2; ++style) {
        if (!font->LoadMetrics(data, size, CZyFont::FontStyle(style))) return;
        const CZyFont::SStyle& s = font->m_styles[style];
        if (s.glyphs.size() != s.count) std::abort();
        font->SetStyle(style);
        std::wstring text;
        for (int g = 0; g <= s.count + 1; ++g) {
            font->GetCharWidth(wchar_t(g));
            text += wchar_t(g % 3 == 2 ? 1 : g + 1);  // blanks give the page places to break
        }
        font->GetStringWidth(text.c_str());
        const int lines = font->InitPage(text.c_str(), 40);
        if (lines < 1 || lines > CZyFont::MAX_PAGE_LINES) std::abort();
        for (int line = 0; line < lines; ++line)
            if (font->LineEnd(line) > int(text.size())) std::abort();
    }
}

gui::IGUIEnvironment& environment() {
    static const boost::intrusive_ptr<IDevice> device = [] {
        SCreationParameters parameters;
        parameters.DriverType = video::EDT_NULL;
        return boost::intrusive_ptr<IDevice>(createDeviceEx(parameters), false);
    }();
    return *device->getGUIEnvironment();
}

void bitmapFont(const uint8_t* data, size_t size) {
    if (size > INT32_MAX) return;
    io::IReadFile* file = io::createMemoryReadFile(const_cast<uint8_t*>(data), int32_t(size), "fuzz.xml", false);
    io::IXMLReader* reader = io::createIXMLReader(file);
    file->drop();
    if (!reader) return;
    const boost::intrusive_ptr<gui::CGUIFont> font(new gui::CGUIFont(&environment(), "fuzz"), false);
    font->load(reader);
    reader->drop();
    std::wstring text;
    for (const auto& [c, area] : font->getCharacterMap()) {
        if (area < 0 || size_t(area) >= font->getAreas().size()) std::abort();
        if (c != 0 && text.size() < 256) text += c;
    }
    for (const gui::CGUIFont::SFontArea& a : font->getAreas()) fuzz::sum(&a, sizeof a);
    const auto d = font->getDimension(text.c_str());
    font->getCharacterFromPos(text.c_str(), d.Width / 2);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    if (data[0] & 1) bitmapFont(data + 1, size - 1);
    else glyphFont(data + 1, size - 1, (data[0] >> 1) % 3);
    return 0;
}

std::vector<std::string> fuzz::seeds() {
    formats::glyphs::Metrics m;
    m.cellW = 12, m.cellH = 14;
    m.glyphs = {{0, 6}, {1, 10}, {-1, 12}, {2, 4}};
    m.chars[uint8_t('|')] = 3, m.chars[uint8_t('\\')] = 2, m.chars[uint8_t('n')] = 1, m.chars[uint8_t(' ')] = -1;
    const std::vector<uint8_t> bin = formats::glyphs::WriteBin(m);
    const std::string xml = formats::fontxml::write({{"font0.png"}, {"font1.png", "1"}},
                                                    {{L"A", "0", "1", "0", "0,0,5,7"}, {L"b", "1", "0", "0", "6,0,9,7"},
                                                     {L"\u00e9", "0", "0", "1", "0,0,4,8"}});
    std::vector<std::string> all;
    for (char kind : {0, 2, 4}) all.push_back(kind + std::string(bin.begin(), bin.end()));
    all.push_back('\1' + xml);
    return all;
}
