#include "engine/scene/CBatchMesh.h"

#include "engine/core/RandomString.h"
#include "engine/os/Timer.h"
#include "engine/scene/MaterialTransparency.h"
#include "engine/video/material/BatchUtils.h"
#include "engine/video/material/IBatchBaker.h"
#include "engine/video/material/IShader.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace pravik::scene {

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

unsigned CBatchMesh::sortBatches(video::IVideoDriver*, unsigned* order)
{
    const unsigned n = getBatchCount();
    for (unsigned k = 0; k < n; ++k) order[k] = k;
    unsigned limit = n;
    for (unsigned k = 0; k < limit;) {
        if (isTransparent(m_batches[k].Material.get())) {
            --limit;
            std::swap(m_batches[k], m_batches[limit]);
            std::swap(order[k], order[limit]);  // k is looked at again
        } else {
            ++k;
        }
    }
    return limit;
}

namespace {

// Moves a batch's geometry so that its segments' vertices and indices follow one another in
// record order from 0, indices rebased; the records' ranges follow.
void compact(CMeshBuffer& buffer, CBatchMesh::SSegment* records, unsigned count)
{
    video::SVertexStream* stream = buffer.VertexStreams ? buffer.VertexStreams->begin() : nullptr;
    video::CPrimitiveStream& p = buffer.PrimitiveStream;
    if (!stream || !stream->buffer || !p.IndexBuffer || p.IndexType != video::EIT_16BIT) return;
    const unsigned stride = stream->stride;
    auto* vertices = static_cast<unsigned char*>(stream->buffer->map(video::EBMA_CLIENT_WRITE));
    auto* indexBytes = static_cast<unsigned char*>(p.IndexBuffer->map(video::EBMA_CLIENT_WRITE));
    if (vertices && indexBytes) {
        auto* indices = reinterpret_cast<unsigned short*>(indexBytes + p.IndexOffset);
        unsigned vertexCount = 0, indexCount = 0;
        for (unsigned i = 0; i < count; ++i) {
            vertexCount = std::max<unsigned>(vertexCount, records[i].EndVertex);
            indexCount = std::max(indexCount, records[i].EndIndex);
        }
        const std::vector<unsigned char> oldVertices(vertices, vertices + size_t(vertexCount) * stride);
        const std::vector<unsigned short> oldIndices(indices, indices + indexCount);
        unsigned v = 0, x = 0;
        for (unsigned i = 0; i < count; ++i) {
            CBatchMesh::SSegment& s = records[i];
            const int vertexShift = int(v) - int(s.FirstVertex);
            const int indexShift = int(x) - int(s.FirstIndex);
            std::memcpy(vertices + size_t(v) * stride, &oldVertices[size_t(s.FirstVertex) * stride],
                        size_t(s.EndVertex - s.FirstVertex) * stride);
            for (unsigned k = s.FirstIndex; k < s.EndIndex; ++k)
                indices[x++] = (unsigned short)(oldIndices[k] + vertexShift);
            v += unsigned(s.EndVertex - s.FirstVertex);
            s.FirstVertex = (unsigned short)(s.FirstVertex + vertexShift);
            s.EndVertex = (unsigned short)(s.EndVertex + vertexShift);
            s.SecondEndVertex = (unsigned short)(s.SecondEndVertex + vertexShift);
            s.FirstIndex += unsigned(indexShift);
            s.EndIndex += unsigned(indexShift);
            s.SecondEndIndex += unsigned(indexShift);
        }
    }
    if (indexBytes) p.IndexBuffer->unmap();
    if (vertices) stream->buffer->unmap();
}

}  // namespace

unsigned CBatchMesh::sort(video::IVideoDriver* driver)
{
    m_dynamicBatchCount = 0;
    m_boxDirty = true;
    std::vector<unsigned> order(m_batches.size());
    const unsigned solid = sortBatches(driver, order.data());
    unsigned staticTotal = 0;
    for (unsigned j = 0; j < m_batches.size(); ++j) {
        SBatch& b = m_batches[j];
        SSegment* first = m_segments.data() + b.FirstSegment;
        SSegment* end = m_segments.data() + b.EndSegment;
        SSegment* dynamicFirst = std::stable_partition(first, end, [](const SSegment& s) { return !s.Source; });
        b.StaticCount = (unsigned short)(dynamicFirst - first);
        staticTotal += b.StaticCount;
        if (b.StaticCount == 0 || dynamicFirst != end) {
            if (b.StaticCount && b.MeshBuffer) compact(*b.MeshBuffer, first, unsigned(end - first));
            ++m_dynamicBatchCount;
            if (b.MeshBuffer) b.MeshBuffer->Dynamic = 1;
        }
        for (unsigned i = 0; first + i < end; ++i) m_segmentTable[first[i].Number] = {j, i};
    }
    m_staticBoxes.assign(staticTotal, core::aabbox3d<float>());
    unsigned k = 0;
    for (SSegment& s : m_segments)
        if (!s.Source) {
            s.Box = &m_staticBoxes[k++];
            s.BoxOwned = 0;
        }
    return solid;
}

void CBatchMesh::setBoundingBox(const core::aabbox3d<float>& box)
{
    m_boundingBox = box;
    m_boxStamp = os::Timer::TickCount;
}

const core::aabbox3d<float>& CBatchMesh::getBoundingBox() const
{
    if (m_boxDirty || (m_dynamicBatchCount && m_boxStamp != os::Timer::TickCount)) updateBoundingBox();
    return m_boundingBox;
}

