#pragma once
// A camera-facing quad of a size in world units with a top and a bottom shade.

#include "engine/core/dimension2d.h"
#include "engine/scene/ISceneNode.h"
#include "engine/video/SColor.h"

namespace pravik::scene {

class IBillboard {
public:
    virtual ~IBillboard() = default;
    virtual void setSize(const core::dimension2d<float>& size) = 0;
    virtual const core::dimension2d<float>& getSize() const = 0;
    virtual void setColor(const video::SColor& color) = 0;
    virtual void setColor(const video::SColor& top, const video::SColor& bottom) = 0;
    virtual void getColor(video::SColor& top, video::SColor& bottom) const = 0;
};

class IBillboardSceneNode : public ISceneNode, public IBillboard {
public:
    using ISceneNode::ISceneNode;
};

}  // namespace pravik::scene
