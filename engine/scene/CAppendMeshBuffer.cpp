#include "engine/scene/CAppendMeshBuffer.h"

#include "engine/video/IVideoDriver.h"

namespace pravik::scene {

CAppendMeshBuffer::CAppendMeshBuffer(unsigned vertexCapacity, unsigned indexCapacity, video::IVideoDriver* driver,
                                     video::E_BUFFER_USAGE usage, unsigned attributeMask)
    : IReferenceCounted(0), VertexCapacity(vertexCapacity), IndexCapacity(indexCapacity)
{
    m_streams = video::CVertexStreams::allocate(attributeMask);
    m_primitives.PrimitiveType = video::EPT_TRIANGLES;
    m_primitives.IndexType = video::EIT_NONE;
    VertexBuffer = driver->createBuffer(video::EBT_VERTEX, usage, vertexCapacity, nullptr, true);
    IndexBuffer = driver->createBuffer(video::EBT_INDEX, usage, indexCapacity, nullptr, true);
    for (auto* buffer : {VertexBuffer.get(), IndexBuffer.get()}) {
        if (!buffer) continue;
        if (usage != video::EBU_CLIENT_ONLY) buffer->bindImpl(true);
        if (!(buffer->getFlags() & video::EBUF_DEVICE_COPY)) buffer->reset(buffer->getSize(), new unsigned char[buffer->getSize()](), true);
    }
    m_primitives.IndexBuffer = IndexBuffer;
    m_primitives.IndexType = video::EIT_16BIT;
}

CAppendMeshBuffer::~CAppendMeshBuffer() { unmap(); }

bool CAppendMeshBuffer::map()
{
    if (MappedVertices) return true;
    MappedVertices = VertexBuffer ? VertexBuffer->map(video::EBMA_CLIENT_WRITE) : nullptr;
    MappedIndices = IndexBuffer ? IndexBuffer->map(video::EBMA_CLIENT_WRITE) : nullptr;
    if (MappedVertices && MappedIndices) return true;
    unmap();
    return false;
}

void CAppendMeshBuffer::unmap()
{
    if (MappedVertices) VertexBuffer->unmap();
    if (MappedIndices) IndexBuffer->unmap();
    MappedVertices = MappedIndices = nullptr;
}

void CAppendMeshBuffer::reset()
{
    unmap();
    clear();
    for (unsigned char n : ConfiguredStreams) {
        if (n >= m_streams->getStreamCount()) continue;
        m_streams->begin()[n].buffer.reset();
    }
    if (!ConfiguredStreams.empty()) m_streams->updateHomogeneityInternal(false);
    ConfiguredStreams.clear();
    ConfiguredStreams.shrink_to_fit();
}

void CAppendMeshBuffer::configureStream(unsigned char stream, int offset, video::E_VERTEX_ATTRIBUTE_VALUE_TYPE valueType,
                                        unsigned short componentCount)
{
    if (stream >= m_streams->getStreamCount()) return;
    video::SVertexStream& s = m_streams->begin()[stream];
    s.buffer = VertexBuffer;
    s.offset = unsigned(offset);
    s.valueType = valueType;
    s.componentCount = componentCount;
    s.stride = 0;
    m_streams->updateHomogeneityInternal(false);
    ConfiguredStreams.push_back(stream);
}

void CAppendMeshBuffer::adjustStride(unsigned short stride)
{
    for (unsigned char n : ConfiguredStreams)
        if (n < m_streams->getStreamCount()) m_streams->begin()[n].stride = stride;
    VertexStride = stride ? stride : 1;
}

boost::intrusive_ptr<video::CVertexStreams> CAppendMeshBuffer::allocateConfiguredVertexStreams(
    const boost::intrusive_ptr<video::IBuffer>& buffer) const
{
    unsigned mask = 0;
    for (unsigned char n : ConfiguredStreams)
        if (n < 32 && n < m_streams->getStreamCount()) mask |= 1u << m_streams->begin()[n].attribute;
    boost::intrusive_ptr<video::CVertexStreams> set = video::CVertexStreams::allocate(mask);
    if (!set) return nullptr;
    for (unsigned char n : ConfiguredStreams) {
        if (n >= m_streams->getStreamCount()) continue;
        const video::SVertexStream& from = m_streams->begin()[n];
        video::SVertexStream* to = set->getStream(from.attribute);
        if (to == set->end()) continue;
        to->buffer = buffer;
        to->offset = from.offset;
        to->valueType = from.valueType;
        to->componentCount = from.componentCount;
        to->stride = from.stride;
    }
    set->updateHomogeneityInternal(false);
    set->setVertexCount(VertexFill / VertexStride);
    return set;
}

}  // namespace pravik::scene
