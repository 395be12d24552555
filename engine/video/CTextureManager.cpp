// The texture manager's registry, keys, names, placeholders, images and writers. Loading is in
// CTextureManager_loading.cpp, colour keys and normal maps in CTextureManager_colorkey.cpp.

#include "engine/video/CTextureManager.h"

#include "engine/io/IAttributeVideo.h"
#include "engine/io/IFileSystem.h"
#include "engine/io/IReadFile.h"
#include "engine/io/IWriteFile.h"
#include "engine/os/Printer.h"
#include "engine/video/image/CDDSTextureLoader.h"
#include "engine/video/image/CPVRTextureLoader.h"
#include "engine/core/UniqueName.h"
#include "engine/video/image/IImageLoader.h"
#include "engine/video/image/IImageWriter.h"
#include "engine/video/material/IShaderManager.h"
#include "engine/video/ITexture.h"
#include "engine/video/IVideoDriver.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace pravik::video {

namespace {

struct SPlaceHolderKind {
    const char* baseName;
    SColor color;
};
const SPlaceHolderKind kPlaceHolders[EPH_COUNT] = {{"pravik::texture-not-found", SColor(255, 0, 128, 255)},
                                                   {"pravik::texture-bind-failed", SColor(55, 215, 55, 255)}};

// The texture base offers no name setter: renaming is the registry's business alone, so only
// renameTexture reaches the name, through a pointer to the protected member.
struct STextureNameAccess : ITexture {
    static core::stringc ITexture::*name() { return &STextureNameAccess::m_name; }
};

void setTextureName(ITexture& texture, const char* name) { texture.*STextureNameAccess::name() = name; }

// Long names are cut in log lines; the line itself stays bounded.
void logName(const char* format, const char* name, ELOG_LEVEL level)
{
    char text[1200];
    std::snprintf(text, sizeof text, format, name ? name : "");
    os::Printer::log(text, level);
}

}  // namespace

// ---- hooks ----

STextureManagerHooks CTextureManager::driverHooks()
{
    STextureManagerHooks hooks;
    hooks.create = [](IVideoDriver* driver) { return new CTextureManager(driver); };
    hooks.destroy = [](CTextureManager* manager) { delete manager; };
    hooks.clearDriverSpecificResources = [](CTextureManager* manager) { manager->clearDriverSpecificResources(); };
    hooks.removeUnused = [](CTextureManager* manager) {
        manager->clearPlaceHolders();
        manager->getRegistry().removeAll(false);
    };
    return hooks;
}

io::STextureNameHooks CTextureManager::nameHooks()
{
    io::STextureNameHooks names;
    names.toString = [](ITexture* texture, IVideoDriver* driver) -> core::stringc {
        CTextureManager* manager = driver ? driver->getTextureManager() : nullptr;
        const char* key = nullptr;
        if (manager && texture->getId() != Registry::InvalidId &&
            manager->getRegistry().get(texture->getId()).get() == texture)
            key = manager->getRegistry().getName(texture->getId());
        core::stringc text(key ? key : "<null>");
        text += ';';
        text += texture->getName();
        return text;
    };
    names.getTexture = [](const char* file, const char* key, IVideoDriver* driver) -> ITexture* {
        CTextureManager* manager = driver ? driver->getTextureManager() : nullptr;
        return manager ? manager->getTexture(file, key).get() : nullptr;  // the registry keeps it
    };
    return names;
}

// ---- construction ----

CTextureManager::CTextureManager(IVideoDriver* driver) : m_driver(driver), m_ownerThread(std::this_thread::get_id())
{
    const auto& services = detail::shadermanager::getDriverServices();
    if (driver && services.getFileSystem)
        setFileSystem(services.getFileSystem(driver));
    for (IImageLoader* loader : {createImageLoaderBMP(), createImageLoaderJPG(), createImageLoaderTGA(),
                                 createImageLoaderPNG(), createTextureLoaderDDS(), createTextureLoaderPVR()})
        m_loaders.emplace_back(loader);
    m_writers = {createImageWriterJPG(), createImageWriterTGA(), createImageWriterPNG()};
}

CTextureManager::~CTextureManager()
{
    dropDecodedAhead();
    clearPlaceHolders();
    m_registry.removeAll(false);
    for (IImageWriter* writer : m_writers)
        writer->drop();
    m_writers.clear();
    m_loaders.clear();
    setFileSystem(nullptr);
}

