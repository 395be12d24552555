#pragma once
// A glow sprite for a point of a scene ("crns"): one textured quad drawn over everything,
// placed on the line of sight from the camera to the node just in front of the camera, with
// a constant apparent size, spun in the view plane by an angle that grows with the camera's
// distance. Built from a coronas record; the database gives it the instance's material.

#include "engine/collada/IObject.h"
#include "engine/scene/CBillboardSceneNode.h"
#include "engine/scene/ESceneNodeTypes.h"
#include "engine/scene/ISceneNode.h"
#include "engine/video/material/CMaterial.h"
#include "engine/video/material/CVertexStreams.h"

#include <functional>

namespace pravik::video {
class IVideoDriver;
}

namespace pravik::collada {

class CRootSceneNode;

constexpr scene::E_SCENE_NODE_TYPE ESNT_CORONAS = scene::E_SCENE_NODE_TYPE(scene::makeNodeTypeCode('c', 'r', 'n', 's'));

class CCoronasSceneNode : public scene::ISceneNode {
public:
    using SVertex = scene::CBillboardSceneNode::SVertex;
    // Tells whether the segment from start to end is blocked.
    using BlockingTest = std::function<bool(const core::vector3d<float>& start, const core::vector3d<float>& end)>;

    CCoronasSceneNode(const CColladaDatabase& db, video::IVideoDriver* driver, SCoronas* record, CRootSceneNode* root);
    // Without a record: no spin, no root.
    CCoronasSceneNode(video::IVideoDriver* driver, int id, const core::vector3d<float>& position,
                      const boost::intrusive_ptr<video::CMaterial>& material, const core::dimension2d<float>& size,
                      video::SColor colour);
    ~CCoronasSceneNode() override;

    void serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions* options = nullptr) const override;
    void deserializeAttributes(io::IAttributes* in, io::SAttributeReadWriteOptions* options = nullptr) override;
    bool onRegisterSceneNode() override;
    void render(void* renderData) override;
    const core::aabbox3d<float>& getBoundingBox() const override { return m_box; }
    scene::E_SCENE_NODE_TYPE getType() const override { return ESNT_CORONAS; }
    unsigned getMaterialCount() const override { return 1; }
    boost::intrusive_ptr<video::CMaterial> getMaterial(unsigned) const override { return m_material; }

    void setSize(const core::dimension2d<float>& size);  // a zero width or height becomes 1
    const core::dimension2d<float>& getSize() const { return m_size; }
    void setMaterial(const boost::intrusive_ptr<video::CMaterial>& material) { m_material = material; }
    bool isBlocked() const;
    void setBlockingTest(BlockingTest test) { m_blocking = std::move(test); }

    float getRotationSpeed() const { return m_rotationSpeed; }
    float getBaseAngle() const { return m_baseAngle; }
    CRootSceneNode* getRoot() const { return m_root; }
    const SVertex* getVertices() const { return m_vertices; }

private:
    void initVertices(video::IVideoDriver* driver, video::SColor colour);

    BlockingTest m_blocking;
    float m_rotationSpeed = 0.f;
    float m_baseAngle = 0.f;
    float m_unused[2] = {0.f, 0.f};
    bool m_flag = false;
    core::dimension2d<float> m_size{0.f, 0.f};
    core::aabbox3d<float> m_box{-1, -1, -1, 1, 1, 1};
    boost::intrusive_ptr<video::CMaterial> m_material;
    SVertex m_vertices[4] = {};
    boost::intrusive_ptr<video::CVertexStreams> m_streams;
    CRootSceneNode* m_root = nullptr;  // not counted
    CColladaDatabase m_database;       // keeps the file while the node lives
};

}  // namespace pravik::collada
