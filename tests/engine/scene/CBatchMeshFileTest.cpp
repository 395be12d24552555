// The batch mesh file: a mesh saved by the writer loads back record for record and vertex for
// vertex in both byte orders, the entries keep their layout, and files that lie about their
// content are refused with the mesh left empty.
#include "engine/io/CMemoryReadFile.h"
#include "engine/io/CMemoryWriteFile.h"
#include "engine/io/CZipReader.h"
#include "engine/io/CZipWriter.h"
#include "engine/io/StreamFiles.h"
#include "engine/scene/CBatchMesh.h"
#include "engine/scene/CGeometryCreator.h"
#include "tests/engine/scene/SceneTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace pravik::scene {
namespace {

using Entries = std::map<std::string, std::string>;

std::string bytesOf(io::IReadFile* file)
{
    std::string out(size_t(file->getSize()), '\0');
    file->read(out.data(), uint32_t(out.size()));
    return out;
}

class CBatchMeshFileTest : public ::testing::Test {
protected:
    void SetUp() override { m_driver = ::test::makeNullDriver(); }

    // A cube buffer (24 vertices, 36 indices, positions only) with vertex v at (v, 2v, -v).
    boost::intrusive_ptr<CMeshBuffer> numberedBuffer()
    {
        boost::intrusive_ptr<CMeshBuffer> buffer = createCubeMesh(1u << video::EVA_POSITION, m_driver.get(), 10)->getMeshBuffer(0);
        auto* p = static_cast<float*>(buffer->VertexStreams->begin()->buffer->map(video::EBMA_CLIENT_WRITE));
        for (unsigned v = 0; v < 24; ++v) p[3 * v] = float(v), p[3 * v + 1] = 2.f * float(v), p[3 * v + 2] = -float(v);
        buffer->VertexStreams->begin()->buffer->unmap();
        return buffer;
    }
    // Batch 0 (with a material): static segments of 8 vertices and 12 indices each around a
    // dynamic one; batch 1 (no material): one static segment of the whole cube.
    boost::intrusive_ptr<CBatchMesh> sortedMesh()
    {
        boost::intrusive_ptr<CBatchMesh> mesh(new CBatchMesh);
        mesh->addBatch();
        mesh->addSegment(8, 12, 0);
        mesh->addSegment(8, 12, -1);
        mesh->addSegment(8, 12, 3);
        mesh->setBuffer(0, numberedBuffer(), ::test::makeMaterial(*m_driver, "file", false));
        mesh->getSegment(1).Source = numberedBuffer();
        mesh->getSegment(1).Box = &m_nodeBox;
        mesh->getSegment(2).Visible = 0;
        mesh->addBatch();
        mesh->addSegment(24, 36, 7);
        mesh->setBuffer(1, numberedBuffer(), nullptr);
        mesh->sort(m_driver.get());
        mesh->initStaticSegmentBoundingBoxes();
        mesh->updateBoundingBox();
        return mesh;
    }
    std::string save(const CBatchMesh& mesh, os::E_ENDIAN order, bool streaming = false)
    {
        io::CMemoryWriteFile file;
        EXPECT_TRUE(mesh.save(&file, m_driver.get(), order, false, streaming));
        return std::string(reinterpret_cast<const char*>(file.getBuffer()), file.getBufferSize());
    }
    static Entries entriesOf(const std::string& archive)
    {
        std::string copy = archive;
        io::CMemoryReadFile file(copy.data(), int32_t(copy.size()), "mesh.zip", false);
        boost::intrusive_ptr<io::CZipReader> zip(new io::CZipReader(&file, false, false, 0), false);
        Entries out;
        for (int32_t i = 0; i < zip->getFileCount(); ++i) {
            io::IReadFile* member = zip->openFile(i);
            out[zip->getFileInfo(i)->zipFileName.c_str()] = bytesOf(member);
            member->drop();
        }
        return out;
    }
    static std::string archiveOf(const Entries& entries)
    {
        io::CMemoryWriteFile file;
        {
            io::CZipWriter zip(&file);
            for (const auto& [name, data] : entries) zip.addNewFile(name.c_str(), data.data(), uint32_t(data.size()));
        }
        return std::string(reinterpret_cast<const char*>(file.getBuffer()), file.getBufferSize());
    }
    boost::intrusive_ptr<CBatchMesh> load(std::string archive, bool* ok)
    {
        io::CMemoryReadFile file(archive.data(), int32_t(archive.size()), "mesh.zip", false);
        boost::intrusive_ptr<CBatchMesh> mesh(new CBatchMesh);
        *ok = mesh->load(&file, m_driver.get(), nullptr, nullptr, nullptr);
        return mesh;
    }

