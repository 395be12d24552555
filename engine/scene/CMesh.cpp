#include "engine/scene/CMesh.h"

namespace pravik::scene {

namespace {

// Grows box by other's maximum corner, then its minimum corner.
void merge(core::aabbox3d<float>& box, const core::aabbox3d<float>& other)
{
    box.addInternalPoint(other.MaxEdge);
    box.addInternalPoint(other.MinEdge);
}

}  // namespace

void CMesh::addMeshBuffer(const boost::intrusive_ptr<CMeshBuffer>& buffer,
                          const boost::intrusive_ptr<video::CMaterial>& material,
                          const boost::intrusive_ptr<video::CMaterialVertexAttributeMap>& attributeMap)
{
    if (buffer) Buffers.push_back({buffer, material, attributeMap});
}

void CMesh::setMaterial(unsigned index, const boost::intrusive_ptr<video::CMaterial>& material,
                        const boost::intrusive_ptr<video::CMaterialVertexAttributeMap>& attributeMap)
{
    if (index >= Buffers.size()) return;
    Buffers[index].Material = material;
    Buffers[index].AttributeMap = attributeMap;
}

void CMesh::recalculateBoundingBox()
{
    if (Buffers.empty()) {
        BoundingBox = core::aabbox3d<float>(0, 0, 0, 0, 0, 0);
        return;
    }
    for (size_t i = 0; i < Buffers.size(); ++i) {
        const CMeshBuffer& b = *Buffers[i].MeshBuffer;
        core::aabbox3d<float> box(0, 0, 0, 0, 0, 0);
        if (b.VertexStreams) b.VertexStreams->computeBoundingBox(b.PrimitiveStream.FirstVertex, b.PrimitiveStream.VertexEnd, box);
        if (i == 0) BoundingBox = box;
        else merge(BoundingBox, box);
    }
}

boost::intrusive_ptr<IMesh> CMesh::clone() const
{
    boost::intrusive_ptr<CMesh> copy(new CMesh());
    copy->Buffers = Buffers;
    copy->BoundingBox = BoundingBox;
    return copy;
}

SAnimatedMesh::SAnimatedMesh(const boost::intrusive_ptr<IMesh>& mesh, E_ANIMATED_MESH_TYPE type) : Type(type)
{
    if (mesh) {
        Meshes.push_back(mesh);
        recalculateBoundingBox();
    }
}

void SAnimatedMesh::recalculateBoundingBox()
{
    BoundingBox = core::aabbox3d<float>(0, 0, 0, 0, 0, 0);
    for (size_t i = 0; i < Meshes.size(); ++i) {
        if (i == 0) BoundingBox = Meshes[0]->getBoundingBox();
        else merge(BoundingBox, Meshes[i]->getBoundingBox());
    }
}

boost::intrusive_ptr<IMesh> SAnimatedMesh::getMesh(int frame, int, int, int)
{
    if (Meshes.empty() || frame < 0 || size_t(frame) >= Meshes.size()) return nullptr;
    return Meshes[size_t(frame)];
}

boost::intrusive_ptr<IMesh> SAnimatedMesh::clone() const
{
    boost::intrusive_ptr<SAnimatedMesh> copy(new SAnimatedMesh(nullptr, Type));
    copy->BoundingBox = BoundingBox;
    copy->Meshes = Meshes;
    return copy;
}

}  // namespace pravik::scene
