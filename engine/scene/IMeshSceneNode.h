#pragma once
// A node that draws a mesh; switching a hierarchy to shadow casting marks every mesh node in it.

#include "engine/scene/ISceneNode.h"

namespace pravik::scene {

class IMesh;

class IMeshSceneNode : public ISceneNode {
public:
    using ISceneNode::ISceneNode;
    virtual void setMesh(const boost::intrusive_ptr<IMesh>& mesh) = 0;
    virtual const boost::intrusive_ptr<IMesh>& getMesh() const = 0;

    void setNodeHierarchyAsShadowCaster(bool caster) override
    {
        Flags = caster ? (Flags | ESNF_SHADOW_CASTER) : (Flags & ~ESNF_SHADOW_CASTER);
        ISceneNode::setNodeHierarchyAsShadowCaster(caster);
    }
};

}  // namespace pravik::scene
