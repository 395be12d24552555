#pragma once
// A node that only groups and places its children; never culled.

#include "engine/scene/ISceneNode.h"

namespace pravik::scene {

class CEmptySceneNode : public ISceneNode {
public:
    explicit CEmptySceneNode(int id = -1);

    void render(void*) override {}
    const core::aabbox3d<float>& getBoundingBox() const override { return BoundingBox; }
    E_SCENE_NODE_TYPE getType() const override { return ESNT_EMPTY; }
    ISceneNode* clone() const override;

protected:
    core::aabbox3d<float> BoundingBox{-1, -1, -1, 1, 1, 1};
};

}  // namespace pravik::scene
