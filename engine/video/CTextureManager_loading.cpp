// Texture files and images into driver textures: choosing the loader, unwrapping a texture file
// that is itself a ZIP holding it, filling textures directly from DDS and PVR files, and making
// textures from decoded images, handing the pixels over without a copy where format and pitch
// already match. The background path (a small proxy first, the full texture from a CPU task)
// needs worker threads; without them everything here runs on the calling thread.

#include "engine/video/CTextureManager.h"
#include "engine/core/LittleEndian.h"

#include "engine/io/CZipReader.h"
#include "engine/io/IReadFile.h"
#include "engine/os/Printer.h"
#include "engine/task/CTask.h"
#include "engine/task/CTaskHandler.h"
#include "engine/video/image/IImageLoader.h"
#include "engine/video/ITexture.h"
#include "engine/video/IVideoDriver.h"
#include "engine/video/image/pixel_format.h"

#include <algorithm>
#include <cstdio>
#include <new>

namespace pravik::video {

namespace pf = pixel_format;

namespace {

constexpr uint32_t ZIP_LOCAL_HEADER = 0x04034b50;
constexpr unsigned FEATURE_EARLY_UPLOAD = 13, FEATURE_EARLY_UPLOAD_UNIFORM_PITCH = 14;
// Headers claiming more than this are refused before a texture is created for them.
constexpr uint32_t MAX_SIDE = 32768;
constexpr uint64_t MAX_TEXTURE_BYTES = uint64_t(1) << 28;

const char* nameOf(io::IReadFile* file)
{
    const char* name = file ? file->getFileName() : nullptr;
    return name ? name : "";
}

void logFormatted(ELOG_LEVEL level, const char* format, const char* a, const char* b = "", const char* c = "")
{
    char text[1400];
    std::snprintf(text, sizeof text, format, a, b, c);
    os::Printer::log(text, level);
}

bool isPowerOfTwo(uint64_t v) { return v && !(v & (v - 1)); }

unsigned floorLog2(uint64_t v)
{
    unsigned n = 0;
    while (v > 1)
        v >>= 1, ++n;
    return n;
}

void setLoaded(ITexture& texture) { texture.setStateFlags(texture.getStateFlags() | ETSF_LOADED); }

// What a header may ask for: every side from 1 to 32768 and at most 256 MB in all faces.
bool acceptableSize(const STextureDesc& desc)
{
    if (desc.width < 1 || desc.height < 1 || desc.depth < 1 || uint32_t(desc.width) > MAX_SIDE ||
        desc.height > MAX_SIDE || desc.depth > MAX_SIDE)
        return false;
    const uint64_t faces = desc.type == ETT_CUBE_MAP ? 6 : 1;
    const uint64_t bits = uint64_t(desc.width) * desc.height * desc.depth * faces * pf::desc(desc.format).BitsPerPixel;
    return bits / 8 <= MAX_TEXTURE_BYTES;
}

// Switches driver options for a scope and puts back the bits it changed.
class SScopedOption {
public:
    SScopedOption(IVideoDriver& driver, unsigned bits, bool on)
        : m_driver(driver), m_bits(bits), m_previous(driver.getOptions() & bits)
    {
        driver.setOption(bits, on);
    }
    ~SScopedOption()
    {
        if ((m_driver.getOptions() & m_bits) != m_previous)
            m_driver.setOption(m_bits, m_previous != 0);
    }

private:
    IVideoDriver& m_driver;
    unsigned m_bits, m_previous;
};

}  // namespace

// ---- the background path ----

struct CTextureManager::SBindTextureTask {
    boost::intrusive_ptr<ITexture> texture;
    bool release;
    void operator()() const
    {
        texture->bind(release);
        setLoaded(*texture);
    }
};

struct CTextureManager::SImageLoaderTask {
    CTextureManager* manager;
    boost::intrusive_ptr<IImageLoader> loader;
    boost::intrusive_ptr<io::IReadFile> file;  // a clone with its own position
    boost::intrusive_ptr<ITexture> texture;
    STextureDesc desc;
    bool releaseData;
    bool bindOnCreate;

