// One 16 ms frame of 10,000 position tracks (64 float keys each) applied to 10,000 scene nodes:
// through the hinted search, the exact search and the shared-key cache, against a plain binary
// search and lerp over the same keys into an array. Every track has its own copy of the key
// times, so that the plain loop searches per track as the tracks do (a search over one shared
// array would be hoisted out of its loop); the cache is the tracks' way to search once a frame.

#include <benchmark/benchmark.h>

#include "engine/collada/AnimationTrackLookup.h"
#include "engine/collada/SAnimationAccessor.h"
#include "engine/scene/ISceneNode.h"
#include "tests/engine/collada/AnimationFixture.h"

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

using namespace pravik;
using namespace pravik::collada;

namespace {

constexpr int kTracks = 10000, kKeys = 64, kStepMs = 40;
constexpr int kEndMs = (kKeys - 1) * kStepMs;

class BenchNode : public scene::ISceneNode {
public:
    void render(void*) override {}
    const core::aabbox3d<float>& getBoundingBox() const override { return m_box; }

private:
    core::aabbox3d<float> m_box;
};

struct SScene {
    test::RecordImage image;
    std::unique_ptr<CFlatRecordSpace> space;
    SAnimationView view;
    std::vector<std::vector<std::int32_t>> times;  // per track, equal contents
    std::vector<std::vector<float>> values;  // per track, 3 floats a key
    std::vector<SKeyArray> arrays;  // one side array for all, as a loaded block keeps them
    std::vector<SAnimationData> data;
    std::vector<std::unique_ptr<BenchNode>> nodes;
    std::vector<int> hints;

    SScene()
    {
        std::mt19937 rng(5);
        std::uniform_real_distribution<float> d(-10.f, 10.f);
        values.resize(kTracks);
        times.resize(kTracks);
        for (int t = 0; t < kTracks; ++t) {
            for (int k = 0; k < kKeys; ++k)
                times[t].push_back(k * kStepMs);
            for (int i = 0; i < kKeys * 3; ++i)
                values[t].push_back(d(rng));
            arrays.push_back({reinterpret_cast<const unsigned char*>(times[t].data()), kKeys, kKeys * 4});
            arrays.push_back({reinterpret_cast<const unsigned char*>(values[t].data()), kKeys * 3, kKeys * 12});
            nodes.push_back(std::make_unique<BenchNode>());
        }
        for (int t = 0; t < kTracks; ++t)
            data.push_back({&arrays[std::size_t(t) * 2], 2});
        test::AnimationSpec spec;
        spec.samplers[0].components = 3;
        const std::uint32_t ref = image.animation(spec);
        space = std::make_unique<CFlatRecordSpace>(image.bytes().data(), std::uint32_t(image.bytes().size()));
        view.resolve(*space, ref);
        view.track = getAnimationTrackEx(&view);
        hints.assign(kTracks, 0);
    }
};

SScene& scene()
{
    static SScene s;
    return s;
}

enum EMode { HINTED, EXACT, CACHED };

void frames(benchmark::State& state, EMode mode)
{
    SScene& s = scene();
    int time = 0;
    for (auto _ : state) {
        time = (time + 16) % kEndMs;
        SKeySearchCache cache;
        cache.enabled = mode == CACHED;
        const auto* track = static_cast<const CAnimationTrackEx*>(s.view.track);
        for (int t = 0; t < kTracks; ++t) {
            const SAnimationAccessor a(&s.view, &s.data[std::size_t(t)], &cache);
            if (mode == EXACT)
                track->applyValue(a, time, s.nodes[std::size_t(t)].get(), nullptr, true);
            else
                a.applyValue(time, s.nodes[std::size_t(t)].get(), s.hints[std::size_t(t)], true);
        }
        benchmark::DoNotOptimize(s.nodes[0]->getPosition());
    }
    state.SetItemsProcessed(state.iterations() * kTracks);
}

void BM_AnimationFrameHinted(benchmark::State& state) { frames(state, HINTED); }
void BM_AnimationFrameExact(benchmark::State& state) { frames(state, EXACT); }
void BM_AnimationFrameSharedKeyCache(benchmark::State& state) { frames(state, CACHED); }

// The reference: a binary search over track t's key times and a lerp of its values.
inline core::vector3d<float> plainSample(const SScene& s, int t, int time)
{
    const std::vector<std::int32_t>& times = s.times[std::size_t(t)];
    const auto it = std::upper_bound(times.begin(), times.end(), time);
    const int k1 = int(it - times.begin()), k0 = k1 > 0 ? k1 - 1 : 0;
    const int kn = k1 < kKeys ? k1 : kKeys - 1;
    const float f = kn == k0 ? 0.f
             : float(time - times[std::size_t(k0)]) / float(times[std::size_t(kn)] - times[std::size_t(k0)]);
    const float* v = s.values[std::size_t(t)].data();
    return core::vector3d<float>(v[k0 * 3] + f * (v[kn * 3] - v[k0 * 3]), v[k0 * 3 + 1] + f * (v[kn * 3 + 1] - v[k0 * 3 + 1]),
                                 v[k0 * 3 + 2] + f * (v[kn * 3 + 2] - v[k0 * 3 + 2]));
}

void BM_AnimationFramePlainArrays(benchmark::State& state)
{
    SScene& s = scene();
    std::vector<core::vector3d<float>> out(kTracks);
    int time = 0;
    for (auto _ : state) {
        time = (time + 16) % kEndMs;
        for (int t = 0; t < kTracks; ++t) {
            out[std::size_t(t)] = plainSample(s, t, time);
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * kTracks);
}

// The floor of writing nodes: the plain search and lerp, each value set on its node.
void BM_AnimationFramePlainOntoNodes(benchmark::State& state)
{
    SScene& s = scene();
    int time = 0;
    for (auto _ : state) {
        time = (time + 16) % kEndMs;
        for (int t = 0; t < kTracks; ++t) {
            s.nodes[std::size_t(t)]->setPosition(plainSample(s, t, time));
        }
        benchmark::DoNotOptimize(s.nodes[0]->getPosition());
    }
    state.SetItemsProcessed(state.iterations() * kTracks);
}

BENCHMARK(BM_AnimationFrameHinted)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AnimationFrameExact)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AnimationFrameSharedKeyCache)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AnimationFramePlainArrays)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AnimationFramePlainOntoNodes)->Unit(benchmark::kMicrosecond);

} // namespace
