// 1,000 draws sharing one material through the GL ES driver on llvmpipe, against issuing the
// GL calls such a draw needs directly. Counters: GL calls per draw (from the counting
// dispatch, outside the timed loop) and the draws' CPU time per iteration.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/HeadlessGL.h"
#include "engine/EngineServices.h"
#include "engine/core/ProcessBuffer.h"
#include "engine/video/gl/CFixedGLShaderManager.h"
#include "engine/video/gl/CGLCallRecorder.h"
#include "engine/video/material/CMaterial.h"
#include "engine/video/material/CMaterialRendererManager.h"
#include "engine/video/gl/COpenGLESDriver.h"
#include "engine/video/material/CVertexStreams.h"

using namespace pravik;
using namespace pravik::video;

namespace {

constexpr int Draws = 1000;

struct SScene {
    CEngineServicesScope services;  // outlives the driver
    COpenGLESDriver* driver = nullptr;
    boost::intrusive_ptr<CMaterial> material;
    boost::intrusive_ptr<CVertexStreams> streams;
    boost::intrusive_ptr<IBuffer> buffer;
    std::vector<float> vertices;
    CPrimitiveStream primitives{nullptr, 0, 4, 0, 4, EIT_NONE, EPT_TRIANGLE_STRIP};

    SScene()
    {
        core::setProcessBufferHeapSize(0x10000);
        driver = createOpenGLES1Driver(nullptr, {64, 64});
        if (!driver) return;
        SFixedGLShaderVertexState vs;
        SFixedGLShaderFragmentState fs;
        fs.setActiveUnitCount(1);
        auto shader = static_cast<CFixedGLShaderManager*>(driver->getShaderManager())->createShader("bench", vs, fs);
        CMaterialRendererManager& renderers = *driver->getMaterialRendererManager();
        renderers.beginMaterialRenderer("bench", true);
        renderers.beginTechnique("Technique #1", true);
        renderers.addRenderPass(boost::intrusive_ptr<const IShader>(shader), detail::renderpass::SRenderState());
        renderers.endTechnique(true, 0);
        material = renderers.getMaterialInstance(renderers.endMaterialRenderer());
        const unsigned mask = 1u << EVA_POSITION | 1u << EVA_TEXCOORD0;
        streams = CVertexStreams::allocate(1, mask);
        buffer = driver->createBuffer(EBT_VERTEX, EBU_CLIENT_ONLY, 0, nullptr, true);
        const unsigned short stride = streams->setupStreams(buffer, mask);
        vertices.assign(4u * stride / sizeof(float), 0.f);
        buffer->reset(unsigned(vertices.size() * sizeof(float)), vertices.data(), false);
        streams->setVertexCount(4);
        driver->setMaterial(material, 0);
        driver->draw(streams, primitives);  // the first draw enables the arrays
    }
    ~SScene()
    {
        if (driver) {
            driver->setMaterial(nullptr, 0);
            material.reset();
            streams.reset();
            buffer.reset();
            driver->drop();
        }
        core::setProcessBufferHeapSize(0);
    }
};


void BM_DriverDrawsSharingOneMaterial(benchmark::State& state)
{
    if (!bench::headlessGL()) return state.SkipWithError("no headless GL ES context");
    SScene scene;
    if (!scene.driver) return state.SkipWithError("driver did not start");
    size_t calls = 0;
    {
        CGLCallRecorder recorder(false);
        for (int i = 0; i < Draws; ++i) {
            scene.driver->setMaterial(scene.material, 0);
            scene.driver->draw(scene.streams, scene.primitives);
        }
        calls = recorder.total();
    }
    if (std::getenv("GL_DRAW_LOG")) {
            CGLCallRecorder one;
            scene.driver->setMaterial(scene.material, 0);
            scene.driver->draw(scene.streams, scene.primitives);
            for (const auto& c : one.log()) std::fprintf(stderr, "%s\n", c.c_str());
        }
    for (auto _ : state)
        for (int i = 0; i < Draws; ++i) {
            scene.driver->setMaterial(scene.material, 0);
            scene.driver->draw(scene.streams, scene.primitives);
        }
    state.counters["gl_calls_per_draw"] = double(calls) / Draws;
    state.counters["time_per_draw"] =
        benchmark::Counter(double(Draws), benchmark::Counter::kIsIterationInvariantRate |
                                                      benchmark::Counter::kInvert);
}
BENCHMARK(BM_DriverDrawsSharingOneMaterial)->Unit(benchmark::kMicrosecond);

// The calls a steady-state draw of the scene above makes, issued straight through GL.
void BM_DirectGLCallsOfTheSameDraws(benchmark::State& state)
{
    if (!bench::headlessGL()) return state.SkipWithError("no headless GL ES context");
    SScene scene;
    if (!scene.driver) return state.SkipWithError("driver did not start");
    const auto* base = static_cast<const unsigned char*>(scene.buffer->getData());
    const SVertexStream* s = scene.streams->begin();
    const SVertexStream* position = s;
    const SVertexStream* coords = s + 1;
    for (auto _ : state)
        for (int i = 0; i < Draws; ++i) {
            glVertexPointer(position->componentCount, GL_FLOAT, position->stride, base + position->offset);
            glTexCoordPointer(coords->componentCount, GL_FLOAT, coords->stride, base + coords->offset);
        }
    state.counters["gl_calls_per_draw"] = 2;
    state.counters["time_per_draw"] =
        benchmark::Counter(double(Draws), benchmark::Counter::kIsIterationInvariantRate |
                                                      benchmark::Counter::kInvert);
}
BENCHMARK(BM_DirectGLCallsOfTheSameDraws)->Unit(benchmark::kMicrosecond);

}  // namespace
