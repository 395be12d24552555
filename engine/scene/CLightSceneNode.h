#pragma once
// A node owning one light whose world transformation is the node's absolute matrix itself
// (shared by pointer, never copied). It registers in the light pass and hands its light to the
// driver when that pass is drawn. A point or spot light's box is +-radius^2/2 with box culling.

#include "engine/scene/ISceneNode.h"
#include "engine/video/CLight.h"
#include "engine/video/SColor.h"

namespace pravik::scene {

class CLightSceneNode : public ISceneNode {
public:
    explicit CLightSceneNode(bool = false);
    CLightSceneNode(int id, const core::vector3d<float>& position, const video::SColorf& color, float radius);
    ~CLightSceneNode() override;

    bool onRegisterSceneNode() override;
    void render(void*) override;
    const core::aabbox3d<float>& getBoundingBox() const override;
    E_SCENE_NODE_TYPE getType() const override { return ESNT_LIGHT; }
    ISceneNode* clone() const override;
    void serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions* options = nullptr) const override;
    void deserializeAttributes(io::IAttributes* in, io::SAttributeReadWriteOptions* options = nullptr) override;

    const boost::intrusive_ptr<video::CLight>& getLight() const { return Light; }
    void doLightRecalc() const;

protected:
    explicit CLightSceneNode(const CLightSceneNode& from);
    void attachLight();

    video::STransformationSource* TransformationSource = nullptr;
    boost::intrusive_ptr<video::CLight> Light;
    mutable unsigned LightType = 0;
    mutable core::aabbox3d<float> BoundingBox{-1, -1, -1, 1, 1, 1};
};

}  // namespace pravik::scene
