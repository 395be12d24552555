#pragma once
// The node built from every node record ("daen"): its name and placement come from the
// record, which it can be put back to; it answers the record's id, scope id and user property
// and computes a box from the meshes below it. Also the base of the scene root.

#include "engine/collada/IObject.h"
#include "engine/scene/CEmptySceneNode.h"
#include "engine/scene/ESceneNodeTypes.h"

namespace pravik::collada {

constexpr scene::E_SCENE_NODE_TYPE ESNT_DAE_NODE = scene::E_SCENE_NODE_TYPE(scene::makeNodeTypeCode('d', 'a', 'e', 'n'));
constexpr scene::E_SCENE_NODE_TYPE ESNT_DAE_ROOT = scene::E_SCENE_NODE_TYPE(scene::makeNodeTypeCode('d', 'a', 'e', 'r'));
constexpr scene::E_SCENE_NODE_TYPE ESNT_DAE_MESH = scene::E_SCENE_NODE_TYPE(scene::makeNodeTypeCode('d', 'a', 'e', 'm'));
constexpr scene::E_SCENE_NODE_TYPE ESNT_DAE_SKIN = scene::E_SCENE_NODE_TYPE(scene::makeNodeTypeCode('d', 'a', 'e', 's'));
constexpr scene::E_SCENE_NODE_TYPE ESNT_DAE_MODULAR_SKIN =
    scene::E_SCENE_NODE_TYPE(scene::makeNodeTypeCode('d', 'a', 'e', 'M'));

class CSceneNode : public scene::CEmptySceneNode, public IObject {
public:
    CSceneNode(const CColladaDatabase& db, SNode* record);

    const char* getUID() const override;
    const char* getScopeID() const override;
    const void* getUserProperty() const override;
    const char* getUserPropertyStr() const override;
    scene::E_SCENE_NODE_TYPE getType() const override { return ESNT_DAE_NODE; }
    void resetTransform(bool recursive) override;
    virtual void computeBoundingBox();                   // over the mesh and scene-file children
    bool computeBoundingBox(core::aabbox3d<float>& box) const;  // world boxes; false when none

    SNode* getRecord() const { return m_record; }

protected:
    SNode* m_record;
};

}  // namespace pravik::collada
