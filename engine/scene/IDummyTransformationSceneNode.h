#pragma once
// A node that carries a transformation for its children.

#include "engine/scene/ISceneNode.h"

namespace pravik::scene {

class IDummyTransformationSceneNode : public ISceneNode {
public:
    using ISceneNode::ISceneNode;
    virtual core::CMatrix4<float>& getRelativeTransformationMatrix() = 0;
    virtual void setRelativeTransformationMatrix(const core::CMatrix4<float>& m) = 0;
};

}  // namespace pravik::scene
