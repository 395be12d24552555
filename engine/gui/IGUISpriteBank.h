#pragma once
// Named sets of textures, source rectangles on them and sprites that play (texture, rectangle)
// frames at a fixed frame time. Fonts keep their glyphs in one, the skin its icons.

#include "engine/IReferenceCounted.h"
#include "engine/core/rect.h"
#include "engine/video/SColor.h"

#include <boost/intrusive_ptr.hpp>

#include <vector>

namespace pravik::video {
class ITexture;
}

namespace pravik::gui {

struct SGUISpriteFrame {
    unsigned textureNumber = 0;    // index into the bank's textures
    unsigned rectangleNumber = 0;  // index into the bank's rectangles
};

struct SGUISprite {
    std::vector<SGUISpriteFrame> Frames;
    unsigned frameTime = 0;  // ms per frame; 0 shows the first frame only
};

class IGUISpriteBank : public virtual IReferenceCounted {
public:
    // Both lists are filled by the bank's users directly.
    virtual std::vector<core::rect<int>>& getPositions() = 0;
    virtual std::vector<SGUISprite>& getSprites() = 0;
    virtual unsigned getTextureCount() const = 0;
    virtual boost::intrusive_ptr<video::ITexture> getTexture(unsigned index) const = 0;  // null outside or empty
    virtual void addTexture(const boost::intrusive_ptr<video::ITexture>& texture) = 0;
    virtual void setTexture(unsigned index, const boost::intrusive_ptr<video::ITexture>& texture) = 0;  // grows
    virtual void draw2DSprite(unsigned index, const core::position2d<int>& pos, const core::rect<int>* clip,
                              video::SColor color, unsigned startTime = 0, unsigned currentTime = 0,
                              bool loop = true, bool center = false) = 0;
};

}  // namespace pravik::gui
