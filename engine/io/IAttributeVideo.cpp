// The texture name form, through the hooks of the texture layer.

#include "engine/io/IAttributeVideo.h"

namespace pravik::io {

namespace {
STextureNameHooks g_hooks;
}

void setTextureNameHooks(const STextureNameHooks& hooks) { g_hooks = hooks; }

core::stringc toString(TexturePtr texture, video::IVideoDriver* driver)
{
    if (!texture || !driver || !g_hooks.toString) return {};
    return g_hooks.toString(texture, driver);
}

TexturePtr fromString(const core::stringc& text, video::IVideoDriver* driver)
{
    if (!driver || text.empty() || !g_hooks.getTexture) return nullptr;
    const size_t split = text.find(';');
    if (split == core::stringc::npos) return g_hooks.getTexture(text.c_str(), text.c_str(), driver);
    const core::stringc file = text.substr(0, split);
    const core::stringc key = text.substr(split + 1);
    return g_hooks.getTexture(file.c_str(), key.c_str(), driver);
}

}  // namespace pravik::io
