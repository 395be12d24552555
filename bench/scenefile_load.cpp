// Loading a synthesized 8 MB scene file with 200,000 relocations through the scene-file
// manager (read, checks, relocation, post-load), without and with 8 streamed segments, beside
// a plain fread of the same bytes and a memcpy into an image block; and a cache hit.
// The file system prints the absolute path of every lookup: standard output is sent to
// /dev/null while the loops run.
// Static meshes: constructGeometry of 1,000 records (24 vertices, 36 indices) with the null
// driver, cold (the file's driver-buffer cache emptied) and with the records' buffers cached,
// beside the same mesh buffers built from arrays (createBuffer, CVertexStreams::allocate,
// setupStreams, createBuffer), bare and each in a plain mesh.

#include "engine/EngineServices.h"
#include "engine/collada/CColladaDatabase.h"
#include "engine/collada/CResFile.h"
#include "engine/collada/IMesh.h"
#include "engine/collada/CResFileManager.h"
#include "engine/core/ProcessBuffer.h"
#include "engine/io/CFileSystem.h"
#include "engine/scene/CMesh.h"
#include "engine/scene/CMeshBuffer.h"
#include "engine/video/CNullDriver.h"
#include "engine/video/material/CPrimitiveStream.h"
#include "engine/video/material/CVertexStreams.h"
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

// --- static meshes ----------------------------------------------------------------------

constexpr int kGeometries = 1000;
constexpr uint32_t kVertices = 24, kIndices = 36, kStride = 32;  // position, normal, texture coordinates

// A box of 24 vertices (four a face) and 36 indices.
void boxData(std::vector<float>& vertices, std::vector<uint16_t>& indices)
{
    vertices.assign(kVertices * kStride / 4, 0.f);
    for (uint32_t v = 0; v < kVertices; ++v) {
        float* at = &vertices[v * kStride / 4];
        at[0] = float(v & 1), at[1] = float((v >> 1) & 1), at[2] = float(v >> 2);
        at[3 + (v / 4) % 3] = 1.f;
        at[6] = float(v & 1), at[7] = float((v >> 1) & 1);
    }
    indices.clear();
    for (uint16_t f = 0; f < 6; ++f)
        for (uint16_t k : {0, 1, 2, 0, 2, 3}) indices.push_back(uint16_t(4 * f + k));
}

