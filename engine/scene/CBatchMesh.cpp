#include "engine/scene/CBatchMesh.h"

#include "engine/core/RandomString.h"

namespace pravik::scene {

boost::intrusive_ptr<IMesh> CBatchMesh::clone() const
{
    boost::intrusive_ptr<CBatchMesh> copy(new CBatchMesh(m_segmentStride));
    copy->m_segments = m_segments;
    copy->m_segmentTable = m_segmentTable;
    copy->m_batches = m_batches;
    copy->m_boundingBox = m_boundingBox;
    return copy;
}

boost::intrusive_ptr<CMeshBuffer> CBatchMesh::getMeshBuffer(unsigned index) const
{
    return index < m_batches.size() ? m_batches[index].MeshBuffer : nullptr;
}

boost::intrusive_ptr<video::CMaterial> CBatchMesh::getMaterial(unsigned index) const
{
    return index < m_batches.size() ? m_batches[index].Material : nullptr;
}

boost::intrusive_ptr<video::CMaterialVertexAttributeMap> CBatchMesh::getMaterialVertexAttributeMap(unsigned index) const
{
    return index < m_batches.size() ? m_batches[index].AttributeMap : nullptr;
}

void CBatchMesh::setMaterial(unsigned index, const boost::intrusive_ptr<video::CMaterial>& material,
                             const boost::intrusive_ptr<video::CMaterialVertexAttributeMap>& attributeMap)
{
    if (index >= m_batches.size()) return;
    m_batches[index].Material = material;
    m_batches[index].AttributeMap = attributeMap;
}

unsigned CBatchMesh::addBatch()
{
    m_batches.emplace_back((unsigned short)m_segments.size());
    return unsigned(m_batches.size() - 1);
}

unsigned CBatchMesh::addSegment(unsigned short vertexCount, unsigned indexCount, short layer)
{
    SBatch& b = m_batches.back();
    unsigned firstIndex = 0;
    unsigned short firstVertex = 0;
    if (b.EndSegment > b.FirstSegment) {
        const SSegment& last = m_segments[b.EndSegment - 1u];
        firstIndex = last.EndIndex;
        firstVertex = last.EndVertex;
    }
    m_segmentTable.push_back({unsigned(m_batches.size() - 1), unsigned(b.EndSegment - b.FirstSegment)});
    ++b.EndSegment;
    SSegment s;
    s.Number = unsigned(m_segments.size());
    s.FirstIndex = firstIndex;
    s.EndIndex = s.SecondEndIndex = firstIndex + indexCount;
    s.Layer = layer;
    s.FirstVertex = firstVertex;
    s.EndVertex = s.SecondEndVertex = (unsigned short)(firstVertex + vertexCount);
    m_segments.push_back(s);
    return s.Number;
}

void CBatchMesh::setBuffer(unsigned batch, const boost::intrusive_ptr<CMeshBuffer>& meshBuffer,
                           const boost::intrusive_ptr<video::CMaterial>& material)
{
    SBatch& b = m_batches[batch];
    b.MeshBuffer = meshBuffer;
    b.Material = material ? material->clone(core::randomString(14).c_str()) : nullptr;
    b.AttributeMap = b.Material && meshBuffer && meshBuffer->VertexStreams
                         ? video::CMaterialVertexAttributeMap::allocate(b.Material->getMaterialRenderer(),
                                                                       *meshBuffer->VertexStreams)
                         : nullptr;
}

CBatchMesh::SSegment& CBatchMesh::getSegment(unsigned number)
{
    const SSegmentInfo& info = m_segmentTable[number];
    return m_segments[m_batches[info.BatchIndex].FirstSegment + info.Position];
}

}  // namespace pravik::scene
