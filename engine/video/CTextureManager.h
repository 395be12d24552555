#pragma once
// Names, loads, creates and keeps every texture of a driver. Textures are registered by name
// in an id'ed registry (16-bit ids) whose key is the texture's own name; a file name becomes a
// key by the flag rules below, and a texture is looked up by its key before any file is
// opened. Files are read through the file system, unwrapped when they are a ZIP holding the
// texture, and decoded by the first image loader that claims them. Hands out 1x1 placeholders
// for textures that were not found or failed to upload. Names of 1015 characters or more are
// refused by the creating operations. Main thread only (the registry locks its own insertions).

#include "engine/core/ProcessBuffer.h"
#include "engine/core/detail/SIDedCollection.h"
#include "engine/core/dimension2d.h"
#include "engine/core/position2d.h"
#include "engine/core/pravikString.h"
#include "engine/video/image/CImage.h"
#include "engine/video/ETexture.h"
#include "engine/video/image/EPixelFormat.h"
#include "engine/video/SColor.h"

#include <boost/intrusive_ptr.hpp>

#include <thread>
#include <utility>
#include <vector>

namespace pravik::io {
class IFileSystem;
class IReadFile;
struct STextureNameHooks;
}  // namespace pravik::io

namespace pravik::video {

class ITexture;
class IVideoDriver;
struct STextureManagerHooks;
class IImageLoader;
class IImageWriter;

enum E_TEXTURE_MANAGER_FLAG : unsigned int {
    ETMF_KEEP_TEXTURE_DATA = 0x01,     // uploads keep the client copy; images are always copied
    ETMF_BIND_ON_CREATE = 0x02,        // upload as soon as the data is in place
    ETMF_KEY_ABSOLUTE_PATH = 0x04,     // a file name's key is its absolute path
    ETMF_KEY_OPENED_FILE_NAME = 0x08,  // a file name's key is the opened file's name (before 0x04)
    ETMF_DYNAMIC_USAGE = 0x10,         // new textures get usage "Dynamic"
    ETMF_SYSTEM_USAGE = 0x20,          // new textures get usage "System" (wins over 0x10)
    ETMF_USE_IMAGE_MIPMAPS = 0x40      // levels stored in files are used, not generated
};

enum E_PLACE_HOLDER : unsigned int { EPH_NOT_FOUND = 0, EPH_BIND_FAILED = 1, EPH_COUNT };

namespace detail::texturemanager {

struct STextureProperties {
    core::stringc sourceFileName;
    E_PIXEL_FORMAT sourceFormat = EPF_COUNT;
    unsigned short id = 0xffff;
    void onRemove(void*, unsigned short) {}
};

using Registry = core::detail::SIDedCollection<boost::intrusive_ptr<ITexture>, unsigned short, false,
                                               STextureProperties, core::detail::sidedcollection::SValueTraits>;

}  // namespace detail::texturemanager

class CTextureManager {
public:
    using Registry = detail::texturemanager::Registry;
    using TexturePtr = boost::intrusive_ptr<ITexture>;

    static constexpr unsigned DEFAULT_FLAGS = ETMF_BIND_ON_CREATE | ETMF_USE_IMAGE_MIPMAPS;
    static constexpr unsigned MAX_NAME_LENGTH = 1015;  // longest name, the terminator on top

    // How a driver makes its texture manager, and how the texture name form of attributes
    // reaches it; the engine services (EngineServices.h) install both.
    static STextureManagerHooks driverHooks();
    static io::STextureNameHooks nameHooks();

    explicit CTextureManager(IVideoDriver* driver);  // takes the driver's file system when one is known
    ~CTextureManager();
    CTextureManager(const CTextureManager&) = delete;
    CTextureManager& operator=(const CTextureManager&) = delete;

    void setFileSystem(io::IFileSystem* fileSystem);  // counted; replaces the current one
    io::IFileSystem* getFileSystem() const { return m_fileSystem; }
    IVideoDriver* getVideoDriver() const { return m_driver; }
    unsigned getFlags() const { return m_flags; }
    void setFlags(unsigned bits, bool on) { m_flags = on ? (m_flags | bits) : (m_flags & ~bits); }
    Registry& getRegistry() { return m_registry; }
    const Registry& getRegistry() const { return m_registry; }

    // Keys and look-up.
    core::stringc getHashName(const char* name) const;
    // The texture under hashName (or the file name's key), loaded and registered when missing;
    // null with "Could not find texture file" when the file does not open.
    TexturePtr getTexture(const char* fileName, const char* hashName = nullptr);
    TexturePtr getTexture(io::IReadFile* file, const char* hashName = nullptr, bool flag = false);

