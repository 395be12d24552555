// The effect pool's Load over the sample effects (394 instances from 125 files in a mounted
// folder), beside reading the same files' bytes with one read each, and the parse step alone.

#include "effects/BeffFile.h"
#include "effects/ZuduvaHost.h"
#include "engine/EngineServices.h"
#include "engine/io/CFileSystem.h"
#include "engine/io/IReadFile.h"
#include "engine/scene/CSceneManager.h"
#include "engine/video/CNullDriver.h"
#include "engine/video/CTextureManager.h"
#include "game/SpecialFX/CSpecialFXManager.h"
#include "tools/formats/SampleEffects.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <fcntl.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct SampleFolder {
    SampleFolder()
    {
        root = fs::temp_directory_path() / ("quendrax-bench-effects-" + std::to_string(getpid()));
        for (const auto& [path, bytes] : formats::effects::sampleEffectFiles()) {
            fs::create_directories((root / path).parent_path());
            std::ofstream(root / path, std::ios::binary) << bytes;
            if (path.ends_with("eff"))
                effects.push_back(path);
        }
    }
    ~SampleFolder() { fs::remove_all(root); }
    fs::path root;
    std::vector<std::string> effects;
};

// The pool and the file system print as they go: their lines go nowhere while measured.
class QuietStdout {
public:
    QuietStdout() : m_saved(dup(1))
    {
        std::fflush(stdout);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        close(null);
    }
    ~QuietStdout()
    {
        std::fflush(stdout);
        dup2(m_saved, 1);
        close(m_saved);
    }

private:
    int m_saved;
};

class LoadHost : public IZuduvaHost {
public:
    pravik::IDevice* getDevice() override { return nullptr; }
    pravik::video::IVideoDriver* getVideoDriver() override { return driver; }
    pravik::scene::CSceneManager* getSceneManager() override { return sceneManager; }
    boost::intrusive_ptr<pravik::video::CMaterial> getMaterial(int) override { return nullptr; }
    int getBlendMode() const override { return 0; }
    void setBlendMode(int) override {}
    void setTexture(const boost::intrusive_ptr<pravik::video::ITexture>&) override {}
    void setWorldMatrix(const pravik::core::CMatrix4<float>&) override {}
    int Blt(M3DXVertex_XYZDT*, int) override { return 0; }
    pravik::io::IFileSystem* getFileSystem() override { return fileSystem; }

    pravik::video::IVideoDriver* driver = nullptr;
    pravik::scene::CSceneManager* sceneManager = nullptr;
    pravik::io::IFileSystem* fileSystem = nullptr;
};

void BM_EffectPoolLoad(benchmark::State& state)
{
    SampleFolder folder;
    pravik::CEngineServicesScope services;
    boost::intrusive_ptr<pravik::video::CNullDriver> driver(pravik::video::createNullDriver(nullptr), false);
    boost::intrusive_ptr<pravik::io::CFileSystem> files(new pravik::io::CFileSystem(), false);
    files->addFolderFileArchive((folder.root.string() + "/").c_str(), true, false);
    driver->getTextureManager()->setFileSystem(files.get());
    auto* smgr = new pravik::scene::CSceneManager(driver.get(), nullptr);
    LoadHost host;
    host.driver = driver.get();
    host.sceneManager = smgr;
    host.fileSystem = files.get();
    ZuduvaHostScope scope(&host);
    for (auto _ : state) {
        QuietStdout quiet;
        CSpecialFXManager manager(nullptr);
        manager.Load();
        benchmark::DoNotOptimize(manager.GetLoadedSlotCount());
    }
    smgr->drop();
}
BENCHMARK(BM_EffectPoolLoad)->Unit(benchmark::kMillisecond);

void BM_EffectFilesOneReadEach(benchmark::State& state)
{
    SampleFolder folder;
    pravik::CEngineServicesScope services;
    boost::intrusive_ptr<pravik::io::CFileSystem> files(new pravik::io::CFileSystem(), false);
    files->addFolderFileArchive((folder.root.string() + "/").c_str(), true, false);
    std::vector<std::uint8_t> buffer;
    for (auto _ : state) {
        QuietStdout quiet;
        size_t total = 0;
        for (const std::string& path : folder.effects) {
            pravik::io::IReadFile* f = files->createAndOpenFile(path.c_str());
            buffer.resize(size_t(f->getSize()));
            total += size_t(f->read(buffer.data(), std::uint32_t(buffer.size())));
            f->drop();
        }
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_EffectFilesOneReadEach)->Unit(benchmark::kMillisecond);

void BM_EffectFilesParse(benchmark::State& state)
{
    std::vector<std::string> bytes;
    for (const auto& [path, data] : formats::effects::sampleEffectFiles())
        if (path.ends_with("eff"))
            bytes.push_back(data);
    for (auto _ : state) {
        for (const std::string& b : bytes) {
            beff::SFile f;
            std::string error;
            benchmark::DoNotOptimize(beff::parse(reinterpret_cast<const std::uint8_t*>(b.data()), b.size(), f, error));
        }
    }
}
BENCHMARK(BM_EffectFilesParse)->Unit(benchmark::kMillisecond);

}  // namespace
