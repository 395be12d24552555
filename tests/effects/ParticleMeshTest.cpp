#include "tests/effects/EffectsTestSupport.h"

#include "effects/ParticleKinds.h"
#include "effects/ParticleStripes.h"
#include "engine/video/material/EVertexAttribute.h"

#include <cstring>

namespace {

using namespace pravik::video;

// Logs what each draw was handed.
class DrawRecorder : public CNullDriver {
public:
    using CNullDriver::CNullDriver;
    void draw(const boost::intrusive_ptr<CVertexStreams>& streams, const CPrimitiveStream& primitives, CDriverBinding**,
              const pravik::scene::CMeshBuffer* buffer) override
    {
        draws.push_back({streams.get(), primitives, buffer});
    }
    struct Draw {
        const CVertexStreams* streams;
        CPrimitiveStream primitives;
        const pravik::scene::CMeshBuffer* buffer;
    };
    std::vector<Draw> draws;
};

class ParticleMesh : public test::EffectsTest {
protected:
    ParticleMesh()
    {
        recorder = boost::intrusive_ptr<DrawRecorder>(new DrawRecorder(static_cast<pravik::IDevice*>(nullptr)), false);
        recorder->initImplementationDependentData();
        host.driver = recorder.get();
    }
    ~ParticleMesh() override
    {
        // The particles' buffers go before the driver that made them.
        for (IEmitter* e : emitters) {
            e->remove();
            e->drop();
        }
        emitters.clear();
    }
    IEmitter* emitterOf(int kind)
    {
        IEmitter* e = newEmitter();
        e->GetParticleDesc()->SetParticleType(kind);
        e->GetParticleDesc()->SetTextureName("white.tga", true);
        return e;
    }
    static std::vector<unsigned short> indices(const CPrimitiveStream& p)
    {
        const auto* data = static_cast<const unsigned short*>(p.IndexBuffer->getData());
        return std::vector<unsigned short>(data, data + p.Count);
    }
    // Every record of the stream set lies over the given records, with their offsets and stride.
    static void expectLaidOver(const CVertexStreams& streams, const M3DXVertex_XYZDT* records, unsigned count)
    {
        EXPECT_EQ(streams.getVertexCount(), count);
        const struct { unsigned attribute, offset, type, components; } kLayout[] = {
            {EVA_POSITION, 0, EVAVT_FLOAT, 3}, {EVA_TEXCOORD0, 16, EVAVT_FLOAT, 2}, {EVA_COLOR0, 12, EVAVT_UBYTE, 4}};
        for (const auto& l : kLayout) {
            SCOPED_TRACE(l.attribute);
            const SVertexStream* s = streams.getStream(l.attribute, streams.begin(), streams.end());
            ASSERT_NE(s, streams.end());
            ASSERT_TRUE(s->buffer);
            EXPECT_EQ(s->buffer->getData(), static_cast<const void*>(records));   // wrapped, not copied
            EXPECT_EQ(s->buffer->getSize(), 24u * count);
            EXPECT_EQ(s->offset, l.offset);
            EXPECT_EQ(s->valueType, l.type);
            EXPECT_EQ(s->componentCount, l.components);
            EXPECT_EQ(s->stride, 24u);
        }
    }
    boost::intrusive_ptr<DrawRecorder> recorder;
};

TEST_F(ParticleMesh, QuadKindsDrawTheirOwnRecords)
{
    for (int kind : {0, 1, 2, 3, 6}) {
        SCOPED_TRACE(kind);
        IEmitter* e = emitterOf(kind);
        IParticle* p = e->GetParticleDesc()->GetParticle();
        p->init(*e->GetParticleDesc());
        ASSERT_TRUE(p->m_meshBuffer);
        const pravik::scene::CMeshBuffer* made = p->m_meshBuffer.get();
        expectLaidOver(*made->VertexStreams, p->m_vertices, 4);

        recorder->draws.clear();
        p->render(recorder.get());
        ASSERT_EQ(recorder->draws.size(), 1u);
        const auto& d = recorder->draws[0];
        EXPECT_EQ(d.buffer, made);
        EXPECT_EQ(d.streams, made->VertexStreams.get());
        EXPECT_EQ(d.primitives.PrimitiveType, EPT_TRIANGLES);
        EXPECT_EQ(d.primitives.IndexType, EIT_16BIT);
        EXPECT_EQ(d.primitives.FirstVertex, 0u);
        EXPECT_EQ(d.primitives.VertexEnd, 4u);
        EXPECT_EQ(indices(d.primitives), (std::vector<unsigned short>{0, 2, 1, 1, 2, 3}));

        p->init(*e->GetParticleDesc());   // a later life keeps the buffer
        EXPECT_EQ(p->m_meshBuffer.get(), made);
        delete p;
    }
}

TEST_F(ParticleMesh, LineStripesDrawTheirStripOnlyWhileTheChainHolds)
{
    for (int kind : {4, 5}) {
        SCOPED_TRACE(kind);
        IEmitter* e = emitterOf(kind);
        e->m_radialSpeed.addKeyData({0, 0.f});
        e->m_directedSpeed.addKeyData({0, 30.f});
        e->reset();
        animate(e, 3, 33, false);
        const auto& pool = e->GetParticles();
        ASSERT_GE(pool.size(), 3u);
        recorder->draws.clear();
        for (IParticle* p : pool) {
            ASSERT_TRUE(p->m_meshBuffer);
            const auto* stripe = static_cast<ParticleLineStripeBase*>(p);
            expectLaidOver(*p->m_meshBuffer->VertexStreams, stripe->m_strip, 10);
            p->render(recorder.get());
        }
        // The first two never had a chain; the third draws its ten-record strip.
        ASSERT_EQ(recorder->draws.size(), 1u);
        const auto& d = recorder->draws[0];
        EXPECT_EQ(d.buffer, pool[2]->m_meshBuffer.get());
        EXPECT_EQ(d.primitives.PrimitiveType, EPT_TRIANGLE_STRIP);
        EXPECT_EQ(d.primitives.VertexEnd, 10u);
        EXPECT_EQ(indices(d.primitives), (std::vector<unsigned short>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    }
}

TEST_F(ParticleMesh, WithoutADriverThereIsNothingToDraw)
{
    host.driver = nullptr;
    IEmitter* e = emitterOf(0);
    ParticleBillboard p(e);
    p.init(*e->GetParticleDesc());
    EXPECT_FALSE(p.m_meshBuffer);
    p.render(recorder.get());
    EXPECT_TRUE(recorder->draws.empty());
    host.driver = recorder.get();
    p.init(*e->GetParticleDesc());
    ASSERT_TRUE(p.m_meshBuffer);
    p.render(nullptr);   // no driver to draw with
    EXPECT_TRUE(recorder->draws.empty());
}

}  // namespace
