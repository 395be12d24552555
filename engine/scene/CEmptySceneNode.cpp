#include "engine/scene/CEmptySceneNode.h"

namespace pravik::scene {

CEmptySceneNode::CEmptySceneNode(int id) : ISceneNode(id)
{
    AutomaticCulling = EAC_OFF;
}

ISceneNode* CEmptySceneNode::clone() const
{
    auto* copy = new CEmptySceneNode(ID);
    copy->cloneMembers(this);
    copy->BoundingBox = BoundingBox;
    return copy;
}

}  // namespace pravik::scene
