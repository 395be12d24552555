#pragma once
// Stream records: the geometry of a mesh buffer as bytes. With swap every value wider than a
// byte is stored reversed, each on its own.
//   mesh buffer record: dynamic flag (1 byte), vertex stream record, primitive stream record.
//   vertex stream record: header count N (4), N headers of 12 bytes {offset 4, attribute 2,
//     value type 2, component count 2, stride 2} in ascending attribute order, position scale
//     and offset (2 x 12), scale and offset of each texture set (24 each), vertex count V (4),
//     then V vertices of `stride` bytes, attributes packed at their header offsets, gaps zero.
//   primitive stream record: {primitive type, index type, index count, primitive count,
//     first vertex, end vertex} as six 4-byte values, then the indices (none for type 255).
// Readers check every header, count and index against the record and the bytes left in the
// file and answer null with one log line.

#include "engine/io/IReadFile.h"
#include "engine/io/IWriteFile.h"
#include "engine/scene/CMeshBuffer.h"

#include <boost/intrusive_ptr.hpp>
#include <cstdint>

namespace pravik::video {
class IVideoDriver;
}

namespace pravik::io {

struct SVertexStreamHeader {
    uint32_t Offset = 0;
    uint16_t Attribute = 0;
    uint16_t ValueType = 0;
    uint16_t ComponentCount = 0;
    uint16_t Stride = 0;
};

struct SPrimitiveStreamDesc {
    uint32_t PrimitiveType = 0;
    uint32_t IndexType = 0;
    uint32_t IndexCount = 0;
    uint32_t PrimitiveCount = 0;  // for information; readers ignore it
    uint32_t FirstVertex = 0;
    uint32_t EndVertex = 0;
};

// The packed vertex size of the streams that have a buffer; 0 when none has one.
unsigned getVertexStreamsStride(const video::CVertexStreams& streams);

// A mesh buffer record. vertexHeaderBytes gets 1 + the vertex record's header size,
// primitiveHeaderBytes 24. Returns 24.
unsigned save(const boost::intrusive_ptr<const scene::CMeshBuffer>& meshBuffer, IWriteFile* file, bool swap,
              unsigned* vertexHeaderBytes, unsigned* primitiveHeaderBytes);
// A vertex stream record; returns its size without the vertex data.
unsigned save(const boost::intrusive_ptr<const video::CVertexStreams>& streams, IWriteFile* file, bool swap);
// A primitive stream record; returns 24.
unsigned save(const video::CPrimitiveStream& stream, IWriteFile* file, bool swap);

// Readers: null (and a log line) for a record that is cut short or describes what it cannot be.
boost::intrusive_ptr<scene::CMeshBuffer> loadMB(IReadFile* file, bool swap, video::IVideoDriver* driver);
boost::intrusive_ptr<video::CVertexStreams> loadVS(IReadFile* file, bool swap, video::IVideoDriver* driver);
// A stream of index type 255 has no buffer; `ok` tells a good record from a bad one.
video::CPrimitiveStream loadPS(IReadFile* file, bool swap, video::IVideoDriver* driver, bool* ok);

}  // namespace pravik::io
