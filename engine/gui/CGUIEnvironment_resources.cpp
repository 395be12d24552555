// The environment's caches: bitmap fonts, TrueType faces and fonts, sprite banks, and the
// built-in font.
#include "engine/gui/BuiltInFont.h"
#include "engine/gui/CGUIEnvironment.h"
#include "engine/gui/CGUIFont.h"
#include "engine/gui/CGUISpriteBank.h"
#include "engine/gui/CGUITTFont.h"
#include "engine/io/CMemoryReadFile.h"
#include "engine/io/IXMLReader.h"
#include "engine/os/Printer.h"
#include "engine/video/IVideoDriver.h"

#include <algorithm>
#include <cwchar>
#include <filesystem>

namespace pravik::gui {

namespace {

// Clears one driver option for a scope and sets it again afterwards when it was set.
class ScopedDriverOption {
public:
    ScopedDriverOption(video::IVideoDriver* driver, unsigned bit)
        : m_driver(driver), m_bit(bit), m_wasSet(driver && (driver->getOptions() & bit))
    {
        if (m_wasSet)
            m_driver->setOption(m_bit, false);
    }
    ~ScopedDriverOption()
    {
        if (m_wasSet)
            m_driver->setOption(m_bit, true);
    }

private:
    video::IVideoDriver* m_driver;
    unsigned m_bit;
    bool m_wasSet;
};

// Index of the record equal to the key, or -1.
template <class T>
int find(const std::vector<T>& v, const T& key)
{
    auto it = std::lower_bound(v.begin(), v.end(), key);
    return it != v.end() && !(key < *it) ? int(it - v.begin()) : -1;
}

template <class T>
void insertSorted(std::vector<T>& v, const T& record)
{
    v.insert(std::upper_bound(v.begin(), v.end(), record), record);
}

}  // namespace

core::stringc CGUIEnvironment::normalizeName(const char* name)
{
    core::stringc s(name ? name : "");
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return s;
}

void CGUIEnvironment::loadBuiltInFont()
{
    ScopedDriverOption option(m_driver, video::EVDO_TEXTURE_COMMIT);
    io::IReadFile* file =
        io::createMemoryReadFile(const_cast<unsigned char*>(BuiltInFontData), BuiltInFontDataSize, "#DefaultFont", false);
    CGUIFont* font = new CGUIFont(this, "#DefaultFont");
    if (file && font->load(file)) {
        insertSorted(m_fonts, SFont{"#DefaultFont", font});
    } else {
        os::Printer::log("Error: Could not load built-in Font. Did you compile without the BMP loader?", ELL_ERROR);
        font->drop();
    }
    if (file)
        file->drop();
}

IGUIFont* CGUIEnvironment::getBuiltInFont() const { return m_fonts.empty() ? nullptr : m_fonts.front().font; }

IGUIFont* CGUIEnvironment::getFont(const char* filename)
{
    const core::stringc key = normalizeName(filename);
    const int index = find(m_fonts, SFont{key, nullptr});
    if (index >= 0)
        return m_fonts[size_t(index)].font;

    if (!m_fileSystem || !m_fileSystem->existFile(filename ? filename : "")) {
        os::Printer::log("Could not load font because the file does not exist", key.c_str(), ELL_ERROR);
        return nullptr;
    }

    IGUIFont* result = nullptr;
    if (io::IXMLReader* xml = m_fileSystem->createXMLReader(filename)) {
        enum { NEITHER, BITMAP, VECTOR } kind = NEITHER;
        while (xml->read()) {
            if (xml->getNodeType() == io::EXNK_ELEMENT && std::wcscmp(xml->getNodeName(), L"font") == 0) {
                const wchar_t* type = xml->getAttributeValue(L"type");
                if (type && std::wcscmp(type, L"vector") == 0)
                    kind = VECTOR;
                else if (type && std::wcscmp(type, L"bitmap") == 0)
                    kind = BITMAP;
                break;
            }
        }
        if (kind == BITMAP) {
            CGUIFont* font = new CGUIFont(this, filename);
            // Texture names in the file are relative to the file's folder.
            // The file system knows no working directory until one is set: then the process's
            // own is the one to come back to.
            core::stringc previous = m_fileSystem->getWorkingDirectory();
            std::error_code error;
            if (previous.empty())
                previous = std::filesystem::current_path(error).string().c_str();
            const bool changed = m_fileSystem->changeWorkingDirectoryTo(m_fileSystem->getFileDir(core::stringc(filename)).c_str());
            if (font->load(xml))
                result = font;
            else
                font->drop();
            if (changed)
                m_fileSystem->changeWorkingDirectoryTo(previous.c_str());
        } else if (kind == VECTOR) {
            os::Printer::log("Unable to load font, XML vector fonts are not supported yet", key.c_str(), ELL_ERROR);
        }
        xml->drop();
    }
    if (!result) {
        CGUIFont* font = new CGUIFont(this, key.c_str());
        if (!font->load(filename)) {
            font->drop();
            return nullptr;
        }
        result = font;
    }
    insertSorted(m_fonts, SFont{key, result});
    return result;
}

IGUITTFont* CGUIEnvironment::getTTFont(const char* filename, unsigned size)
{
    return getTTFont(normalizeName(filename), filename, nullptr, size);
}

IGUITTFont* CGUIEnvironment::getTTFont(io::IReadFile* file, unsigned size)
{
    if (!file)
        return nullptr;
    return getTTFont(normalizeName(file->getFileName()), nullptr, file, size);
}

IGUITTFont* CGUIEnvironment::getTTFont(const core::stringc& key, const char* path, io::IReadFile* file, unsigned size)
{
    CGUITTFace* face = nullptr;
    const int faceIndex = find(m_faces, SFace{key, nullptr});
    if (faceIndex >= 0) {
        face = m_faces[size_t(faceIndex)].face;
    } else {
        face = new CGUITTFace();
        // Loaded by the name as given: file names are case-sensitive here, only the key is not.
        if (!(file ? face->load(file) : face->load(path))) {
            face->drop();
            return nullptr;
        }
        insertSorted(m_faces, SFace{key, face});
    }

    const int fontIndex = find(m_ttFonts, STTFont{key, size, nullptr});
    if (fontIndex >= 0)
        return m_ttFonts[size_t(fontIndex)].font;

    CGUITTFont* font = new CGUITTFont(m_driver);
    if (!font->attach(face, size, 0, video::SColor(0, 0, 0, 0))) {
        font->drop();
        return nullptr;
    }
    insertSorted(m_ttFonts, STTFont{key, size, font});
    return font;
}

bool CGUIEnvironment::removeTTFont(const char* filename, unsigned size) { return removeTTFont(normalizeName(filename), size); }

bool CGUIEnvironment::removeTTFont(io::IReadFile* file, unsigned size)
{
    return file ? removeTTFont(normalizeName(file->getFileName()), size) : false;
}

bool CGUIEnvironment::removeTTFont(const core::stringc& key, unsigned size)
{
    if (find(m_faces, SFace{key, nullptr}) < 0)
        return false;
    const int index = find(m_ttFonts, STTFont{key, size, nullptr});
    if (index < 0)
        return false;
    m_ttFonts[size_t(index)].font->drop();
    m_ttFonts.erase(m_ttFonts.begin() + index);
    removeTTFontFace(key);
    return true;
}

bool CGUIEnvironment::removeTTFontFace(const char* filename) { return removeTTFontFace(normalizeName(filename)); }

bool CGUIEnvironment::removeTTFontFace(io::IReadFile* file)
{
    return file ? removeTTFontFace(normalizeName(file->getFileName())) : false;
}

bool CGUIEnvironment::removeTTFontFace(const core::stringc& key)
{
    const int index = find(m_faces, SFace{key, nullptr});
    if (index < 0)
        return false;
    for (const STTFont& f : m_ttFonts)
        if (f.name == key)
            return false;
    m_faces[size_t(index)].face->drop();
    m_faces.erase(m_faces.begin() + index);
    return true;
}

void CGUIEnvironment::releaseTrueTypeCaches()
{
    for (SFace& f : m_faces)
        f.face->drop();
    m_faces.clear();
    for (STTFont& f : m_ttFonts)
        f.font->drop();
    m_ttFonts.clear();
}

IGUISpriteBank* CGUIEnvironment::getSpriteBank(const char* name) const
{
    const core::stringc key = normalizeName(name);
    const int index = find(m_banks, SSpriteBank{key, nullptr});
    if (index >= 0)
        return m_banks[size_t(index)].bank;
    if (!m_fileSystem || !m_fileSystem->existFile(key))
        os::Printer::log("Could not load sprite bank because the file does not exist", name ? name : "", ELL_ERROR);
    return nullptr;
}

IGUISpriteBank* CGUIEnvironment::addEmptySpriteBank(const char* name)
{
    const core::stringc key(name ? name : "");
    if (find(m_banks, SSpriteBank{key, nullptr}) >= 0)
        return nullptr;
    CGUISpriteBank* bank = new CGUISpriteBank(this);
    insertSorted(m_banks, SSpriteBank{key, bank});
    return bank;
}

}  // namespace pravik::gui
