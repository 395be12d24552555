// Sorting 10,000 materials the way the scene manager orders its solid list (operator<, hash
// word first, then pass-by-pass comparison), and refreshing their hash words, against sorting
// plain structs of the same values by a field-wise compare.

#include "engine/EngineServices.h"
#include "engine/core/ProcessBuffer.h"
#include "engine/video/material/CMaterialRendererManager.h"
#include "engine/video/CNullDriver.h"
#include "engine/video/material/CNullShader.h"
#include "engine/video/material/IShaderManager.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <tuple>
#include <vector>

using namespace pravik;
using namespace pravik::video;

namespace {

constexpr int Count = 10000;

class ParameterShader : public CNullShader {
public:
    ParameterShader(IVideoDriver* d, unsigned short id, const char* name) : CNullShader(id, name, d)
    {
        const char* names[3] = {"Shininess", "AlphaRef", "Diffuse"};
        const unsigned short types[3] = {ESPT_SHININESS, ESPT_ALPHA_REF, ESPT_DIFFUSE_COLOR};
        const unsigned char values[3] = {ESPVT_FLOAT, ESPVT_FLOAT, ESPVT_COLOR};
        for (int i = 0; i < 3; ++i) {
            m_defs[i].name = names[i];
            m_defs[i].type = types[i];
            m_defs[i].valueType = values[i];
            m_defs[i].arraySize = 1;
        }
        m_stages[0].parameters = m_defs;
        m_stages[0].parameterCount = 3;
    }
    ~ParameterShader() override { m_stages[0].parameters = nullptr; }

private:
    SShaderParameterDef m_defs[3];
};

struct Plain {
    unsigned shader;
    float shininess, alphaRef;
    unsigned colour;
    bool operator<(const Plain& o) const
    {
        return std::tie(shader, shininess, alphaRef, colour) < std::tie(o.shader, o.shininess, o.alphaRef, o.colour);
    }
};

struct Materials {
    CEngineServicesScope services;  // outlives the driver
    boost::intrusive_ptr<CNullDriver> driver;
    std::vector<boost::intrusive_ptr<CMaterial>> materials;
    std::vector<Plain> plain;
    Materials()
    {
        core::setProcessBufferHeapSize(0x10000);
        driver = boost::intrusive_ptr<CNullDriver>(new CNullDriver(static_cast<IDevice*>(nullptr)), false);
        CMaterialRendererManager& m = *driver->getMaterialRendererManager();
        std::vector<boost::intrusive_ptr<CMaterialRenderer>> renderers;
        for (int r = 0; r < 8; ++r) {
            char name[32];
            std::snprintf(name, sizeof name, "shader %d", r);
            IShaderManager* shaders = driver->getShaderManager();
            boost::intrusive_ptr<IShader> shader(new ParameterShader(driver.get(), shaders->getNextId(), name));
            shaders->addShader(shader);
            m.beginMaterialRenderer(name, true);
            m.beginTechnique("t", true);
            m.addRenderPass(boost::intrusive_ptr<const IShader>(shader), {});
            m.endTechnique();
            renderers.push_back(m.get(m.endMaterialRenderer()));
        }
        std::mt19937 rng(5);
        for (int i = 0; i < Count; ++i) {
            const unsigned r = rng() % 8;
            auto mat = CMaterial::allocate(renderers[r]);
            const float s = float(rng() % 16), a = float(rng() % 4);
            const SColor c(std::uint8_t(rng() % 4 * 60), 0, 0, 255);
            mat->setParameter(0, 0, s);
            mat->setParameter(1, 0, a);
            mat->setParameter(2, 0, c);
            materials.push_back(mat);
            plain.push_back({r, s, a, c.toWord()});
        }
    }
};

void BM_SortMaterials(benchmark::State& state)
{
    Materials set;
    std::vector<CMaterial*> order;
    for (auto& m : set.materials) order.push_back(m.get());
    std::mt19937 rng(1);
    for (auto _ : state) {
        state.PauseTiming();
        std::shuffle(order.begin(), order.end(), rng);
        state.ResumeTiming();
        std::sort(order.begin(), order.end(), [](const CMaterial* a, const CMaterial* b) { return *a < *b; });
    }
    state.SetItemsProcessed(state.iterations() * Count);
}
BENCHMARK(BM_SortMaterials)->Unit(benchmark::kMicrosecond);

void BM_SortPlainStructs(benchmark::State& state)
{
    Materials set;
    std::vector<Plain> order = set.plain;
    std::mt19937 rng(1);
    for (auto _ : state) {
        state.PauseTiming();
        std::shuffle(order.begin(), order.end(), rng);
        state.ResumeTiming();
        std::sort(order.begin(), order.end());
    }
    state.SetItemsProcessed(state.iterations() * Count);
}
BENCHMARK(BM_SortPlainStructs)->Unit(benchmark::kMicrosecond);

void BM_RefreshHashWords(benchmark::State& state)
{
    Materials set;
    for (auto _ : state) {
        for (auto& m : set.materials) {
            m->setDirty();
            benchmark::DoNotOptimize(m->getHashCode());
        }
    }
    state.SetItemsProcessed(state.iterations() * Count);
}
BENCHMARK(BM_RefreshHashWords)->Unit(benchmark::kMicrosecond);

}  // namespace
