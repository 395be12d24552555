#pragma once
// The bitmap font: glyphs are rectangles of the font's textures, drawn as sprites of its sprite
// bank. Read from one image whose marker pixels outline every glyph (pixel (0, 0) the
// upper-left marker colour, (1, 0) the lower-right one, (2, 0) the background; glyph n is
// character n + 32), or from an XML description naming textures and glyph rectangles.

#include "engine/gui/IGUIFont.h"
#include "engine/io/IXMLReader.h"
#include "engine/video/image/CImage.h"

#include <map>
#include <vector>

namespace pravik::io {
class IReadFile;
}

namespace pravik::video {
class IVideoDriver;
}

namespace pravik::gui {

class IGUIEnvironment;

class CGUIFont : public IGUIFontBitmap {
public:
    struct SFontArea {
        int underhang = 0;  // pixels before the glyph
        int overhang = 0;   // pixels after it
        int width = 0;
        unsigned spriteno = 0;
    };

    CGUIFont(IGUIEnvironment* environment, const char* filename);
    ~CGUIFont() override;

    bool load(const char* filename);
    bool load(io::IReadFile* file);
    bool load(io::IXMLReader* xml);
    // Scans a marker image into glyphs and makes its texture; false without a glyph.
    bool loadTexture(const video::CImagePtr& image, const char* name);

    void draw(const wchar_t* text, const core::rect<int>& position, video::SColor color, bool hcenter = false,
              bool vcenter = false, const core::rect<int>* clip = nullptr) override;
    void draw(const char*, const core::rect<int>&, video::SColor, bool = false, bool = false,
              const core::rect<int>* = nullptr) override {}
    void drawInTexture(const wchar_t*, const boost::intrusive_ptr<video::ITexture>&, core::rect<int>, video::SColor,
                       bool = false, bool = false) override {}
    void drawInTexture(const char*, const boost::intrusive_ptr<video::ITexture>&, core::rect<int>, video::SColor,
                       bool = false, bool = false) override {}
    core::dimension2d<int> getDimension(const wchar_t* text) const override;
    core::dimension2d<int> getDimension(const char*) const override { return {0, 0}; }
    int getCharacterFromPos(const wchar_t* text, int pixelX) const override;
    void setKerningWidth(int kerning) override { m_globalKerningWidth = kerning; }
    void setKerningHeight(int kerning) override { m_globalKerningHeight = kerning; }
    void setBorder(unsigned, video::SColor) override {}
    int getKerningWidth(const wchar_t* thisLetter = nullptr, const wchar_t* previousLetter = nullptr) const override;
    int getKerningHeight() const override { return m_globalKerningHeight; }
    void setTracking(int) override {}
    int getTracking() const override { return 0; }
    IGUISpriteBank* getSpriteBank() const override { return m_spriteBank; }
    unsigned getSpriteNoFromChar(const wchar_t* c) const override;

    int getAreaFromCharacter(wchar_t c) const;
    const std::vector<SFontArea>& getAreas() const { return m_areas; }
    const std::map<wchar_t, int>& getCharacterMap() const { return m_characterMap; }
    int getMaxHeight() const { return m_maxHeight; }
    int getWrongCharacter() const { return m_wrongCharacter; }

private:
    // The marker scan over 16- or 32-bit pixels; the number of glyphs completed (0 on a marker
    // out of order) and the number of upper-left markers seen.
    template <class Pixel>
    int readPositions(video::CImage& image, int& upperLeftMarkers, bool sixteenBit);
    void setMaxHeight();
    void buildLookup();  // the table of small character codes, from the map
    const SFontArea* area(wchar_t c) const;

    std::vector<SFontArea> m_areas;
    std::map<wchar_t, int> m_characterMap;
    std::vector<int> m_lookup;  // area numbers of codes below its size, -1 for unmapped: text is mostly such codes
    video::IVideoDriver* m_driver = nullptr;
    IGUISpriteBank* m_spriteBank = nullptr;
    IGUIEnvironment* m_environment;
    int m_wrongCharacter = 0;
    int m_maxHeight = 0;
    int m_globalKerningWidth = 0;
    int m_globalKerningHeight = 0;
};

}  // namespace pravik::gui
