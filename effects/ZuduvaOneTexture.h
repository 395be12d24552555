// The one-texture atlas: a 1024x1024 texture meant to gather the particle textures in one
// place. Nothing inserts into it: an insertion loads the image, lets it go and reports false,
// leaving its four outputs alone. The texture is made and removed through the host driver's
// texture manager. Main thread only.
#pragma once

#include "engine/video/ITexture.h"

#include <boost/intrusive_ptr.hpp>

struct SZudUvaOneTexutre {
    boost::intrusive_ptr<pravik::video::ITexture> texture;
    int width = 1024;
    int height = 1024;
};

extern const char* const kZuduvaOneTextureName;   // "zuduva_one_texture"

// Makes the atlas texture (replacing a kept one); false without a host driver.
bool ZuduvaInitOneTexture();
boost::intrusive_ptr<pravik::video::ITexture> ZuduvaGetOneTexture();
bool ZuduvaInsertIntoOneTexture(const char* path, float& u0, float& v0, float& u1, float& v1);
// Lets the texture go and takes it out of the texture manager.
void ZuduvaDestroyOneTexture();
