#pragma once
// TrueType through FreeType: faces share one library object; a font renders each glyph once,
// on first use, into a texture of its own and draws text one textured quad a glyph, with an
// optional emboldened border pass underneath. Glyph textures are named after the face, the
// size and the border, so fonts never share or unregister each other's textures.

#include "engine/gui/IGUITTFont.h"

#include <boost/intrusive_ptr.hpp>

#include <string>
#include <vector>

typedef struct FT_LibraryRec_* FT_Library;
typedef struct FT_FaceRec_* FT_Face;

namespace pravik::io {
class IReadFile;
}

namespace pravik::video {
class IVideoDriver;
class ITexture;
}  // namespace pravik::video

namespace pravik::gui {

class CGUITTLibrary : public IReferenceCounted {
public:
    CGUITTLibrary();
    ~CGUITTLibrary() override;
    FT_Library library = nullptr;
    bool ok = false;
};

class CGUITTFace : public IReferenceCounted {
public:
    CGUITTFace();
    ~CGUITTFace() override;
    bool load(const char* path);
    bool load(io::IReadFile* file);  // the file must be held in memory; it is kept while the face lives

    FT_Face face = nullptr;
    unsigned serial;  // tells faces apart in glyph texture names
    static CGUITTLibrary* library;

private:
    io::IReadFile* m_file = nullptr;
};

class CGUITTGlyph {
public:
    // Renders glyph index into its texture; false leaves it uncached.
    bool cache(unsigned index, CGUITTFace* face, video::IVideoDriver* driver, bool embolden, const char* name);
    void free(video::IVideoDriver* driver);

    bool cached = false;
    unsigned size = 0;
    int top = 0, left = 0, width = 0, height = 0;
    unsigned textureWidth = 0, textureHeight = 0;
    boost::intrusive_ptr<video::ITexture> texture;
    unsigned borderStrength = 0;  // 26.6 fixed point: 64 is one pixel
    video::SColor borderColor;
};

class CGUITTFont : public IGUITTFont {
public:
    explicit CGUITTFont(video::IVideoDriver* driver);
    ~CGUITTFont() override;

    virtual bool attach(CGUITTFace* face, unsigned size, unsigned borderStrength, video::SColor borderColor);

    void draw(const wchar_t* text, const core::rect<int>& position, video::SColor color, bool hcenter = false,
              bool vcenter = false, const core::rect<int>* clip = nullptr) override;
    void draw(const char* text, const core::rect<int>& position, video::SColor color, bool hcenter = false,
              bool vcenter = false, const core::rect<int>* clip = nullptr) override;
    void drawInTexture(const wchar_t* text, const boost::intrusive_ptr<video::ITexture>& target,
                       core::rect<int> position, video::SColor color, bool hcenter = false,
                       bool vcenter = false) override;
    void drawInTexture(const char* text, const boost::intrusive_ptr<video::ITexture>& target,
                       core::rect<int> position, video::SColor color, bool hcenter = false,
                       bool vcenter = false) override;
    core::dimension2d<int> getDimension(const wchar_t* text) const override;
    core::dimension2d<int> getDimension(const char* text) const override;
    int getCharacterFromPos(const wchar_t* text, int pixelX) const override;
    virtual int getCharacterFromPos(const char* text, int pixelX) const;
    void setKerningWidth(int) override {}
    void setKerningHeight(int) override {}
    void setBorder(unsigned thickness, video::SColor color) override;
    int getKerningWidth(const wchar_t* = nullptr, const wchar_t* = nullptr) const override { return 0; }
    int getKerningHeight() const override { return 0; }
    void setTracking(int tracking) override { m_tracking = tracking < 0 ? 0 : tracking; }
    int getTracking() const override { return m_tracking; }

    int getHeight(const char* text) const override;
    int getHeight(const wchar_t* text) const override;
    void setTransparency(bool flag) override { m_transparency = flag; }
    bool getTransparency() const override { return m_transparency; }
    void setAntiAlias(bool flag) override { m_antiAlias = flag; }
    bool getAntiAlias() const override { return m_antiAlias; }
    void clearGlyphs() override;
    void setSpaceWidth(int width) override { m_spaceWidth = width; }
    int getSpaceWidth() const override { return m_spaceWidth; }

    // The face's glyph index of a code (0 for none), rendering its entries on first use.
    unsigned getGlyphByValue(unsigned code) const;
    unsigned getGlyphByChar(wchar_t c) const { return getGlyphByValue(unsigned(c)); }
    int getAdvance(unsigned code) const;
    unsigned getSize() const { return m_glyphs.empty() ? 0 : m_glyphs[0].size; }
    const CGUITTGlyph* getGlyph(unsigned index, bool border = false) const;  // index as the face counts

private:
    void drawCodes(const std::vector<unsigned>& codes, const core::rect<int>& position, video::SColor color,
                   bool hcenter, bool vcenter, const core::rect<int>* clip);
    void drawGlyph(const CGUITTGlyph& glyph, core::position2d<int> at, const core::rect<int>* clip,
                   video::SColor color);
    core::dimension2d<int> measure(const std::vector<unsigned>& codes) const;
    int hit(const std::vector<unsigned>& codes, int x) const;
    int height(const std::vector<unsigned>& codes) const;
    std::string glyphName(unsigned index, bool border) const;

    video::IVideoDriver* m_driver;
    mutable std::vector<CGUITTGlyph> m_glyphs;
    mutable std::vector<CGUITTGlyph> m_borderGlyphs;
    CGUITTFace* m_face = nullptr;
    bool m_antiAlias = false;
    bool m_transparency = false;
    int m_tracking = 0;
    int m_spaceWidth = 0;
};

// Code points of UTF-8 text: a bad lead byte counts as code 0, a sequence cut short ends it.
std::vector<unsigned> decodeUTF8(const char* text);

}  // namespace pravik::gui
