// The batch driver on a null driver: draws become segments in its append buffer, split by a
// byte budget or a grid, with the callbacks told of each segment and each finished batch.
#include "engine/EngineServices.h"
#include "engine/scene/CAppendMeshBuffer.h"
#include "engine/video/CBatchDriver.h"
#include "engine/video/CNullDriver.h"
#include "engine/video/material/CVertexStreams.h"
#include "tests/engine/video/DriverTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace pravik::video {
namespace {

struct SegmentLog : scene::ISegmentCompileCallback {
    struct Seen {
        unsigned vertices;
        std::vector<unsigned short> indices;
    };
    void operator()(scene::CBatchMesh*, void*, const scene::SCompileInfo& info) override
    {
        const CPrimitiveStream& p = *info.PrimitiveStream;
        Seen s{p.VertexEnd - p.FirstVertex, {}};
        const auto* data = static_cast<const unsigned short*>(p.IndexBuffer->getData());
        s.indices.assign(data + p.IndexOffset / 2, data + p.IndexOffset / 2 + p.Count);
        seen.push_back(s);
    }
    std::vector<Seen> seen;
};

struct BatchLog : scene::IEndOfBatchCallback {
    void operator()(const scene::CAppendMeshBuffer& buffer, const boost::intrusive_ptr<CMaterial>& material) override
    {
        vertexBytes.push_back(buffer.VertexFill);
        materials.push_back(material.get());
    }
    std::vector<unsigned> vertexBytes;
    std::vector<CMaterial*> materials;
};

class CBatchDriverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_real = ::test::makeNullDriver();
        auto shader = ::test::addTestShader(*m_real, "positions", {}, {EVA_POSITION});
        m_material = m_real->getMaterialRendererManager()->getMaterialInstance(::test::buildRenderer(*m_real, "solid", shader));
        makeDriver(1u << 20, 1u << 16);
    }
    void makeDriver(unsigned vertexBytes, unsigned indexBytes)
    {
        m_batch = boost::intrusive_ptr<CBatchDriver>(new CBatchDriver(vertexBytes, indexBytes, m_real.get()), false);
        m_batch->setAppendBuffer(new scene::CAppendMeshBuffer(vertexBytes, indexBytes, m_batch.get(), EBU_DYNAMIC, 0xFFFFFFFFu));
        m_batch->setSegmentCallback(&m_segments);
        m_batch->setEndOfBatchCallback(&m_batches);
        m_batch->setMaterial(m_material, 0);
    }

    // A row of n separate triangles along x, ten units apart.
    CPrimitiveStream triangles(unsigned n, boost::intrusive_ptr<CVertexStreams>& streams)
    {
        std::vector<float> v;
        std::vector<unsigned short> idx;
        for (unsigned i = 0; i < n; ++i) {
            const float x = float(i) * 10;
            const float corners[3][3] = {{x, 0, 0}, {x + 1, 0, 0}, {x, 1, 0}};
            for (auto& c : corners) v.insert(v.end(), c, c + 3);
            for (unsigned k = 0; k < 3; ++k) idx.push_back((unsigned short)(3 * i + k));
        }
        auto vb = m_real->createBuffer(EBT_VERTEX, EBU_CLIENT_ONLY, unsigned(v.size() * 4), new unsigned char[v.size() * 4], true);
        std::memcpy(vb->getData(), v.data(), v.size() * 4);
        auto ib = m_real->createBuffer(EBT_INDEX, EBU_CLIENT_ONLY, unsigned(idx.size() * 2), new unsigned char[idx.size() * 2], true);
        std::memcpy(ib->getData(), idx.data(), idx.size() * 2);
        streams = CVertexStreams::allocate(1u << EVA_POSITION);
        SVertexStream* p = streams->begin();
        p->buffer = vb;
        p->valueType = EVAVT_FLOAT;
        p->componentCount = 3;
        p->stride = 12;
        streams->setVertexCount(3 * n);
        return CPrimitiveStream(ib, 0, 3 * n, 0, 3 * n, EIT_16BIT, EPT_TRIANGLES);
    }

    CEngineServicesScope m_services;
    ::test::ProcessBufferHeap m_heap;
    boost::intrusive_ptr<CNullDriver> m_real;
    boost::intrusive_ptr<CMaterial> m_material;
    boost::intrusive_ptr<CBatchDriver> m_batch;
    SegmentLog m_segments;
    BatchLog m_batches;
};