void CTextureManager::setFileSystem(io::IFileSystem* fileSystem)
{
    if (fileSystem)
        fileSystem->grab();
    if (m_fileSystem)
        m_fileSystem->drop();
    m_fileSystem = fileSystem;
}

// ---- keys and look-up ----

core::stringc CTextureManager::getHashName(const char* name) const
{
    if (!name)
        return core::stringc();
    if ((m_flags & ETMF_KEY_OPENED_FILE_NAME) && m_fileSystem) {
        if (io::IReadFile* file = m_fileSystem->createAndOpenFile(name)) {
            core::stringc opened(file->getFileName() ? file->getFileName() : name);
            file->drop();
            return opened;
        }
        return core::stringc(name);
    }
    if ((m_flags & ETMF_KEY_ABSOLUTE_PATH) && m_fileSystem)
        return m_fileSystem->getAbsolutePath(core::stringc(name));
    return core::stringc(name);
}

CTextureManager::TexturePtr CTextureManager::getTexture(const char* fileName, const char* hashName)
{
    if (!fileName)
        return nullptr;
    const core::stringc key = hashName ? core::stringc(hashName) : getHashName(fileName);
    const unsigned short id = m_registry.getId(key.c_str());
    if (id != Registry::InvalidId)
        return m_registry.get(id);
    if (!m_ahead.empty())
        if (TexturePtr texture = takeDecodedAhead(key))
            return texture;
    io::IReadFile* file = m_fileSystem ? m_fileSystem->createAndOpenFile(fileName) : nullptr;
    if (!file) {
        os::Printer::log("Could not find texture file", fileName, ELL_ERROR);
        return nullptr;
    }
    TexturePtr texture = getTextureInternal(file, key, false);
    file->drop();
    return texture;
}

CTextureManager::TexturePtr CTextureManager::getTexture(io::IReadFile* file, const char* hashName, bool flag)
{
    if (!file)
        return nullptr;
    const core::stringc key = hashName ? core::stringc(hashName) : getHashName(file->getFileName());
    const unsigned short id = m_registry.getId(key.c_str());
    if (id != Registry::InvalidId)
        return m_registry.get(id);
    return getTextureInternal(file, key, flag);
}

// ---- creating and registering ----

unsigned short CTextureManager::addTexture(const TexturePtr& texture, E_PIXEL_FORMAT sourceFormat,
                                           const char* sourceFileName)
{
    if (!texture)
        return Registry::InvalidId;
    // The key is the texture's own name: the registry does not own it.
    const unsigned short id = m_registry.insert(texture->getName().c_str(), texture, false);
    if (id != Registry::InvalidId) {
        auto& properties = m_registry.getProperties(id);
        properties.sourceFormat = sourceFormat;
        if (sourceFileName)
            properties.sourceFileName = sourceFileName;
        properties.id = id;
    }
    texture->setId(id);
    return id;
}

std::pair<CTextureManager::TexturePtr, const char*>
CTextureManager::getTexture(const char* name, bool reportExisting, core::SScopedProcessArray<char>& nameBuffer) const
{
    if (!name)
        return {nullptr, nullptr};
    if (std::strlen(name) >= MAX_NAME_LENGTH) {
        logName("adding texture %.64s...: name too long", name, ELL_ERROR);
        return {nullptr, nullptr};
    }
    const unsigned short id = m_registry.getId(name);
    if (id == Registry::InvalidId)
        return {nullptr, name};
    const TexturePtr& existing = m_registry.get(id);
    if (reportExisting) {
        logName("adding texture %s: name exists already", name, ELL_INFORMATION);
        return {existing, name};
    }
    const char* unique = core::createUniqueName(name, MAX_NAME_LENGTH,
                                                                  SHasTextureName{&m_registry}, nameBuffer);
    if (!unique) {
        logName("adding texture %s: Could not generate a unique name", name, ELL_ERROR);
        return {existing, name};
    }
    return {nullptr, unique};
}

CTextureManager::TexturePtr CTextureManager::createRegistered(const char* name, const STextureDesc& desc,
                                                              bool reportExisting)
{
    core::SScopedProcessArray<char> nameBuffer;
    const auto [existing, resolved] = getTexture(name, reportExisting, nameBuffer);
    if (existing || !resolved)
        return existing;
    TexturePtr texture = m_driver->createTexture(resolved, desc);
    if (texture)
        addTexture(texture, desc.format, nullptr);
    return texture;
}

CTextureManager::TexturePtr CTextureManager::addTexture(const char* name, const STextureDesc& desc,
                                                        bool reportExisting)
{
    return createRegistered(name, desc, reportExisting);
}

