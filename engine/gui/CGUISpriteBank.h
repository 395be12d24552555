#pragma once
// The sprite bank: textures (a slot may be empty), source rectangles and timed sprites.

#include "engine/gui/IGUISpriteBank.h"

namespace pravik::video {
class IVideoDriver;
}

namespace pravik::gui {

class IGUIEnvironment;

class CGUISpriteBank : public IGUISpriteBank {
public:
    explicit CGUISpriteBank(IGUIEnvironment* environment);
    ~CGUISpriteBank() override;

    std::vector<core::rect<int>>& getPositions() override { return m_rectangles; }
    std::vector<SGUISprite>& getSprites() override { return m_sprites; }
    unsigned getTextureCount() const override { return unsigned(m_textures.size()); }
    boost::intrusive_ptr<video::ITexture> getTexture(unsigned index) const override;
    void addTexture(const boost::intrusive_ptr<video::ITexture>& texture) override;
    void setTexture(unsigned index, const boost::intrusive_ptr<video::ITexture>& texture) override;
    void draw2DSprite(unsigned index, const core::position2d<int>& pos, const core::rect<int>* clip,
                      video::SColor color, unsigned startTime = 0, unsigned currentTime = 0, bool loop = true,
                      bool center = false) override;

    // The frame draw2DSprite shows at currentTime; -1 for a missing sprite or one without frames.
    int getFrameNumber(unsigned index, unsigned startTime, unsigned currentTime, bool loop) const;

private:
    std::vector<SGUISprite> m_sprites;
    std::vector<core::rect<int>> m_rectangles;
    std::vector<boost::intrusive_ptr<video::ITexture>> m_textures;
    IGUIEnvironment* m_environment;
    video::IVideoDriver* m_driver = nullptr;
};

}  // namespace pravik::gui
