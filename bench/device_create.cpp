// Creating and dropping the engine device on each driver type, against what it wraps: the same
// driver made bare (with the service tables it needs) plus a file system. The device adds the
// timer, OS operator, cursor control, 2D drawing object, task handler and the start-up steps,
// and two flushed progress lines on standard output: its own, and the file system's working
// directory, which the wired shader manager asks for. On the null driver those two writes are
// most of the difference.

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "bench/HeadlessGL.h"
#include "engine/EngineServices.h"
#include "engine/IDevice.h"
#include "engine/io/CFileSystem.h"
#include "engine/video/CNullDriver.h"
#include "engine/video/gl/COpenGLESDriver.h"

using namespace pravik;

namespace {

// The device and the file system report their progress on standard output; the benchmark's
// table stays readable without it.
class SQuietStdout {
public:
    SQuietStdout()
    {
        std::fflush(stdout);
        m_saved = dup(1);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        close(null);
    }
    ~SQuietStdout()
    {
        std::fflush(stdout);
        dup2(m_saved, 1);
        close(m_saved);
    }

private:
    int m_saved;
};

bool ready(benchmark::State& state, video::E_DRIVER_TYPE type)
{
    if (type == video::EDT_OGLES1 && !bench::headlessGL()) {
        state.SkipWithError("no headless GL ES context");
        return false;
    }
    return true;
}

void BM_DeviceCreate(benchmark::State& state)
{
    const auto type = video::E_DRIVER_TYPE(state.range(0));
    if (!ready(state, type)) return;
    SQuietStdout quiet;
    SCreationParameters parameters;
    parameters.DriverType = type;
    for (auto _ : state) {
        IDevice* device = createDeviceEx(parameters);
        benchmark::DoNotOptimize(device);
        if (device) device->drop();
    }
}

void BM_BareDriverAndFileSystem(benchmark::State& state)
{
    const auto type = video::E_DRIVER_TYPE(state.range(0));
    if (!ready(state, type)) return;
    SQuietStdout quiet;
    for (auto _ : state) {
        CEngineServicesScope services;
        boost::intrusive_ptr<io::IFileSystem> fileSystem(new io::CFileSystem());
        video::IVideoDriver* driver = type == video::EDT_NULL
                                          ? static_cast<video::IVideoDriver*>(video::createNullDriver(nullptr))
                                          : video::createOpenGLES1Driver(nullptr, {600, 1024});
        benchmark::DoNotOptimize(driver);
        if (driver) driver->drop();
    }
}

BENCHMARK(BM_DeviceCreate)->Arg(video::EDT_NULL)->Arg(video::EDT_OGLES1);
BENCHMARK(BM_BareDriverAndFileSystem)->Arg(video::EDT_NULL)->Arg(video::EDT_OGLES1);

}  // namespace
