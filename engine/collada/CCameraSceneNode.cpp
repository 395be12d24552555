#include "engine/collada/CCameraSceneNode.h"

#include "engine/collada/CResFile.h"

#include <cmath>
#include <cstring>

namespace pravik::collada {

CCameraSceneNode::CCameraSceneNode(const CColladaDatabase& db, SCamera* record)
    : scene::CCameraSceneNode(-1, {0, 0, 0}, {0, 0, 100}, false), IObject(db, record ? db.str(record->id) : ""),
      m_record(record)
{
    if (const SCollada* root = db.getRoot()) {
        static const core::vector3d<float> kUp[] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
        if (root->upAxis < 3) UpVector = kUp[root->upAxis];
    }
    if (!record) return;
    SCameraRecord r;
    std::memcpy(&r, record->fields04, sizeof r);
    if (r.kind != 0) {
        IsOrthogonal = true;
        setAspectRatio(r.aspect);
        setMAG(r.size / r.aspect);
    } else {
        setFOV(2.f * std::atan(std::tan(r.size * 0.017453292f * 0.5f) / r.aspect));
    }
    setNearValue(r.zNear);
    setFarValue(r.zFar);
}

CCameraSceneNode::~CCameraSceneNode() { setTargetNode(nullptr); }

void CCameraSceneNode::setTargetNode(scene::ISceneNode* node)
{
    if (node) node->grab();
    if (m_target) m_target->drop();
    m_target = node;
}

bool CCameraSceneNode::onRegisterSceneNode()
{
    if (m_target) {
        setTarget(m_target->getAbsolutePosition());
        updateAbsolutePosition(false);
    } else {
        core::vector3d<float> ahead(0, 0, -100);
        AbsoluteTransformation.transformVect(ahead);
        setTarget(ahead);
    }
    return scene::CCameraSceneNode::onRegisterSceneNode();
}

const char* CCameraSceneNode::getUID() const { return m_record ? m_database.str(m_record->id) : ""; }

}  // namespace pravik::collada