    CEngineServicesScope m_services;
    ::test::ProcessBufferHeap m_heap;
    boost::intrusive_ptr<video::CNullDriver> m_driver;
    core::aabbox3d<float> m_nodeBox{5, 5, 5, 6, 7, 8};
};

std::vector<unsigned> fieldsOf(const CBatchMesh::SSegment& s)
{
    return {s.Number, s.FirstIndex, s.EndIndex, s.SecondEndIndex, s.Visible, unsigned(s.Layer), s.FirstVertex, s.EndVertex,
            s.SecondEndVertex};
}

template <class T>
std::vector<T> contentOf(const video::IBuffer& buffer, unsigned offset, unsigned count)
{
    const auto* p = static_cast<const unsigned char*>(buffer.map(video::EBRMA_CLIENT_READ)) + offset;
    std::vector<T> out(count);
    std::memcpy(out.data(), p, count * sizeof(T));
    buffer.unmap();
    return out;
}

TEST_F(CBatchMeshFileTest, SavedMeshLoadsBackWithEveryRecordAndVertex)
{
    boost::intrusive_ptr<CBatchMesh> mesh = sortedMesh();
    // The machine's order, asked for either way, gives the same bytes.
    EXPECT_EQ(save(*mesh, os::EEND_NATIVE), save(*mesh, os::EEND_LITTLE));
    for (os::E_ENDIAN order : {os::EEND_NATIVE, os::EEND_BIG}) {
        SCOPED_TRACE(order);
        bool ok = false;
        boost::intrusive_ptr<CBatchMesh> back = load(save(*mesh, order), &ok);
        ASSERT_TRUE(ok);
        ASSERT_EQ(back->getBatchCount(), 2u);
        ASSERT_EQ(back->getSegmentCount(), 4u);
        EXPECT_EQ(back->getDynamicBatchCount(), 1u);
        for (unsigned j = 0; j < 2; ++j) {
            const CBatchMesh::SBatch& a = mesh->getBatch(j);
            const CBatchMesh::SBatch& b = back->getBatch(j);
            EXPECT_EQ(b.FirstSegment, a.FirstSegment);
            EXPECT_EQ(b.EndSegment, a.EndSegment);
            EXPECT_EQ(b.StaticCount, a.StaticCount);
            EXPECT_FALSE(b.Material);  // no materials in the archive
            const CMeshBuffer& x = *a.MeshBuffer;
            const CMeshBuffer& y = *b.MeshBuffer;
            EXPECT_EQ(y.Dynamic, x.Dynamic);
            ASSERT_EQ(y.VertexStreams->getVertexCount(), 24u);
            const video::SVertexStream& p = *y.VertexStreams->begin();
            EXPECT_EQ(p.attribute, video::EVA_POSITION);
            EXPECT_EQ(p.valueType, video::EVAVT_FLOAT);
            EXPECT_EQ(p.componentCount, 3);
            EXPECT_EQ(contentOf<float>(*p.buffer, p.offset, 72), contentOf<float>(*x.VertexStreams->begin()->buffer, 0, 72));
            EXPECT_EQ(y.PrimitiveStream.IndexType, video::EIT_16BIT);
            EXPECT_EQ(y.PrimitiveStream.PrimitiveType, video::EPT_TRIANGLES);
            EXPECT_EQ(y.PrimitiveStream.VertexEnd, 24u);
            ASSERT_EQ(y.PrimitiveStream.Count, 36u);
            EXPECT_EQ(contentOf<unsigned short>(*y.PrimitiveStream.IndexBuffer, 0, 36),
                      contentOf<unsigned short>(*x.PrimitiveStream.IndexBuffer, x.PrimitiveStream.IndexOffset, 36));
        }
        for (unsigned n = 0; n < 4; ++n) {
            SCOPED_TRACE(n);
            EXPECT_EQ(fieldsOf(back->getSegment(n)), fieldsOf(mesh->getSegment(n)));
            EXPECT_EQ(back->getSegmentInfo(n).BatchIndex, mesh->getSegmentInfo(n).BatchIndex);
            EXPECT_EQ(back->getSegmentInfo(n).Position, mesh->getSegmentInfo(n).Position);
            ASSERT_TRUE(back->getSegment(n).Box);
            EXPECT_EQ(back->getSegment(n).Box->MinEdge, mesh->getSegment(n).Box->MinEdge);
            EXPECT_EQ(back->getSegment(n).Box->MaxEdge, mesh->getSegment(n).Box->MaxEdge);
        }
        // The box is recomputed from the loaded geometry and the dynamic segment's stored box.
        EXPECT_EQ(back->getBoundingBox().MinEdge, mesh->getBoundingBox().MinEdge);
        EXPECT_EQ(back->getBoundingBox().MaxEdge, mesh->getBoundingBox().MaxEdge);
    }
}

TEST_F(CBatchMeshFileTest, EntriesKeepTheirLayoutInEitherOrder)
{
    boost::intrusive_ptr<CBatchMesh> mesh = sortedMesh();
    const Entries native = entriesOf(save(*mesh, os::EEND_NATIVE, true));
    const Entries swapped = entriesOf(save(*mesh, os::EEND_BIG, true));
    for (const Entries* e : {&native, &swapped})
        for (const char* name : {"header.bin", "segments_table.bin", "segment_streaming_info.bin", "batch_info.bin",
                                 "segments_info.bin", "batch_data.bin"})
            EXPECT_EQ(e->count(name), 1u) << name;
    EXPECT_EQ(entriesOf(save(*mesh, os::EEND_NATIVE)).count("segment_streaming_info.bin"), 0u);

    const std::string& h = native.at("header.bin");
    ASSERT_EQ(h.size(), 44u);
    EXPECT_EQ(h.substr(0, 4), std::string("BAT\0", 4));
    EXPECT_EQ(h.substr(28, 16), std::string("\1\0\0\0\2\0\0\0\4\0\0\0\54\0\0\0", 16));
    const std::string& hs = swapped.at("header.bin");
    EXPECT_EQ(hs.substr(0, 4), std::string("BAT\1", 4));
    EXPECT_EQ(hs.substr(28, 16), std::string("\0\0\0\1\0\0\0\2\0\0\0\4\0\0\0\54", 16));
    for (unsigned k = 4; k < 28; k += 4)
        EXPECT_EQ(hs.substr(k, 4), std::string(h.rbegin() + int(44 - k - 4), h.rbegin() + int(44 - k))) << k;
    // Segment numbers and positions, reversed when asked; the streaming offsets never are.
    EXPECT_EQ(native.at("segments_table.bin").substr(8, 8), std::string("\0\0\0\0\2\0\0\0", 8));
    EXPECT_EQ(swapped.at("segments_table.bin").substr(8, 8), std::string("\0\0\0\0\0\0\0\2", 8));
    EXPECT_EQ(native.at("segment_streaming_info.bin"), swapped.at("segment_streaming_info.bin"));

    // Where each segment's first vertex and first index lie in "batch_data.bin": 45 bytes of
    // header before the 24 vertices of 12 bytes, 24 before the indices of 2 bytes.
    const std::string& where = native.at("segment_streaming_info.bin");
    ASSERT_EQ(where.size(), 32u);
    const unsigned second = 45 + 288 + 24 + 72;  // batch 1 starts after batch 0's record
    const std::vector<unsigned> want{45, 45 + 288 + 24, 45 + 96, 357 + 24, 45 + 192, 357 + 48, second + 45, second + 357};
    std::vector<unsigned> got(8);
    std::memcpy(got.data(), where.data(), 32);
    EXPECT_EQ(got, want);

    // Batch records: tag, counts, 30 map bytes for the one pass of batch 0's material.
    const std::string& b = native.at("batch_info.bin");
    ASSERT_EQ(b.size(), 12u + 30 + 12);
    EXPECT_EQ(b.substr(0, 12), std::string("ABAT\3\0\2\0\36\0\0\0", 12));
    EXPECT_EQ(b.substr(42, 12), std::string("ABAT\1\0\1\0\0\0\1\0", 12));
    EXPECT_EQ(swapped.at("batch_info.bin").substr(0, 12), std::string("ABAT\0\3\0\2\0\36\0\0", 12));

    // A segment record: 49 bytes in the order of its fields.
    CBatchMesh::SSegment s;
    const core::aabbox3d<float> box(1, 2, 3, 4, 5, 6);
    s.Number = 7, s.Box = &box, s.FirstIndex = 12, s.EndIndex = s.SecondEndIndex = 18, s.Layer = -1, s.FirstVertex = 4,
    s.EndVertex = s.SecondEndVertex = 9;
    io::CMemoryWriteFile record;
    s.save(&record, false);
    const std::string r(reinterpret_cast<const char*>(record.getBuffer()), record.getBufferSize());
    ASSERT_EQ(r.size(), 49u);
    EXPECT_EQ(r.substr(0, 4), std::string("\7\0\0\0", 4));
    float floats[6];
    std::memcpy(floats, r.data() + 4, 24);
    EXPECT_EQ(std::vector<float>(floats, floats + 6), (std::vector<float>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(r.substr(28), std::string("\14\0\0\0\22\0\0\0\22\0\0\0\1\377\377\4\0\11\0\11\0", 21));
}

TEST_F(CBatchMeshFileTest, EmptyMeshSavesItsBoxAndLoadsBack)
{
    boost::intrusive_ptr<CBatchMesh> mesh(new CBatchMesh);
    mesh->updateBoundingBox();
    const Entries e = entriesOf(save(*mesh, os::EEND_NATIVE));
    EXPECT_EQ(e.at("header.bin").substr(28, 12), std::string(12, '\0'));
    for (const char* name : {"segments_table.bin", "batch_info.bin", "segments_info.bin", "batch_data.bin"})
        EXPECT_EQ(e.at(name), "") << name;
    bool ok = false;
    boost::intrusive_ptr<CBatchMesh> back = load(archiveOf(e), &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(back->getBatchCount(), 0u);
}

TEST_F(CBatchMeshFileTest, GeometryRecordsOfMixedElementSizesReadBackInEitherOrder)
{
    const unsigned mask = 1u << video::EVA_POSITION | 1u << video::EVA_TEXCOORD0 | 1u << video::EVA_NORMAL | 1u << video::EVA_COLOR0;
    const boost::intrusive_ptr<const CMeshBuffer> source = createCubeMesh(mask, m_driver.get(), 10)->getMeshBuffer(0);
    const video::CVertexStreams& from = *source->VertexStreams;
    for (bool swap : {false, true}) {
        SCOPED_TRACE(swap);
        io::CMemoryWriteFile out;
        unsigned vertexHeader = 0, primitiveHeader = 0;
        EXPECT_EQ(io::save(source, &out, swap, &vertexHeader, &primitiveHeader), 24u);
        EXPECT_EQ(vertexHeader, 1u + 4 + 12 * 4 + 24 + 24 * 1 + 4);
        EXPECT_EQ(primitiveHeader, 24u);
        const unsigned stride = io::getVertexStreamsStride(from);
        EXPECT_EQ(out.getBufferSize(), vertexHeader + 24 * stride + 24 + 36 * 2);

        std::string bytes(reinterpret_cast<const char*>(out.getBuffer()), out.getBufferSize());
        io::CMemoryReadFile file(bytes.data(), int32_t(bytes.size()), "record", false);
        boost::intrusive_ptr<CMeshBuffer> back = io::loadMB(&file, swap, m_driver.get());
        ASSERT_TRUE(back);
        EXPECT_EQ(file.getPos(), file.getSize());
        const video::CVertexStreams& to = *back->VertexStreams;
        ASSERT_EQ(to.getStreamCount(), from.getStreamCount());
        ASSERT_EQ(to.getVertexCount(), 24u);
        for (unsigned k = 0; k < from.getStreamCount(); ++k) {
            const video::SVertexStream& a = from.begin()[k];
            const video::SVertexStream& b = to.begin()[k];
            SCOPED_TRACE(a.attribute);
            EXPECT_EQ(b.attribute, a.attribute);
            EXPECT_EQ(b.valueType, a.valueType);
            EXPECT_EQ(b.componentCount, a.componentCount);
            EXPECT_EQ(b.stride, stride);
            for (unsigned v = 0; v < 24; ++v)
                EXPECT_EQ(contentOf<unsigned char>(*b.buffer, b.offset + v * b.stride, a.elementSize()),
                          contentOf<unsigned char>(*a.buffer, a.offset + v * a.stride, a.elementSize()))
                    << v;
        }
        EXPECT_EQ(contentOf<unsigned short>(*back->PrimitiveStream.IndexBuffer, 0, 36),
                  contentOf<unsigned short>(*source->PrimitiveStream.IndexBuffer, source->PrimitiveStream.IndexOffset, 36));
    }
}

// Puts a 4-byte or 2-byte little-endian value at an offset of an entry.
std::function<void(Entries&)> poke(const char* entry, size_t offset, uint32_t value, unsigned size = 4)
{
    return [=](Entries& e) { std::memcpy(e[entry].data() + offset, &value, size); };
}

TEST_F(CBatchMeshFileTest, FilesThatLieAboutTheirContentAreRefused)
{
    const Entries good = entriesOf(save(*sortedMesh(), os::EEND_NATIVE));
    // In "batch_data.bin": vertex count at 41, vertices from 45, index type at 337, index
    // count at 341, first index at 357. In "segments_info.bin": the first record's end vertex at 45.
    const struct { const char* why; std::function<void(Entries&)> change; } kCases[] = {
        {"header cut short", [](Entries& e) { e["header.bin"].resize(40); }},
        {"more segments than the table holds", poke("header.bin", 36, 5)},
        {"segment count past 16 bits", poke("header.bin", 36, 0x10000)},
        {"more batches than records", poke("header.bin", 32, 3)},
        {"more dynamic batches than batches", poke("header.bin", 28, 3)},
        {"reversed order flag on a native file", poke("header.bin", 3, 1, 1)},
        {"table names no batch", poke("segments_table.bin", 0, 2)},
        {"table and records disagree", poke("segments_table.bin", 12, 0)},
        {"batch claims more segments", poke("batch_info.bin", 4, 9, 2)},
        {"static count above segment count", poke("batch_info.bin", 6, 4, 2)},
        {"maps of a partial size", poke("batch_info.bin", 8, 29, 2)},
        {"batch records cut short", [](Entries& e) { e["batch_info.bin"].resize(50); }},
        {"segment records cut short", [](Entries& e) { e["segments_info.bin"].resize(100); }},
        {"segment past its vertices", poke("segments_info.bin", 45, 25, 2)},
        {"segment past its indices", poke("segments_info.bin", 32, 37)},
        {"segment number past the table", poke("segments_info.bin", 0, 4)},
        {"more vertices than bytes", poke("batch_data.bin", 41, 0x1000000)},
        {"no streams", poke("batch_data.bin", 1, 0)},
        {"attribute past the table", poke("batch_data.bin", 9, 40, 2)},
        {"value type unknown", poke("batch_data.bin", 11, 7, 2)},
        {"stride of zero", poke("batch_data.bin", 15, 0, 2)},
        {"index names no vertex", poke("batch_data.bin", 357, 24, 2)},
        {"8-bit indices", poke("batch_data.bin", 337, 0)},
        {"index type unknown", poke("batch_data.bin", 337, 3)},
        {"more indices than bytes", poke("batch_data.bin", 341, 0x7FFFFFFF)},
        {"geometry cut short", [](Entries& e) { e["batch_data.bin"].resize(700); }},
        {"no geometry", [](Entries& e) { e.erase("batch_data.bin"); }},
        {"no header", [](Entries& e) { e.erase("header.bin"); }},
        {"not an archive", [](Entries& e) { e.clear(); }},
    };
    bool ok = false;
    load(archiveOf(good), &ok);
    ASSERT_TRUE(ok);
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        Entries bad = good;
        c.change(bad);
        boost::intrusive_ptr<CBatchMesh> mesh = load(archiveOf(bad), &ok);
        EXPECT_FALSE(ok);
        EXPECT_EQ(mesh->getBatchCount(), 0u);
        EXPECT_EQ(mesh->getSegmentCount(), 0u);
    }
}

}  // namespace
}  // namespace pravik::scene
