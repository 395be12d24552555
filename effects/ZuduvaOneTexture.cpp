#include "effects/ZuduvaOneTexture.h"

#include "effects/ZuduvaHost.h"
#include "engine/video/CTextureManager.h"
#include "engine/video/IVideoDriver.h"
#include "engine/video/image/EPixelFormat.h"

namespace {

SZudUvaOneTexutre g_oneTexture;

pravik::video::CTextureManager* textureManager()
{
    IZuduvaHost* host = ZuduvaGetHost();
    pravik::video::IVideoDriver* driver = host ? host->getVideoDriver() : nullptr;
    return driver ? driver->getTextureManager() : nullptr;
}

}  // namespace

const char* const kZuduvaOneTextureName = "zuduva_one_texture";

bool ZuduvaInitOneTexture()
{
    // A kept texture leaves the manager too: a second one would otherwise take a made-up name
    // and the first stay registered with nobody to remove it.
    ZuduvaDestroyOneTexture();
    pravik::video::CTextureManager* tm = textureManager();
    if (!tm)
        return false;
    g_oneTexture.texture = tm->addTexture(pravik::core::dimension2d<int>(g_oneTexture.width, g_oneTexture.height),
                                          kZuduvaOneTextureName, pravik::video::EPF_R4G4B4A4, false);
    return g_oneTexture.texture != nullptr;
}

boost::intrusive_ptr<pravik::video::ITexture> ZuduvaGetOneTexture() { return g_oneTexture.texture; }

bool ZuduvaInsertIntoOneTexture(const char* path, float&, float&, float&, float&)
{
    pravik::video::CTextureManager* tm = textureManager();
    if (tm && path)
        tm->getTexture(path);   // loaded and let go at once
    return false;
}

void ZuduvaDestroyOneTexture()
{
    pravik::video::CTextureManager* tm = textureManager();
    pravik::video::ITexture* registered = nullptr;
    if (tm) {
        const auto& registry = tm->getRegistry();
        const auto id = registry.getId(kZuduvaOneTextureName);
        if (id != registry.InvalidId)
            registered = registry.get(id).get();
    }
    g_oneTexture.texture = nullptr;
    if (registered)
        tm->removeTexture(registered);   // the registry held it, so it is still alive here
}
