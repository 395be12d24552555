// One scene frame (update, then drawAll) on the null driver with 1,000 and 10,000 mesh nodes
// over 20 materials, 5 % of them moved each frame and about half outside the camera's view,
// beside a flat array of the same boxes culled with the same frustum test and ordered with
// std::sort on a 64-bit (material, index) key. Counters: visible nodes and heap allocations per
// frame after the first (counted at malloc, which every allocation of the program reaches).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "engine/EngineServices.h"
#include "engine/core/ProcessBuffer.h"
#include "engine/scene/CCameraSceneNode.h"
#include "engine/scene/CGeometryCreator.h"
#include "engine/scene/CMeshSceneNode.h"
#include "engine/scene/CSceneManager.h"
#include "engine/scene/SViewFrustum.h"
#include "engine/video/CNullDriver.h"
#include "engine/video/material/CMaterialRendererManager.h"
#include "engine/video/material/CNullShader.h"
#include "engine/video/material/IShaderManager.h"

extern "C" void* __libc_malloc(std::size_t);
extern "C" void* __libc_realloc(void*, std::size_t);

namespace {
std::atomic<unsigned long> g_mallocs{0};
}

extern "C" void* malloc(std::size_t size)
{
    g_mallocs.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(size);
}

extern "C" void* realloc(void* p, std::size_t size)
{
    g_mallocs.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(p, size);
}

using namespace pravik;

namespace {

constexpr int kMaterials = 20;

class PositionShader : public video::CNullShader {
public:
    PositionShader(video::IVideoDriver* d, unsigned short id) : CNullShader(id, "scene bench shader", d)
    {
        m_input.attribute = video::EVA_POSITION;
        m_input.index = 0;
        m_vertexAttributes = &m_input;
        m_vertexAttributeCount = 1;
    }
    ~PositionShader() override { m_vertexAttributes = nullptr; }

private:
    video::SShaderVertexAttributeDef m_input;
};

// Node i stands on a grid of 850 x 1450 around the origin, where the view spans 600 x 1024:
// about half of the nodes are in view.
core::vector3d<float> placeOf(int i, int n, float shift)
{
    const int side = int(std::sqrt(float(n))) + 1;
    return {-425.f + 850.f / float(side) * float(i % side) + shift, -725.f + 1450.f / float(side) * float(i / side), 0};
}

struct SScene {
    CEngineServicesScope services;
    boost::intrusive_ptr<video::CNullDriver> driver;
    scene::CSceneManager* manager = nullptr;
    std::vector<scene::ISceneNode*> nodes;

