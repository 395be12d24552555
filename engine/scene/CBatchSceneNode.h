#pragma once
// The node ("basn") that holds a compiled batch mesh. Compilation makes it (id only, its own
// empty mesh), fills the mesh and calls setup. Main thread only.

#include "engine/scene/CBatchMesh.h"
#include "engine/scene/IMeshSceneNode.h"

namespace pravik::video {
class IVideoDriver;
}

namespace pravik::scene {

class CBatchSceneNode : public IMeshSceneNode {
public:
    static constexpr E_SCENE_NODE_TYPE Type = E_SCENE_NODE_TYPE(0x6E736162);  // 'b' 'a' 's' 'n'

    explicit CBatchSceneNode(int id);
    CBatchSceneNode(int id, const boost::intrusive_ptr<CBatchMesh>& mesh);

    void render(void*) override {}
    const core::aabbox3d<float>& getBoundingBox() const override { return m_batchMesh->getBoundingBox(); }
    const core::aabbox3d<float>& getTransformedBoundingBox() const override { return m_batchMesh->getBoundingBox(); }
    boost::intrusive_ptr<video::CMaterial> getMaterial(unsigned index) const override { return m_batchMesh->getMaterial(index); }
    unsigned getMaterialCount() const override { return m_batchMesh->getBatchCount(); }
    E_SCENE_NODE_TYPE getType() const override { return Type; }
    void setMesh(const boost::intrusive_ptr<IMesh>&) override {}  // the node keeps its mesh
    const boost::intrusive_ptr<IMesh>& getMesh() const override { return m_mesh; }
    CBatchMesh* getBatchMesh() const { return m_batchMesh; }

    // After compilation: the solid batch count. Sorting and the per-frame structures are not
    // built yet, so the mesh stays as compiled.
    virtual void setup(bool skipPostCompile, video::IVideoDriver* driver);
    unsigned getSolidBatchCount() const { return m_solidBatchCount; }
    E_CULLING_TYPE getSegmentCulling() const { return m_segmentCulling; }

private:
    boost::intrusive_ptr<IMesh> m_mesh;
    CBatchMesh* m_batchMesh;  // m_mesh, typed
    E_CULLING_TYPE m_segmentCulling = EAC_FRUSTUM_BOX;
    unsigned m_solidBatchCount = 0xFFFFFFFFu;
    unsigned m_currentTransparentBatch = 0;
};

}  // namespace pravik::scene
