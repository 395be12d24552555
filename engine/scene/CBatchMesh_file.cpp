// The batch mesh file: a ZIP archive of stored entries. Values wider than a byte are little-
// endian, or all reversed when the header's order byte is 1 (the streaming entry never is).
//   "header.bin" (44): "BAT", order byte, static box (6 floats: minimum, maximum), dynamic batch
//     count, batch count, segment count, segment stride (4 each).
//   "segments_table.bin": per segment number, its batch and its position in the batch (4 + 4).
//   "segment_streaming_info.bin" (optional): per segment in slot order, the offsets in
//     "batch_data.bin" of its first vertex and first index (4 + 4).
//   "batch_info.bin": per batch "ABAT", segment count, static count, map bytes, material index
//     (2 each), then 30 bytes per render pass of the material's renderer (stream of each
//     attribute, 0xFF for none), techniques and passes in order.
//   "segments_info.bin": per segment in slot order, 49 bytes: number (4), box (24), first index,
//     end index, second end index (4 each), visible (1), layer (2, signed), first vertex, end
//     vertex, second end vertex (2 each); then what saveSegmentExtraData writes.
//   "batch_data.bin": per batch, its mesh buffer record.
//   "materials.bdae" (optional, never written here): a scene file whose material of the batch's
//     material index becomes the batch material.
// The reader checks every count against the entries, every segment against the table and its
// batch's geometry, and leaves the mesh empty with a log line when anything disagrees.

#include "engine/scene/CBatchMesh.h"

#include "engine/collada/CColladaDatabase.h"
#include "engine/io/CMemoryWriteFile.h"
#include "engine/io/CZipReader.h"
#include "engine/io/CZipWriter.h"
#include "engine/io/StreamFiles.h"
#include "engine/os/Printer.h"
#include "engine/video/IVideoDriver.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace pravik::scene {

namespace {

constexpr unsigned kRecordBytes = 49;
constexpr unsigned kMapBytes = video::EVA_COUNT;  // one stream byte per attribute

void reverse(void* p, unsigned size) { std::reverse(static_cast<unsigned char*>(p), static_cast<unsigned char*>(p) + size); }

class CWriter {
public:
    CWriter(io::IWriteFile* file, bool swap) : m_file(file), m_swap(swap) {}
    template <class T>
    void put(T value)
    {
        if (m_swap) reverse(&value, sizeof value);
        m_file->write(&value, sizeof value);
    }
    void bytes(const void* data, unsigned size) { m_file->write(data, size); }

private:
    io::IWriteFile* m_file;
    bool m_swap;
};

class CReader {
public:
    CReader(io::IReadFile* file, bool swap) : m_file(file), m_swap(swap) {}
    template <class T>
    bool get(T& value)
    {
        if (m_file->read(&value, sizeof value) != int32_t(sizeof value)) return false;
        if (m_swap) reverse(&value, sizeof value);
        return true;
    }
    bool bytes(void* data, unsigned size) { return size == 0 || m_file->read(data, size) == int32_t(size); }
    bool skip(unsigned size) { return size == 0 || (size <= left() && m_file->seek(int32_t(size), true)); }
    uint64_t left() const
    {
        const int32_t size = m_file->getSize(), pos = m_file->getPos();
        return size > pos && pos >= 0 ? uint64_t(size - pos) : 0;
    }

private:
    io::IReadFile* m_file;
    bool m_swap;
};

void putBox(CWriter& out, const core::aabbox3d<float>& box)
{
    for (float v : {box.MinEdge.X, box.MinEdge.Y, box.MinEdge.Z, box.MaxEdge.X, box.MaxEdge.Y, box.MaxEdge.Z}) out.put(v);
}

bool getBox(CReader& in, core::aabbox3d<float>& box)
{
    return in.get(box.MinEdge.X) && in.get(box.MinEdge.Y) && in.get(box.MinEdge.Z) && in.get(box.MaxEdge.X) &&
           in.get(box.MaxEdge.Y) && in.get(box.MaxEdge.Z);
}

unsigned passCount(const video::CMaterialRenderer& renderer)
{
    unsigned n = 0;
    for (unsigned t = 0; t < renderer.getTechniqueCount(); ++t) n += renderer.getTechnique((unsigned char)t).passCount;
    return n;
}

struct SOwnedFile {
    void operator()(io::IReadFile* f) const
    {
        if (f) f->drop();
    }
};
using ReadFilePtr = std::unique_ptr<io::IReadFile, SOwnedFile>;

}  // namespace