    void operator()() const
    {
        loader->loadTextureData(file.get(), texture, desc, nullptr, 0xFFFFFFFFu);
        const bool bound = (texture->getStateFlags() & ETSF_DRIVER_OBJECT) != 0;
        if (bound && texture->getData() && releaseData)
            bindOnGraphicsThread({texture, true}, false);
        else if (!bound && bindOnCreate)
            bindOnGraphicsThread({texture, releaseData}, true);
    }

    // On the thread that owns the driver the bind runs at once: a task pushed from there and
    // waited for would wait for itself. Without a graphics handler nobody would take the task,
    // so the texture is only marked loaded and the driver uploads it at its next bind.
    void bindOnGraphicsThread(const SBindTextureTask& bind, bool wait) const
    {
        if (manager->isOwnerThread()) {
            bind();
            return;
        }
        const uint32_t graphics = task::CCpuGraphicsTaskHandler::HandlersMask;
        if (graphics == 0) {
            setLoaded(*bind.texture);
            return;
        }
        auto* function = new task::SFunction<SBindTextureTask>(bind);
        if (!wait) {
            (new task::CCpuGraphicsTask(function, true, graphics))->push();
            return;
        }
        task::CCpuGraphicsTask graphicsTask(function, false, graphics);
        graphicsTask.push();
        graphicsTask.wait();
    }
};

// ---- choosing a loader ----

boost::intrusive_ptr<IImageLoader> CTextureManager::getImageLoader(io::IReadFile* file) const
{
    if (!file)
        return nullptr;
    const int32_t position = file->getPos();
    for (const auto& loader : m_loaders) {
        const bool claims = loader->isALoadableFileFormat(file);
        file->seek(position);
        if (claims)
            return loader;
    }
    for (const auto& loader : m_loaders)
        if (loader->isALoadableFileExtension(file->getFileName()))
            return loader;
    return nullptr;
}

// ---- loading through an open file ----

CTextureManager::TexturePtr CTextureManager::getTextureInternal(io::IReadFile* file, const core::stringc& key,
                                                                bool flag)
{
    if (!file)
        return nullptr;
    io::IReadFile* member = nullptr;
    io::IReadFile* source = file;
    unsigned char head[4] = {};
    const bool zipped = file->read(head, 4) == 4 &&
                        core::le32(head) == ZIP_LOCAL_HEADER;
    file->seek(0);
    if (zipped) {
        auto* reader = new io::CZipReader(file, true, true, 0);
        member = reader->openFile(file->getFileName());
        reader->drop();
        source = member;
    }

    TexturePtr texture;
    E_PIXEL_FORMAT sourceFormat = EPF_COUNT;
    if (source)
        texture = loadTextureFromFile(source, key.c_str(), sourceFormat, flag);
    if (texture) {
        os::Printer::log("Loaded texture", file->getFileName(), ELL_INFORMATION);
        addTexture(texture, sourceFormat, source->getFileName());
    } else {
        os::Printer::log("Could not load texture", file->getFileName(), ELL_ERROR);
    }
    if (member)
        member->drop();
    return texture;
}

void CTextureManager::upload(ITexture& texture) const
{
    const bool keep = (m_flags & ETMF_KEEP_TEXTURE_DATA) != 0;
    if (texture.getStateFlags() & ETSF_DRIVER_OBJECT) {
        if (texture.getData() && !keep)
            texture.bind(true);
    } else if (m_flags & ETMF_BIND_ON_CREATE) {
        texture.bind(!keep);
    }
}

CTextureManager::TexturePtr CTextureManager::loadTextureFromFile(io::IReadFile* file, const char* name,
                                                                 E_PIXEL_FORMAT& sourceFormat, bool)
{
    const boost::intrusive_ptr<IImageLoader> loader = getImageLoader(file);
    if (!loader)
        return nullptr;
    if (!loader->hasTextureLoadInterface()) {
        const CImagePtr image = loader->loadImage(file);
        if (!image)
            return nullptr;
        sourceFormat = image->getColorFormat();
        TexturePtr texture = createTextureFromImage(name, image, ETL_LINEAR);
        if (texture)
            setLoaded(*texture);
        return texture;
    }

    STextureDesc desc;
    if (!loader->loadTextureHeader(file, desc) || !acceptableSize(desc)) {
        logFormatted(ELL_ERROR, "loading %.1000s: corrupt header", nameOf(file));
        return nullptr;
    }
    sourceFormat = desc.format;
    const bool stored = desc.hasMipmaps;
    const bool use = stored && (m_flags & ETMF_USE_IMAGE_MIPMAPS);
    const unsigned options = m_driver->getOptions();
    desc.hasMipmaps = use || (options & EVDO_MIPMAPS);
    desc.usage = usageFromFlags(desc.usage);
    TexturePtr texture = m_driver->createTexture(name, desc);
    if (!texture)
        return nullptr;
    desc.hasMipmaps = stored;

    // A small proxy is drawn while a worker fills the full texture; only with workers.
    TexturePtr proxy;
    STextureDesc proxyDesc = desc;
    if (stored && (options & EVDO_MIPMAPS) && isPowerOfTwo(uint32_t(desc.width)) && isPowerOfTwo(desc.height) &&
        task::CCpuTaskHandler::ThreadsCount >= 1) {
        const int shift = int(floorLog2(std::max<uint32_t>(uint32_t(desc.width), desc.height))) - 3;
        proxyDesc.width = shift < 0 ? 1 : std::max(desc.width >> shift, 1);
        proxyDesc.height = shift < 0 ? 1u : std::max(desc.height >> shift, 1u);
        proxy = m_driver->createTexture(name, proxyDesc);
        texture->setProxy(proxy);
    }
    texture->setData(nullptr, true, !use);

    const bool keep = (m_flags & ETMF_KEEP_TEXTURE_DATA) != 0;
    if (m_driver->queryFeature(E_VIDEO_DRIVER_FEATURE(FEATURE_EARLY_UPLOAD)) && (m_flags & ETMF_BIND_ON_CREATE) &&
        !keep) {
        const bool skip = pf::desc(desc.format).has(EPFF_COMPRESSED) ||
                          !(texture->getStateFlags() & ETSF_ONLY_LEVEL0) ||
                          ((!isPowerOfTwo(uint32_t(desc.width)) || !isPowerOfTwo(desc.height) ||
                            !isPowerOfTwo(desc.depth)) &&
                           (!m_driver->queryFeature(E_VIDEO_DRIVER_FEATURE(FEATURE_EARLY_UPLOAD_UNIFORM_PITCH)) ||
                            desc.layout != ETL_LINEAR_UNIFORM_PITCH));
        if (!skip) {
            SScopedOption noCommit(*m_driver, EVDO_TEXTURE_COMMIT, false);
            texture->bind(false);
        }
    }

    if (proxy) {
        if (!loader->loadTextureData(file, proxy, proxyDesc, &desc, 3)) {
            logFormatted(ELL_ERROR, "loading %.1000s: failed to load data", nameOf(file));
            return nullptr;
        }
        upload(*proxy);
        io::IReadFile* clone = file->clone(true);
        if (!clone) {
            texture->setProxy(nullptr);
        } else {
            SImageLoaderTask work{this, loader, boost::intrusive_ptr<io::IReadFile>(clone, false), texture, desc,
                                  !keep, (m_flags & ETMF_BIND_ON_CREATE) != 0};
            (new task::CCpuTask(new task::SFunction<SImageLoaderTask>(work), true,
                                task::CCpuTaskHandler::HandlersMask))
                ->push();
            return texture;
        }
    }

    texture->setProxy(nullptr);
    if (!loader->loadTextureData(file, texture, desc, nullptr, 0xFFFFFFFFu)) {
        logFormatted(ELL_ERROR, "loading %.1000s: failed to load data", nameOf(file));
        return nullptr;
    }
    upload(*texture);
    setLoaded(*texture);
    return texture;
}

// ---- textures from images ----

CTextureManager::TexturePtr CTextureManager::createTextureFromImage(const char* name, const CImagePtr& image,
                                                                    E_TEXTURE_LAYOUT layout)
{
    if (!image || !name)
        return nullptr;
    const E_PIXEL_FORMAT imageFormat = image->getColorFormat();
    const core::dimension2d<int> size = image->getDimension();
    const unsigned imageLevels = image->getMipMapCount();
    const bool keep = (m_flags & ETMF_KEEP_TEXTURE_DATA) != 0;
    const bool bindOnCreate = (m_flags & ETMF_BIND_ON_CREATE) != 0;

    STextureDesc desc;
    desc.type = ETT_2D;
    desc.format = imageFormat;
    desc.width = size.Width;
    desc.height = unsigned(size.Height);
    desc.depth = 1;
    const bool use = imageLevels > 0 && (m_flags & ETMF_USE_IMAGE_MIPMAPS);
    desc.hasMipmaps = use || (m_driver->getOptions() & EVDO_MIPMAPS);
    desc.usage = usageFromFlags(EBU_STATIC);
    if (layout == ETL_LINEAR_UNIFORM_PITCH) {
        if (imageLevels == 0)
            desc.layout = ETL_LINEAR_UNIFORM_PITCH;
        else
            logFormatted(ELL_WARNING,
                         "adding texture %.1000s: ignoring layout override %s (not supported when creating "
                         "textures from images with mipmaps)",
                         name, "Linear Uniform Pitch");
    } else if (layout != ETL_LINEAR) {
        const char* layoutName = unsigned(layout) < ETL_COUNT ? core::getStrings<E_TEXTURE_LAYOUT>()[layout] : "unknown";
        logFormatted(ELL_WARNING,
                     "adding texture %.1000s: ignoring layout override %s (not supported when creating textures "
                     "from images)",
                     name, layoutName);
    }

    TexturePtr texture = m_driver->createTexture(name, desc);
    if (!texture)
        return nullptr;
    const E_PIXEL_FORMAT textureFormat = texture->getPixelFormat();
    const unsigned width = unsigned(std::max(texture->getWidth(), 1));
    const unsigned height = unsigned(std::max(texture->getHeight(), 1));
    const unsigned textureLevels = texture->getMipmapCount();
    const bool useChain = use && imageLevels == std::max(floorLog2(unsigned(size.Width)), floorLog2(unsigned(size.Height)));
    const bool level0Only = !useChain;

    bool borrowed = false;
    if (!image->getData()) {
        texture->setData(nullptr, false, level0Only);
    } else if (textureFormat == imageFormat && !keep && bindOnCreate &&
               pf::computePitch(textureFormat, width) == image->getPitch() &&
               (textureLevels == 1 || level0Only || texture->getSizeInBytes() == image->getImageDataSizeInBytes())) {
        // The upload below reads the pixels before the image can go.
        texture->setData(image->getData(), false, level0Only);
        borrowed = true;
    } else {
        const unsigned* table = texture->getLevelTable();
        const uint64_t bytes = level0Only ? uint64_t(table[1] - table[0]) * texture->getFaceCount()
                                          : texture->getSizeInBytes();
        auto* buffer = new (std::nothrow) unsigned char[std::max<uint64_t>(bytes, 1)];
        if (!buffer)
            return nullptr;
        texture->setData(buffer, true, level0Only);
        if (textureFormat != imageFormat)
            logFormatted(ELL_WARNING, "adding texture %.1000s: slow path pixel format conversion from %s to %s", name,
                         pf::getName(imageFormat), pf::getName(textureFormat));
        else if (!keep && (pf::computePitch(textureFormat, width) != image->getPitch() ||
                           (textureLevels > 1 && texture->getSizeInBytes() != image->getImageDataSizeInBytes())))
            logFormatted(ELL_WARNING, "adding texture %.1000s: repacking", name);

        const unsigned levels = level0Only ? 1 : textureLevels;
        unsigned w = width, h = height;
        for (unsigned level = 0; level < levels; ++level) {
            void* destination = texture->map(EBMA_CLIENT_WRITE, ETCMF_POSITIVE_X, (unsigned char)level);
            const void* source = level == 0 ? image->getData() : image->getMipMapData(level);
            const unsigned pitch = pf::computePitch(
                textureFormat, texture->getLayout() == ETL_LINEAR_UNIFORM_PITCH ? width : std::max(1u, width >> level));
            const bool converted =
                destination && source && pf::convert(imageFormat, source, 0, textureFormat, destination, pitch, w, h, false);
            if (destination)
                texture->unmap();
            if (!converted)
                return nullptr;
            w = std::max(1u, w / 2);
            h = std::max(1u, h / 2);
        }
    }

    if (bindOnCreate)
        texture->bind(!keep);
    // An upload that failed or kept the client copy must not leave the texture pointing into
    // the image, which its owner may free at any time.
    if (borrowed && texture->getData() == image->getData() && !texture->copy())
        texture->setData(nullptr, true, level0Only);
    return texture;
}

}  // namespace pravik::video
