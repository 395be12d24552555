// Loading a synthesized 8 MB scene file with 200,000 relocations through the scene-file
// manager (read, checks, relocation, post-load), without and with 8 streamed segments, beside
// a plain fread of the same bytes and a memcpy into an image block; and a cache hit.
// The file system prints the absolute path of every lookup: standard output is sent to
// /dev/null while the loops run.

#include "engine/collada/CResFileManager.h"
#include "engine/io/CFileSystem.h"
#include "tools/formats/BresWriter.h"

#include <benchmark/benchmark.h>
#include <boost/intrusive_ptr.hpp>

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr uint32_t kRelocations = 200000;
constexpr uint32_t kBytes = 8u << 20;

std::string synthesize(bool segmented)
{
    formats::bres::Writer w;
    std::mt19937 rng(7);
    const uint32_t segmentBytes = segmented ? (kBytes / 2) / 8 : 0;
    const uint32_t dataBytes = kBytes - 8 * segmentBytes - 4 * kRelocations - 4096;
    const uint32_t block = w.alloc(dataBytes);
    const uint32_t words = dataBytes / 4;
    std::uniform_int_distribution<uint32_t> anyWord(0, words - 1);
    uint32_t inSegments = segmented ? kRelocations / 10 : 0;
    std::vector<uint32_t> segments;
    for (uint32_t s = 0; segmented && s < 8; ++s) segments.push_back(w.addSegment(1u << s, std::string(segmentBytes - 4, 'x')));
    const uint32_t inData = kRelocations - inSegments - 8;
    // Slots spread over the data, each pointing at some word of it.
    for (uint32_t i = 0; i < inData; ++i) w.ptr(block + 4 * (uint32_t(uint64_t(i) * words / inData)), block + 4 * anyWord(rng));
    for (uint32_t s = 0; s < segments.size(); ++s) w.ptrToSegment(w.alloc(4), segments[s]);
    for (uint32_t i = 0; i < inSegments; ++i)
        w.segmentPtr(segments[i % 8], 8 + 4 * (i / 8), block + 4 * anyWord(rng));
    return w.finish();
}

struct Fixture {
    std::string path[2];
    Fixture()
    {
        const auto dir = std::filesystem::temp_directory_path() / ("quendrax-bench-bdae-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        for (int s = 0; s < 2; ++s) {
            path[s] = (dir / (s ? "segmented.bdae" : "flat.bdae")).string();
            std::ofstream(path[s], std::ios::binary) << synthesize(s == 1);
        }
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

class SilentStdout {
public:
    SilentStdout() : m_saved(dup(1))
    {
        std::fflush(stdout);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        close(null);
    }
    ~SilentStdout()
    {
        std::fflush(stdout);
        dup2(m_saved, 1);
        close(m_saved);
    }

private:
    int m_saved;
};

void SceneFileGet(benchmark::State& state)
{
    const std::string& path = fixture().path[state.range(0)];
    boost::intrusive_ptr<pravik::io::IFileSystem> fs(new pravik::io::CFileSystem());
    auto* manager = new pravik::collada::CResFileManager(fs, nullptr, nullptr);
    {
        SilentStdout quiet;
        for (auto _ : state) {
            benchmark::DoNotOptimize(manager->get(path.c_str(), true));
            manager->unload(path.c_str());
        }
    }
    manager->drop();
    state.SetBytesProcessed(int64_t(state.iterations()) * kBytes);
}
BENCHMARK(SceneFileGet)->Arg(0)->Arg(1)->ArgName("segments8")->Unit(benchmark::kMillisecond);

// fresh:1 allocates both blocks every time, as a loader does (the first touch of fresh pages
// costs as much as the copy); fresh:0 reuses them.
void SceneFileFreadMemcpy(benchmark::State& state)
{
    const std::string& path = fixture().path[state.range(0)];
    const bool fresh = state.range(1) != 0;
    std::unique_ptr<char[]> read(new char[kBytes + 65536]), image(new char[kBytes + 65536]);
    for (auto _ : state) {
        if (fresh) {
            read.reset(new char[kBytes + 65536]);
            image.reset(new char[kBytes + 65536]);
        }
        std::FILE* f = std::fopen(path.c_str(), "rb");
        const size_t n = std::fread(read.get(), 1, kBytes + 65536, f);
        std::fclose(f);
        std::memcpy(image.get(), read.get(), n);
        benchmark::DoNotOptimize(image.get());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kBytes);
}
BENCHMARK(SceneFileFreadMemcpy)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->ArgNames({"segments8", "fresh"})
    ->Unit(benchmark::kMillisecond);

void SceneFileCacheHit(benchmark::State& state)
{
    const std::string& path = fixture().path[0];
    boost::intrusive_ptr<pravik::io::IFileSystem> fs(new pravik::io::CFileSystem());
    auto* manager = new pravik::collada::CResFileManager(fs, nullptr, nullptr);
    {
        SilentStdout quiet;
        manager->get(path.c_str(), true);
        for (auto _ : state) benchmark::DoNotOptimize(manager->get(path.c_str(), true));
    }
    manager->drop();
}
BENCHMARK(SceneFileCacheHit)->Unit(benchmark::kMicrosecond);

}  // namespace