void CBatchMesh::SSegment::save(io::IWriteFile* file, bool swap) const
{
    CWriter out(file, swap);
    out.put(uint32_t(Number));
    putBox(out, Box ? *Box : core::aabbox3d<float>());
    out.put(uint32_t(FirstIndex));
    out.put(uint32_t(EndIndex));
    out.put(uint32_t(SecondEndIndex));
    out.put(Visible);
    out.put(int16_t(Layer));
    out.put(uint16_t(FirstVertex));
    out.put(uint16_t(EndVertex));
    out.put(uint16_t(SecondEndVertex));
}

bool CBatchMesh::SSegment::load(io::IReadFile* file, bool swap, core::aabbox3d<float>& box)
{
    CReader in(file, swap);
    uint32_t number = 0, first = 0, end = 0, secondEnd = 0;
    int16_t layer = 0;
    uint16_t firstVertex = 0, endVertex = 0, secondEndVertex = 0;
    if (!in.get(number) || !getBox(in, box) || !in.get(first) || !in.get(end) || !in.get(secondEnd) || !in.get(Visible) ||
        !in.get(layer) || !in.get(firstVertex) || !in.get(endVertex) || !in.get(secondEndVertex))
        return false;
    Number = number;
    FirstIndex = first;
    EndIndex = end;
    SecondEndIndex = secondEnd;
    Layer = layer;
    FirstVertex = firstVertex;
    EndVertex = endVertex;
    SecondEndVertex = secondEndVertex;
    return true;
}

bool CBatchMesh::save(io::IWriteFile* file, video::IVideoDriver*, os::E_ENDIAN order, bool, bool writeStreamingInfo) const
{
    if (!file) return false;
    const bool swap = order == os::EEND_BIG;
    io::CZipWriter zip(file);
    const unsigned segmentCount = getSegmentCount();

    io::CMemoryWriteFile header(44);
    CWriter h(&header, swap);
    h.bytes("BAT", 3);
    h.put(uint8_t(swap ? 1 : 0));
    putBox(h, m_staticBox);
    h.put(uint32_t(m_dynamicBatchCount));
    h.put(uint32_t(m_batches.size()));
    h.put(uint32_t(segmentCount));
    h.put(uint32_t(m_segmentStride));
    zip.addNewFile("header.bin", header.getBuffer(), header.getBufferSize());

    io::CMemoryWriteFile table(8 * segmentCount);
    CWriter t(&table, swap);
    for (const SSegmentInfo& info : m_segmentTable) t.put(uint32_t(info.BatchIndex)), t.put(uint32_t(info.Position));
    zip.addNewFile("segments_table.bin", table.getBuffer(), table.getBufferSize());

    io::CMemoryWriteFile streaming(8 * segmentCount), batches(12 * unsigned(m_batches.size())),
        segments(m_segmentStride * segmentCount), geometry(1000 * unsigned(m_batches.size()));
    CWriter b(&batches, swap);
    CWriter where(&streaming, false);  // always in the machine's order
    for (unsigned j = 0; j < m_batches.size(); ++j) {
        const SBatch& batch = m_batches[j];
        const unsigned start = unsigned(geometry.getPos());
        unsigned vertexHeader = 0, primitiveHeader = 0, vertexOffset = 0, indexOffset = 0, stride = 0, indexSize = 0;
        if (batch.MeshBuffer && batch.MeshBuffer->VertexStreams) {
            io::save(boost::intrusive_ptr<const CMeshBuffer>(batch.MeshBuffer), &geometry, swap, &vertexHeader, &primitiveHeader);
            stride = io::getVertexStreamsStride(*batch.MeshBuffer->VertexStreams);
            indexSize = video::CPrimitiveStream::getIndexSize(batch.MeshBuffer->PrimitiveStream.IndexType);
            vertexOffset = start + vertexHeader;
            indexOffset = vertexOffset + batch.MeshBuffer->VertexStreams->getVertexCount() * stride + primitiveHeader;
        }
        const video::CMaterialRenderer* renderer =
            batch.AttributeMap && batch.AttributeMap->getRenderer() ? batch.AttributeMap->getRenderer().get() : nullptr;
        const unsigned passes = renderer ? passCount(*renderer) : 0;
        b.bytes("ABAT", 4);
        b.put(uint16_t(batch.EndSegment - batch.FirstSegment));
        b.put(uint16_t(batch.StaticCount));
        b.put(uint16_t(kMapBytes * passes));
        b.put(uint16_t(j));  // materials are looked up by batch, in batch order
        for (unsigned tq = 0; renderer && tq < renderer->getTechniqueCount(); ++tq)
            for (unsigned p = 0; p < renderer->getTechnique((unsigned char)tq).passCount; ++p) {
                const boost::intrusive_ptr<video::CVertexAttributeMap>& map = batch.AttributeMap->get((unsigned char)tq, (unsigned char)p);
                unsigned char none[kMapBytes];
                std::memset(none, 0xFF, sizeof none);
                b.bytes(map ? map->getTable() : none, kMapBytes);
            }
        for (unsigned slot = batch.FirstSegment; slot < batch.EndSegment; ++slot) {
            const SSegment& s = m_segments[slot];
            s.save(&segments, swap);
            saveSegmentExtraData(s.Number, &segments, swap);
            where.put(uint32_t(vertexOffset));
            where.put(uint32_t(indexOffset));
            vertexOffset += unsigned(s.EndVertex - s.FirstVertex) * stride;
            indexOffset += (s.EndIndex - s.FirstIndex) * indexSize;
        }
    }
    if (writeStreamingInfo) zip.addNewFile("segment_streaming_info.bin", streaming.getBuffer(), streaming.getBufferSize());
    zip.addNewFile("batch_info.bin", batches.getBuffer(), batches.getBufferSize());
    zip.addNewFile("segments_info.bin", segments.getBuffer(), segments.getBufferSize());
    zip.addNewFile("batch_data.bin", geometry.getBuffer(), geometry.getBufferSize());
    return zip.close();
}

