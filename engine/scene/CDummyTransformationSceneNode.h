#pragma once
// Transformation-only node ("dmmy"): effects hang under it and move with it. The matrix it
// keeps is only the last one set; the node's own transformation is decomposed from it.

#include "engine/scene/IDummyTransformationSceneNode.h"

namespace pravik::scene {

class CDummyTransformationSceneNode : public IDummyTransformationSceneNode {
public:
    explicit CDummyTransformationSceneNode(int id = -1);

    void render(void*) override {}
    const core::aabbox3d<float>& getBoundingBox() const override { return BoundingBox; }
    E_SCENE_NODE_TYPE getType() const override { return ESNT_DUMMY_TRANSFORMATION; }
    ISceneNode* clone() const override;
    core::CMatrix4<float>& getRelativeTransformationMatrix() override { return RelativeTransformationMatrix; }
    void setRelativeTransformationMatrix(const core::CMatrix4<float>& m) override;

protected:
    core::CMatrix4<float> RelativeTransformationMatrix{core::EM4CONST_IDENTITY};
    core::aabbox3d<float> BoundingBox{-1, -1, -1, 1, 1, 1};
};

}  // namespace pravik::scene
