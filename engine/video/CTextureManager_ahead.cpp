// Decoding ahead: a picture file read on the calling thread and decoded on a thread of its own,
// so that the getTexture of its name, frames later, only makes the texture. The texture is the
// one the ordinary path would make; only the moment of the decode moves. Counted objects stay
// on the owner thread: the worker sees the loader and the file through plain pointers that the
// record holds, and its image is touched again only after the join.

#include "engine/video/CTextureManager.h"

#include "engine/core/LittleEndian.h"
#include "engine/io/CMemoryReadFile.h"
#include "engine/io/IFileSystem.h"
#include "engine/io/IReadFile.h"
#include "engine/os/Printer.h"
#include "engine/video/ITexture.h"
#include "engine/video/image/IImageLoader.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>

namespace pravik::video {

struct CTextureManager::SDecodeAhead {
    core::stringc key;         // the registry key getTexture will ask for
    core::stringc sourceName;  // the opened file's name, as the ordinary path records it
    IImageLoader* loader = nullptr;     // grabbed
    io::IReadFile* file = nullptr;      // the bytes in memory; ours
    CImagePtr image;                    // the worker's result; null when the decode failed
    std::thread worker;

    ~SDecodeAhead()
    {
        if (worker.joinable())
            worker.join();
        image = nullptr;
        if (file)
            file->drop();
        if (loader)
            loader->drop();
    }
};

bool CTextureManager::decodeAhead(const char* fileName)
{
    if (!fileName || !m_fileSystem)
        return false;
    const core::stringc key = getHashName(fileName);
    if (m_registry.getId(key.c_str()) != Registry::InvalidId ||
        std::any_of(m_ahead.begin(), m_ahead.end(), [&](const SDecodeAhead* a) { return a->key == key; }))
        return false;
    io::IReadFile* file = m_fileSystem->createAndOpenFile(fileName);
    if (!file)
        return false;
    // Only files one loader call turns into an image: a texture inside a ZIP, or one its
    // loader fills itself, loads the ordinary way.
    const boost::intrusive_ptr<IImageLoader> loader = getImageLoader(file);
    unsigned char head[4] = {};
    const bool zipped = file->read(head, 4) == 4 && core::le32(head) == 0x04034b50;
    const int32_t size = file->seek(0) ? file->getSize() : -1;
    char* bytes = !loader || loader->hasTextureLoadInterface() || zipped || size <= 0
                      ? nullptr
                      : static_cast<char*>(std::malloc(size_t(size)));
    if (!bytes || file->read(bytes, uint32_t(size)) != size) {
        std::free(bytes);
        file->drop();
        return false;
    }
    auto* ahead = new SDecodeAhead;
    ahead->key = key;
    ahead->sourceName = file->getFileName() ? file->getFileName() : fileName;
    file->drop();
    ahead->file = new io::CMemoryReadFile(bytes, size, ahead->sourceName.c_str(), true);
    ahead->loader = loader.get();
    ahead->loader->grab();
    try {
        ahead->worker = std::thread([ahead] { ahead->image = ahead->loader->loadImage(ahead->file); });
    } catch (const std::system_error&) {
        delete ahead;  // no thread to be had: the file decodes the ordinary way
        return false;
    }
    m_ahead.push_back(ahead);
    return true;
}

CTextureManager::TexturePtr CTextureManager::takeDecodedAhead(const core::stringc& key)
{
    const auto found = std::find_if(m_ahead.begin(), m_ahead.end(), [&](const SDecodeAhead* a) { return a->key == key; });
    if (found == m_ahead.end())
        return nullptr;
    SDecodeAhead* ahead = *found;
    m_ahead.erase(found);
    ahead->worker.join();
    const CImagePtr image = ahead->image;
    const core::stringc sourceName = ahead->sourceName;
    delete ahead;
    // A failed decode leaves the file to the ordinary path, which reports it.
    TexturePtr texture = image ? createTextureFromImage(key.c_str(), image, ETL_LINEAR) : nullptr;
    if (!texture)
        return nullptr;
    texture->setStateFlags(texture->getStateFlags() | ETSF_LOADED);
    os::Printer::log("Loaded texture", sourceName.c_str(), ELL_INFORMATION);
    addTexture(texture, image->getColorFormat(), sourceName.c_str());
    return texture;
}

void CTextureManager::dropDecodedAhead()
{
    for (SDecodeAhead* ahead : m_ahead)
        delete ahead;
    m_ahead.clear();
}

}  // namespace pravik::video
