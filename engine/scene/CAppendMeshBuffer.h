#pragma once
// A mesh buffer of fixed byte capacity into which the geometry of many small draws is
// appended so that it can be drawn with one call. A baker chooses the vertex layout (reset,
// configureStream per attribute, adjustStride) and writes vertices and 16-bit triangle
// indices into the mapped buffers; the appender advances the fills.
// Invariants: fills never pass the capacities; merged vertex n starts at n * stride; fewer
// than 65536 merged vertices; both mapped pointers null or both set.

#include "engine/IReferenceCounted.h"
#include "engine/video/material/CPrimitiveStream.h"
#include "engine/video/material/CVertexStreams.h"
#include "engine/video/IBuffer.h"

#include <boost/intrusive_ptr.hpp>

#include <vector>

namespace pravik::video {
class IVideoDriver;
}

namespace pravik::scene {

class CAppendMeshBuffer : public IReferenceCounted {
public:
    CAppendMeshBuffer(unsigned vertexCapacity, unsigned indexCapacity, video::IVideoDriver* driver,
                      video::E_BUFFER_USAGE usage, unsigned attributeMask);
    ~CAppendMeshBuffer() override;

    void clear() { VertexFill = 0; IndexFill = 0; }  // layout, mapping and contents stay
    void reset();  // unmapped, emptied, every configured stream detached
    void configureStream(unsigned char stream, int offset, video::E_VERTEX_ATTRIBUTE_VALUE_TYPE valueType,
                         unsigned short componentCount);
    void adjustStride(unsigned short stride);
    boost::intrusive_ptr<video::CVertexStreams> allocateConfiguredVertexStreams(const boost::intrusive_ptr<video::IBuffer>& buffer) const;
    bool map();    // maps both buffers for writing; false when either gives no memory
    void unmap();

    bool isMapped() const { return MappedVertices != nullptr; }
    unsigned getVertexCount() const { return VertexFill / VertexStride; }
    unsigned getTriangleCount() const { return IndexFill / IndexSize / 3; }
    const boost::intrusive_ptr<video::CVertexStreams>& getVertexStreams() const { return m_streams; }
    video::CPrimitiveStream& getPrimitiveStream() { return m_primitives; }
    const video::CPrimitiveStream& getPrimitiveStream() const { return m_primitives; }

    unsigned int VertexCapacity;
    unsigned int VertexFill = 0;
    unsigned int IndexCapacity;
    unsigned int IndexFill = 0;
    unsigned int VertexStride = 1;
    unsigned int IndexSize = 2;
    void* MappedVertices = nullptr;
    void* MappedIndices = nullptr;
    boost::intrusive_ptr<video::IBuffer> VertexBuffer;
    boost::intrusive_ptr<video::IBuffer> IndexBuffer;
    std::vector<unsigned char> ConfiguredStreams;

private:
    boost::intrusive_ptr<video::CVertexStreams> m_streams;
    video::CPrimitiveStream m_primitives;
};

}  // namespace pravik::scene
