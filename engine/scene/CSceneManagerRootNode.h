#pragma once
// The root of a scene manager's tree ("smgr"): an empty node whose attribute form is the
// scene's own (name, id, ambient light).

#include "engine/scene/CEmptySceneNode.h"

namespace pravik::scene {

class CSceneManagerRootNode : public CEmptySceneNode {
public:
    CSceneManagerRootNode() : CEmptySceneNode(-1) {}
    E_SCENE_NODE_TYPE getType() const override { return ESNT_SCENE_MANAGER; }
    void serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions* options = nullptr) const override;
    void deserializeAttributes(io::IAttributes* in, io::SAttributeReadWriteOptions* options = nullptr) override;
};

}  // namespace pravik::scene
