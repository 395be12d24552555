#pragma once
// The camera of a camera record ("daec"): perspective with the vertical field of view made from
// the record's horizontal degrees and aspect, or orthographic with MAG = half width / aspect;
// the up vector from the file's up axis. It looks at its target node when the scene root found
// one, else 100 units down its own local -z axis. Tracking a target leaves its rotation alone.

#include "engine/collada/IObject.h"
#include "engine/scene/CCameraSceneNode.h"
#include "engine/scene/ESceneNodeTypes.h"

namespace pravik::collada {

struct SCameraRecord {  // the fields of SCamera after its id
    uint32_t kind;          // 0 perspective
    float size;             // degrees across, or half the width
    float aspect;
    float zNear;
    float zFar;
};

constexpr scene::E_SCENE_NODE_TYPE ESNT_DAE_CAMERA =
    scene::E_SCENE_NODE_TYPE(scene::makeNodeTypeCode('d', 'a', 'e', 'c'));

class CCameraSceneNode : public scene::CCameraSceneNode, public IObject {
public:
    CCameraSceneNode(const CColladaDatabase& db, SCamera* record);
    ~CCameraSceneNode() override;

    bool onRegisterSceneNode() override;
    const char* getUID() const override;
    scene::E_SCENE_NODE_TYPE getType() const override { return ESNT_DAE_CAMERA; }
    scene::ISceneNode* getTargetNode() const { return m_target; }
    void setTargetNode(scene::ISceneNode* node);  // counted; none clears
    SCamera* getRecord() const { return m_record; }

private:
    scene::ISceneNode* m_target = nullptr;
    SCamera* m_record;
};

}  // namespace pravik::collada
