// The OpenGL name behind an engine texture: 0 for a texture of another driver, or one the GL ES
// driver has not created yet (it makes the name on the texture's first bind).
#pragma once

namespace pravik::video {
class ITexture;
}

unsigned GLTextureName(const pravik::video::ITexture* texture);
void SetGLTextureName(pravik::video::ITexture* texture, unsigned name);   // GL ES textures only
