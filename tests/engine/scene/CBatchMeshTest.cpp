// The batch mesh built by hand: batches and segments over cube buffers whose vertices are
// numbered in their x coordinate, so that moved geometry shows where it came from.
#include "engine/scene/CBatchMesh.h"
#include "engine/scene/CGeometryCreator.h"
#include "engine/video/material/BatchUtils.h"
#include "tests/engine/scene/SceneTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace pravik::scene {
namespace {

class CBatchMeshTest : public ::testing::Test {
protected:
    void SetUp() override { m_driver = ::test::makeNullDriver(); }

    // A cube's buffer (24 vertices, 36 indices, positions only) with vertex v at (v, 0, 0) and
    // the indices given, the rest 0.
    boost::intrusive_ptr<CMeshBuffer> numberedBuffer(const std::vector<unsigned short>& indices)
    {
        boost::intrusive_ptr<CMeshBuffer> buffer = createCubeMesh(1u << video::EVA_POSITION, m_driver.get(), 10)->getMeshBuffer(0);
        auto* p = static_cast<float*>(vertices(*buffer)->map(video::EBMA_CLIENT_WRITE));
        for (unsigned v = 0; v < 24; ++v) p[3 * v] = float(v), p[3 * v + 1] = p[3 * v + 2] = 0;
        vertices(*buffer)->unmap();
        auto* x = static_cast<unsigned short*>(buffer->PrimitiveStream.IndexBuffer->map(video::EBMA_CLIENT_WRITE));
        for (unsigned k = 0; k < 36; ++k) x[k] = k < indices.size() ? indices[k] : 0;
        buffer->PrimitiveStream.IndexBuffer->unmap();
        return buffer;
    }
    static video::IBuffer* vertices(CMeshBuffer& buffer) { return buffer.VertexStreams->begin()->buffer.get(); }
    // The x of every vertex, and every index, as the buffer holds them now.
    static std::vector<float> xs(CMeshBuffer& buffer, unsigned count)
    {
        const auto* p = static_cast<const float*>(vertices(buffer)->map(video::EBRMA_CLIENT_READ));
        std::vector<float> out;
        for (unsigned v = 0; v < count; ++v) out.push_back(p[3 * v]);
        vertices(buffer)->unmap();
        return out;
    }
    static std::vector<unsigned short> indices(CMeshBuffer& buffer, unsigned count)
    {
        const auto* x = static_cast<const unsigned short*>(buffer.PrimitiveStream.IndexBuffer->map(video::EBRMA_CLIENT_READ));
        std::vector<unsigned short> out(x, x + count);
        buffer.PrimitiveStream.IndexBuffer->unmap();
        return out;
    }

