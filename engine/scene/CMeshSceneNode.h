#pragma once
// Shows a static mesh ("mesh"): registers for the solid pass, the transparent pass or both by
// its buffers' materials and draws in each pass only the buffers that belong to it (every
// buffer while the manager compiles). Without a mesh it has an empty box and registers nothing;
// a buffer without a material counts as solid and is not drawn.

#include "engine/scene/CMesh.h"
#include "engine/scene/IMesh.h"
#include "engine/scene/IMeshSceneNode.h"

namespace pravik::scene {

class CMeshSceneNode : public IMeshSceneNode {
public:
    CMeshSceneNode(const boost::intrusive_ptr<IMesh>& mesh, int id = -1, const core::vector3d<float>& position = {0, 0, 0},
                   const core::quaternion& rotation = {0, 0, 0, 1}, const core::vector3d<float>& scale = {1, 1, 1});

    void serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions* options = nullptr) const override;
    void deserializeAttributes(io::IAttributes* in, io::SAttributeReadWriteOptions* options = nullptr) override;
    bool onRegisterSceneNode() override;
    void render(void*) override;
    const core::aabbox3d<float>& getBoundingBox() const override;
    boost::intrusive_ptr<video::CMaterial> getMaterial(unsigned index) const override;
    unsigned getMaterialCount() const override { return Mesh ? Mesh->getMeshBufferCount() : 0; }
    E_SCENE_NODE_TYPE getType() const override { return ESNT_MESH; }
    ISceneNode* clone() const override;
    void setMesh(const boost::intrusive_ptr<IMesh>& mesh) override;
    const boost::intrusive_ptr<IMesh>& getMesh() const override { return Mesh; }

protected:
    boost::intrusive_ptr<IMesh> Mesh;

private:
    template <class Visit>
    void forEachBuffer(const Visit& visit) const;

    const CMesh* m_plainMesh = nullptr;  // Mesh when it is a plain mesh: read without virtual calls
};

}  // namespace pravik::scene
