#include "engine/scene/CDummyTransformationSceneNode.h"

#include <cmath>

namespace pravik::scene {

CDummyTransformationSceneNode::CDummyTransformationSceneNode(int id) : IDummyTransformationSceneNode(id)
{
    AutomaticCulling = EAC_OFF;
}

void CDummyTransformationSceneNode::setRelativeTransformationMatrix(const core::CMatrix4<float>& m)
{
    RelativeTransformationMatrix = m;
    auto length = [&m](int c) {
        const double x = m[4 * c], y = m[4 * c + 1], z = m[4 * c + 2];
        return float(std::sqrt(x * x + y * y + z * z));
    };
    setPosition(core::vector3d<float>(m[12], m[13], m[14]));
    setRotation(rotationFromMatrix(m.M));
    setScale(core::vector3d<float>(length(0), length(1), length(2)));
}

ISceneNode* CDummyTransformationSceneNode::clone() const
{
    auto* copy = new CDummyTransformationSceneNode(ID);
    copy->cloneMembers(this);
    copy->RelativeTransformationMatrix = RelativeTransformationMatrix;
    copy->BoundingBox = BoundingBox;
    return copy;
}

}  // namespace pravik::scene