    // Creating and registering; the name forms return an existing texture of that name with
    // reportExisting, else create one under a free name made from it.
    unsigned short addTexture(const TexturePtr& texture, E_PIXEL_FORMAT sourceFormat,
                              const char* sourceFileName);  // the id, 0xffff for none
    TexturePtr addTexture(const char* name, const STextureDesc& desc, bool reportExisting);
    TexturePtr addTexture(const core::dimension2d<int>& size, const char* name, E_PIXEL_FORMAT format,
                          bool reportExisting);
    TexturePtr addTexture(const char* name, const CImagePtr& image, bool reportExisting,
                          E_TEXTURE_LAYOUT layout = ETL_LINEAR);

    bool removeTexture(ITexture* texture);  // only when the registry holds the last reference
    bool renameTexture(const TexturePtr& texture, const char* newName);  // false when the name is taken
    void clearDriverSpecificResources();

    // Placeholders: weak slots, kind x 4 + type, made on first request (not counted).
    ITexture* getPlaceHolder(E_PLACE_HOLDER kind, E_TEXTURE_TYPE type);
    void setPlaceHolder(E_PLACE_HOLDER kind, const TexturePtr& texture, E_TEXTURE_TYPE type = E_TEXTURE_TYPE(255));
    void clearPlaceHolder(E_TEXTURE_TYPE type, ITexture* texture);
    void clearPlaceHolders();  // those only the registry still holds

    // Images and their files.
    CImagePtr createImage(const CImagePtr& image, const core::position2d<int>& pos, const core::dimension2d<int>& size);
    CImagePtr createImage(E_PIXEL_FORMAT format, const CImagePtr& image);
    CImagePtr createImage(E_PIXEL_FORMAT format, const core::dimension2d<int>& size);
    CImagePtr createImageFromData(E_PIXEL_FORMAT format, const core::dimension2d<int>& size, void* data,
                                  bool useDirectly, bool ownsData);
    CImagePtr createImageFromFile(io::IReadFile* file);  // null when no loader accepts it
    CImagePtr createImageFromFile(const char* name);
    bool writeImageToFile(const CImagePtr& image, const char* fileName, unsigned param = 0);
    void addExternalImageLoader(const boost::intrusive_ptr<IImageLoader>& loader);
    void addExternalImageWriter(IImageWriter* writer);  // counted

    // Loading (CTextureManager_loading.cpp).
    boost::intrusive_ptr<IImageLoader> getImageLoader(io::IReadFile* file) const;  // by content, then name
    TexturePtr getTextureInternal(io::IReadFile* file, const core::stringc& key, bool flag);  // loads, registers
    TexturePtr loadTextureFromFile(io::IReadFile* file, const char* name, E_PIXEL_FORMAT& sourceFormat, bool flag);
    TexturePtr createTextureFromImage(const char* name, const CImagePtr& image, E_TEXTURE_LAYOUT layout);
    // Reads the file now and decodes it on a thread of its own; getTexture of the same name
    // later makes the texture from that image instead of decoding the file then. False when
    // nothing was started: no file, the texture exists, or a file that is not a plain image.
    bool decodeAhead(const char* fileName);

    // Pixels rewritten in place, level 0 of face 0, A1R5G5B5 and A8R8G8B8 only
    // (CTextureManager_colorkey.cpp).
    void makeColorKeyTexture(const TexturePtr& texture, SColor color) const;
    void makeColorKeyTexture(const TexturePtr& texture, core::position2d<int> position) const;
    void makeNormalMapTexture(const TexturePtr& texture, float amplitude) const;

    struct SHasTextureName {
        const Registry* registry;
        bool operator()(const char* name) const { return registry->getId(name) != Registry::InvalidId; }
    };
    struct SImageLoaderTask;
    struct SBindTextureTask;

private:
    bool isOwnerThread() const { return std::this_thread::get_id() == m_ownerThread; }
    // The registered texture and the name, or a null texture and the free name to create
    // under (in nameBuffer when it had to be made); {null, null} for a refused name.
    std::pair<TexturePtr, const char*> getTexture(const char* name, bool reportExisting,
                                                  core::SScopedProcessArray<char>& nameBuffer) const;
    TexturePtr createRegistered(const char* name, const STextureDesc& desc, bool reportExisting);
    unsigned usageFromFlags(unsigned usage) const;
    void upload(ITexture& texture) const;  // bind as the flags ask, after loading from a file
    struct SDecodeAhead;
    TexturePtr takeDecodedAhead(const core::stringc& key);  // joins the decode; null without one
    void dropDecodedAhead();                                 // joins every decode, keeps nothing

    Registry m_registry;
    IVideoDriver* m_driver;
    io::IFileSystem* m_fileSystem = nullptr;
    std::vector<boost::intrusive_ptr<IImageLoader>> m_loaders;
    std::vector<IImageWriter*> m_writers;
    ITexture* m_placeHolders[EPH_COUNT * 4] = {};
    unsigned m_flags = DEFAULT_FLAGS;
    std::thread::id m_ownerThread;
    std::vector<SDecodeAhead*> m_ahead;  // decodes started and not yet taken
};

}  // namespace pravik::video