void CBatchMesh::updateBoundingBox() const
{
    if (m_boxDirty) {
        for (unsigned j = 0; j < m_batches.size(); ++j) {
            const SBatch& b = m_batches[j];
            core::aabbox3d<float> batchBox;
            for (unsigned i = 0; i < b.StaticCount && b.MeshBuffer && b.MeshBuffer->VertexStreams; ++i) {
                const SSegment& s = m_segments[b.FirstSegment + i];
                core::aabbox3d<float> box;
                b.MeshBuffer->VertexStreams->computeBoundingBox(s.FirstVertex, s.EndVertex, box);
                if (i == 0) batchBox = box;
                else batchBox.addInternalBox(box);
            }
            if (j == 0) m_staticBox = batchBox;
            else m_staticBox.addInternalBox(batchBox);
        }
        m_boundingBox = m_staticBox;
        m_boxStamp = os::Timer::TickCount;
        m_boxDirty = false;
    }
    if (m_dynamicBatchCount == 0) return;
    // Every batch is visited: the batches holding dynamic segments are not gathered first.
    bool replace = m_dynamicBatchCount >= m_batches.size();
    if (!replace) m_boundingBox = m_staticBox;
    constexpr float kBig = std::numeric_limits<float>::max();
    for (const SBatch& b : m_batches) {
        if (b.StaticCount == b.EndSegment - b.FirstSegment) continue;
        core::aabbox3d<float> running(kBig, kBig, kBig, -kBig, -kBig, -kBig);
        bool any = false;
        for (unsigned slot = b.FirstSegment + b.StaticCount; slot < b.EndSegment; ++slot)
            if (m_segments[slot].Box) running.addInternalBox(*m_segments[slot].Box), any = true;
        if (!any) continue;
        if (replace) m_boundingBox = running;
        else m_boundingBox.addInternalBox(running);
        replace = false;
    }
    m_boxStamp = os::Timer::TickCount;
}

void CBatchMesh::initStaticSegmentBoundingBoxes()
{
    for (const SBatch& b : m_batches) {
        if (!b.MeshBuffer || !b.MeshBuffer->VertexStreams) continue;
        for (unsigned i = 0; i < b.StaticCount; ++i) {
            SSegment& s = m_segments[b.FirstSegment + i];
            // Static boxes are the mesh's own (sort points them into its array).
            if (s.Box) b.MeshBuffer->VertexStreams->computeBoundingBox(s.FirstVertex, s.EndVertex, const_cast<core::aabbox3d<float>&>(*s.Box));
        }
    }
}

void CBatchMesh::strip()
{
    m_batches.shrink_to_fit();
    m_segmentTable.shrink_to_fit();
    m_segments.shrink_to_fit();
}

void CBatchMesh::quantizeComponents(bool normalsAs16Bit, bool quantizePositions, video::IVideoDriver* driver)
{
    for (SBatch& b : m_batches) {
        if (!b.MeshBuffer || b.StaticCount != b.EndSegment - b.FirstSegment) continue;  // dynamic data stays as it is
        if (boost::intrusive_ptr<CMeshBuffer> q = core::createQuantizedBuffer(b.MeshBuffer, normalsAs16Bit, quantizePositions, driver))
            b.MeshBuffer = q;
    }
}

void CBatchMesh::getIndexRange(unsigned& first, unsigned& end, unsigned segment) const
{
    const SSegment& s = getSegment(segment);
    first = s.FirstIndex;
    end = s.EndIndex;
}

void CBatchMesh::updateSegmentContent(unsigned segment, const boost::intrusive_ptr<const CMeshBuffer>& source,
                                      unsigned attributeMask, bool flag,
                                      const boost::intrusive_ptr<video::CMaterial>& material,
                                      const boost::intrusive_ptr<video::CVertexAttributeMap>& attributeMap,
                                      video::IVideoDriver* driver)
{
    SSegment& s = getSegment(segment);
    const SBatch& b = m_batches[m_segmentTable[segment].BatchIndex];
    if (attributeMask && source && material && b.MeshBuffer && b.MeshBuffer->VertexStreams) {
        const unsigned char technique = material->getTechnique();
        const auto& t = material->getMaterialRenderer()->getTechnique(technique);
        boost::intrusive_ptr<video::IBatchBaker> baker =
            t.passCount && t.passes[0].shader ? t.passes[0].shader->getBatchBaker() : nullptr;
        if (baker) {
            const video::CPrimitiveStream& from = source->PrimitiveStream;
            const unsigned char batchTechnique = b.Material ? b.Material->getTechnique() : 0;
            const unsigned char* batchTable = nullptr;
            if (b.AttributeMap && b.AttributeMap->get(batchTechnique, 0)) batchTable = b.AttributeMap->get(batchTechnique, 0)->getTable();
            const unsigned primitives = from.getPrimitiveCount();
            baker->bake(source->VertexStreams.get(), &from, material.get(), technique,
                        attributeMap ? attributeMap->getTable() : nullptr, b.MeshBuffer->VertexStreams.get(),
                        &b.MeshBuffer->PrimitiveStream, b.Material.get(), batchTable, driver, from.FirstVertex,
                        from.VertexEnd, 0, primitives, s.FirstVertex, s.FirstIndex / 3, attributeMask);
            s.EndVertex = (unsigned short)(s.FirstVertex + (from.VertexEnd - from.FirstVertex));
            s.EndIndex = s.FirstIndex + 3 * primitives;
        }
    }
    if (m_segmentUpdateCallback) m_segmentUpdateCallback->onSegmentUpdated(this, segment, attributeMask != 0, flag);
}

}  // namespace pravik::scene