void CBatchMesh::clear()
{
    m_batches.clear();
    m_segments.clear();
    m_segmentTable.clear();
}

bool CBatchMesh::load(io::IReadFile* file, video::IVideoDriver* driver, io::IFileSystem*, collada::CRootSceneNode* root,
                      collada::CColladaFactory* factory)
{
    auto fail = [this](const char* why) {
        os::Printer::log(why, ELL_ERROR);
        clear();
        m_staticBoxes.clear();
        return false;
    };
    if (!file || !driver) return fail("batch mesh: no file or no driver");
    if (!m_batches.empty() || !m_segments.empty()) {
        os::Printer::log("batch mesh: loading needs an empty mesh", ELL_ERROR);
        return false;
    }
    boost::intrusive_ptr<io::CZipReader> zip(new io::CZipReader(file, false, false, 0), false);
    auto open = [&](const char* name) { return ReadFilePtr(zip->openFile(name)); };

    std::unique_ptr<collada::CColladaDatabase> materials;
    if (ReadFilePtr bdae = open("materials.bdae")) {
        materials = std::make_unique<collada::CColladaDatabase>(bdae.get(), factory);
        if (!materials->isValid()) return fail("batch mesh: unreadable materials");
    }

    ReadFilePtr headerFile = open("header.bin");
    if (!headerFile || headerFile->getSize() < 44) return fail("batch mesh: no header");
    unsigned char magic[4] = {};
    headerFile->read(magic, 4);
    const bool swap = magic[3] == 1;
    CReader h(headerFile.get(), swap);
    core::aabbox3d<float> staticBox;
    uint32_t dynamicBatches = 0, batchCount = 0, segmentCount = 0, stride = 0;
    if (!getBox(h, staticBox) || !h.get(dynamicBatches) || !h.get(batchCount) || !h.get(segmentCount) || !h.get(stride))
        return fail("batch mesh: header cut short");
    // Slots are 16-bit in a batch's record.
    if (segmentCount > 0xFFFF || batchCount > 0xFFFF || dynamicBatches > batchCount)
        return fail("batch mesh: counts out of range");

    ReadFilePtr tableFile = open("segments_table.bin");
    if (!tableFile || uint64_t(tableFile->getSize()) < 8ull * segmentCount) return fail("batch mesh: segment table cut short");
    CReader t(tableFile.get(), swap);
    std::vector<SSegmentInfo> table(segmentCount);
    for (SSegmentInfo& info : table) {
        uint32_t batch = 0, position = 0;
        t.get(batch), t.get(position);
        if (batch >= batchCount) return fail("batch mesh: a segment names no batch");
        info = {batch, position};
    }

    ReadFilePtr batchFile = open("batch_info.bin"), segmentFile = open("segments_info.bin"), geometryFile = open("batch_data.bin");
    if (!batchFile || !segmentFile || !geometryFile) return fail("batch mesh: an entry is missing");
    CReader b(batchFile.get(), swap);
    std::vector<SBatch> batches;
    std::vector<SSegment> records;
    records.reserve(segmentCount);
    m_staticBoxes.assign(segmentCount, core::aabbox3d<float>());
    for (unsigned j = 0; j < batchCount; ++j) {
        unsigned char tag[4];
        uint16_t count = 0, staticCount = 0, mapBytes = 0, materialIndex = 0;
        if (!b.bytes(tag, 4) || !b.get(count) || !b.get(staticCount) || !b.get(mapBytes) || !b.get(materialIndex))
            return fail("batch mesh: batch records cut short");
        if (staticCount > count || count > segmentCount - records.size())
            return fail("batch mesh: a batch holds more segments than the file");
        SBatch batch((unsigned short)records.size());
        batch.EndSegment = (unsigned short)(records.size() + count);
        batch.StaticCount = staticCount;
        if (materials) batch.Material = materials->constructMaterial(driver, materialIndex, root);
        if (mapBytes % kMapBytes) return fail("batch mesh: attribute maps of a partial size");
        if (batch.Material) {
            const boost::intrusive_ptr<video::CMaterialRenderer>& renderer = batch.Material->getMaterialRenderer();
            if (!renderer || passCount(*renderer) * kMapBytes != mapBytes)
                return fail("batch mesh: attribute maps do not fit the material");
            batch.AttributeMap = video::CMaterialVertexAttributeMap::allocate(renderer);
            for (unsigned tq = 0; tq < renderer->getTechniqueCount(); ++tq)
                for (unsigned p = 0; p < renderer->getTechnique((unsigned char)tq).passCount; ++p) {
                    unsigned char bytes[kMapBytes];
                    if (!b.bytes(bytes, kMapBytes)) return fail("batch mesh: attribute maps cut short");
                    batch.AttributeMap->set((unsigned char)tq, (unsigned char)p,
                                            boost::intrusive_ptr<video::CVertexAttributeMap>(new video::CVertexAttributeMap(bytes)));
                }
        } else if (!b.skip(mapBytes)) {
            return fail("batch mesh: attribute maps cut short");
        }

        batch.MeshBuffer = io::loadMB(geometryFile.get(), swap, driver);
        if (!batch.MeshBuffer) return fail("batch mesh: unreadable geometry");
        const video::CPrimitiveStream& p = batch.MeshBuffer->PrimitiveStream;
        if (count && (p.IndexType != video::EIT_16BIT || !p.IndexBuffer))
            return fail("batch mesh: a batch without 16-bit indices");
        const unsigned vertices = batch.MeshBuffer->VertexStreams->getVertexCount();

        for (unsigned k = 0; k < count; ++k) {
            SSegment s;
            const unsigned slot = unsigned(records.size());
            if (!s.load(segmentFile.get(), swap, m_staticBoxes[slot])) return fail("batch mesh: segment records cut short");
            // The table and the records must tell the same story, and the ranges fit the geometry.
            if (s.Number >= segmentCount || table[s.Number].BatchIndex != j || table[s.Number].Position != k)
                return fail("batch mesh: a segment record disagrees with the segment table");
            if (s.FirstVertex > s.EndVertex || s.EndVertex > vertices || s.FirstIndex > s.EndIndex || s.EndIndex > p.Count)
                return fail("batch mesh: a segment lies outside its batch's geometry");
            s.Box = &m_staticBoxes[slot];
            if (!loadSegmentExtraData(s.Number, segmentFile.get(), swap)) return fail("batch mesh: segment extra data cut short");
            records.push_back(std::move(s));
        }
        batches.push_back(std::move(batch));
    }
    if (records.size() != segmentCount) return fail("batch mesh: fewer segment records than the header counts");

    m_batches = std::move(batches);
    m_segments = std::move(records);
    m_segmentTable = std::move(table);
    m_staticBox = staticBox;
    m_dynamicBatchCount = dynamicBatches;
    m_boxDirty = true;
    return true;
}

}  // namespace pravik::scene