struct GeometryFixture {
    std::string path;
    std::vector<float> vertices;
    std::vector<uint16_t> indices;
    GeometryFixture()
    {
        boxData(vertices, indices);
        formats::bres::Writer w;
        std::vector<formats::bres::SGeometrySpec> geometries(kGeometries);
        for (int g = 0; g < kGeometries; ++g) {
            auto& spec = geometries[size_t(g)];
            spec.id = "Box" + std::to_string(g);
            spec.stride = kStride;
            spec.vertexCount = kVertices;
            spec.attributes = {{0, 6, 3}, {12, 6, 3}, {24, 6, 2}};
            spec.vertices.assign(reinterpret_cast<const char*>(vertices.data()), vertices.size() * 4);
            formats::bres::SMeshBufferSpec buffer;
            buffer.normal = 1;
            buffer.texCoords[0] = 2;
            buffer.highestIndex = kVertices - 1;
            buffer.indices.assign(indices.begin(), indices.end());
            spec.buffers = {buffer};
        }
        formats::bres::addGeometries(w, geometries);
        const auto dir = std::filesystem::temp_directory_path() / ("quendrax-bench-bdae-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        path = (dir / "boxes.bdae").string();
        std::ofstream(path, std::ios::binary) << w.finish();
    }
};

GeometryFixture& geometryFixture()
{
    static GeometryFixture f;
    return f;
}

struct MeshWorld {
    pravik::CEngineServicesScope services;  // outlives the driver
    boost::intrusive_ptr<pravik::video::CNullDriver> driver;
    boost::intrusive_ptr<pravik::io::IFileSystem> fs{new pravik::io::CFileSystem()};
    pravik::collada::CResFileManager* manager = nullptr;
    MeshWorld()
    {
        pravik::core::setProcessBufferHeapSize(0x10000);
        driver = boost::intrusive_ptr<pravik::video::CNullDriver>(
            new pravik::video::CNullDriver(static_cast<pravik::IDevice*>(nullptr)), false);
        driver->initImplementationDependentData();
        manager = new pravik::collada::CResFileManager(fs, driver.get(), nullptr);
    }
    ~MeshWorld()
    {
        manager->drop();
        driver.reset();
        pravik::core::setProcessBufferHeapSize(0);
    }
};

// The timed work of a pass on either side, out of line so that a profile can count it alone
// (callgrind --toggle-collect).
[[gnu::noinline]] void constructAll(const pravik::collada::CColladaDatabase& db, pravik::video::IVideoDriver* driver,
                                    std::vector<boost::intrusive_ptr<pravik::collada::IMesh>>& meshes)
{
    for (int g = 0; g < kGeometries; ++g) meshes[size_t(g)] = db.constructGeometry(driver, g);
}

// Every pass builds new mesh buffers (the shared ones are forgotten); cached:0 also empties
// the file's driver-buffer cache, so every record makes its buffers, cached:1 keeps them
// (filled once before the first pass, so that every timed pass finds them).
void SceneFileConstructGeometry(benchmark::State& state)
{
    const bool cached = state.range(0) != 0;
    MeshWorld world;
    SilentStdout quiet;
    pravik::collada::CColladaDatabase db(geometryFixture().path.c_str());
    if (!db.isValid()) {
        state.SkipWithError("boxes.bdae does not load");
        return;
    }
    pravik::collada::CResFile* file = db.getResFile();
    std::vector<boost::intrusive_ptr<pravik::collada::IMesh>> meshes(kGeometries);
    for (int g = 0; cached && g < kGeometries; ++g) meshes[size_t(g)] = db.constructGeometry(world.driver.get(), g);
    for (auto _ : state) {
        state.PauseTiming();
        meshes.assign(kGeometries, nullptr);
        if (!cached) file->bufferCache().clear();
        file->meshBufferCache().clear();
        state.ResumeTiming();
        constructAll(db, world.driver.get(), meshes);
    }
    if (!meshes[0] || meshes[0]->getMeshBufferCount() != 1) state.SkipWithError("no mesh built");
    state.SetItemsProcessed(int64_t(state.iterations()) * kGeometries);
}
BENCHMARK(SceneFileConstructGeometry)->Arg(0)->Arg(1)->ArgName("cached")->Unit(benchmark::kMillisecond);

// The same mesh buffers from arrays: one vertex and one index buffer a mesh, the streams
// interleaved in the vertex buffer by setupStreams. mesh:1 also puts each buffer in a plain
// mesh, as constructGeometry hands back a mesh: the same objects made on both sides.
[[gnu::noinline]] void buildAllFromArrays(pravik::video::IVideoDriver* driver, GeometryFixture& f,
                                          std::vector<boost::intrusive_ptr<pravik::scene::CMeshBuffer>>* buffers,
                                          std::vector<boost::intrusive_ptr<pravik::scene::IMesh>>* meshes)
{
    using namespace pravik::video;
    const unsigned mask = (1u << EVA_POSITION) | (1u << EVA_NORMAL) | (1u << EVA_TEXCOORD0);
    for (int g = 0; g < kGeometries; ++g) {
        auto vertices = driver->createBuffer(EBT_VERTEX, EBU_CLIENT_ONLY, kVertices * kStride, f.vertices.data(), false);
        auto streams = CVertexStreams::allocate(1, mask);
        streams->setVertexCount(kVertices);
        streams->setupStreams(vertices, mask);
        auto indices = driver->createBuffer(EBT_INDEX, EBU_CLIENT_ONLY, kIndices * 2, f.indices.data(), false);
        const CPrimitiveStream primitives(indices, 0, kIndices, 0, kVertices, EIT_16BIT, EPT_TRIANGLES);
        boost::intrusive_ptr<pravik::scene::CMeshBuffer> buffer(new pravik::scene::CMeshBuffer(streams, primitives));
        if (meshes) {
            boost::intrusive_ptr<pravik::scene::CMesh> mesh(new pravik::scene::CMesh());
            mesh->addMeshBuffer(buffer);
            (*meshes)[size_t(g)] = mesh;
        } else {
            (*buffers)[size_t(g)] = buffer;
        }
    }
}

void SceneFileMeshBuffersFromArrays(benchmark::State& state)
{
    const bool inMeshes = state.range(0) != 0;
    MeshWorld world;
    auto& f = geometryFixture();
    std::vector<boost::intrusive_ptr<pravik::scene::CMeshBuffer>> buffers(kGeometries);
    std::vector<boost::intrusive_ptr<pravik::scene::IMesh>> meshes(kGeometries);
    for (auto _ : state) {
        state.PauseTiming();
        buffers.assign(kGeometries, nullptr);
        meshes.assign(kGeometries, nullptr);
        state.ResumeTiming();
        buildAllFromArrays(world.driver.get(), f, &buffers, inMeshes ? &meshes : nullptr);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kGeometries);
}
BENCHMARK(SceneFileMeshBuffersFromArrays)->Arg(0)->Arg(1)->ArgName("mesh")->Unit(benchmark::kMillisecond);

}  // namespace
