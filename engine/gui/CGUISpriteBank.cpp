#include "engine/gui/CGUISpriteBank.h"

#include "engine/gui/IGUIEnvironment.h"
#include "engine/video/C2DDriver.h"
#include "engine/video/material/CMaterial.h"
#include "engine/video/ITexture.h"
#include "engine/video/IVideoDriver.h"

namespace pravik::gui {

CGUISpriteBank::CGUISpriteBank(IGUIEnvironment* environment) : m_environment(environment)
{
    if (m_environment)
        m_driver = m_environment->getVideoDriver();
    if (m_driver)
        m_driver->grab();
}

CGUISpriteBank::~CGUISpriteBank()
{
    m_textures.clear();
    if (m_driver)
        m_driver->drop();
}

boost::intrusive_ptr<video::ITexture> CGUISpriteBank::getTexture(unsigned index) const
{
    return index < m_textures.size() ? m_textures[index] : nullptr;
}

void CGUISpriteBank::addTexture(const boost::intrusive_ptr<video::ITexture>& texture) { m_textures.push_back(texture); }

void CGUISpriteBank::setTexture(unsigned index, const boost::intrusive_ptr<video::ITexture>& texture)
{
    if (index >= m_textures.size())
        m_textures.resize(size_t(index) + 1);
    m_textures[index] = texture;
}

int CGUISpriteBank::getFrameNumber(unsigned index, unsigned startTime, unsigned currentTime, bool loop) const
{
    if (index >= m_sprites.size() || m_sprites[index].Frames.empty())
        return -1;
    const SGUISprite& sprite = m_sprites[index];
    if (sprite.frameTime == 0)
        return 0;
    const unsigned t = (currentTime - startTime) / sprite.frameTime;
    const unsigned count = unsigned(sprite.Frames.size());
    if (loop)
        return int(t % count);
    return int(t >= count ? count - 1 : t);
}

void CGUISpriteBank::draw2DSprite(unsigned index, const core::position2d<int>& pos, const core::rect<int>* clip,
                                  video::SColor color, unsigned startTime, unsigned currentTime, bool loop,
                                  bool center)
{
    const int frame = getFrameNumber(index, startTime, currentTime, loop);
    if (frame < 0)
        return;
    const SGUISpriteFrame& f = m_sprites[index].Frames[size_t(frame)];
    boost::intrusive_ptr<video::ITexture> texture = getTexture(f.textureNumber);
    if (!texture || f.rectangleNumber >= m_rectangles.size())
        return;
    const core::rect<int>& source = m_rectangles[f.rectangleNumber];
    core::position2d<int> at = pos;
    if (center)
        at -= core::position2d<int>(source.getWidth() / 2, source.getHeight() / 2);
    video::C2DDriver::draw2DImage(m_driver, texture, at, source, clip, color, true);
}

}  // namespace pravik::gui
