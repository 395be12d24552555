// The texture path of a null driver: the manager picks a loader by content (then by the name,
// whose extension byte 0 chooses), fills the texture, and every byte it holds is read.

#include "fuzz/FuzzTarget.h"
#include "fuzz/support/ImageSeeds.h"

#include "engine/IDevice.h"
#include "engine/io/CMemoryReadFile.h"
#include "engine/video/CTextureManager.h"
#include "engine/video/ITexture.h"
#include "engine/video/IVideoDriver.h"
#include "tests/engine/io/ArchiveBuilders.h"

namespace {

using namespace pravik;
using namespace pravik::video;

const char* const kNames[] = {"fuzz.png", "fuzz.dds", "fuzz.pvr", "fuzz.btex", "fuzz.jpg", "fuzz.tga", "fuzz.bmp", "fuzz"};

CTextureManager& manager() {
    static const boost::intrusive_ptr<IDevice> device = [] {
        SCreationParameters parameters;
        parameters.DriverType = EDT_NULL;
        return boost::intrusive_ptr<IDevice>(createDeviceEx(parameters), false);
    }();
    return *device->getVideoDriver()->getTextureManager();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > INT32_MAX) return 0;
    const char* name = kNames[data[0] % 8];
    auto file = test::adopt(io::createMemoryReadFile(const_cast<uint8_t*>(data + 1), int32_t(size - 1), name, false));
    const CTextureManager::TexturePtr texture = manager().getTexture(file.get());
    if (!texture) return 0;
    // Each face holds its whole level chain (or level 0 alone): getSizeInBytes says which.
    for (unsigned face = 0; face < texture->getFaceCount(); ++face)
        if (const void* p = texture->getClientPointer(face, 0)) fuzz::sum(p, texture->getSizeInBytes());
    manager().removeTexture(texture.get());
    return 0;
}

std::vector<std::string> fuzz::seeds() {
    std::vector<std::string> all;
    const struct { ImageKind kind; char name; } kinds[] = {
        {ImageKind::PNG, 0}, {ImageKind::DDS, 1}, {ImageKind::PVR, 2}, {ImageKind::JPG, 4}, {ImageKind::TGA, 5}, {ImageKind::BMP, 6}};
    for (const auto& k : kinds)
        for (const std::string& seed : imageSeeds(k.kind)) all.push_back(k.name + seed);
    return all;
}
