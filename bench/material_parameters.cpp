// Parameter accessors against a plain copy of the same bytes: the cost of the definition
// lookup, the type check and the change detection on the per-frame setters.

#include <benchmark/benchmark.h>

#include <cstring>

#include "engine/video/material/CGlobalMaterialParameterManager.h"

using namespace pravik;
using namespace pravik::video;

namespace {

struct SFixture {
    CGlobalMaterialParameterManager manager{nullptr};
    unsigned short colorf =
        manager.addParameter("SceneAmbientLight", ESPT_SCENE_AMBIENT_LIGHT, ESPVT_COLORF, 1, 0xff);
    unsigned short float4 = manager.addParameter("Tint", ESPT_CONSTANT, ESPVT_FLOAT4, 1, 0xff);
};

void BM_SetColorf(benchmark::State& state)
{
    SFixture f;
    float x = 0.0f;
    for (auto _ : state) {
        x += 0.001f;
        benchmark::DoNotOptimize(f.manager.setParameter(f.colorf, 0, SColorf(x, 0.5f, 0.25f, 1.0f)));
    }
}
BENCHMARK(BM_SetColorf);

void BM_SetCvtVector4ToColorf(benchmark::State& state)
{
    SFixture f;
    float x = 0.0f;
    for (auto _ : state) {
        x += 0.001f;
        benchmark::DoNotOptimize(
            f.manager.setParameterCvt(f.colorf, 0, core::vector4d<float>(x, 0.5f, 0.25f, 1.0f)));
    }
}
BENCHMARK(BM_SetCvtVector4ToColorf);

void BM_SetCvtColorToFloat4(benchmark::State& state)
{
    SFixture f;
    unsigned char r = 0;
    for (auto _ : state) {
        ++r;
        benchmark::DoNotOptimize(f.manager.setParameterCvt(f.float4, 0, SColor(r, 128, 0, 255)));
    }
}
BENCHMARK(BM_SetCvtColorToFloat4);

// Reference: the same 16 bytes copied into a block with no checks at all.
void BM_MemcpyReference(benchmark::State& state)
{
    alignas(16) unsigned char block[64] = {};
    float x = 0.0f;
    for (auto _ : state) {
        x += 0.001f;
        const SColorf value(x, 0.5f, 0.25f, 1.0f);
        std::memcpy(block + 16, &value, sizeof(value));
        benchmark::DoNotOptimize(block);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MemcpyReference);

}  // namespace