CTextureManager::TexturePtr CTextureManager::addTexture(const core::dimension2d<int>& size, const char* name,
                                                        E_PIXEL_FORMAT format, bool reportExisting)
{
    STextureDesc desc;
    desc.type = ETT_2D;
    desc.format = format;
    desc.width = size.Width;
    desc.height = unsigned(size.Height);
    desc.depth = 1;
    desc.usage = usageFromFlags(EBU_STATIC);
    desc.hasMipmaps = (m_driver->getOptions() & EVDO_MIPMAPS) != 0;
    return createRegistered(name, desc, reportExisting);
}

CTextureManager::TexturePtr CTextureManager::addTexture(const char* name, const CImagePtr& image,
                                                        bool reportExisting, E_TEXTURE_LAYOUT layout)
{
    if (!image)
        return nullptr;
    core::SScopedProcessArray<char> nameBuffer;
    const auto [existing, resolved] = getTexture(name, reportExisting, nameBuffer);
    if (existing || !resolved)
        return existing;
    TexturePtr texture = createTextureFromImage(resolved, image, layout);
    if (texture)
        addTexture(texture, image->getColorFormat(), nullptr);
    return texture;
}

unsigned CTextureManager::usageFromFlags(unsigned usage) const
{
    if (m_flags & ETMF_SYSTEM_USAGE)
        return EBU_SYSTEM;
    if (m_flags & ETMF_DYNAMIC_USAGE)
        return EBU_DYNAMIC;
    return usage;
}

// ---- removing and renaming ----

bool CTextureManager::removeTexture(ITexture* texture)
{
    if (!texture)
        return false;
    const unsigned short id = m_registry.getId(texture->getName().c_str());
    // Only this very texture: another one of the same name is not the caller's to remove.
    if (id == Registry::InvalidId || m_registry.get(id).get() != texture)
        return false;
    const E_TEXTURE_TYPE type = texture->getType();
    if (!m_registry.remove(id, false))
        return false;
    clearPlaceHolder(type, texture);  // compares the address only: the texture may be gone
    return true;
}

bool CTextureManager::renameTexture(const TexturePtr& texture, const char* newName)
{
    if (!texture || !newName)
        return false;
    if (m_registry.getId(newName) != Registry::InvalidId)
        return false;
    const unsigned short id = texture->getId();
    if (id == Registry::InvalidId || m_registry.get(id) != texture) {
        setTextureName(*texture, newName);
        return true;
    }
    // The registry keeps its own copy of the new key: the texture's name changes afterwards,
    // and an index node must never see its key change under it.
    const std::size_t length = std::strlen(newName);
    char* key = new char[length + 1];
    std::memcpy(key, newName, length + 1);
    if (!m_registry.rename(id, key, true)) {
        delete[] key;
        return false;
    }
    setTextureName(*texture, newName);
    m_registry.getProperties(id).id = id;
    return true;
}

void CTextureManager::clearDriverSpecificResources()
{
    for (auto it = m_registry.idBegin(); it != m_registry.idEnd(); ++it) {
        const TexturePtr& texture = m_registry.get(it->second.id);
        if (texture && (texture->getStateFlags() & ETSF_DRIVER_OBJECT))
            texture->unbindImpl();
    }
}

// ---- placeholders ----

ITexture* CTextureManager::getPlaceHolder(E_PLACE_HOLDER kind, E_TEXTURE_TYPE type)
{
    if (unsigned(kind) >= EPH_COUNT || unsigned(type) >= ETT_COUNT)
        return nullptr;
    ITexture*& slot = m_placeHolders[kind * 4 + type];
    if (slot)
        return slot;

    const ELOG_LEVEL level = os::Printer::getLogLevel();
    os::Printer::setLogLevel(ELL_NONE);
    STextureDesc desc;
    desc.type = type;
    desc.format = EPF_R8G8B8A8;
    desc.layout = ETL_LINEAR;
    desc.usage = EBU_STATIC;
    desc.width = 1;
    desc.height = 1;
    desc.depth = 1;
    desc.hasMipmaps = false;

    char name[128];
    std::snprintf(name, sizeof name, "%s-%s", kPlaceHolders[kind].baseName,
                  core::getStrings<E_TEXTURE_TYPE>()[type]);
    for (std::size_t i = 0; i < 63 && name[i]; ++i)
        name[i] = name[i] == ' ' ? '-' : char(std::tolower((unsigned char)name[i]));

    const unsigned short before = m_registry.size();
    TexturePtr texture = addTexture(name, desc, true);
    if (texture && m_registry.size() > before) {
        const SColor color = kPlaceHolders[kind].color;
        const unsigned faces = type == ETT_CUBE_MAP ? 6 : 1;
        for (unsigned face = 0; face < faces; ++face) {
            if (auto* texel = static_cast<unsigned char*>(
                    texture->map(EBMA_CLIENT_WRITE, E_TEXTURE_CUBE_MAP_FACE(face), 0))) {
                const unsigned char bytes[4] = {color.r, color.g, color.b, color.a};
                std::memcpy(texel, bytes, 4);
                texture->unmap();
            }
        }
        if (texture->getMinFilter() != ETFT_NEAREST)
            texture->setMinFilter(ETFT_NEAREST);
        if (texture->getMagFilter() != ETFT_NEAREST)
            texture->setMagFilter(ETFT_NEAREST);
    }
    os::Printer::setLogLevel(level);
    slot = texture.get();  // the registry keeps it
    return slot;
}

