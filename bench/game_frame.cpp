// The game controller's frame: 10,000 update-and-paint frames of a screen with empty handlers
// through the state machine, beside a bare switch over the same handlers; and one switch frame
// (exit message, the driver's renderers removed) on the headless GL ES driver, against the
// 16.7 ms of a 60 Hz frame.

#include <benchmark/benchmark.h>

#include <cstdint>

#include "bench/HeadlessGL.h"
#include "engine/os/Timer.h"
#include "engine/video/IVideoDriver.h"
#include "engine/video/gl/CFixedGLShaderManager.h"
#include "engine/video/material/CMaterialRendererManager.h"
#include "game/CAIGame.h"

namespace {

constexpr int Frames = 10000;
uint64_t g_nowUs = 1000000;
uint64_t now() { return g_nowUs; }

struct SController {
    SController()
    {
        pravik::os::Timer::setTimeSource(now);
        CAIGame::ReleaseStaticData();
        game = new CAIGame;
        game->Game_update();
        CAIGame::SwitchState(STATE_MAIN);
        g_nowUs += 16000;
        game->Game_update();
    }
    ~SController()
    {
        CAIGame::ReleaseStaticData();
        delete game;
        pravik::os::Timer::setTimeSource(nullptr);
    }
    CAIGame* game;
};

void BM_StateMachineFrames(benchmark::State& state)
{
    SController c;
    for (auto _ : state) {
        for (int i = 0; i < Frames; ++i) {
            g_nowUs += 16000;
            c.game->Game_update();
            c.game->Game_Paint();
        }
        benchmark::ClobberMemory();
    }
    state.counters["ns_per_frame"] =
        benchmark::Counter(double(Frames) * double(state.iterations()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_StateMachineFrames)->Unit(benchmark::kMicrosecond);

// The same handlers reached by a plain switch, with the frame time kept the simplest way.
void BM_BareSwitchFrames(benchmark::State& state)
{
    SController c;
    int32_t last = int32_t(pravik::os::Timer::getRealTime());
    for (auto _ : state) {
        for (int i = 0; i < Frames; ++i) {
            g_nowUs += 16000;
            const int32_t t = int32_t(pravik::os::Timer::getRealTime());
            CAIGame::s_game_frameDT = t - last;
            last = t;
            int current = CAIGame::s_stateCurrent;
            benchmark::DoNotOptimize(current);
            switch (current) {
            case STATE_MAIN: c.game->game_handleMessage_STATE_MAIN(MSG_UPDATE); break;
            case STATE_ISLAND: c.game->game_handleMessage_STATE_ISLAND(MSG_UPDATE); break;
            default: break;
            }
            switch (current) {
            case STATE_MAIN: c.game->game_handleMessage_STATE_MAIN(MSG_PAINT); break;
            case STATE_ISLAND: c.game->game_handleMessage_STATE_ISLAND(MSG_PAINT); break;
            default: break;
            }
        }
        benchmark::ClobberMemory();
    }
    state.counters["ns_per_frame"] =
        benchmark::Counter(double(Frames) * double(state.iterations()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_BareSwitchFrames)->Unit(benchmark::kMicrosecond);

// A switch frame on the render device: the old screen's two material renderers go back to the
// GL ES driver, the game's four are built again and the batcher's storage is reset.
void BM_SwitchFrameOnGL(benchmark::State& state)
{
    using namespace pravik::video;
    if (!bench::headlessGL())
        return state.SkipWithError("no headless GL ES context");
    CVuvDevice device(600, 1024);
    if (!device.IsValid())
        return state.SkipWithError("render device did not start");
    IVideoDriver* driver = device.getVideoDriver();
    {
        SController c;
        SFixedGLShaderVertexState vs;
        SFixedGLShaderFragmentState fs;
        fs.setActiveUnitCount(1);
        auto shader = static_cast<CFixedGLShaderManager*>(driver->getShaderManager())->createShader("screen", vs, fs);
        CMaterialRendererManager& renderers = *driver->getMaterialRendererManager();
        int next = STATE_ISLAND;
        for (auto _ : state) {
            state.PauseTiming();
            for (const char* name : {"screen one", "screen two"}) {
                renderers.beginMaterialRenderer(name, true);
                renderers.beginTechnique("Technique #1", true);
                renderers.addRenderPass(boost::intrusive_ptr<const IShader>(shader), detail::renderpass::SRenderState());
                renderers.endTechnique(true, 0);
                renderers.endMaterialRenderer();
            }
            CAIGame::SwitchState(next);
            next = next == STATE_ISLAND ? STATE_MAIN : STATE_ISLAND;
            g_nowUs += 16000;
            state.ResumeTiming();
            c.game->Game_update();
            c.game->Game_Paint();
        }
    }
}
BENCHMARK(BM_SwitchFrameOnGL)->Unit(benchmark::kMicrosecond);

}  // namespace
