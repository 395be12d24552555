// Merging small draws: 10,000 quads (4 vertices, 2 triangles each, one material) drawn and
// flushed through the null driver with merging on, against copying the same vertex and index
// bytes with memcpy (the least any merge must do).

#include "engine/EngineServices.h"
#include "engine/core/ProcessBuffer.h"
#include "engine/video/material/CMaterialRendererManager.h"
#include "engine/video/CNullDriver.h"
#include "engine/video/material/CNullShader.h"
#include "engine/video/material/CVertexStreams.h"
#include "engine/video/material/IShaderManager.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

using namespace pravik;
using namespace pravik::video;

namespace {

constexpr int Quads = 10000;

class PositionShader : public CNullShader {
public:
    PositionShader(IVideoDriver* d, unsigned short id) : CNullShader(id, "bench position shader", d)
    {
        m_input.attribute = EVA_POSITION;
        m_input.index = 0;
        m_vertexAttributes = &m_input;
        m_vertexAttributeCount = 1;
    }
    ~PositionShader() override { m_vertexAttributes = nullptr; }

private:
    SShaderVertexAttributeDef m_input;
};

struct Scene {
    CEngineServicesScope services;  // outlives the driver
    boost::intrusive_ptr<CNullDriver> driver;
    boost::intrusive_ptr<CMaterial> material;
    std::vector<boost::intrusive_ptr<CVertexStreams>> streams;
    CPrimitiveStream primitives;
    std::vector<float> vertices;
    std::vector<unsigned short> indices;

    Scene()
    {
        core::setProcessBufferHeapSize(0x10000);
        driver = boost::intrusive_ptr<CNullDriver>(new CNullDriver(static_cast<IDevice*>(nullptr)), false);
        driver->initImplementationDependentData();
        IShaderManager* shaders = driver->getShaderManager();
        boost::intrusive_ptr<IShader> shader(new PositionShader(driver.get(), shaders->getNextId()));
        shaders->addShader(shader);
        CMaterialRendererManager& m = *driver->getMaterialRendererManager();
        m.beginMaterialRenderer("bench", true);
        m.beginTechnique("t", true);
        m.addRenderPass(boost::intrusive_ptr<const IShader>(shader), {});
        m.endTechnique();
        material = m.getMaterialInstance(m.endMaterialRenderer());

        const unsigned short quad[6] = {0, 1, 2, 2, 1, 3};
        auto ib = driver->createBuffer(EBT_INDEX, EBU_CLIENT_ONLY, 12, new unsigned char[12], true);
        std::memcpy(ib->getData(), quad, 12);
        primitives = CPrimitiveStream(ib, 0, 6, 0, 4, EIT_16BIT, EPT_TRIANGLES);
        for (int q = 0; q < Quads; ++q) {
            const float p[12] = {float(q), 0, 0, float(q) + 1, 0, 0, float(q), 1, 0, float(q) + 1, 1, 0};
            vertices.insert(vertices.end(), p, p + 12);
            indices.insert(indices.end(), quad, quad + 6);
            auto vb = driver->createBuffer(EBT_VERTEX, EBU_CLIENT_ONLY, 48, new unsigned char[48], true);
            std::memcpy(vb->getData(), p, 48);
            auto s = CVertexStreams::allocate(1u << EVA_POSITION);
            SVertexStream* pos = s->begin();
            pos->buffer = vb;
            pos->valueType = EVAVT_FLOAT;
            pos->componentCount = 3;
            pos->stride = 12;
            s->setVertexCount(4);
            streams.push_back(s);
        }
    }
};

void BM_MergeQuadsThroughNullDriver(benchmark::State& state)
{
    Scene scene;
    scene.driver->setOption(0x100, true);
    for (auto _ : state) {
        scene.driver->setMaterial(scene.material, 0);
        for (const auto& s : scene.streams) scene.driver->draw(s, scene.primitives);
        scene.driver->flush();
    }
    state.SetItemsProcessed(state.iterations() * Quads);
}
BENCHMARK(BM_MergeQuadsThroughNullDriver)->Unit(benchmark::kMicrosecond);

void BM_DrawQuadsUnmerged(benchmark::State& state)
{
    Scene scene;
    for (auto _ : state) {
        scene.driver->setMaterial(scene.material, 0);
        for (const auto& s : scene.streams) scene.driver->draw(s, scene.primitives);
    }
    state.SetItemsProcessed(state.iterations() * Quads);
}
BENCHMARK(BM_DrawQuadsUnmerged)->Unit(benchmark::kMicrosecond);

void BM_MemcpySameBytes(benchmark::State& state)
{
    Scene scene;
    std::vector<unsigned char> vertexOut(32768), indexOut(4096);
    for (auto _ : state) {
        // The same 48 + 12 bytes per quad, into buffers of the append buffers' sizes.
        size_t v = 0, i = 0;
        for (int q = 0; q < Quads; ++q) {
            if (v + 48 > vertexOut.size() || i + 12 > indexOut.size()) v = i = 0;
            std::memcpy(vertexOut.data() + v, scene.vertices.data() + size_t(q) * 12, 48);
            std::memcpy(indexOut.data() + i, scene.indices.data() + size_t(q) * 6, 12);
            v += 48;
            i += 12;
        }
        benchmark::DoNotOptimize(vertexOut.data());
        benchmark::DoNotOptimize(indexOut.data());
    }
    state.SetItemsProcessed(state.iterations() * Quads);
}
BENCHMARK(BM_MemcpySameBytes)->Unit(benchmark::kMicrosecond);

}  // namespace
