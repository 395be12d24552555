#pragma once
// The plain mesh: a list of (buffer, material, attribute map) entries and a box. Clones share
// every entry's objects. SAnimatedMesh: per-frame meshes, forwarding mesh queries to frame 0.

#include "engine/scene/IMesh.h"

#include <vector>

namespace pravik::scene {

class CMesh : public IMesh {
public:
    struct SBuffer {
        boost::intrusive_ptr<CMeshBuffer> MeshBuffer;
        boost::intrusive_ptr<video::CMaterial> Material;
        boost::intrusive_ptr<video::CMaterialVertexAttributeMap> AttributeMap;
    };

    void addMeshBuffer(const boost::intrusive_ptr<CMeshBuffer>& buffer,
                       const boost::intrusive_ptr<video::CMaterial>& material = nullptr,
                       const boost::intrusive_ptr<video::CMaterialVertexAttributeMap>& attributeMap = nullptr);
    void recalculateBoundingBox();
    void clear() { Buffers.clear(); }

    boost::intrusive_ptr<IMesh> clone() const override;
    unsigned getMeshBufferCount() const override { return unsigned(Buffers.size()); }
    boost::intrusive_ptr<CMeshBuffer> getMeshBuffer(unsigned i) const override
    {
        return i < Buffers.size() ? Buffers[i].MeshBuffer : nullptr;
    }
    boost::intrusive_ptr<video::CMaterial> getMaterial(unsigned i) const override
    {
        return i < Buffers.size() ? Buffers[i].Material : nullptr;
    }
    boost::intrusive_ptr<video::CMaterialVertexAttributeMap> getMaterialVertexAttributeMap(unsigned i) const override
    {
        return i < Buffers.size() ? Buffers[i].AttributeMap : nullptr;
    }
    void setMaterial(unsigned index, const boost::intrusive_ptr<video::CMaterial>& material,
                     const boost::intrusive_ptr<video::CMaterialVertexAttributeMap>& attributeMap) override;
    const core::aabbox3d<float>& getBoundingBox() const override { return BoundingBox; }
    void setBoundingBox(const core::aabbox3d<float>& box) override { BoundingBox = box; }

    std::vector<SBuffer> Buffers;
    core::aabbox3d<float> BoundingBox{-1, -1, -1, 1, 1, 1};
};

class SAnimatedMesh : public IAnimatedMesh {
public:
    explicit SAnimatedMesh(const boost::intrusive_ptr<IMesh>& mesh = nullptr, E_ANIMATED_MESH_TYPE type = EAMT_UNKNOWN);

    void recalculateBoundingBox();
    unsigned getFrameCount() const override { return unsigned(Meshes.size()); }
    boost::intrusive_ptr<IMesh> getMesh(int frame, int = 255, int = -1, int = -1) override;
    E_ANIMATED_MESH_TYPE getMeshType() const override { return Type; }

    boost::intrusive_ptr<IMesh> clone() const override;
    unsigned getMeshBufferCount() const override { return Meshes.empty() ? 0 : Meshes[0]->getMeshBufferCount(); }
    boost::intrusive_ptr<CMeshBuffer> getMeshBuffer(unsigned i) const override
    {
        return Meshes.empty() ? nullptr : Meshes[0]->getMeshBuffer(i);
    }
    boost::intrusive_ptr<video::CMaterial> getMaterial(unsigned i) const override
    {
        return Meshes.empty() ? nullptr : Meshes[0]->getMaterial(i);
    }
    boost::intrusive_ptr<video::CMaterialVertexAttributeMap> getMaterialVertexAttributeMap(unsigned i) const override
    {
        return Meshes.empty() ? nullptr : Meshes[0]->getMaterialVertexAttributeMap(i);
    }
    void setMaterial(unsigned index, const boost::intrusive_ptr<video::CMaterial>& material,
                     const boost::intrusive_ptr<video::CMaterialVertexAttributeMap>& attributeMap) override
    {
        if (!Meshes.empty()) Meshes[0]->setMaterial(index, material, attributeMap);
    }
    const core::aabbox3d<float>& getBoundingBox() const override { return BoundingBox; }
    void setBoundingBox(const core::aabbox3d<float>& box) override { BoundingBox = box; }

    core::aabbox3d<float> BoundingBox{-1, -1, -1, 1, 1, 1};
    std::vector<boost::intrusive_ptr<IMesh>> Meshes;
    E_ANIMATED_MESH_TYPE Type;
};

}  // namespace pravik::scene