    explicit SScene(int n)
    {
        core::setProcessBufferHeapSize(0x10000);
        driver = boost::intrusive_ptr<video::CNullDriver>(new video::CNullDriver(static_cast<IDevice*>(nullptr)), false);
        driver->initImplementationDependentData();
        boost::intrusive_ptr<video::IShader> shader(new PositionShader(driver.get(), driver->getShaderManager()->getNextId()));
        driver->getShaderManager()->addShader(shader);
        std::vector<boost::intrusive_ptr<scene::CMesh>> meshes;
        video::CMaterialRendererManager& m = *driver->getMaterialRendererManager();
        for (int k = 0; k < kMaterials; ++k) {
            m.beginMaterialRenderer(("scene bench " + std::to_string(k)).c_str(), true);
            m.beginTechnique("t", true);
            m.addRenderPass(boost::intrusive_ptr<const video::IShader>(shader), {});
            m.endTechnique();
            auto cube = scene::createCubeMesh(1u << video::EVA_POSITION, driver.get(), 10);
            cube->setMaterial(0, m.getMaterialInstance(m.endMaterialRenderer()), nullptr);
            meshes.push_back(cube);
        }
        manager = new scene::CSceneManager(driver.get(), nullptr);
        auto* camera = static_cast<scene::CCameraSceneNode*>(manager->addSceneNode("camera"));
        camera->setPosition(core::vector3d<float>(0, 0, 512));
        camera->setTarget({0, 0, 0});
        camera->setFOV(1.5707964f);
        camera->setAspectRatio(600.f / 1024.f);
        for (int i = 0; i < n; ++i) {
            auto* node = new scene::CMeshSceneNode(meshes[size_t(i % kMaterials)]);
            node->setPosition(placeOf(i, n, 0));
            node->setAutomaticCulling(scene::EAC_FRUSTUM_BOX);
            manager->getRootSceneNode()->addChild(node);
            nodes.push_back(node);
            node->drop();
        }
    }
    ~SScene() { manager->drop(); }
};

void BM_SceneFrame(benchmark::State& state)
{
    const int n = int(state.range(0));
    SScene scene(n);
    const int moved = n / 20;
    int frame = 0;
    unsigned long before = 0, frames = 0;
    for (auto _ : state) {
        const float shift = (frame & 1) ? 3.f : 0.f;
        const int first = (frame * moved) % n;
        for (int k = 0; k < moved; ++k) {
            const int i = (first + k) % n;
            scene.nodes[size_t(i)]->setPosition(placeOf(i, n, shift));
        }
        scene.manager->update(16);
        scene.manager->drawAll();
        if (frame++ == 1) before = g_mallocs.load(), frames = 0;  // warmed up after two frames
        ++frames;
    }
    state.counters["allocs/frame"] = frames > 1 ? double(g_mallocs.load() - before) / double(frames - 1) : 0;
    state.counters["visible"] = double(n - scene.manager->getParameters().getInt("culled"));
}
BENCHMARK(BM_SceneFrame)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

__attribute__((noinline)) void drawSink(std::uint64_t key) { benchmark::DoNotOptimize(key); }

// The peer: the same boxes in flat arrays, the same frustum test, a 64-bit key sort.
void BM_FlatBoxesFrame(benchmark::State& state)
{
    const int n = int(state.range(0));
    SScene scene(n);  // for the camera's frustum
    scene.manager->update(16);
    scene.manager->drawAll();
    const scene::SViewFrustum frustum = *scene.manager->getActiveCamera()->getViewFrustum();
    const core::aabbox3d<float> local = scene.nodes[0]->getBoundingBox();
    std::vector<core::vector3d<float>> positions(static_cast<size_t>(n));
    std::vector<std::uint32_t> materials(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        positions[size_t(i)] = placeOf(i, n, 0);
        materials[size_t(i)] = std::uint32_t(i % kMaterials);
    }
    std::vector<std::uint64_t> keys;
    keys.reserve(size_t(n));
    const int moved = n / 20;
    int frame = 0;
    size_t visible = 0;
    for (auto _ : state) {
        const float shift = (frame & 1) ? 3.f : 0.f;
        const int first = (frame * moved) % n;
        for (int k = 0; k < moved; ++k) {
            const int i = (first + k) % n;
            positions[size_t(i)] = placeOf(i, n, shift);
        }
        ++frame;
        keys.clear();
        for (int i = 0; i < n; ++i) {
            const core::aabbox3d<float> box(local.MinEdge + positions[size_t(i)], local.MaxEdge + positions[size_t(i)]);
            bool culled = scene::boxesApart(box, frustum.boundingBox);
            for (int p = 0; !culled && p < scene::SViewFrustum::VF_PLANE_COUNT; ++p)
                culled = scene::boxOutsidePlane(box, frustum.planes[p]);
            if (!culled) keys.push_back(std::uint64_t(materials[size_t(i)]) << 32 | std::uint32_t(i));
        }
        std::sort(keys.begin(), keys.end());
        for (std::uint64_t k : keys) drawSink(k);
        visible = keys.size();
    }
    state.counters["visible"] = double(visible);
}
BENCHMARK(BM_FlatBoxesFrame)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace
