#pragma once
// How the vertices of a draw form primitives: an optional index buffer with the byte offset of
// the first index, the element count, the vertex range [first vertex, vertex end) the draw
// touches, the index type and the primitive type.

#include "engine/video/IBuffer.h"

#include <boost/intrusive_ptr.hpp>

namespace pravik::io {
class IAttributes;
struct SAttributeReadWriteOptions;
}  // namespace pravik::io

namespace pravik::video {

enum E_INDEX_TYPE : unsigned short { EIT_8BIT = 0, EIT_16BIT = 1, EIT_32BIT = 2, EIT_NONE = 255 };

enum E_PRIMITIVE_TYPE : unsigned short {
    EPT_POINTS = 0, EPT_LINE_STRIP, EPT_LINE_LOOP, EPT_LINES, EPT_TRIANGLE_STRIP, EPT_TRIANGLE_FAN, EPT_TRIANGLES,
    EPT_QUAD_STRIP, EPT_QUADS, EPT_COUNT
};

const char* const* getStringsInternal(E_INDEX_TYPE*);      // "u8", "u16", "u32"
const char* const* getStringsInternal(E_PRIMITIVE_TYPE*);  // "Points" ... "Quads"

class CPrimitiveStream {
public:
    CPrimitiveStream() = default;
    CPrimitiveStream(const boost::intrusive_ptr<IBuffer>& indices, unsigned indexOffset, unsigned count,
                     unsigned firstVertex, unsigned vertexEnd, E_INDEX_TYPE indexType, E_PRIMITIVE_TYPE type)
        : IndexBuffer(indices), IndexOffset(indexOffset), Count(count), FirstVertex(firstVertex), VertexEnd(vertexEnd),
          IndexType(indexType), PrimitiveType(type) {}

    // Primitives the element count makes for the primitive type.
    unsigned getPrimitiveCount() const
    {
        const unsigned n = Count;
        switch (PrimitiveType) {
        case EPT_POINTS: return n;
        case EPT_LINE_STRIP: return n > 0 ? n - 1 : 0;
        case EPT_LINE_LOOP: return n;
        case EPT_LINES: return n / 2;
        case EPT_TRIANGLE_STRIP:
        case EPT_TRIANGLE_FAN: return n > 2 ? n - 2 : 0;
        case EPT_TRIANGLES: return n / 3;
        case EPT_QUAD_STRIP: return n > 2 ? (n - 2) / 2 : 0;
        case EPT_QUADS: return n / 4;
        default: return 0;
        }
    }
    // Without an index buffer only the type, the vertex start and the counts are written.
    void serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions* options = nullptr) const;
    // Never creates or drops the index buffer; its fields are read only when it exists.
    void deserializeAttributes(io::IAttributes* in, io::SAttributeReadWriteOptions* options = nullptr);

    unsigned getVertexRange() const { return VertexEnd - FirstVertex; }
    static unsigned getIndexSize(E_INDEX_TYPE t) { return t == EIT_8BIT ? 1u : t == EIT_16BIT ? 2u : t == EIT_32BIT ? 4u : 0u; }

    boost::intrusive_ptr<IBuffer> IndexBuffer;
    unsigned int IndexOffset = 0;
    unsigned int Count = 0;
    unsigned int FirstVertex = 0;
    unsigned int VertexEnd = 0;
    E_INDEX_TYPE IndexType = EIT_NONE;
    E_PRIMITIVE_TYPE PrimitiveType = EPT_TRIANGLES;
};

}  // namespace pravik::video
