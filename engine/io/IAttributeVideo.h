#pragma once
// Where attributes meet the video layer. Textures and lights cross the attribute interfaces as
// plain pointers, borrowed for the call; a texture or light attribute holds counted references
// to its value and to the driver, so what a store holds stays alive while it does.
// The texture name form reaches the texture manager through two hooks that the texture layer
// installs; without them (or without a driver) a texture attribute keeps the name text it was
// given, so attribute files carry texture names through unchanged.

#include "engine/core/pravikString.h"

namespace pravik::video {
class ITexture;
class CLight;
class IVideoDriver;
}  // namespace pravik::video

namespace pravik::io {

using TexturePtr = video::ITexture*;
using LightPtr = video::CLight*;

struct STextureNameHooks {
    // The registry name and the texture's own name joined by ';' ("<null>" for no registry name).
    core::stringc (*toString)(video::ITexture* texture, video::IVideoDriver* driver) = nullptr;
    // The texture registered under key, or loaded from file under it; nullptr when not found.
    video::ITexture* (*getTexture)(const char* file, const char* key, video::IVideoDriver* driver) = nullptr;
};

void setTextureNameHooks(const STextureNameHooks& hooks);  // installed by the texture layer

// The texture name form: "" for a null texture or driver.
core::stringc toString(TexturePtr texture, video::IVideoDriver* driver);
// Splits "file;key" at the first ';' (no ';': both are the text); nullptr for a null driver,
// an empty text or when no hooks are installed.
TexturePtr fromString(const core::stringc& text, video::IVideoDriver* driver);

}  // namespace pravik::io
