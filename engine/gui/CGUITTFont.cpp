#include "engine/gui/CGUITTFont.h"

#include "engine/io/IReadFile.h"
#include "engine/video/C2DDriver.h"
#include "engine/video/material/CMaterial.h"
#include "engine/video/CTextureManager.h"
#include "engine/video/ITexture.h"
#include "engine/video/IVideoDriver.h"
#include "engine/video/image/CImage.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BITMAP_H

#include <cstdio>
#include <cstring>

namespace pravik::gui {

// --- library and faces -----------------------------------------------------------------------

CGUITTLibrary* CGUITTFace::library = nullptr;

namespace {
unsigned s_nextFaceSerial = 1;
}

CGUITTLibrary::CGUITTLibrary() : IReferenceCounted(0) { ok = FT_Init_FreeType(&library) == 0; }

CGUITTLibrary::~CGUITTLibrary()
{
    if (ok)
        FT_Done_FreeType(library);
}

CGUITTFace::CGUITTFace() : serial(s_nextFaceSerial++)
{
    if (!library) {
        library = new CGUITTLibrary();
        if (!library->ok) {
            delete library;
            library = nullptr;
            return;
        }
    }
    library->grab();
}

CGUITTFace::~CGUITTFace()
{
    if (face)
        FT_Done_Face(face);
    if (m_file)
        m_file->drop();
    if (library && library->drop())
        library = nullptr;
}

bool CGUITTFace::load(const char* path)
{
    if (!library || !path || face)
        return false;
    return FT_New_Face(library->library, path, 0, &face) == 0;
}

bool CGUITTFace::load(io::IReadFile* file)
{
    if (!library || !file || face)
        return false;
    const void* bytes = file->getBuffer(nullptr);
    if (!bytes || file->getSize() <= 0)
        return false;
    if (FT_New_Memory_Face(library->library, static_cast<const FT_Byte*>(bytes), FT_Long(file->getSize()), 0, &face) != 0) {
        face = nullptr;
        return false;
    }
    // FreeType reads the bytes on demand: keep them.
    m_file = file;
    m_file->grab();
    return true;
}

// --- glyphs ----------------------------------------------------------------------------------

namespace {

unsigned powerAbove(int n)
{
    unsigned p = 1;
    while (int(p) <= n)
        p <<= 1;
    return p;
}

}  // namespace

bool CGUITTGlyph::cache(unsigned index, CGUITTFace* face, video::IVideoDriver* driver, bool embolden, const char* name)
{
    if (!face || !face->face || !driver || !driver->getTextureManager())
        return false;
    FT_Face f = face->face;
    FT_Set_Pixel_Sizes(f, 0, size);
    if (FT_Load_Glyph(f, index, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0)
        return false;
    FT_GlyphSlot slot = f->glyph;
    if (slot->format != FT_GLYPH_FORMAT_OUTLINE || FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0)
        return false;
    if (embolden) {
        FT_GlyphSlot_Own_Bitmap(slot);
        FT_Bitmap_Embolden(CGUITTFace::library->library, &slot->bitmap, FT_Pos(borderStrength), FT_Pos(borderStrength));
    }
    const FT_Bitmap& bitmap = slot->bitmap;
    top = slot->bitmap_top;
    left = slot->bitmap_left;
    width = int(bitmap.width);
    height = int(bitmap.rows);
    textureWidth = powerAbove(width);
    textureHeight = powerAbove(height);
    textureWidth = textureHeight = std::max(textureWidth, textureHeight);

    video::CImagePtr image = new video::CImage(video::EPF_A8R8G8B8, core::dimension2d<int>(int(textureWidth), int(textureHeight)));
    auto* pixels = static_cast<unsigned char*>(image->getData());
    if (!pixels)
        return false;
    std::memset(pixels, 0, image->getImageDataSizeInBytes());
    const bool grey = driver->getDriverType() == 128;
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = bitmap.buffer + y * bitmap.pitch;
        unsigned char* out = pixels + size_t(y) * image->getPitch();
        for (int x = 0; x < width; ++x) {
            const unsigned char v = row[x];
            if (!v)
                continue;
            // A8R8G8B8 keeps alpha in the first byte.
            out[4 * x] = v;
            out[4 * x + 1] = out[4 * x + 2] = out[4 * x + 3] = grey ? v : 255;
        }
    }
    texture = driver->getTextureManager()->addTexture(name, image, true);
    cached = texture != nullptr;
    return cached;
}

void CGUITTGlyph::free(video::IVideoDriver* driver)
{
    cached = false;
    if (texture && driver && driver->getTextureManager()) {
        video::ITexture* t = texture.get();
        texture.reset();
        driver->getTextureManager()->removeTexture(t);
    }
    texture.reset();
}

// --- font ------------------------------------------------------------------------------------

CGUITTFont::CGUITTFont(video::IVideoDriver* driver) : m_driver(driver)
{
    if (m_driver)
        m_driver->grab();
}

CGUITTFont::~CGUITTFont()
{
    clearGlyphs();
    if (m_face)
        m_face->drop();
    if (m_driver)
        m_driver->drop();
}

bool CGUITTFont::attach(CGUITTFace* face, unsigned size, unsigned borderStrength, video::SColor borderColor)
{
    if (!face || !m_driver)
        return false;
    face->grab();
    if (m_face)
        m_face->drop();
    m_face = face;
    clearGlyphs();
    const size_t count = face->face ? size_t(face->face->num_glyphs) : 0;
    m_glyphs.resize(count);
    m_borderGlyphs.resize(count);
    for (CGUITTGlyph& g : m_glyphs)
        g.size = size;
    for (CGUITTGlyph& g : m_borderGlyphs) {
        g.size = size;
        g.borderStrength = borderStrength;
        g.borderColor = borderColor;
    }
    return true;
}

void CGUITTFont::clearGlyphs()
{
    for (CGUITTGlyph& g : m_glyphs)
        g.free(m_driver);
    for (CGUITTGlyph& g : m_borderGlyphs)
        g.free(m_driver);
    m_glyphs.clear();
    m_borderGlyphs.clear();
}

void CGUITTFont::setBorder(unsigned thickness, video::SColor color)
{
    if (!m_face || m_borderGlyphs.empty())
        return;
    const unsigned strength = thickness * m_borderGlyphs[0].size;
    for (CGUITTGlyph& g : m_borderGlyphs) {
        g.borderStrength = strength;
        g.borderColor = color;
    }
}

std::string CGUITTFont::glyphName(unsigned index, bool border) const
{
    char name[96];
    std::snprintf(name, sizeof name, "TTFontGlyph%u_face%u_size%u%s%u", index, m_face ? m_face->serial : 0, getSize(),
                  border ? "_border" : "_plain", border ? m_borderGlyphs[index - 1].borderStrength : 0u);
    return name;
}

unsigned CGUITTFont::getGlyphByValue(unsigned code) const
{
    if (!m_face || !m_face->face)
        return 0;
    const unsigned index = FT_Get_Char_Index(m_face->face, FT_ULong(code));
    if (index == 0 || index > m_glyphs.size())
        return 0;
    CGUITTGlyph& g = m_glyphs[index - 1];
    if (!g.cached)
        g.cache(index, m_face, m_driver, false, glyphName(index, false).c_str());
    CGUITTGlyph& b = m_borderGlyphs[index - 1];
    if (b.borderStrength && !b.cached)
        b.cache(index, m_face, m_driver, true, glyphName(index, true).c_str());
    return index;
}

const CGUITTGlyph* CGUITTFont::getGlyph(unsigned index, bool border) const
{
    if (index == 0 || index > m_glyphs.size())
        return nullptr;
    return border ? &m_borderGlyphs[index - 1] : &m_glyphs[index - 1];
}

int CGUITTFont::getAdvance(unsigned code) const
{
    const unsigned index = getGlyphByValue(code);
    if (index) {
        const CGUITTGlyph& g = m_glyphs[index - 1];
        if (g.width + g.left > 0)
            return g.width + g.left + m_tracking;
    }
    if (code < 32)
        return 0;
    if (code < 0x2000)
        return m_spaceWidth >= 1 ? m_spaceWidth : m_tracking + int(getSize()) / 2;
    return m_tracking + int(getSize());
}

std::vector<unsigned> decodeUTF8(const char* text)
{
    std::vector<unsigned> codes;
    const auto* p = reinterpret_cast<const unsigned char*>(text ? text : "");
    while (*p) {
        const unsigned char lead = *p;
        int extra;
        unsigned code;
        if (lead < 0x80) {
            extra = 0, code = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1, code = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2, code = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3, code = lead & 0x07;
        } else {
            extra = 0, code = 0;
        }
        ++p;
        for (int i = 0; i < extra; ++i) {
            if (!*p)
                return codes;  // cut short: the text ends here
            code = code << 6 | (*p & 0x3F);
            ++p;
        }
        codes.push_back(code);
    }
    return codes;
}

namespace {

std::vector<unsigned> codesOf(const wchar_t* text)
{
    std::vector<unsigned> codes;
    for (const wchar_t* p = text; p && *p; ++p)
        codes.push_back(unsigned(*p));
    return codes;
}

}  // namespace

core::dimension2d<int> CGUITTFont::measure(const std::vector<unsigned>& codes) const
{
    int w = 0;
    for (unsigned c : codes)
        w += getAdvance(c);
    return {w, int(getSize())};
}

core::dimension2d<int> CGUITTFont::getDimension(const wchar_t* text) const { return measure(codesOf(text)); }
core::dimension2d<int> CGUITTFont::getDimension(const char* text) const { return measure(decodeUTF8(text)); }

int CGUITTFont::hit(const std::vector<unsigned>& codes, int x) const
{
    int sum = 0;
    for (size_t i = 0; i < codes.size(); ++i) {
        sum += getAdvance(codes[i]);
        if (sum >= x)
            return int(i);
    }
    return -1;
}

int CGUITTFont::getCharacterFromPos(const wchar_t* text, int pixelX) const { return hit(codesOf(text), pixelX); }
int CGUITTFont::getCharacterFromPos(const char* text, int pixelX) const { return hit(decodeUTF8(text), pixelX); }

int CGUITTFont::height(const std::vector<unsigned>& codes) const
{
    int h = 0;
    for (unsigned c : codes) {
        const unsigned index = getGlyphByValue(c);
        const int ch = index ? m_glyphs[index - 1].height : (c < 32 ? 0 : int(getSize()));
        h = std::max(h, ch);
    }
    return h;
}

int CGUITTFont::getHeight(const char* text) const { return height(decodeUTF8(text)); }
int CGUITTFont::getHeight(const wchar_t* text) const { return height(codesOf(text)); }

void CGUITTFont::drawGlyph(const CGUITTGlyph& glyph, core::position2d<int> at, const core::rect<int>* clip,
                           video::SColor color)
{
    if (!m_transparency)
        color.a = 255;
    if (!glyph.texture)
        return;
    const core::position2d<int> dest(at.X + glyph.left, at.Y + int(glyph.size) - glyph.top);
    const core::rect<int> source(0, 0, int(glyph.textureWidth) - 1, int(glyph.textureHeight) - 1);
    video::C2DDriver::draw2DImage(m_driver, glyph.texture, dest, source, clip, color, true);
}

void CGUITTFont::drawCodes(const std::vector<unsigned>& codes, const core::rect<int>& position, video::SColor color,
                           bool hcenter, bool vcenter, const core::rect<int>* clip)
{
    if (!m_driver || m_glyphs.empty())
        return;
    const core::dimension2d<int> dim = measure(codes);
    core::position2d<int> start = position.UpperLeftCorner;
    if (hcenter)
        start.X += (position.getWidth() - dim.Width) / 2;
    if (vcenter)
        start.Y += (position.getHeight() - dim.Height) / 2;

    if (m_borderGlyphs[0].borderStrength) {
        core::position2d<int> pen = start;
        for (unsigned c : codes) {
            if (const unsigned i = getGlyphByValue(c)) {
                const CGUITTGlyph& b = m_borderGlyphs[i - 1];
                const CGUITTGlyph& g = m_glyphs[i - 1];
                const core::position2d<int> at(pen.X - ((b.width - g.width) >> 1), pen.Y - ((b.height - g.height) >> 1));
                drawGlyph(b, at, clip, b.borderColor);
            }
            pen.X += getAdvance(c);
        }
    }
    core::position2d<int> pen = start;
    for (unsigned c : codes) {
        if (const unsigned i = getGlyphByValue(c))
            drawGlyph(m_glyphs[i - 1], pen, clip, color);
        pen.X += getAdvance(c);
    }
}

void CGUITTFont::draw(const wchar_t* text, const core::rect<int>& position, video::SColor color, bool hcenter,
                      bool vcenter, const core::rect<int>* clip)
{
    drawCodes(codesOf(text), position, color, hcenter, vcenter, clip);
}

void CGUITTFont::draw(const char* text, const core::rect<int>& position, video::SColor color, bool hcenter,
                      bool vcenter, const core::rect<int>* clip)
{
    drawCodes(decodeUTF8(text), position, color, hcenter, vcenter, clip);
}

void CGUITTFont::drawInTexture(const wchar_t* text, const boost::intrusive_ptr<video::ITexture>& target,
                               core::rect<int> position, video::SColor color, bool hcenter, bool vcenter)
{
    if (!m_driver || !target)
        return;
    boost::intrusive_ptr<video::IRenderTarget> rt = m_driver->createRenderTarget(target, 0);
    if (!rt)
        return;
    m_driver->pushRenderTarget(rt);
    m_driver->beginScene2D();
    if (!m_driver->queryFeature(video::EVDF_RENDER_BUFFER)) {
        m_driver->clearBuffers(1);
        video::C2DDriver::draw2DImage(m_driver, target, core::position2d<int>(0, 0));
    }
    drawCodes(codesOf(text), position, color, hcenter, vcenter, nullptr);
    m_driver->endScene2D();
    m_driver->popRenderTarget();
}

void CGUITTFont::drawInTexture(const char* text, const boost::intrusive_ptr<video::ITexture>& target,
                               core::rect<int> position, video::SColor color, bool hcenter, bool vcenter)
{
    std::vector<unsigned> codes = decodeUTF8(text);
    std::wstring wide(codes.begin(), codes.end());
    drawInTexture(wide.c_str(), target, position, color, hcenter, vcenter);
}

}  // namespace pravik::gui
