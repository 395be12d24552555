#include "framework/GLTextureName.h"

#include "engine/video/gl/COpenGLESDriver_resources.h"

using pravik::video::COpenGLESDriver;

unsigned GLTextureName(const pravik::video::ITexture* texture)
{
    const auto* gl = dynamic_cast<const COpenGLESDriver::CTexture*>(texture);
    return gl ? gl->getGLName() : 0;
}

void SetGLTextureName(pravik::video::ITexture* texture, unsigned name)
{
    if (auto* gl = dynamic_cast<COpenGLESDriver::CTexture*>(texture))
        gl->setGLName(name);
}
