#include "engine/video/CBatchDriver.h"

#include "engine/scene/CAppendMeshBuffer.h"
#include "engine/video/SegmentClustering.h"
#include "engine/video/material/CMaterial.h"
#include "engine/video/material/IBatchBaker.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace pravik::video {

namespace {

// Client bytes of a buffer: splitting reads geometry only where it lives in memory.
const unsigned char* clientBytes(const IBuffer* buffer)
{
    return buffer ? static_cast<const unsigned char*>(buffer->getData()) : nullptr;
}

bool streamCovers(const SVertexStream& s, unsigned vertexEnd)
{
    const unsigned element = s.elementSize();
    if (!s.buffer || !clientBytes(s.buffer.get()) || element == 0 || vertexEnd == 0) return false;
    const unsigned long long last = s.offset + (unsigned long long)(vertexEnd - 1) * s.stride + element;
    return last <= s.buffer->getSize();
}

}  // namespace

CBatchDriver::CBatchDriver(unsigned vertexCapacity, unsigned indexCapacity, IVideoDriver* realDriver)
    : CNullDriver(realDriver), m_vertexCapacity(vertexCapacity), m_indexCapacity(indexCapacity)
{
    m_name = "BatchDriver";
    setOption(EVDO_MERGE_DRAWS, true);
    for (unsigned f = 0; f < EVDF_FEATURE_COUNT; ++f) setFeature(E_VIDEO_DRIVER_FEATURE(f), realDriver->queryFeature(E_VIDEO_DRIVER_FEATURE(f)));
}

CBatchDriver::~CBatchDriver()
{
    m_info.MeshBuffer.reset();
    m_info.VertexStreams.reset();
    resetCompileState();
}

void CBatchDriver::setAppendBuffer(const boost::intrusive_ptr<scene::CAppendMeshBuffer>& buffer)
{
    m_appendBuffers.clear();
    m_currentAppendBufferIndex = 0;
    m_currentAppendBuffer = nullptr;
    if (!buffer) return;
    m_appendBuffers.push_back(buffer);
    m_currentAppendBuffer = buffer.get();
}

void CBatchDriver::resetCompileState()
{
    if (m_currentAppendBuffer && m_currentAppendBuffer->isMapped()) m_currentAppendBuffer->unmap();
    setAppendBuffer(nullptr);
    m_batchBaker.reset();
    m_batchMaterial.reset();
    destroyBatchSourceCopy();
}

void CBatchDriver::draw(const boost::intrusive_ptr<CVertexStreams>& streams, const CPrimitiveStream& primitives,
                        CDriverBinding**, const scene::CMeshBuffer* meshBuffer)
{
    if (!streams || primitives.Count == 0) return;
    appendSegments(streams, primitives, meshBuffer);
}

bool CBatchDriver::flush()
{
    scene::CAppendMeshBuffer* a = m_currentAppendBuffer;
    if (!a) return true;
    if (a->isMapped()) a->unmap();
    if (m_endOfBatch && a->VertexFill != 0) (*m_endOfBatch)(*a, m_batchMaterial);
    a->clear();
    return true;
}

bool CBatchDriver::isVertexStreamHomolaced(const CVertexStreams& streams, unsigned& minimumOffset)
{
    minimumOffset = 0;
    const SVertexStream* first = streams.begin();
    if (first == streams.end()) return false;
    unsigned lowest = first->offset, highest = first->offset, highestSize = first->elementSize();
    for (const SVertexStream* s = first; s != streams.end(); ++s) {
        if (s->stride != first->stride) return false;
        lowest = std::min(lowest, s->offset);
        if (s->offset >= highest) {
            highest = s->offset;
            highestSize = s->elementSize();
        }
    }
    if (first->stride < highest + highestSize - lowest) return false;
    minimumOffset = lowest;
    return true;
}

