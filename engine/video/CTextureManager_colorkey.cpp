// Colour-keyed textures (fonts) and normal maps, rewritten in place in level 0 of face 0.

#include "engine/video/CTextureManager.h"

#include "engine/os/Printer.h"
#include "engine/video/image/ColorKeyNormalMap.h"
#include "engine/video/ITexture.h"
#include "engine/video/image/pixel_format.h"

namespace pravik::video {

namespace {

// Level 0 of face 0 mapped for writing, unmapped when the holder goes; holds the texture.
class SMappedLevel0 {
public:
    explicit SMappedLevel0(const boost::intrusive_ptr<ITexture>& texture)
        : m_texture(texture), m_data(static_cast<unsigned char*>(texture->map(EBMA_CLIENT_WRITE, ETCMF_POSITIVE_X, 0)))
    {
    }
    ~SMappedLevel0()
    {
        if (m_data)
            m_texture->unmap();
    }
    SMappedLevel0(const SMappedLevel0&) = delete;
    SMappedLevel0& operator=(const SMappedLevel0&) = delete;

    texture_pixels::SLevelView view() const
    {
        const E_PIXEL_FORMAT format = m_texture->getPixelFormat();
        const unsigned width = unsigned(m_texture->getWidth());
        return {format, m_data, width, unsigned(m_texture->getHeight()), pixel_format::computePitch(format, width)};
    }
    unsigned char* data() const { return m_data; }

private:
    boost::intrusive_ptr<ITexture> m_texture;
    unsigned char* m_data;
};

bool keyable(const boost::intrusive_ptr<ITexture>& texture)
{
    if (texture_pixels::isSupportedFormat(texture->getPixelFormat()))
        return true;
    os::Printer::log("Error: Unsupported texture color format for making color key channel.", ELL_ERROR);
    return false;
}

}  // namespace

void CTextureManager::makeColorKeyTexture(const TexturePtr& texture, SColor color) const
{
    if (!texture || !keyable(texture))
        return;
    const SMappedLevel0 level(texture);
    if (!level.data()) {
        os::Printer::log("Could not lock texture for making color key channel.", ELL_ERROR);
        return;
    }
    texture_pixels::applyColorKey(level.view(), texture_pixels::colorKeyFromColor(texture->getPixelFormat(), color));
}

void CTextureManager::makeColorKeyTexture(const TexturePtr& texture, core::position2d<int> position) const
{
    if (!texture || !keyable(texture))
        return;
    const SMappedLevel0 level(texture);
    if (!level.data()) {
        os::Printer::log("Could not lock texture for making color key channel.", ELL_ERROR);
        return;
    }
    uint32_t key = 0;
    if (position.X < 0 || position.Y < 0 ||
        !texture_pixels::colorKeyAt(level.view(), unsigned(position.X), unsigned(position.Y), key)) {
        os::Printer::log("Error: Color key position lies outside the texture.", ELL_ERROR);
        return;
    }
    texture_pixels::applyColorKey(level.view(), key);
}

void CTextureManager::makeNormalMapTexture(const TexturePtr& texture, float amplitude) const
{
    if (!texture)
        return;
    if (!texture_pixels::isSupportedFormat(texture->getPixelFormat())) {
        os::Printer::log("Error: Unsupported texture color format for making normal map.", ELL_ERROR);
        return;
    }
    const SMappedLevel0 level(texture);
    if (!level.data()) {
        os::Printer::log("Could not lock texture for making normal map.", ELL_ERROR);
        return;
    }
    if (!texture_pixels::makeNormalMap(level.view(), amplitude))
        return;
    texture->generateMipmaps();
}

}  // namespace pravik::video
