#include "engine/gui/CGUIFont.h"

#include "engine/gui/CGUISpriteBank.h"
#include "engine/gui/IGUIEnvironment.h"
#include "engine/io/IReadFile.h"
#include "engine/os/Printer.h"
#include "engine/video/CTextureManager.h"
#include "engine/video/ITexture.h"
#include "engine/video/IVideoDriver.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <cwchar>

namespace pravik::gui {

using video::CImage;
using video::CImagePtr;

namespace {

// Clears the driver option that gives new textures mipmaps, for a scope.
class ScopedNoMipmaps {
public:
    explicit ScopedNoMipmaps(video::IVideoDriver* driver) : m_driver(driver), m_wasSet(driver->getOptions() & video::EVDO_MIPMAPS)
    {
        m_driver->setOption(video::EVDO_MIPMAPS, false);
    }
    ~ScopedNoMipmaps()
    {
        if (m_wasSet)
            m_driver->setOption(video::EVDO_MIPMAPS, true);
    }

private:
    video::IVideoDriver* m_driver;
    bool m_wasSet;
};

// Four non-negative decimals separated by runs of commas and blanks.
// Metrics a font file may give: sums over any text stay far inside int after widening.
constexpr int kMetricLimit = 1 << 16;

int clampMetric(long long v) { return int(std::clamp<long long>(v, -kMetricLimit, kMetricLimit)); }

int saturate(long long v) { return int(std::clamp<long long>(v, INT_MIN, INT_MAX)); }

core::rect<int> parseRectangle(const wchar_t* s)
{
    int v[4] = {0, 0, 0, 0};
    for (int i = 0; i < 4; ++i) {
        if (i > 0)
            while (*s == L',' || *s == L' ' || *s == L'\t')
                ++s;
        while (*s >= L'0' && *s <= L'9') {
            v[i] = std::min(v[i] * 10 + int(*s - L'0'), kMetricLimit);
            ++s;
        }
    }
    return {v[0], v[1], v[2], v[3]};
}

}  // namespace

CGUIFont::CGUIFont(IGUIEnvironment* environment, const char* filename) : m_environment(environment)
{
    if (!m_environment)
        return;
    m_driver = m_environment->getVideoDriver();
    if (m_driver)
        m_driver->grab();
    m_spriteBank = m_environment->addEmptySpriteBank(filename);
    if (m_spriteBank) {
        m_spriteBank->grab();
    } else {
        // The name is taken by another font's bank: keep glyphs in a bank of our own rather
        // than write into that one.
        m_spriteBank = new CGUISpriteBank(m_environment);
    }
}

CGUIFont::~CGUIFont()
{
    if (m_driver)
        m_driver->drop();
    if (m_spriteBank)
        m_spriteBank->drop();
}

// --- loading ---------------------------------------------------------------------------------

bool CGUIFont::load(const char* filename)
{
    if (!m_driver || !m_driver->getTextureManager())
        return false;
    return loadTexture(m_driver->getTextureManager()->createImageFromFile(filename), filename);
}

bool CGUIFont::load(io::IReadFile* file)
{
    if (!m_driver || !m_driver->getTextureManager() || !file)
        return false;
    return loadTexture(m_driver->getTextureManager()->createImageFromFile(file), file->getFileName());
}

bool CGUIFont::load(io::IXMLReader* xml)
{
    if (!m_spriteBank || !xml)
        return false;
    video::CTextureManager* textures = m_driver ? m_driver->getTextureManager() : nullptr;

    while (xml->read()) {
        if (xml->getNodeType() != io::EXNK_ELEMENT)
            continue;
        const wchar_t* name = xml->getNodeName();
        if (std::wcscmp(name, L"Texture") == 0) {
            const wchar_t* fileName = xml->getAttributeValue(L"filename");
            const wchar_t* hasAlpha = xml->getAttributeValue(L"hasAlpha");
            if (!fileName || !hasAlpha)
                continue;  // an incomplete element names nothing to load
            const int index = xml->getAttributeValueAsInt(L"index");
            if (index < 0 || index > 255) {
                os::Printer::log("Font texture index out of range, aborting", ELL_ERROR);
                return false;
            }
            core::stringc narrow;
            for (const wchar_t* c = fileName; *c; ++c)
                narrow += char(*c);
            while (m_spriteBank->getTextureCount() < unsigned(index) + 1)
                m_spriteBank->addTexture(nullptr);
            if (textures) {
                ScopedNoMipmaps option(m_driver);
                boost::intrusive_ptr<video::ITexture> texture = textures->getTexture(narrow.c_str());
                if (texture) {
                    texture->setMinFilter(video::ETFT_NEAREST);
                    texture->setMagFilter(video::ETFT_NEAREST);
                }
                m_spriteBank->setTexture(unsigned(index), texture);
            }
            boost::intrusive_ptr<video::ITexture> texture = m_spriteBank->getTexture(unsigned(index));
            if (!texture) {
                os::Printer::log("Unable to load all textures in the font, aborting", ELL_ERROR);
                return false;
            }
            if (std::wcscmp(hasAlpha, L"false") == 0)
                textures->makeColorKeyTexture(texture, core::position2d<int>(0, 0));
        } else if (std::wcscmp(name, L"c") == 0) {
            const wchar_t* ch = xml->getAttributeValue(L"c");
            const wchar_t* r = xml->getAttributeValue(L"r");
            if (!ch || !r)
                continue;  // a glyph without its character or rectangle is skipped
            const core::rect<int> rectangle = parseRectangle(r);
            if (m_characterMap.find(ch[0]) == m_characterMap.end())
                m_characterMap[ch[0]] = int(m_areas.size());
            SGUISprite sprite;
            sprite.frameTime = 0;
            sprite.Frames.push_back({unsigned(xml->getAttributeValueAsInt(L"i")),
                                     unsigned(m_spriteBank->getPositions().size())});
            const unsigned spriteNumber = unsigned(m_spriteBank->getSprites().size());
            m_spriteBank->getSprites().push_back(sprite);
            m_spriteBank->getPositions().push_back(rectangle);
            SFontArea a;
            a.underhang = clampMetric(xml->getAttributeValueAsInt(L"u"));
            a.overhang = clampMetric(xml->getAttributeValueAsInt(L"o"));
            a.width = rectangle.getWidth();
            a.spriteno = spriteNumber;
            m_areas.push_back(a);
        }
    }
    buildLookup();
    m_wrongCharacter = getAreaFromCharacter(L' ');
    setMaxHeight();
    // A description without glyphs would leave every measure and draw without an area.
    return !m_areas.empty();
}

bool CGUIFont::loadTexture(const CImagePtr& source, const char* name)
{
    if (!source || !m_spriteBank)
        return false;
    CImagePtr image;
    bool sixteenBit = false;
    switch (source->getColorFormat()) {
        case video::EPF_R5G6B5:
        case video::EPF_A1R5G5B5:
            image = new CImage(video::EPF_R5G5B5A1, source);
            sixteenBit = true;
            break;
        case video::EPF_R5G5B5A1:
            image = source;
            sixteenBit = true;
            break;
        case video::EPF_R8G8B8:
            image = new CImage(video::EPF_A8R8G8B8, source);
            break;
        case video::EPF_A8R8G8B8:
        case video::EPF_B8G8R8A8:
        case video::EPF_R8G8B8A8:
            image = source;
            break;
        default:
            os::Printer::log("CGUIFont::loadTexture : unsupported image type", ELL_ERROR);
            return false;
    }

    int upperLeftMarkers = 0;
    const int glyphs = sixteenBit ? readPositions<std::uint16_t>(*image, upperLeftMarkers, true)
                                  : readPositions<std::uint32_t>(*image, upperLeftMarkers, false);
    buildLookup();
    m_wrongCharacter = getAreaFromCharacter(L' ');

    bool ok = false;
    if (glyphs == 0 || m_spriteBank->getSprites().empty()) {
        os::Printer::log("Either no upper or lower corner pixels in the font file. If this font was made using the "
                         "newly font tool, please load the XML file instead. If not, the font may be corrupted.",
                         ELL_ERROR);
    } else if (upperLeftMarkers != glyphs) {
        os::Printer::log("The amount of upper corner pixels and the lower corner pixels is not equal, font file may be "
                         "corrupted.",
                         ELL_ERROR);
    }
    if (!m_spriteBank->getSprites().empty() && glyphs > 0 && m_driver && m_driver->getTextureManager()) {
        boost::intrusive_ptr<video::ITexture> texture;
        {
            ScopedNoMipmaps option(m_driver);
            texture = m_driver->getTextureManager()->addTexture(name ? name : "", image, true);
        }
        if (texture) {
            texture->setMinFilter(video::ETFT_NEAREST);
            texture->setMagFilter(video::ETFT_NEAREST);
            m_spriteBank->addTexture(texture);
            ok = true;
        }
    }
    setMaxHeight();
    return ok;
}

template <class Pixel>
int CGUIFont::readPositions(CImage& image, int& upperLeftMarkers, bool sixteenBit)
{
    upperLeftMarkers = 0;
    const core::dimension2d<int> size = image.getDimension();
    auto* data = static_cast<unsigned char*>(image.getData());
    if (!data || size.Width < 3 || size.Height < 1) {
        os::Printer::log("Could not lock texture while preparing texture for a font.", ELL_ERROR);
        return 0;
    }
    auto at = [&](int x, int y) -> Pixel& {
        return *reinterpret_cast<Pixel*>(data + size_t(y) * image.getPitch() + size_t(x) * sizeof(Pixel));
    };
    Pixel upperLeft = at(0, 0);
    if (sixteenBit) {
        upperLeft = Pixel(upperLeft | 1);
        at(0, 0) = upperLeft;
    }
    const Pixel lowerRight = at(1, 0);
    const Pixel background = at(2, 0);
    at(1, 0) = background;

    std::vector<core::rect<int>>& rectangles = m_spriteBank->getPositions();
    std::vector<SGUISprite>& sprites = m_spriteBank->getSprites();
    const size_t firstRectangle = rectangles.size();
    int glyphs = 0;
    for (int y = 0; y < size.Height; ++y) {
        for (int x = 0; x < size.Width; ++x) {
            Pixel& p = at(x, y);
            if (p == upperLeft) {
                p = 0;
                rectangles.push_back({x, y, x, y});
                ++upperLeftMarkers;
            } else if (p == lowerRight) {
                const size_t n = firstRectangle + size_t(glyphs);
                if (rectangles.size() == firstRectangle || n >= rectangles.size())
                    return 0;  // a lower-right corner before its upper-left one
                p = 0;
                rectangles[n].LowerRightCorner = {x, y};
                SGUISprite sprite;
                sprite.frameTime = 0;
                sprite.Frames.push_back({0, unsigned(n)});
                sprites.push_back(sprite);
                SFontArea a;
                a.width = x - rectangles[n].UpperLeftCorner.X;
                a.spriteno = unsigned(sprites.size() - 1);
                m_areas.push_back(a);
                m_characterMap[wchar_t(glyphs + 32)] = int(m_areas.size() - 1);
                ++glyphs;
            } else if (p == background) {
                p = 0;
            }
        }
    }
    return glyphs;
}

void CGUIFont::setMaxHeight()
{
    m_maxHeight = 0;
    if (!m_spriteBank)
        return;
    for (const core::rect<int>& r : m_spriteBank->getPositions())
        m_maxHeight = std::max(m_maxHeight, r.LowerRightCorner.Y - r.UpperLeftCorner.Y);
}

// --- measuring and drawing -------------------------------------------------------------------

void CGUIFont::buildLookup()
{
    m_lookup.assign(512, -1);
    for (const auto& [c, index] : m_characterMap)
        if (c >= 0 && size_t(c) < m_lookup.size())
            m_lookup[size_t(c)] = index;
}

int CGUIFont::getAreaFromCharacter(wchar_t c) const
{
    if (c >= 0 && size_t(c) < m_lookup.size())
        return m_lookup[size_t(c)] >= 0 ? m_lookup[size_t(c)] : m_wrongCharacter;
    auto it = m_characterMap.find(c);
    return it != m_characterMap.end() ? it->second : m_wrongCharacter;
}

const CGUIFont::SFontArea* CGUIFont::area(wchar_t c) const
{
    const int index = getAreaFromCharacter(c);
    return index >= 0 && size_t(index) < m_areas.size() ? &m_areas[size_t(index)] : nullptr;
}

unsigned CGUIFont::getSpriteNoFromChar(const wchar_t* c) const
{
    const SFontArea* a = c ? area(*c) : nullptr;
    return a ? a->spriteno : 0;
}

core::dimension2d<int> CGUIFont::getDimension(const wchar_t* text) const
{
    long long width = 0, height = 0, line = 0;
    auto endLine = [&] {
        height += m_maxHeight;
        width = std::max(width, line);
        line = 0;
    };
    for (const wchar_t* p = text ? text : L""; *p; ++p) {
        if (*p == L'\r' || *p == L'\n') {
            if (*p == L'\r' && p[1] == L'\n')
                ++p;
            endLine();
            continue;
        }
        if (const SFontArea* a = area(*p))
            line += (long long)a->underhang + a->width + a->overhang;
        line += m_globalKerningWidth;
    }
    endLine();
    return {saturate(width), saturate(height)};
}

void CGUIFont::draw(const wchar_t* text, const core::rect<int>& position, video::SColor color, bool hcenter,
                    bool vcenter, const core::rect<int>* clip)
{
    if (!m_driver || !m_spriteBank || !text)
        return;
    long long x = position.UpperLeftCorner.X, y = position.UpperLeftCorner.Y;
    if (hcenter || vcenter) {  // a clip alone needs no measure: nothing reads it
        const core::dimension2d<int> dim = getDimension(text);
        if (hcenter)
            x += ((long long)position.getWidth() - dim.Width) >> 1;
        if (vcenter)
            y += ((long long)position.getHeight() - dim.Height) >> 1;
    }
    for (const wchar_t* p = text; *p; ++p) {
        const SFontArea* a = area(*p);
        if (!a)
            continue;
        x += a->underhang;
        m_spriteBank->draw2DSprite(a->spriteno, core::position2d<int>(saturate(x), saturate(y)), clip, color, 0, 0,
                                   true, false);
        x += (long long)a->width + a->overhang + m_globalKerningWidth;
    }
}

int CGUIFont::getCharacterFromPos(const wchar_t* text, int pixelX) const
{
    long long x = 0;
    for (int i = 0; text && text[i]; ++i) {
        if (const SFontArea* a = area(text[i]))
            x += (long long)a->underhang + a->width + a->overhang;
        if (x >= pixelX)
            return i;
    }
    return -1;
}

int CGUIFont::getKerningWidth(const wchar_t* thisLetter, const wchar_t* previousLetter) const
{
    long long k = m_globalKerningWidth;
    if (thisLetter) {
        if (const SFontArea* a = area(*thisLetter))
            k += a->overhang;
        if (previousLetter)
            if (const SFontArea* b = area(*previousLetter))
                k += b->underhang;
    }
    return saturate(k);
}

}  // namespace pravik::gui