    CEngineServicesScope m_services;
    ::test::ProcessBufferHeap m_heap;
    boost::intrusive_ptr<video::CNullDriver> m_driver;
};

TEST_F(CBatchMeshTest, SortPutsStaticSegmentsFirstAndMovesTheDynamicGeometryLast)
{
    boost::intrusive_ptr<CBatchMesh> mesh(new CBatchMesh);
    // Batch 0: static S1 (vertices 0-3), dynamic D (4-6), static S2 (7-8); each segment's
    // indices name its own vertices.
    ASSERT_EQ(mesh->addBatch(), 0u);
    ASSERT_EQ(mesh->addSegment(4, 6, 0), 0u);
    ASSERT_EQ(mesh->addSegment(3, 3, 1), 1u);
    ASSERT_EQ(mesh->addSegment(2, 3, 2), 2u);
    boost::intrusive_ptr<CMeshBuffer> mixed = numberedBuffer({0, 1, 2, 2, 3, 0, 4, 5, 6, 7, 8, 7});
    mesh->setBuffer(0, mixed, nullptr);
    boost::intrusive_ptr<CMeshBuffer> source = numberedBuffer({});
    const core::aabbox3d<float> nodeBox(5, 5, 5, 6, 6, 6);
    mesh->getSegment(1).Source = source;
    mesh->getSegment(1).Box = &nodeBox;
    // Batch 1: static only; batch 2: no segments.
    ASSERT_EQ(mesh->addBatch(), 1u);
    mesh->addSegment(3, 3, 0);
    boost::intrusive_ptr<CMeshBuffer> still = numberedBuffer({0, 1, 2});
    mesh->setBuffer(1, still, nullptr);
    ASSERT_EQ(mesh->addBatch(), 2u);

    EXPECT_EQ(mesh->sort(m_driver.get()), 3u);  // no material: every batch is solid

    const CBatchMesh::SBatch& b = mesh->getBatch(0);
    EXPECT_EQ(b.StaticCount, 2);
    // Slots now hold S1, S2, D; the numbers still find them.
    EXPECT_EQ(mesh->getSegmentAt(0).Number, 0u);
    EXPECT_EQ(mesh->getSegmentAt(1).Number, 2u);
    EXPECT_EQ(mesh->getSegmentAt(2).Number, 1u);
    EXPECT_EQ(mesh->getSegmentInfo(2).Position, 1u);
    EXPECT_EQ(mesh->getSegmentInfo(1).Position, 2u);
    const CBatchMesh::SSegment& s2 = mesh->getSegment(2);
    const CBatchMesh::SSegment& d = mesh->getSegment(1);
    EXPECT_EQ((std::vector<unsigned>{s2.FirstVertex, s2.EndVertex, s2.SecondEndVertex, s2.FirstIndex, s2.EndIndex, s2.SecondEndIndex}),
              (std::vector<unsigned>{4, 6, 6, 6, 9, 9}));
    EXPECT_EQ((std::vector<unsigned>{d.FirstVertex, d.EndVertex, d.SecondEndVertex, d.FirstIndex, d.EndIndex, d.SecondEndIndex}),
              (std::vector<unsigned>{6, 9, 9, 9, 12, 12}));
    EXPECT_EQ(d.Layer, 1);
    EXPECT_EQ(s2.Layer, 2);
    // S2's vertices follow S1's, D's come last; indices are rebased with them.
    EXPECT_EQ(xs(*mixed, 9), (std::vector<float>{0, 1, 2, 3, 7, 8, 4, 5, 6}));
    EXPECT_EQ(indices(*mixed, 12), (std::vector<unsigned short>{0, 1, 2, 2, 3, 0, 4, 5, 4, 6, 7, 8}));
    // Static segments point into the mesh's own boxes; the dynamic one keeps its node's box.
    EXPECT_NE(mesh->getSegment(0).Box, nullptr);
    EXPECT_NE(s2.Box, nullptr);
    EXPECT_NE(s2.Box, mesh->getSegment(0).Box);
    EXPECT_EQ(d.Box, &nodeBox);

    // The mixed batch and the empty one count as dynamic; the all-static one stays in place.
    EXPECT_EQ(mesh->getDynamicBatchCount(), 2u);
    EXPECT_EQ(mixed->Dynamic, 1);
    EXPECT_EQ(still->Dynamic, 0);
    EXPECT_EQ(mesh->getBatch(1).StaticCount, 1);
    EXPECT_EQ(xs(*still, 3), (std::vector<float>{0, 1, 2}));
    EXPECT_EQ(indices(*still, 3), (std::vector<unsigned short>{0, 1, 2}));

    // The bounding box takes the static vertex ranges and the dynamic segment's node box.
    mesh->initStaticSegmentBoundingBoxes();
    EXPECT_EQ(s2.Box->MinEdge.X, 7);
    EXPECT_EQ(s2.Box->MaxEdge.X, 8);
    const core::aabbox3d<float>& box = mesh->getBoundingBox();
    EXPECT_EQ(box.MinEdge, core::vector3d<float>(-1, -1, -1));  // the empty batch gives the default box
    EXPECT_EQ(box.MaxEdge, core::vector3d<float>(8, 6, 6));
}


// Vertex v's attribute as floats, decoded with the stream set's scale and offset for positions
// and texture coordinates and as a unit vector for quantised normals.
std::vector<float> decoded(const video::CVertexStreams& set, unsigned attribute, unsigned v)
{
    const video::SVertexStream* s = set.getStream(attribute, set.begin(), set.end());
    const auto* p = static_cast<const unsigned char*>(static_cast<const video::IBuffer*>(s->buffer.get())->map(video::EBRMA_CLIENT_READ)) +
                    s->offset + size_t(v) * s->stride;
    std::vector<float> out;
    for (unsigned c = 0; c < s->componentCount; ++c) {
        float x = 0;
        switch (s->valueType) {
        case video::EVAVT_FLOAT: std::memcpy(&x, p + 4 * c, 4); break;
        case video::EVAVT_SHORT: x = float(reinterpret_cast<const short*>(p)[c]); break;
        case video::EVAVT_BYTE: x = float(reinterpret_cast<const signed char*>(p)[c]); break;
        default: ADD_FAILURE() << "value type " << s->valueType;
        }
        const video::CVertexStreams::SScaleOffset* table = set.getScaleAndOffsets();
        const unsigned entry = attribute == video::EVA_POSITION ? 0 : attribute - video::EVA_TEXCOORD0 + 1;
        if (s->valueType != video::EVAVT_FLOAT && attribute == video::EVA_NORMAL) x /= s->valueType == video::EVAVT_BYTE ? 127.f : 32767.f;
        else if (s->valueType != video::EVAVT_FLOAT) x = x * (&table[entry].scale.X)[c] + (&table[entry].offset.X)[c];
        out.push_back(x);
    }
    s->buffer->unmap();
    return out;
}

TEST_F(CBatchMeshTest, QuantisedBufferDecodesToTheSourceWithinOneStep)
{
    const unsigned mask = 1u << video::EVA_POSITION | 1u << video::EVA_NORMAL | 1u << video::EVA_TEXCOORD0;
    boost::intrusive_ptr<CMeshBuffer> source = createCubeMesh(mask, m_driver.get(), 10)->getMeshBuffer(0);
    source->Dynamic = 1;
    const struct { bool normalsAs16Bit, positions; unsigned normalType, positionType; float normalStep; } kCases[] = {
        {false, false, video::EVAVT_BYTE, video::EVAVT_FLOAT, 1 / 127.f},
        {true, true, video::EVAVT_SHORT, video::EVAVT_SHORT, 1 / 32767.f}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.positions);
        boost::intrusive_ptr<CMeshBuffer> q = core::createQuantizedBuffer(source, c.normalsAs16Bit, c.positions, m_driver.get());
        ASSERT_TRUE(q);
        const video::CVertexStreams& set = *q->VertexStreams;
        ASSERT_EQ(set.getVertexCount(), 24u);
        EXPECT_EQ(set.getStream(video::EVA_NORMAL, set.begin(), set.end())->valueType, c.normalType);
        EXPECT_EQ(set.getStream(video::EVA_POSITION, set.begin(), set.end())->valueType, c.positionType);
        EXPECT_EQ(set.getStream(video::EVA_TEXCOORD0, set.begin(), set.end())->valueType, video::EVAVT_SHORT);
        EXPECT_EQ(set.getFlags() & 0xC, c.positions ? 0xCu : 0x8u);  // quantised positions, texture set 0
        EXPECT_EQ(set.getFlags() & 1, 1);  // one interleaved buffer
        // Shared index data, copied dynamic flag.
        EXPECT_EQ(q->PrimitiveStream.IndexBuffer, source->PrimitiveStream.IndexBuffer);
        EXPECT_EQ(q->PrimitiveStream.Count, 36u);
        EXPECT_EQ(q->Dynamic, 1);
        const float positionStep = c.positions ? 10.f / 65535 : 0;
        for (unsigned v = 0; v < 24; ++v) {
            SCOPED_TRACE(v);
            const std::vector<float> p = decoded(set, video::EVA_POSITION, v), p0 = decoded(*source->VertexStreams, video::EVA_POSITION, v);
            const std::vector<float> n = decoded(set, video::EVA_NORMAL, v), n0 = decoded(*source->VertexStreams, video::EVA_NORMAL, v);
            const std::vector<float> t = decoded(set, video::EVA_TEXCOORD0, v), t0 = decoded(*source->VertexStreams, video::EVA_TEXCOORD0, v);
            for (unsigned k = 0; k < 3; ++k) EXPECT_NEAR(p[k], p0[k], positionStep * 1.01f);
            for (unsigned k = 0; k < 3; ++k) EXPECT_NEAR(n[k], n0[k], c.normalStep * 1.01f);
            for (unsigned k = 0; k < 2; ++k) EXPECT_NEAR(t[k], t0[k], 1.01f / 65535);
        }
    }
    EXPECT_FALSE(core::createQuantizedBuffer(source, false, false, nullptr));
}

