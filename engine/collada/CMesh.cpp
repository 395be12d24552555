#include "engine/collada/CMesh.h"

#include "engine/collada/CResFile.h"
#include "engine/os/Printer.h"
#include "engine/scene/CMeshBuffer.h"
#include "engine/video/IBuffer.h"
#include "engine/video/IVideoDriver.h"
#include "engine/video/material/CMaterial.h"
#include "engine/video/material/CMaterialRenderer.h"
#include "engine/video/material/CVertexAttributeMap.h"
#include "engine/video/material/CVertexStreams.h"
#include "engine/video/material/EVertexAttribute.h"

#include <algorithm>
#include <cstring>

namespace pravik::collada {

namespace {

using video::EVA_COUNT;
using Inspection = video::detail::SVertexAttributeTypeInspection;

bool refuse(const char* why)
{
    os::Printer::log("Scene-file mesh refused", why, ELL_ERROR);
    return false;
}

// The record's present attributes in ascending attribute order: (attribute, index). A record
// names at most 18; kept on the stack, as every mesh buffer of a file is built through here.
constexpr unsigned kMaxRecordAttributes = 18;
struct SRecordAttribute {
    unsigned attribute;
    int index;
};
struct SRecordAttributes {
    SRecordAttribute items[kMaxRecordAttributes];  // the first count are set
    unsigned count = 0;
    const SRecordAttribute* begin() const { return items; }
    const SRecordAttribute* end() const { return items + count; }
};

SRecordAttributes attributesOf(const SMeshBuffer& b)
{
    SRecordAttributes out;
    auto add = [&](unsigned attribute, int8_t index) {
        if (index >= 0) out.items[out.count++] = {attribute, index};
    };
    add(video::EVA_POSITION, b.position);
    for (unsigned t = 0; t < 4 && b.texCoords[t] >= 0; ++t) add(video::EVA_TEXCOORD0 + t, b.texCoords[t]);
    add(video::EVA_NORMAL, b.normal);
    add(video::EVA_COLOR0, b.color0);
    add(video::EVA_COLOR1, b.color1);
    for (unsigned t = 0; t < 4 && b.tangents[t] >= 0; ++t) add(video::EVA_TANGENT0 + t, b.tangents[t]);
    for (unsigned t = 0; t < 4 && b.binormals[t] >= 0; ++t) add(video::EVA_BINORMAL0 + t, b.binormals[t]);
    add(video::EVA_SKIN_WEIGHTS, b.skinWeights);
    add(video::EVA_SKIN_INDICES, b.skinIndices);
    return out;
}

// A driver buffer over file data, cached under the record that holds the data.
boost::intrusive_ptr<video::IBuffer> cachedBuffer(CResFile& file, video::IVideoDriver* driver, uint32_t recordRef,
                                                  video::E_BUFFER_TYPE type, const SBufferConfig& config, void* data,
                                                  uint32_t size)
{
    auto& cache = file.bufferCache();
    if (auto* hit = cache.find(recordRef)) return *hit;
    const auto usage = config.usage <= video::EBU_CLIENT_ONLY ? video::E_BUFFER_USAGE(config.usage) : video::EBU_CLIENT_ONLY;
    auto buffer = driver->createBuffer(type, usage, size, data, false);
    if (buffer) cache.insert(recordRef, buffer);
    return buffer;
}

// The largest of count indices (0 for none); a plain reduction the compiler can unroll.
template <class Index>
uint32_t largestIndex(const void* indices, uint32_t count)
{
    const auto* at = static_cast<const Index*>(indices);
    Index largest = 0;
    for (uint32_t k = 0; k < count; ++k) largest = std::max(largest, at[k]);
    return largest;
}

// A file's buffer tables are sized at their first use for every geometry record it holds
// (commonly one mesh buffer over one vertex block each), so they need not grow step by step.
void sizeTables(const CColladaDatabase& db, CResFile& file)
{
    SCollada* root = db.getRoot();
    const size_t geometries = root ? file.get(root->geometries).size() : 0;
    if (file.meshBufferCache().empty()) file.meshBufferCache().reserve(geometries);
    if (file.bufferCache().empty()) file.bufferCache().reserve(2 * geometries);
}

const video::E_PRIMITIVE_TYPE kPrimitives[] = {video::EPT_TRIANGLES, video::EPT_TRIANGLE_STRIP, video::EPT_LINES,
                                               video::EPT_LINE_STRIP, video::EPT_LINE_LOOP};

}  // namespace

boost::intrusive_ptr<scene::CMeshBuffer> createMeshBuffer(CResFile& file, video::IVideoDriver* driver, SMesh& mesh,
                                                          unsigned i, const SBufferConfig& vertexConfig,
                                                          const SBufferConfig& indexConfig)
{
    SMeshBuffer* record = file.at(mesh.buffers, int32_t(i));
    if (!record || !driver) return nullptr;
    if (record->kind > 4) return refuse("primitive kind above 4"), nullptr;
    const bool wide = record->highestIndex >= 65536;
    const uint32_t indexSize = wide ? 4 : 2;
    if (record->indexCount > 0x3fffffffu) return refuse("index count"), nullptr;
    void* indices = file.getFile().resolve(record->indices, record->indexCount * indexSize, indexSize);
    if (record->indexCount && !indices) return refuse("index data outside the file"), nullptr;

    // The set is made first and its records filled in place: one record per attribute, in
    // the same ascending order as the mask gives them.
    const auto attributes = attributesOf(*record);
    unsigned mask = 0;
    unsigned texCoords = 0;
    for (const auto& [attribute, index] : attributes) {
        mask |= 1u << attribute;
        if (attribute >= video::EVA_TEXCOORD0 && attribute <= video::EVA_TEXCOORD0 + 3) ++texCoords;
    }
    auto set = video::CVertexStreams::allocate(0, mask, (unsigned char)texCoords, (unsigned char)attributes.count,
                                               nullptr, nullptr);
    if (!set) return nullptr;
    video::SVertexStream* streams = set->begin();
    video::CVertexStreams::SScaleOffset* quantisation = set->getScaleAndOffsets();
    for (unsigned q = 0; q <= texCoords; ++q) quantisation[q] = {{1, 1, 1}, {0, 0, 0}};
    unsigned short flags = 0;
    unsigned streamCount = 0;
    uint32_t vertexCount = 0;
    if (mesh.layout != 0) {
        auto* block = file.as<SInterleavedBlock>(mesh.sources);
        if (!block) return refuse("no vertex block"), nullptr;
        vertexCount = mesh.vertexCount;
        const uint32_t stride = block->stride;
        if (stride == 0 || stride > 0xffff || uint64_t(stride) * vertexCount > 0x7fffffffu)
            return refuse("vertex stride"), nullptr;
        void* data = file.getFile().resolve(block->data, stride * vertexCount, 1);
        if (!data && vertexCount) return refuse("vertex data outside the file"), nullptr;
        auto buffer = cachedBuffer(file, driver, file.refOf(block), video::EBT_VERTEX, vertexConfig, data,
                                   stride * vertexCount);
        int highest = -1;
        for (const auto& [attribute, index] : attributes) highest = std::max(highest, index);
        const uint32_t n = uint32_t(highest + 1);
        const uint32_t* offsets = n ? static_cast<const uint32_t*>(file.getFile().resolve(block->offsets.ref, 4 * n, 4)) : nullptr;
        const uint32_t* types = n ? static_cast<const uint32_t*>(file.getFile().resolve(block->valueTypes.ref, 4 * n, 4)) : nullptr;
        const uint32_t* counts =
            n ? static_cast<const uint32_t*>(file.getFile().resolve(block->componentCounts.ref, 4 * n, 4)) : nullptr;
        const uint32_t* dequantisation =
            n ? static_cast<const uint32_t*>(file.getFile().resolve(block->dequantisation.ref, 4 * n, 4)) : nullptr;
        if (n && (!offsets || !types || !counts)) return refuse("attribute number beyond the sources"), nullptr;
        for (const auto& [attribute, index] : attributes) {
            const uint32_t type = types[index], components = counts[index] & 0xffff;
            if (type >= video::EVAVT_COUNT || components == 0 || components > 4 ||
                uint64_t(offsets[index]) + Inspection::ValueTypeSize[type] * components > stride)
                return refuse("attribute format"), nullptr;
            video::SVertexStream& s = streams[streamCount++];
            s.buffer = buffer;
            s.offset = offsets[index];
            s.attribute = (unsigned short)attribute;
            s.valueType = (unsigned short)type;
            s.componentCount = (unsigned short)components;
            s.stride = (unsigned short)stride;
            const unsigned entry = attribute <= video::EVA_TEXCOORD0 + 3 ? attribute : 99;
            if (entry <= texCoords && dequantisation && dequantisation[index]) {
                const auto* six = static_cast<const float*>(file.getFile().resolve(dequantisation[index], 24, 4));
                if (six) {
                    std::memcpy(static_cast<void*>(&quantisation[entry]), six, 24);
                    flags |= (unsigned short)(4u << entry);
                }
            }
        }
    } else {
        auto sources = std::span<SSource>();
        int highest = -1;
        for (const auto& [attribute, index] : attributes) highest = std::max(highest, index);
        if (highest >= 0) {
            auto* first = static_cast<SSource*>(file.getFile().resolve(mesh.sources, sizeof(SSource) * uint32_t(highest + 1), 4));
            if (!first) return refuse("attribute number beyond the sources"), nullptr;
            sources = std::span<SSource>(first, size_t(highest + 1));
        }
        const int positionIndex = record->position;
        const uint32_t verticesOfSources = positionIndex >= 0 ? sources[size_t(positionIndex)].valueCount / 3 : 0;
        for (const auto& [attribute, index] : attributes) {
            SSource& source = sources[size_t(index)];
            const uint32_t components = source.components & 0xffff;
            if (source.valueType >= video::EVAVT_COUNT || components == 0 || components > 4)
                return refuse("attribute format"), nullptr;
            const uint32_t elementSize = Inspection::ValueTypeSize[source.valueType] * components;
            if (uint64_t(elementSize) * verticesOfSources > 0x7fffffffu) return refuse("source size"), nullptr;
            void* data = file.getFile().resolve(source.values, elementSize * verticesOfSources, 1);
            if (!data && verticesOfSources) return refuse("source data outside the file"), nullptr;
            video::SVertexStream& s = streams[streamCount++];
            s.buffer = cachedBuffer(file, driver, file.refOf(&source), video::EBT_VERTEX, vertexConfig, data,
                                    elementSize * verticesOfSources);
            s.attribute = (unsigned short)attribute;
            s.valueType = (unsigned short)source.valueType;
            s.componentCount = (unsigned short)components;
            s.stride = (unsigned short)elementSize;
        }
        vertexCount = verticesOfSources;
        if (record->indexCount && record->highestIndex >= vertexCount) return refuse("index past the vertices"), nullptr;
        vertexCount = 0;  // the draw takes its range from the primitive stream
    }
    if (mesh.layout != 0 && record->indexCount && record->highestIndex >= vertexCount)
        return refuse("index past the vertices"), nullptr;
    // Indices themselves must stay below the highest index the record declares.
    const uint32_t largest = wide ? largestIndex<uint32_t>(indices, record->indexCount)
                                  : largestIndex<uint16_t>(indices, record->indexCount);
    if (largest > record->highestIndex) return refuse("index above the highest index"), nullptr;
    set->setVertexCount(vertexCount);
    set->updateStates(false);
    set->setFlags((unsigned short)(set->getFlags() | flags));

    auto indexBuffer = record->indexCount ? cachedBuffer(file, driver, file.refOf(record), video::EBT_INDEX, indexConfig,
                                                         indices, record->indexCount * indexSize)
                                          : nullptr;
    const video::CPrimitiveStream primitives(indexBuffer, 0, record->indexCount, record->firstVertex,
                                             record->highestIndex + 1, wide ? video::EIT_32BIT : video::EIT_16BIT,
                                             kPrimitives[record->kind]);
    return boost::intrusive_ptr<scene::CMeshBuffer>(new scene::CMeshBuffer(set, primitives));
}

CMesh::CMesh(const CColladaDatabase& db, video::IVideoDriver* driver, const SGeometry& geometry,
             const SBufferConfig& vertexConfig, const SBufferConfig& indexConfig, bool share)
    : IMesh(db, db.str(geometry.id))
{
    CResFile* file = db.getResFile();
    SMesh* mesh = file ? file->get(geometry.mesh) : nullptr;
    if (!mesh) return;
    auto records = file->get(mesh->buffers);
    if (records.size() > kMaxMeshBuffers) {
        refuse("more than 32 mesh buffers");
        return;
    }
    if (mesh->buffers.count < 0 || size_t(mesh->buffers.count) != records.size()) {
        refuse("mesh buffer records outside the file");
        return;
    }
    auto& shared = file->meshBufferCache();
    if (file->bufferCache().empty() || (share && shared.empty())) sizeTables(db, *file);
    m_entries.reserve(records.size());
    for (unsigned i = 0; i < records.size(); ++i) {
        const uint32_t ref = file->refOf(&records[i]);
        boost::intrusive_ptr<scene::CMeshBuffer> buffer;
        if (share)
            if (auto* hit = shared.find(ref)) buffer = *hit;
        if (!buffer) {
            buffer = createMeshBuffer(*file, driver, *mesh, i, vertexConfig, indexConfig);
            if (!buffer) {
                m_entries.clear();
                return;
            }
            if (share) shared.insert(ref, buffer);
        }
        m_entries.push_back({buffer, nullptr, nullptr});
    }
    m_box = core::aabbox3d<float>(mesh->box[0], mesh->box[1], mesh->box[2], mesh->box[3], mesh->box[4], mesh->box[5]);
    m_valid = true;
}

CMesh::CMesh(const CMesh& other) : IMesh(other.m_database, ""), m_entries(other.m_entries), m_box(other.m_box),
                                   m_valid(other.m_valid)
{
}

boost::intrusive_ptr<scene::IMesh> CMesh::clone() const { return boost::intrusive_ptr<scene::IMesh>(new CMesh(*this)); }

boost::intrusive_ptr<scene::CMeshBuffer> CMesh::getMeshBuffer(unsigned i) const
{
    return i < m_entries.size() ? m_entries[i].buffer : nullptr;
}

boost::intrusive_ptr<video::CMaterial> CMesh::getMaterial(unsigned i) const
{
    return i < m_entries.size() ? m_entries[i].material : nullptr;
}

boost::intrusive_ptr<video::CMaterialVertexAttributeMap> CMesh::getMaterialVertexAttributeMap(unsigned i) const
{
    return i < m_entries.size() ? m_entries[i].map : nullptr;
}

void CMesh::setMaterial(unsigned i, const boost::intrusive_ptr<video::CMaterial>& material,
                        const boost::intrusive_ptr<video::CMaterialVertexAttributeMap>& map)
{
    if (i >= m_entries.size()) return;
    m_entries[i].material = material;
    m_entries[i].map = map;
}

}  // namespace pravik::collada
