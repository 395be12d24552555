#include "engine/collada/CSceneNode.h"

#include <algorithm>

namespace pravik::collada {

namespace {

bool isSceneFileKind(scene::E_SCENE_NODE_TYPE t)
{
    return t == ESNT_DAE_SKIN || t == ESNT_DAE_MESH || t == ESNT_DAE_NODE || t == ESNT_DAE_MODULAR_SKIN;
}

bool isMeshKind(scene::E_SCENE_NODE_TYPE t)
{
    return t == ESNT_DAE_SKIN || t == ESNT_DAE_MESH || t == ESNT_DAE_MODULAR_SKIN;
}

// A box carried by matrix m into its parent's space (the box of the transformed corners).
core::aabbox3d<float> transformBox(const core::CMatrix4<float>& m, const core::aabbox3d<float>& box)
{
    const float mins[3] = {box.MinEdge.X, box.MinEdge.Y, box.MinEdge.Z};
    const float maxs[3] = {box.MaxEdge.X, box.MaxEdge.Y, box.MaxEdge.Z};
    float lo[3], hi[3];
    for (int i = 0; i < 3; ++i) {
        lo[i] = hi[i] = m[12 + i];
        for (int j = 0; j < 3; ++j) {
            const float a = m[4 * j + i] * mins[j];
            const float b = m[4 * j + i] * maxs[j];
            lo[i] += std::min(a, b);
            hi[i] += std::max(a, b);
        }
    }
    return core::aabbox3d<float>(lo[0], lo[1], lo[2], hi[0], hi[1], hi[2]);
}

}  // namespace

CSceneNode::CSceneNode(const CColladaDatabase& db, SNode* record) : CEmptySceneNode(-1), IObject(db, ""), m_record(record)
{
    if (!record) return;
    setName(db.str(record->name));
    Position.set(record->position[0], record->position[1], record->position[2]);
    Rotation = core::quaternion(record->rotation[0], record->rotation[1], record->rotation[2], record->rotation[3]);
    Scale.set(record->scale[0], record->scale[1], record->scale[2]);
    Flags |= scene::ESNF_LOCAL_CHANGES;
}

const char* CSceneNode::getUID() const { return m_record ? m_database.str(m_record->id) : ""; }

const char* CSceneNode::getScopeID() const { return m_record ? m_database.str(m_record->scopeId) : ""; }

const void* CSceneNode::getUserProperty() const
{
    if (!m_record || !m_record->userProperty || !m_database.getResFile()) return nullptr;
    return m_database.getResFile()->as<res::String>(m_record->userProperty);
}

const char* CSceneNode::getUserPropertyStr() const
{
    const auto* property = static_cast<const res::String*>(getUserProperty());
    return property && m_database.getResFile() ? m_database.getResFile()->str(*property) : nullptr;
}

void CSceneNode::resetTransform(bool recursive)
{
    if (m_record) {
        setPosition(core::vector3d<float>(m_record->position[0], m_record->position[1], m_record->position[2]));
        setRotation(core::quaternion(m_record->rotation[0], m_record->rotation[1], m_record->rotation[2],
                                     m_record->rotation[3]));
        setScale(core::vector3d<float>(m_record->scale[0], m_record->scale[1], m_record->scale[2]));
    }
    if (recursive)
        for (scene::ISceneNode* child : Children) child->resetTransform(true);
}

void CSceneNode::computeBoundingBox()
{
    bool first = true;
    for (scene::ISceneNode* child : Children) {
        const scene::E_SCENE_NODE_TYPE type = child->getType();
        if (!isSceneFileKind(type)) continue;
        if (type == ESNT_DAE_NODE) static_cast<CSceneNode*>(child)->computeBoundingBox();
        const core::aabbox3d<float> box = transformBox(child->getRelativeTransformation(), child->getBoundingBox());
        if (first) {
            BoundingBox = box;
            first = false;
        } else {
            BoundingBox.addInternalPoint(box.MinEdge);
            BoundingBox.addInternalPoint(box.MaxEdge);
        }
    }
}

bool CSceneNode::computeBoundingBox(core::aabbox3d<float>& box) const
{
    bool found = false;
    auto add = [&](const core::aabbox3d<float>& b) {
        if (!found) {
            box = b;
            found = true;
        } else {
            box.addInternalPoint(b.MinEdge);
            box.addInternalPoint(b.MaxEdge);
        }
    };
    for (const scene::ISceneNode* child : Children) {
        const scene::E_SCENE_NODE_TYPE type = child->getType();
        if (isMeshKind(type)) {
            add(child->getTransformedBoundingBox());
        } else if (type == ESNT_DAE_NODE) {
            core::aabbox3d<float> inner(-1, -1, -1, 1, 1, 1);
            if (static_cast<const CSceneNode*>(child)->computeBoundingBox(inner)) add(inner);
        }
    }
    return found;
}

}  // namespace pravik::collada