TEST_F(CBatchDriverTest, DrawsAppendWholeUnlessSplittingIsAskedFor)
{
    boost::intrusive_ptr<CVertexStreams> streams;
    const CPrimitiveStream p = triangles(4, streams);
    ASSERT_TRUE(m_batch->getBatchBaker());
    // Neither a budget nor a cell size: one segment of the whole draw.
    m_batch->draw(streams, p);
    ASSERT_EQ(m_segments.seen.size(), 1u);
    EXPECT_EQ(m_segments.seen[0].vertices, 12u);
    const scene::CAppendMeshBuffer& a = *m_batch->getCurrentAppendBuffer();
    EXPECT_EQ(a.getTriangleCount(), 4u);

    // A budget of half the draw's bytes (m = 2): 6 vertices a cluster, so each seed takes its
    // two nearest: three triangles, then the one left; each cluster renumbered from 0.
    m_batch->setSegmentByteBudget(12 * 12 / 2);
    m_segments.seen.clear();
    m_batch->draw(streams, p);
    ASSERT_EQ(m_segments.seen.size(), 2u);
    EXPECT_EQ(m_segments.seen[0].vertices, 9u);
    EXPECT_EQ(m_segments.seen[0].indices, (std::vector<unsigned short>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(m_segments.seen[1].vertices, 3u);
    EXPECT_EQ(m_segments.seen[1].indices, (std::vector<unsigned short>{0, 1, 2}));
    EXPECT_EQ(a.getTriangleCount(), 8u);

    // A budget above half the bytes (m = 1), or a split choice against it: whole again.
    m_segments.seen.clear();
    m_batch->setSegmentByteBudget(12 * 12 / 2 + 1);
    m_batch->draw(streams, p);
    struct Never : scene::ISplitSegmentChoiceCallback {
        bool operator()(const scene::SCompileInfo&) override { return false; }
    } never;
    m_batch->setSegmentByteBudget(12);
    m_batch->setSplitChoiceCallback(&never);
    m_batch->draw(streams, p);
    ASSERT_EQ(m_segments.seen.size(), 2u);
    EXPECT_EQ(m_segments.seen[1].vertices, 12u);
    m_batch->setSplitChoiceCallback(nullptr);

    // A grid of 10-unit cells: one cluster a triangle.
    m_segments.seen.clear();
    m_batch->setGridCellSize({10, 10, 10});
    m_batch->draw(streams, p);
    EXPECT_EQ(m_segments.seen.size(), 4u);
}

TEST_F(CBatchDriverTest, SharedVerticesAreCopiedOnceAndInterleavedOffsetsStartAtZero)
{
    // Two triangles (0, 1, 2) and (2, 1, 3) far from two others: vertices of 20 bytes with the
    // position at offset 8 and a colour at offset 4.
    const float quad[4][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
    std::vector<unsigned char> bytes(8 * 20, 0);
    for (unsigned i = 0; i < 8; ++i) {
        float p[3] = {quad[i % 4][0] + (i < 4 ? 0.f : 50.f), quad[i % 4][1], 0};
        std::memcpy(&bytes[i * 20 + 8], p, 12);
        bytes[i * 20 + 4] = (unsigned char)i;  // the colour's red names the vertex
    }
    auto vb = m_real->createBuffer(EBT_VERTEX, EBU_CLIENT_ONLY, unsigned(bytes.size()), new unsigned char[bytes.size()], true);
    std::memcpy(vb->getData(), bytes.data(), bytes.size());
    const unsigned short idx[12] = {0, 1, 2, 2, 1, 3, 4, 5, 6, 6, 5, 7};
    auto ib = m_real->createBuffer(EBT_INDEX, EBU_CLIENT_ONLY, 24, new unsigned char[24], true);
    std::memcpy(ib->getData(), idx, 24);
    auto streams = CVertexStreams::allocate((1u << EVA_POSITION) | (1u << EVA_COLOR0));
    SVertexStream* s = streams->begin();
    s[0] = {vb, 8, EVA_POSITION, EVAVT_FLOAT, 3, 20};
    s[1] = {vb, 4, EVA_COLOR0, EVAVT_UBYTE, 4, 20};
    streams->setVertexCount(8);
    unsigned lowest = 99;
    EXPECT_TRUE(CBatchDriver::isVertexStreamHomolaced(*streams, lowest));
    EXPECT_EQ(lowest, 4u);

    struct Keep : scene::ISegmentCompileCallback {
        void operator()(scene::CBatchMesh*, void*, const scene::SCompileInfo& info) override
        {
            streams.push_back(info.VertexStreams);
            const CPrimitiveStream& p = *info.PrimitiveStream;
            const auto* d = static_cast<const unsigned short*>(p.IndexBuffer->getData());
            indices.emplace_back(d, d + p.Count);
        }
        std::vector<boost::intrusive_ptr<const CVertexStreams>> streams;
        std::vector<std::vector<unsigned short>> indices;
    } keep;
    m_batch->setSegmentCallback(&keep);
    m_batch->setGridCellSize({10, 10, 10});
    m_batch->draw(streams, CPrimitiveStream(ib, 0, 12, 0, 8, EIT_16BIT, EPT_TRIANGLES));
    ASSERT_EQ(keep.streams.size(), 2u);
    for (size_t c = 0; c < 2; ++c) {
        SCOPED_TRACE(c);
        EXPECT_EQ(keep.indices[c], (std::vector<unsigned short>{0, 1, 2, 2, 1, 3}));
        const CVertexStreams& out = *keep.streams[c];
        EXPECT_EQ(out.getVertexCount(), 4u);
        const SVertexStream* o = out.begin();
        EXPECT_EQ(o[0].offset, 4u);  // 8 - 4
        EXPECT_EQ(o[1].offset, 0u);  // 4 - 4
        const auto* data = static_cast<const unsigned char*>(o[0].buffer->getData());
        const unsigned group = data[0] / 4;  // grid keys are hashes: either group may come first
        for (unsigned v = 0; v < 4; ++v) {
            float p[3];
            std::memcpy(p, data + v * 20 + 4, 12);
            EXPECT_EQ(data[v * 20], group * 4 + v);  // copied once, in first-use order
            EXPECT_FLOAT_EQ(p[0], quad[v][0] + (group ? 50.f : 0.f));
        }
    }
}

TEST_F(CBatchDriverTest, WhatCannotBeMergedLeavesTheBufferAlone)
{
    boost::intrusive_ptr<CVertexStreams> streams;
    const CPrimitiveStream p = triangles(2, streams);
    const scene::CAppendMeshBuffer& a = *m_batch->getCurrentAppendBuffer();
    const struct {
        const char* why;
        CPrimitiveStream primitives;
    } kCases[] = {
        {"lines", CPrimitiveStream(p.IndexBuffer, 0, 6, 0, 6, EIT_16BIT, EPT_LINES)},
        {"quads: the bakers write no indices for them", CPrimitiveStream(p.IndexBuffer, 0, 4, 0, 4, EIT_16BIT, EPT_QUADS)},
        {"no indices", CPrimitiveStream(nullptr, 0, 6, 0, 6, EIT_NONE, EPT_TRIANGLES)},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        m_batch->draw(streams, c.primitives);
        EXPECT_EQ(a.VertexFill, 0u);
        EXPECT_TRUE(m_segments.seen.empty());
    }
    // Flushing an empty buffer ends no batch.
    m_batch->flush();
    EXPECT_TRUE(m_batches.vertexBytes.empty());
}

TEST_F(CBatchDriverTest, AFullBufferEndsTheBatchAndAnOversizedDrawIsLeftOut)
{
    // Room for 8 vertices of the baked layout.
    const unsigned stride = m_batch->getCurrentAppendBuffer()->VertexStride;
    makeDriver(8 * stride, 1024);
    boost::intrusive_ptr<CVertexStreams> small, large;
    const CPrimitiveStream two = triangles(2, small), three = triangles(3, large);
    m_batch->draw(small, two);
    m_batch->draw(small, two);  // 12 vertices do not fit: the first batch ends
    ASSERT_EQ(m_batches.vertexBytes.size(), 1u);
    EXPECT_EQ(m_batches.vertexBytes[0], 6 * stride);
    EXPECT_EQ(m_batches.materials[0], m_batch->getBatchMaterial().get());
    m_batch->draw(large, three);  // 9 vertices fit no empty buffer either
    EXPECT_EQ(m_segments.seen.size(), 2u);
    EXPECT_EQ(m_batches.vertexBytes.size(), 2u);
    m_batch->flush();  // the buffer was emptied for the large draw: nothing more to end
    EXPECT_EQ(m_batches.vertexBytes.size(), 2u);
    EXPECT_EQ(m_batch->getCurrentAppendBuffer()->VertexFill, 0u);
}

}  // namespace
}  // namespace pravik::video
