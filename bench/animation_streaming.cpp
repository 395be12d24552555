// 1,000 position bindings sharing their key times, key data in two streamed segments of a file
// on disk: an ordinary frame (block found through the current one, one shared search, 1,000
// lerps onto values) and a frame that crosses into a segment nobody holds (read, checked and
// resolved, and the segment after it prepared ahead, so two reads), against a plain pread of
// the same bytes plus a binary search and lerp over plain arrays.

#include <benchmark/benchmark.h>

#include "engine/collada/AnimationTrackLookup.h"
#include "engine/collada/CAnimationStreamingManager.h"
#include "engine/collada/SAnimationAccessor.h"
#include "tests/engine/collada/AnimationFixture.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace pravik;
using namespace pravik::collada;

namespace {

constexpr int kBindings = 1000, kKeys = 32, kStep = 16;  // keys every 16 ms, per segment

// Segment key data: array 0 the shared key times, then one 3-float value array per binding.
std::vector<unsigned char> segmentBytes(int first)
{
    std::vector<std::uint32_t> words{kBindings + 1};
    std::vector<std::vector<std::uint32_t>> arrays;
    std::vector<std::uint32_t> times;
    for (int k = 0; k < kKeys; ++k)
        times.push_back(std::uint32_t(first + k * kStep));
    arrays.push_back(times);
    for (int b = 0; b < kBindings; ++b) {
        std::vector<std::uint32_t> v;
        for (int k = 0; k < kKeys * 3; ++k) {
            const float f = float(b + k);
            std::uint32_t u;
            std::memcpy(&u, &f, 4);
            v.push_back(u);
        }
        arrays.push_back(v);
    }
    std::uint32_t payload = 4 + 8 * std::uint32_t(arrays.size());
    for (std::size_t i = 0; i < arrays.size(); ++i) {
        words.push_back(std::uint32_t(i == 0 ? kKeys : kKeys * 3));
        words.push_back(payload - std::uint32_t(8 + 8 * i));
        payload += 4 * std::uint32_t(arrays[i].size());
    }
    for (const auto& a : arrays)
        words.insert(words.end(), a.begin(), a.end());
    std::vector<unsigned char> out(words.size() * 4);
    std::memcpy(out.data(), words.data(), out.size());
    return out;
}

class FileSource : public IAnimationStreamSource {
public:
    explicit FileSource(const std::string& path) : m_path(path)
    {
        std::vector<unsigned char> all;
        for (int s = 0; s < 2; ++s) {
            const std::vector<unsigned char> b = segmentBytes(s * (kKeys - 1) * kStep);
            SAnimationSegmentInfo info;
            info.first = s * (kKeys - 1) * kStep;
            info.end = (s + 1) * (kKeys - 1) * kStep;
            info.streamed = true;
            info.offset = std::uint32_t(all.size());
            info.size = std::uint32_t(b.size());
            m_segments.push_back(info);
            all.insert(all.end(), b.begin(), b.end());
        }
        FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(all.data(), 1, all.size(), f);
        std::fclose(f);
        m_size = std::uint32_t(all.size());
    }
    bool hasAnimations() const override { return true; }
    int getSegmentCount() const override { return 2; }
    SAnimationSegmentInfo getSegment(int i) const override { return m_segments[std::size_t(i)]; }
    SAnimationClipView getClip(int) const override { return {"all", 0, m_segments[1].end}; }
    std::uint32_t getStreamedSize() const override { return m_size; }
    std::unique_ptr<IStreamedReader> openStreamed() override
    {
        struct SReader : IStreamedReader {
            int fd;
            explicit SReader(int f) : fd(f) {}
            ~SReader() override { ::close(fd); }
            bool read(std::uint32_t offset, std::uint32_t size, void* out) override
            {
                return ::pread(fd, out, size, off_t(offset)) == ssize_t(size);
            }
        };
        const int fd = ::open(m_path.c_str(), O_RDONLY);
        return fd < 0 ? nullptr : std::make_unique<SReader>(fd);
    }
    const char* getName() const override { return m_path.c_str(); }

private:
    std::string m_path;
    std::vector<SAnimationSegmentInfo> m_segments;
    std::uint32_t m_size = 0;
};

struct SFixture {
    std::string path = "/tmp/quendrax-bench-anim-" + std::to_string(::getpid()) + ".bin";
    boost::intrusive_ptr<FileSource> source{new FileSource(path), false};
    test::RecordImage image;
    std::unique_ptr<CFlatRecordSpace> space;
    std::vector<SAnimationView> views;
    std::vector<float> out = std::vector<float>(kBindings * 3);

