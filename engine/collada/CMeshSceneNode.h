#pragma once
// The node that draws one scene-file mesh ("daem"): it registers each mesh buffer with the
// buffer's material (pass 8 when the first pass of its technique blends, else 4; again in
// pass 7 for a shadow caster), lets the mesh prepare buffers that compute their vertices, and
// draws them. Render data i + 1 stands for buffer i.

#include "engine/collada/CSceneNode.h"
#include "engine/collada/IMesh.h"
#include "engine/scene/IMeshSceneNode.h"

namespace pravik::collada {

class CMeshSceneNode : public scene::IMeshSceneNode {
public:
    CMeshSceneNode(const boost::intrusive_ptr<IMesh>& mesh, SNode* record, int id = -1,
                   const core::vector3d<float>& position = {0, 0, 0}, const core::quaternion& rotation = {0, 0, 0, 1},
                   const core::vector3d<float>& scale = {1, 1, 1});

    bool onRegisterSceneNode() override;
    void onAnimate(unsigned timeMs) override;
    void render(void* renderData) override;
    unsigned getRenderVertexCount(void* renderData) const override;
    const core::aabbox3d<float>& getBoundingBox() const override;
    const char* getUID() const override;
    boost::intrusive_ptr<video::CMaterial> getMaterial(unsigned i) const override;
    unsigned getMaterialCount() const override;
    scene::E_SCENE_NODE_TYPE getType() const override { return ESNT_DAE_MESH; }
    void setMesh(const boost::intrusive_ptr<scene::IMesh>&) override {}  // fixed at construction
    const boost::intrusive_ptr<scene::IMesh>& getMesh() const override { return m_sceneMesh; }
    const boost::intrusive_ptr<IMesh>& getColladaMesh() const { return m_mesh; }

protected:
    SNode* m_record;
    boost::intrusive_ptr<IMesh> m_mesh;
    boost::intrusive_ptr<scene::IMesh> m_sceneMesh;
    core::aabbox3d<float> m_emptyBox{0, 0, 0, 0, 0, 0};
};

}  // namespace pravik::collada