void CBatchDriver::appendSegments(const boost::intrusive_ptr<CVertexStreams>& streams, const CPrimitiveStream& primitives,
                                  const scene::CMeshBuffer* meshBuffer)
{
    bool maySplit = true;
    if (m_splitChoice) {
        m_info.VertexStreams = streams;
        m_info.PrimitiveStream = &primitives;
        m_info.MeshBuffer = meshBuffer;
        maySplit = (*m_splitChoice)(m_info);
    }
    std::vector<SSegment> work;
    const bool splitting = m_splitByBudget ? m_byteBudget != 0 : !(m_cellSize == core::vector3d<float>(0, 0, 0));
    if (!(maySplit && splitting && splitIntoClusters(*streams, primitives, work))) {
        work.clear();
        work.emplace_back(streams, primitives);
    }
    for (const SSegment& segment : work) {
        if (!appendOne(segment) || !m_segment) continue;
        m_info.VertexStreams = segment.first;
        m_info.PrimitiveStream = &segment.second;
        m_info.MeshBuffer = meshBuffer;
        (*m_segment)(nullptr, nullptr, m_info);
    }
    m_info.PrimitiveStream = nullptr;  // the work list is gone
}

bool CBatchDriver::appendOne(const SSegment& segment)
{
    const CPrimitiveStream& p = segment.second;
    // Only what the bakers rewrite as 16-bit triangles: lists, strips and fans.
    if (p.PrimitiveType < EPT_TRIANGLE_STRIP || p.PrimitiveType > EPT_TRIANGLES || p.IndexType != EIT_16BIT) return false;
    scene::CAppendMeshBuffer* a = m_currentAppendBuffer;
    if (!a || !m_batchBaker || !m_batchMaterial || !segment.first) return false;
    const unsigned V = p.VertexEnd > p.FirstVertex ? p.VertexEnd - p.FirstVertex : 0u;
    const unsigned P = p.getPrimitiveCount();
    if (V == 0 || P == 0) return false;
    auto fits = [&] {
        return V <= (a->VertexCapacity - a->VertexFill) / a->VertexStride &&
               3u * P <= (a->IndexCapacity - a->IndexFill) / a->IndexSize &&
               a->VertexFill / a->VertexStride + V <= 65535u;
    };
    if (!fits()) {
        flush();
        a = m_currentAppendBuffer;
        if (!fits()) return false;  // larger than an empty buffer: left out
    }
    if (!a->isMapped() && !a->map()) return false;
    bakeIntoAppendBuffer(*segment.first, p, *a);
    return true;
}