    SFixture()
    {
        std::vector<std::uint32_t> refs;
        for (int b = 0; b < kBindings; ++b) {
            test::AnimationSpec spec;
            spec.samplers[0].components = 3;
            spec.samplers[0].keyValueArray = std::uint32_t(b + 1);
            refs.push_back(image.animation(spec));
        }
        space = std::make_unique<CFlatRecordSpace>(image.bytes().data(), std::uint32_t(image.bytes().size()));
        views.resize(kBindings);
        for (int b = 0; b < kBindings; ++b) {
            views[std::size_t(b)].resolve(*space, refs[std::size_t(b)]);
            views[std::size_t(b)].track = getAnimationTrackEx(&views[std::size_t(b)]);
        }
    }
    ~SFixture() { std::remove(path.c_str()); }

    // One animator pass at time t: the block, one shared search, every binding's value.
    void pass(CAnimationStreamingManager& m, boost::intrusive_ptr<CAnimationBlock>& current, int t)
    {
        m.getAnimationBlock({source, -1, t}, current);
        const SAnimationData* data = current ? current->getData() : nullptr;
        SKeySearchCache cache;
        cache.enabled = true;
        int hint = 0;
        for (int b = 0; b < kBindings; ++b) {
            const SAnimationAccessor a(&views[std::size_t(b)], data, &cache);
            a.getValue(t, &out[std::size_t(b) * 3], hint, true);
        }
    }
};

void BM_AnimatorPassOrdinaryFrame(benchmark::State& state)
{
    SFixture f;
    CAnimationStreamingManager m;
    boost::intrusive_ptr<CAnimationBlock> current;
    int t = 0;
    for (auto _ : state) {
        t = (t + 16) % ((kKeys - 2) * kStep);  // stays inside segment 0
        f.pass(m, current, 8 + t);
        benchmark::DoNotOptimize(f.out.data());
    }
}

void BM_AnimatorPassCrossingFrame(benchmark::State& state)
{
    SFixture f;
    CAnimationStreamingManager m;
    for (auto _ : state) {
        boost::intrusive_ptr<CAnimationBlock> current;  // nobody holds segment 1: it is read now
        f.pass(m, current, (kKeys - 1) * kStep + 8);
        benchmark::DoNotOptimize(f.out.data());
    }
}

// The plain way: a segment's bytes read as a block load reads them (the file opened, one pread,
// closed), then per binding a binary search and a lerp.
void plainRead(const SFixture& f, int segment, std::vector<unsigned char>& bytes)
{
    const SAnimationSegmentInfo s = f.source->getSegment(segment);
    bytes.resize(s.size);
    const int fd = ::open(f.path.c_str(), O_RDONLY);
    benchmark::DoNotOptimize(::pread(fd, bytes.data(), s.size, off_t(s.offset)));
    ::close(fd);
}

void plainSample(SFixture& f, const std::vector<unsigned char>& bytes, int t)
{
    const std::uint32_t* w = reinterpret_cast<const std::uint32_t*>(bytes.data());
    const std::uint32_t* times = w + (8 + w[2]) / 4;
    for (int b = 0; b < kBindings; ++b) {
        const std::uint32_t field = 8 + 8 * std::uint32_t(b + 1);
        const float* v = reinterpret_cast<const float*>(bytes.data() + field + w[field / 4]);
        const std::uint32_t* it = std::upper_bound(times, times + kKeys, std::uint32_t(t));
        const int k1 = std::min(int(it - times), kKeys - 1), k0 = std::max(k1 - 1, 0);
        const float fr = k1 == k0 ? 0.f : float(t - int(times[k0])) / float(int(times[k1]) - int(times[k0]));
        for (int c = 0; c < 3; ++c)
            f.out[std::size_t(b) * 3 + std::size_t(c)] = v[k0 * 3 + c] + fr * (v[k1 * 3 + c] - v[k0 * 3 + c]);
    }
}

void BM_PlainOrdinaryFrame(benchmark::State& state)
{
    SFixture f;
    std::vector<unsigned char> bytes;
    plainRead(f, 0, bytes);
    int t = 0;
    for (auto _ : state) {
        t = (t + 16) % ((kKeys - 2) * kStep);
        plainSample(f, bytes, 8 + t);
        benchmark::DoNotOptimize(f.out.data());
    }
}

// The same reads as the animator's crossing frame: the segment it enters, and the one after it,
// which a block in use prepares ahead (for the clip's last segment, its first).
void BM_PlainCrossingFrame(benchmark::State& state)
{
    SFixture f;
    std::vector<unsigned char> bytes, next;
    for (auto _ : state) {
        plainRead(f, 1, bytes);
        plainRead(f, 0, next);
        plainSample(f, bytes, (kKeys - 1) * kStep + 8);
        benchmark::DoNotOptimize(f.out.data());
        benchmark::DoNotOptimize(next.data());
    }
}

BENCHMARK(BM_AnimatorPassOrdinaryFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainOrdinaryFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AnimatorPassCrossingFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainCrossingFrame)->Unit(benchmark::kMicrosecond);

} // namespace