TEST_F(CBatchMeshTest, QuantizeComponentsLeavesBatchesWithDynamicSegmentsAlone)
{
    boost::intrusive_ptr<CBatchMesh> mesh(new CBatchMesh);
    mesh->addBatch();
    mesh->addSegment(24, 36, 0);
    boost::intrusive_ptr<CMeshBuffer> moving = numberedBuffer({});
    mesh->setBuffer(0, moving, nullptr);
    mesh->getSegment(0).Source = numberedBuffer({});
    mesh->addBatch();
    mesh->addSegment(24, 36, 0);
    boost::intrusive_ptr<CMeshBuffer> still = numberedBuffer({});
    mesh->setBuffer(1, still, nullptr);
    mesh->sort(m_driver.get());

    mesh->quantizeComponents(false, true, m_driver.get());
    EXPECT_EQ(mesh->getMeshBuffer(0), moving);
    ASSERT_NE(mesh->getMeshBuffer(1), still);
    const video::CVertexStreams& set = *mesh->getMeshBuffer(1)->VertexStreams;
    EXPECT_EQ(set.begin()->valueType, video::EVAVT_SHORT);
    EXPECT_NEAR(decoded(set, video::EVA_POSITION, 23)[0], 23.f, 23.f / 65535 * 1.01f);

    // Nothing of the content is lost by giving up spare room, and the mesh cannot be copied.
    mesh->strip();
    EXPECT_EQ(mesh->getSegmentCount(), 2u);
    EXPECT_EQ(mesh->getSegment(1).EndIndex, 36u);
    EXPECT_EQ(mesh->getBatch(1).FirstSegment, 1);
    EXPECT_FALSE(mesh->clone());
    // An index past the batches is ignored by setMaterial.
    const auto material = ::test::makeMaterial(*m_driver, "m", false);
    mesh->setMaterial(2, material, nullptr);
    EXPECT_FALSE(mesh->getMaterial(0));
    EXPECT_FALSE(mesh->getMaterial(1));
}

}  // namespace
}  // namespace pravik::scene
