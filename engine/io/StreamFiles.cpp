#include "engine/io/StreamFiles.h"

#include "engine/os/Printer.h"
#include "engine/video/IVideoDriver.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

namespace pravik::io {

using namespace video;

namespace {

const unsigned char* const kSize = detail::SVertexAttributeTypeInspection::ValueTypeSize;

void reverse(void* p, unsigned size) { std::reverse(static_cast<unsigned char*>(p), static_cast<unsigned char*>(p) + size); }

// Values of 2, 4 (or 8) bytes, each reversed when swapping.
class CWriter {
public:
    CWriter(IWriteFile* file, bool swap) : m_file(file), m_swap(swap) {}
    template <class T>
    void put(T value)
    {
        if (m_swap) reverse(&value, sizeof value);
        m_file->write(&value, sizeof value);
    }
    void bytes(const void* data, size_t size) { m_file->write(data, uint32_t(size)); }

private:
    IWriteFile* m_file;
    bool m_swap;
};

class CReader {
public:
    CReader(IReadFile* file, bool swap) : m_file(file), m_swap(swap) {}
    template <class T>
    bool get(T& value)
    {
        if (m_file->read(&value, sizeof value) != int32_t(sizeof value)) return false;
        if (m_swap) reverse(&value, sizeof value);
        return true;
    }
    bool bytes(void* data, size_t size) { return size == 0 || m_file->read(data, uint32_t(size)) == int32_t(size); }
    uint64_t left() const
    {
        const int32_t size = m_file->getSize(), pos = m_file->getPos();
        return size > pos && pos >= 0 ? uint64_t(size - pos) : 0;
    }

private:
    IReadFile* m_file;
    bool m_swap;
};

template <class T>
T fail(const char* why, T answer = T())
{
    os::Printer::log(why, ELL_ERROR);
    return answer;
}

// The packed layout of the buffered streams: an offset each (-1 for a stream without buffer)
// and the stride.
unsigned packedLayout(const CVertexStreams& streams, std::vector<int>& offsets)
{
    unsigned size = 0, first = 0;
    for (const SVertexStream* s = streams.begin(); s != streams.end(); ++s) {
        if (!s->buffer || s->valueType >= EVAVT_COUNT) {
            offsets.push_back(-1);
            continue;
        }
        const unsigned element = kSize[s->valueType];
        if (!first) first = element;
        size = (size + element - 1) / element * element;
        offsets.push_back(int(size));
        size += element * s->componentCount;
    }
    return first ? (size + first - 1) / first * first : 0;
}

// Reverses each element of the given streams in a block of packed vertices.
void swapElements(unsigned char* block, unsigned vertexCount, unsigned stride, const std::vector<SVertexStreamHeader>& headers)
{
    for (unsigned v = 0; v < vertexCount; ++v)
        for (const SVertexStreamHeader& h : headers) {
            const unsigned element = kSize[h.ValueType];
            if (element < 2) continue;
            for (unsigned c = 0; c < h.ComponentCount; ++c) reverse(block + size_t(v) * stride + h.Offset + c * element, element);
        }
}

}  // namespace

unsigned getVertexStreamsStride(const CVertexStreams& streams)
{
    std::vector<int> offsets;
    return packedLayout(streams, offsets);
}

unsigned save(const boost::intrusive_ptr<const CVertexStreams>& streams, IWriteFile* file, bool swap)
{
    CWriter out(file, swap);
    std::vector<int> offsets;
    const unsigned stride = packedLayout(*streams, offsets);
    std::vector<SVertexStreamHeader> headers;
    unsigned k = 0;
    for (const SVertexStream* s = streams->begin(); s != streams->end(); ++s, ++k)
        if (offsets[k] >= 0) headers.push_back({uint32_t(offsets[k]), s->attribute, s->valueType, s->componentCount, uint16_t(stride)});
    out.put(uint32_t(headers.size()));
    for (const SVertexStreamHeader& h : headers) {
        out.put(h.Offset);
        out.put(h.Attribute);
        out.put(h.ValueType);
        out.put(h.ComponentCount);
        out.put(h.Stride);
    }
    const unsigned sets = streams->getTexCoordSetCount();
    const CVertexStreams::SScaleOffset* table = streams->getScaleAndOffsets();
    for (unsigned e = 0; e <= sets; ++e)
        for (const core::vector3d<float>* v : {&table[e].scale, &table[e].offset}) out.put(v->X), out.put(v->Y), out.put(v->Z);
    const unsigned vertexCount = streams->getVertexCount();
    out.put(uint32_t(vertexCount));

    std::vector<unsigned char> block(size_t(stride) * vertexCount, 0);
    k = 0;
    for (const SVertexStream* s = streams->begin(); s != streams->end(); ++s, ++k) {
        if (offsets[k] < 0) continue;
        const auto* in = static_cast<const unsigned char*>(static_cast<const IBuffer*>(s->buffer.get())->map(EBRMA_CLIENT_READ));
        if (in) {
            const unsigned element = s->elementSize();
            for (unsigned v = 0; v < vertexCount; ++v)
                std::memcpy(&block[size_t(v) * stride + unsigned(offsets[k])], in + s->offset + size_t(v) * s->stride, element);
            s->buffer->unmap();
        }
    }
    if (swap) swapElements(block.data(), vertexCount, stride, headers);
    out.bytes(block.data(), block.size());
    return 4 + 12 * unsigned(headers.size()) + 24 + 24 * sets + 4;
}

unsigned save(const CPrimitiveStream& stream, IWriteFile* file, bool swap)
{
    CWriter out(file, swap);
    out.put(uint32_t(stream.PrimitiveType));
    out.put(uint32_t(stream.IndexType));
    out.put(uint32_t(stream.Count));
    out.put(uint32_t(stream.getPrimitiveCount()));
    out.put(uint32_t(stream.FirstVertex));
    out.put(uint32_t(stream.VertexEnd));
    const unsigned size = CPrimitiveStream::getIndexSize(stream.IndexType);
    if (!stream.IndexBuffer || !size) return 24;
    const auto* in = static_cast<const unsigned char*>(static_cast<const IBuffer*>(stream.IndexBuffer.get())->map(EBRMA_CLIENT_READ));
    std::vector<unsigned char> indices(size_t(stream.Count) * size, 0);
    if (in) {
        std::memcpy(indices.data(), in + stream.IndexOffset, indices.size());
        stream.IndexBuffer->unmap();
    }
    if (swap && size > 1)
        for (size_t i = 0; i < indices.size(); i += size) reverse(&indices[i], size);
    out.bytes(indices.data(), indices.size());
    return 24;
}

unsigned save(const boost::intrusive_ptr<const scene::CMeshBuffer>& meshBuffer, IWriteFile* file, bool swap,
              unsigned* vertexHeaderBytes, unsigned* primitiveHeaderBytes)
{
    file->write(&meshBuffer->Dynamic, 1);
    const unsigned vertexHeader = save(boost::intrusive_ptr<const CVertexStreams>(meshBuffer->VertexStreams), file, swap);
    save(meshBuffer->PrimitiveStream, file, swap);
    if (vertexHeaderBytes) *vertexHeaderBytes = 1 + vertexHeader;
    if (primitiveHeaderBytes) *primitiveHeaderBytes = 24;
    return 24;
}

boost::intrusive_ptr<CVertexStreams> loadVS(IReadFile* file, bool swap, IVideoDriver* driver)
{
    using Result = boost::intrusive_ptr<CVertexStreams>;
    if (!file || !driver) return nullptr;
    CReader in(file, swap);
    uint32_t n = 0;
    if (!in.get(n)) return fail<Result>("stream record: no header count");
    if (n == 0 || n > EVA_COUNT) return fail<Result>("stream record: header count out of range");
    std::vector<SVertexStreamHeader> headers(n);
    unsigned mask = 0;
    for (uint32_t k = 0; k < n; ++k) {
        SVertexStreamHeader& h = headers[k];
        if (!in.get(h.Offset) || !in.get(h.Attribute) || !in.get(h.ValueType) || !in.get(h.ComponentCount) || !in.get(h.Stride))
            return fail<Result>("stream record: cut short in its headers");
        if (h.Attribute >= EVA_COUNT || (k && h.Attribute <= headers[k - 1].Attribute))
            return fail<Result>("stream record: attributes out of range or out of order");
        if (h.ValueType >= EVAVT_COUNT || h.ComponentCount == 0 || h.ComponentCount > 4)
            return fail<Result>("stream record: bad value type or component count");
        if (h.Stride != headers[0].Stride || h.Stride == 0 || h.Offset > h.Stride ||
            kSize[h.ValueType] * h.ComponentCount > h.Stride - h.Offset)
            return fail<Result>("stream record: an attribute lies outside its vertex");
        mask |= 1u << h.Attribute;
    }
    Result set = CVertexStreams::allocate(mask);
    if (!set || set->getStreamCount() != n) return fail<Result>("stream record: streams the set cannot hold");
    CVertexStreams::SScaleOffset* table = set->getScaleAndOffsets();
    for (unsigned e = 0; e <= set->getTexCoordSetCount(); ++e)
        for (core::vector3d<float>* v : {&table[e].scale, &table[e].offset})
            if (!in.get(v->X) || !in.get(v->Y) || !in.get(v->Z)) return fail<Result>("stream record: cut short in its scales");
    uint32_t vertexCount = 0;
    if (!in.get(vertexCount)) return fail<Result>("stream record: no vertex count");
    const unsigned stride = headers[0].Stride;
    if (uint64_t(vertexCount) * stride > in.left()) return fail<Result>("stream record: more vertices than bytes");
    const size_t bytes = size_t(vertexCount) * stride;
    auto* block = new unsigned char[bytes ? bytes : 1]();
    boost::intrusive_ptr<IBuffer> buffer = driver->createBuffer(EBT_VERTEX, EBU_STATIC, unsigned(bytes), block, true);
    if (!buffer) {
        delete[] block;
        return fail<Result>("stream record: no vertex buffer");
    }
    if (!in.bytes(block, bytes)) return fail<Result>("stream record: cut short in its vertices");
    if (swap) swapElements(block, vertexCount, stride, headers);
    unsigned k = 0;
    for (SVertexStream* s = set->begin(); s != set->end(); ++s, ++k) {
        s->buffer = buffer;
        s->offset = headers[k].Offset;
        s->valueType = headers[k].ValueType;
        s->componentCount = headers[k].ComponentCount;
        s->stride = uint16_t(stride);
    }
    set->updateHomogeneityInternal(false);
    unsigned short flags = set->getFlags() & 3u;  // quantisation flags follow the value types read
    if (set->begin()->attribute == EVA_POSITION && set->begin()->valueType != EVAVT_FLOAT) flags |= 4u;
    for (unsigned t = 0; t < set->getTexCoordSetCount() && t + 1 < n; ++t)
        if (set->begin()[t + 1].valueType != EVAVT_FLOAT) flags |= uint16_t(8u << t);
    set->setFlags(flags);
    set->setVertexCount(vertexCount);
    return set;
}

CPrimitiveStream loadPS(IReadFile* file, bool swap, IVideoDriver* driver, bool* ok)
{
    if (ok) *ok = false;
    if (!file || !driver) return {};
    CReader in(file, swap);
    SPrimitiveStreamDesc d;
    if (!in.get(d.PrimitiveType) || !in.get(d.IndexType) || !in.get(d.IndexCount) || !in.get(d.PrimitiveCount) ||
        !in.get(d.FirstVertex) || !in.get(d.EndVertex))
        return fail<CPrimitiveStream>("primitive record: cut short");
    if (d.PrimitiveType >= EPT_COUNT || d.FirstVertex > d.EndVertex)
        return fail<CPrimitiveStream>("primitive record: bad primitive type or vertex range");
    const auto type = E_INDEX_TYPE(d.IndexType);
    if (d.IndexType == EIT_NONE) {
        if (ok) *ok = true;
        return CPrimitiveStream(nullptr, 0, d.EndVertex - d.FirstVertex, d.FirstVertex, d.EndVertex, EIT_NONE,
                                E_PRIMITIVE_TYPE(d.PrimitiveType));
    }
    const unsigned size = d.IndexType <= EIT_32BIT ? CPrimitiveStream::getIndexSize(type) : 0;
    if (!size) return fail<CPrimitiveStream>("primitive record: bad index type");
    if (uint64_t(d.IndexCount) * size > in.left()) return fail<CPrimitiveStream>("primitive record: more indices than bytes");
    const size_t bytes = size_t(d.IndexCount) * size;
    auto* block = new unsigned char[bytes ? bytes : 1]();
    boost::intrusive_ptr<IBuffer> buffer = driver->createBuffer(EBT_INDEX, EBU_STATIC, unsigned(bytes), block, true);
    if (!buffer) {
        delete[] block;
        return fail<CPrimitiveStream>("primitive record: no index buffer");
    }
    if (!in.bytes(block, bytes)) return fail<CPrimitiveStream>("primitive record: cut short in its indices");
    if (swap && size > 1)
        for (size_t i = 0; i < bytes; i += size) reverse(block + i, size);
    if (ok) *ok = true;
    return CPrimitiveStream(buffer, 0, d.IndexCount, d.FirstVertex, d.EndVertex, type, E_PRIMITIVE_TYPE(d.PrimitiveType));
}

boost::intrusive_ptr<scene::CMeshBuffer> loadMB(IReadFile* file, bool swap, IVideoDriver* driver)
{
    using Result = boost::intrusive_ptr<scene::CMeshBuffer>;
    unsigned char dynamic = 0;
    if (!file || file->read(&dynamic, 1) != 1) return fail<Result>("mesh buffer record: cut short");
    boost::intrusive_ptr<CVertexStreams> streams = loadVS(file, swap, driver);
    if (!streams) return nullptr;
    bool ok = false;
    CPrimitiveStream primitives = loadPS(file, swap, driver, &ok);
    if (!ok) return nullptr;
    // Every index must name a vertex of the record, or drawing would read past the vertices.
    const unsigned vertices = streams->getVertexCount();
    if (primitives.VertexEnd > vertices) return fail<Result>("mesh buffer record: vertex range past the vertices");
    if (primitives.IndexBuffer) {
        const auto* data = static_cast<const unsigned char*>(primitives.IndexBuffer->getData());
        const unsigned size = CPrimitiveStream::getIndexSize(primitives.IndexType);
        for (unsigned i = 0; i < primitives.Count; ++i) {
            uint32_t index = 0;
            std::memcpy(&index, data + size_t(i) * size, size);  // little-endian host
            if (index >= vertices) return fail<Result>("mesh buffer record: an index names no vertex");
        }
    }
    Result buffer(new scene::CMeshBuffer(streams, primitives));
    buffer->Dynamic = dynamic;
    return buffer;
}

}  // namespace pravik::io
