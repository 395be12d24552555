// A quantised copy of a mesh buffer: texture coordinates as shorts with a scale and offset,
// normals as bytes or shorts, positions as shorts with a scale and offset when asked. Each
// source vertex buffer becomes one new interleaved buffer; the index data is shared.
// Only float data is converted: a stream already stored as integers keeps its type.

#include "engine/scene/CMeshBuffer.h"
#include "engine/video/IVideoDriver.h"
#include "engine/video/material/BatchUtils.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <map>
#include <vector>

namespace pravik::core {

using namespace video;

namespace {

const unsigned char* const kSize = video::detail::SVertexAttributeTypeInspection::ValueTypeSize;

struct SBufferData {
    boost::intrusive_ptr<IBuffer> buffer;
    unsigned short layout = 0;   // bytes per vertex so far; the stride once finished
    unsigned short largest = 0;  // largest element size met
};

struct SQuantizationOpData {
    const SVertexStream* source = nullptr;
    SBufferData* target = nullptr;
    unsigned offset = 0;
    unsigned valueType = EVAVT_NONE;
    unsigned short componentCount = 0;
};

// Texture set n keeps its scale and offset in table entry n + 1, which exists for the first
// texCoordSets sets only; other layouts than 3-component positions and normals and 2-component
// coordinates are copied as they are.
unsigned newValueType(const SVertexStream& s, bool normalsAs16Bit, bool quantizePositions, unsigned texCoordSets)
{
    if (s.valueType != EVAVT_FLOAT) return s.valueType;
    const unsigned set = s.attribute - EVA_TEXCOORD0;
    if (s.attribute >= EVA_TEXCOORD0 && s.attribute <= EVA_TEXCOORD15)
        return s.componentCount == 2 && set < texCoordSets ? unsigned(EVAVT_SHORT) : s.valueType;
    if (s.attribute == EVA_NORMAL && s.componentCount == 3) return normalsAs16Bit ? unsigned(EVAVT_SHORT) : unsigned(EVAVT_BYTE);
    if (s.attribute == EVA_POSITION && s.componentCount == 3 && quantizePositions) return EVAVT_SHORT;
    return s.valueType;
}

}  // namespace

boost::intrusive_ptr<scene::CMeshBuffer> createQuantizedBuffer(const boost::intrusive_ptr<const scene::CMeshBuffer>& meshBuffer,
                                                               bool normalsAs16Bit, bool quantizePositions,
                                                               IVideoDriver* driver)
{
    if (!meshBuffer || !meshBuffer->VertexStreams || !driver) return nullptr;
    const CVertexStreams& from = *meshBuffer->VertexStreams;
    const unsigned vertexCount = from.getVertexCount();
    const unsigned activeMask = from.getActiveAttributeMask();
    const unsigned texCoordSets = unsigned(std::popcount(activeMask & EVAM_TEXCOORDS));
    std::map<const IBuffer*, SBufferData> buffers;
    std::vector<SQuantizationOpData> ops;
    for (const SVertexStream* s = from.begin(); s != from.end(); ++s) {
        if (!s->buffer || s->valueType >= EVAVT_COUNT) continue;
        SBufferData& data = buffers[s->buffer.get()];
        if (!data.buffer) {
            data.buffer = driver->createBuffer(EBT_VERTEX, s->buffer->getUsage(), 0, nullptr, false);
            if (!data.buffer) return nullptr;
        }
        SQuantizationOpData op;
        op.source = s;
        op.target = &data;
        op.valueType = newValueType(*s, normalsAs16Bit, quantizePositions, texCoordSets);
        op.componentCount = s->componentCount;
        const unsigned size = kSize[op.valueType];
        op.offset = (data.layout + size - 1) / size * size;
        data.layout = (unsigned short)(op.offset + size * op.componentCount);
        data.largest = std::max<unsigned short>(data.largest, (unsigned short)size);
        ops.push_back(op);
    }
    for (auto& [source, data] : buffers) {
        if (data.largest) data.layout = (unsigned short)((data.layout + data.largest - 1) / data.largest * data.largest);
        const size_t bytes = size_t(data.layout) * vertexCount;
        data.buffer->reset(unsigned(bytes), new unsigned char[bytes](), true);
    }

    boost::intrusive_ptr<CVertexStreams> to = CVertexStreams::allocate(activeMask);
    if (!to) return nullptr;
    to->setVertexCount(vertexCount);
    CVertexStreams::SScaleOffset* table = to->getScaleAndOffsets();
    for (const SQuantizationOpData& op : ops) {
        const SVertexStream& s = *op.source;
        SVertexStream* out = to->getStream(s.attribute);
        if (out == to->end()) continue;
        const unsigned stride = op.target->layout;
        const auto* in = static_cast<const unsigned char*>(static_cast<const IBuffer*>(s.buffer.get())->map(EBRMA_CLIENT_READ));
        auto* dest = static_cast<unsigned char*>(op.target->buffer->map(EBMA_CLIENT_WRITE));
        if (in && dest) {
            in += s.offset;
            dest += op.offset;
            const unsigned set = s.attribute - EVA_TEXCOORD0;
            if (op.valueType == s.valueType) {
                const size_t element = size_t(kSize[s.valueType]) * s.componentCount;
                for (unsigned v = 0; v < vertexCount; ++v) std::memcpy(dest + size_t(v) * stride, in + size_t(v) * s.stride, element);
            } else if (s.attribute == EVA_POSITION) {
                quantizeScaleOffset(dest, stride, reinterpret_cast<const vector3d<float>*>(in), s.stride, vertexCount,
                                    table[0].scale, table[0].offset);
                to->setFlags((unsigned short)(to->getFlags() | 4u));
            } else if (s.attribute == EVA_NORMAL) {
                const auto* normals = reinterpret_cast<const vector3d<float>*>(in);
                if (op.valueType == EVAVT_SHORT) quantize<short>(dest, stride, normals, s.stride, vertexCount);
                else quantize<char>(dest, stride, normals, s.stride, vertexCount);
            } else {
                vector2d<float> scale, offset;
                quantizeScaleOffset(dest, stride, reinterpret_cast<const vector2d<float>*>(in), s.stride, vertexCount, scale,
                                    offset);
                table[set + 1].scale.set(scale.X, scale.Y, 0);
                table[set + 1].offset.set(offset.X, offset.Y, 0);
                to->setFlags((unsigned short)(to->getFlags() | (8u << set)));
            }
        }
        if (dest) op.target->buffer->unmap();
        if (in) s.buffer->unmap();
        out->buffer = op.target->buffer;
        out->offset = op.offset;
        out->valueType = (unsigned short)op.valueType;
        out->componentCount = op.componentCount;
        out->stride = (unsigned short)stride;
    }
    to->updateHomogeneityInternal(false);
    boost::intrusive_ptr<scene::CMeshBuffer> result(new scene::CMeshBuffer(to, meshBuffer->PrimitiveStream));
    result->Dynamic = meshBuffer->Dynamic;
    return result;
}

}  // namespace pravik::core