bool CBatchDriver::splitIntoClusters(const CVertexStreams& streams, const CPrimitiveStream& primitives,
                                     std::vector<SSegment>& out)
{
    // Splitting reads 16-bit triangle lists with float positions in the first stream; any other
    // draw stays whole rather than being cut into wrong geometry.
    if (primitives.PrimitiveType != EPT_TRIANGLES || primitives.IndexType != EIT_16BIT || !primitives.IndexBuffer)
        return false;
    const SVertexStream* first = streams.begin();
    if (first == streams.end() || first->attribute != EVA_POSITION || first->valueType != EVAVT_FLOAT ||
        first->componentCount < 3 || first->stride == 0)
        return false;
    const unsigned char* indexBytes = clientBytes(primitives.IndexBuffer.get());
    const unsigned P = primitives.Count / 3;
    if (!indexBytes || P == 0 ||
        primitives.IndexOffset + (unsigned long long)P * 6 > primitives.IndexBuffer->getSize())
        return false;
    const auto* indices = reinterpret_cast<const unsigned short*>(indexBytes + primitives.IndexOffset);
    const unsigned vertexEnd = primitives.VertexEnd;
    for (const SVertexStream* s = first; s != streams.end(); ++s)
        if (!streamCovers(*s, vertexEnd)) return false;
    for (unsigned i = 0; i < 3 * P; ++i)
        if (indices[i] >= vertexEnd) return false;

    const unsigned char* positions = clientBytes(first->buffer.get()) + first->offset;
    std::vector<SKdItem> items(P);
    core::aabbox3d<float> bounds;
    for (unsigned i = 0; i < P; ++i) {
        SKdItem& item = items[i];
        item.Number = i;
        for (unsigned corner = 0; corner < 3; ++corner) {
            float xyz[3];
            std::memcpy(xyz, positions + std::size_t(indices[3 * i + corner]) * first->stride, sizeof xyz);
            const core::vector3d<float> v(xyz[0], xyz[1], xyz[2]);
            if (corner == 0) item.Box.reset(v);
            else item.Box.addInternalPoint(v);
        }
        if (i == 0) bounds = item.Box;
        else bounds.addInternalBox(item.Box);
    }
    SClusterMap clusters;
    if (m_splitByBudget) {
        const unsigned V = primitives.VertexEnd > primitives.FirstVertex ? primitives.VertexEnd - primitives.FirstVertex : 0u;
        const unsigned m = unsigned((unsigned long long)V * first->stride / m_byteBudget);
        if (m <= 1) return false;
        kdTreeClustering(clusters, items, V / m, bounds);
    } else {
        spatialGridClustering(clusters, items, m_cellSize);
    }
    if (clusters.size() < 2) return false;

    unsigned minimumOffset = 0;
    bool interleaved = isVertexStreamHomolaced(streams, minimumOffset);
    // Whole records are copied from the first stream's buffer: only when every stream lives in it
    // and it holds every record in full; otherwise each element is copied on its own.
    // Only the bytes the elements span are read, so the last record may end at its last element.
    unsigned span = 0;
    for (const SVertexStream* s = first; interleaved && s != streams.end(); ++s) {
        interleaved = s->buffer == first->buffer;
        span = std::max(span, s->offset + s->elementSize() - minimumOffset);
    }
    if (interleaved &&
        minimumOffset + (unsigned long long)(vertexEnd - 1) * first->stride + span > first->buffer->getSize())
        interleaved = false;
    unsigned packedStride = 0;
    if (!interleaved)
        for (const SVertexStream* s = first; s != streams.end(); ++s) packedStride += s->elementSize();
    const unsigned stride = interleaved ? first->stride : packedStride;
    std::unordered_map<unsigned, unsigned short> renumbered;
    for (const auto& [key, primitiveList] : clusters) {
        const unsigned c = unsigned(primitiveList.size());
        const unsigned vertexBytes = c * 3 * stride;
        boost::intrusive_ptr<IBuffer> vertexBuffer =
            createBuffer(EBT_VERTEX, EBU_CLIENT_ONLY, vertexBytes, new unsigned char[vertexBytes], true);
        boost::intrusive_ptr<IBuffer> indexBuffer =
            createBuffer(EBT_INDEX, EBU_CLIENT_ONLY, c * 6, new unsigned char[c * 6], true);
        boost::intrusive_ptr<CVertexStreams> copy = streams.clone();
        if (!copy) return false;
        unsigned running = 0;
        for (SVertexStream* s = copy->begin(); s != copy->end(); ++s) {
            s->buffer = vertexBuffer;
            if (interleaved) {
                s->offset -= minimumOffset;
            } else {
                s->offset = running;
                s->stride = (unsigned short)packedStride;
                running += s->elementSize();
            }
        }
        auto* outIndices = static_cast<unsigned short*>(indexBuffer->getData());
        auto* outVertices = static_cast<unsigned char*>(vertexBuffer->getData());
        const unsigned char* interleavedSource = clientBytes(first->buffer.get()) + minimumOffset;
        renumbered.clear();
        unsigned short next = 0;
        for (unsigned k = 0; k < c; ++k) {
            const unsigned primitive = primitiveList[k];
            for (unsigned corner = 0; corner < 3; ++corner) {
                const unsigned source = indices[3 * primitive + corner];
                auto [it, isNew] = renumbered.try_emplace(source, next);
                if (isNew) {
                    unsigned char* at = outVertices + std::size_t(next) * stride;
                    if (interleaved) {
                        std::memcpy(at, interleavedSource + std::size_t(source) * stride, span);
                        std::memset(at + span, 0, stride - span);
                    } else {
                        for (const SVertexStream* s = first; s != streams.end(); ++s) {
                            const unsigned size = s->elementSize();
                            std::memcpy(at, clientBytes(s->buffer.get()) + s->offset + std::size_t(source) * s->stride, size);
                            at += size;
                        }
                    }
                    ++next;
                }
                outIndices[3 * k + corner] = it->second;
            }
        }
        copy->updateHomogeneityInternal(false);
        copy->setVertexCount(next);
        out.emplace_back(copy, CPrimitiveStream(indexBuffer, 0, 3 * c, 0, next, EIT_16BIT, EPT_TRIANGLES));
    }
    return true;
}

}  // namespace pravik::video