void CTextureManager::setPlaceHolder(E_PLACE_HOLDER kind, const TexturePtr& texture, E_TEXTURE_TYPE type)
{
    if (unsigned(type) == 255) {
        if (!texture)
            return;
        type = texture->getType();
    }
    if (unsigned(kind) >= EPH_COUNT || unsigned(type) >= ETT_COUNT)
        return;
    if (ITexture* current = m_placeHolders[kind * 4 + type])
        removeTexture(current);
    m_placeHolders[kind * 4 + type] = texture.get();
}

void CTextureManager::clearPlaceHolder(E_TEXTURE_TYPE type, ITexture* texture)
{
    if (unsigned(type) >= ETT_COUNT)
        return;
    for (unsigned kind = 0; kind < EPH_COUNT; ++kind)
        if (m_placeHolders[kind * 4 + type] == texture)
            m_placeHolders[kind * 4 + type] = nullptr;
}

void CTextureManager::clearPlaceHolders()
{
    for (ITexture*& slot : m_placeHolders)
        if (slot && slot->getReferenceCount() == 1)
            slot = nullptr;
}

// ---- images and writers ----

CImagePtr CTextureManager::createImage(const CImagePtr& image, const core::position2d<int>& pos,
                                       const core::dimension2d<int>& size)
{
    return new CImage(image, pos, size);
}

CImagePtr CTextureManager::createImage(E_PIXEL_FORMAT format, const CImagePtr& image)
{
    return new CImage(format, image);
}

CImagePtr CTextureManager::createImage(E_PIXEL_FORMAT format, const core::dimension2d<int>& size)
{
    return new CImage(format, size);
}

CImagePtr CTextureManager::createImageFromData(E_PIXEL_FORMAT format, const core::dimension2d<int>& size, void* data,
                                               bool useDirectly, bool ownsData)
{
    return new CImage(format, size, data, useDirectly, ownsData);
}

CImagePtr CTextureManager::createImageFromFile(io::IReadFile* file)
{
    const boost::intrusive_ptr<IImageLoader> loader = getImageLoader(file);
    return loader ? loader->loadImage(file) : nullptr;
}

CImagePtr CTextureManager::createImageFromFile(const char* name)
{
    if (!name)
        return nullptr;
    io::IReadFile* file = m_fileSystem ? m_fileSystem->createAndOpenFile(name) : nullptr;
    if (!file) {
        os::Printer::log("Could not open file of image", name, ELL_WARNING);
        return nullptr;
    }
    CImagePtr image = createImageFromFile(file);
    file->drop();
    return image;
}

bool CTextureManager::writeImageToFile(const CImagePtr& image, const char* fileName, unsigned param)
{
    if (!m_fileSystem)
        return false;
    for (IImageWriter* writer : m_writers) {
        if (!writer->isAWriteableFileExtension(fileName))
            continue;
        io::IWriteFile* file = m_fileSystem->createAndWriteFile(fileName, false);
        if (!file)
            continue;
        const bool written = writer->writeImage(file, image, param);
        file->drop();
        if (written)
            return true;
    }
    return false;
}

void CTextureManager::addExternalImageLoader(const boost::intrusive_ptr<IImageLoader>& loader)
{
    if (loader)
        m_loaders.push_back(loader);
}

void CTextureManager::addExternalImageWriter(IImageWriter* writer)
{
    if (!writer)
        return;
    writer->grab();
    m_writers.push_back(writer);
}

}  // namespace pravik::video
