// The boot to the main menu's first frame: the whole program in process (shell, application,
// game) on the sample data, headless, under an input script, tapping through the splash as soon
// as its loading is over. Cold is a first launch (empty save folder: the sound cache is made);
// warm is the launch after it. Each boot runs in a child process of its own, so both start from
// nothing. Reported: frames, wall time, the longest frame against the 16.7 ms of a 60 Hz frame,
// each loading step's frame time (the five slowest on the error output), and the sound-cache
// steps 57-67 beside libmpcdec decoding the same Musepack files straight from memory.

#include <benchmark/benchmark.h>
#include <mpc/mpcdec.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "bench/SampleData.h"
#include "engine/io/CReadFile.h"
#include "engine/io/CZipReader.h"
#include "engine/os/StandardRandom.h"
#include "engine/os/Timer.h"
#include "framework/EventHandler.h"
#include "framework/SoundTable.h"
#include "framework/ZyGame.h"
#include "game/CAIGame.h"
#include "platform/Clock.h"

namespace {

namespace fs = std::filesystem;
using bench::sampleData;
using Clock = std::chrono::steady_clock;
constexpr double kFrameMs = 1000.0 / 60.0;
constexpr int kMaxFrames = 2000;

struct SStep {
    int type = 0, step = 0;
    double ms = 0;   // the frame that ran it
};

struct SBoot {
    bool ok = false;
    int frames = 0;
    double wallMs = 0, longestFrameMs = 0;
    int steps = 0;
    SStep step[64];
};


// In the child: one boot in `run` (app/ beside the save folder data/), written to `out`.
[[noreturn]] void bootChild(const fs::path& run, int out)
{
    SBoot r;
    if (bench::EnterRun(run)) {
        ZyGame& shell = ZyGame::instance();
        const Clock::time_point start = Clock::now();
        if (shell.init()) {
            EventHandler::instance().setListener(&shell);
            bool tapped = false, released = false;
            for (int frame = 0; frame < kMaxFrames; ++frame) {
                const int type = CAIGame::s_loadingType;
                const int index = CAIGame::s_loadingCurrentStep;
                const bool loading = type != 0 && !CAIGame::s_loadingIsFinished && index >= 0 && index < 128;
                const int step = loading ? CAIGame::s_loadingType_Data[index] : -1;
                const Clock::time_point t0 = Clock::now();
                shell.turn();
                const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
                r.frames = frame + 1;
                r.longestFrameMs = std::max(r.longestFrameMs, ms);
                const bool ran = loading && (CAIGame::s_loadingCurrentStep != index || CAIGame::s_loadingIsFinished ||
                                             CAIGame::s_loadingType != type);
                if (ran && r.steps < int(std::size(r.step)))
                    r.step[r.steps++] = {type, step, ms};
                if (CAIGame::s_stateCurrent == STATE_MAIN) {
                    r.ok = true;
                    break;
                }
                // The tap, through the shell, once the splash waits for it.
                if (released) {
                } else if (tapped) {
                    shell.onTouchRelease(1, 300, 512);
                    released = true;
                } else if (CAIGame::s_stateCurrent == STATE_SPLASH && CAIGame::s_loadingIsFinished) {
                    shell.onTouchPress(1, 300, 512);
                    tapped = true;
                }
            }
        }
        r.wallMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }
    (void)!write(out, &r, sizeof r);
    std::_Exit(0);   // the process ends here, as the program's own exit does
}

SBoot boot(const fs::path& run)
{
    return bench::fromChild<SBoot>([&](int out) { bootChild(run, out); });
}

// A run folder: the sample data's app/ and an empty save folder.
fs::path newRun(const char* name)
{
    const fs::path run = fs::path(sampleData()).parent_path() / name;
    fs::remove_all(run);
    fs::create_directories(run / "data");
    fs::create_directory_symlink(fs::path(sampleData()) / "app", run / "app");
    return run;
}

void report(benchmark::State& state, const char* name, const std::vector<SBoot>& boots)
{
    const SBoot& last = boots.back();
    double wall = 0, longest = 0;
    std::map<std::pair<int, int>, double> worst;   // (type, step) -> slowest frame over the boots
    for (const SBoot& b : boots) {
        wall += b.wallMs;
        longest = std::max(longest, b.longestFrameMs);
        for (int i = 0; i < b.steps; ++i) {
            double& w = worst[{b.step[i].type, b.step[i].step}];
            w = std::max(w, b.step[i].ms);
        }
    }
    int over = 0;
    std::vector<std::pair<double, std::pair<int, int>>> slow;
    for (const auto& [key, ms] : worst) {
        over += ms > kFrameMs;
        slow.push_back({ms, key});
    }
    std::sort(slow.rbegin(), slow.rend());
    state.counters["frames"] = last.frames;
    state.counters["wall_ms"] = wall / double(boots.size());
    state.counters["longest_frame_ms"] = longest;
    state.counters["steps_over_16.7ms"] = over;
    std::fprintf(stderr, "%s boot: %d frames, slowest steps (type step: frame ms):", name, last.frames);
    for (size_t i = 0; i < slow.size() && i < 5; ++i)
        std::fprintf(stderr, " %d %d: %.2f;", slow[i].second.first, slow[i].second.second, slow[i].first);
    std::fprintf(stderr, "\n");
    for (int s = 57; s <= 67; ++s)
        state.counters["step_" + std::to_string(s) + "_ms"] = worst[{8, s}];
}

void BM_BootCold(benchmark::State& state)
{
    if (sampleData().empty())
        return state.SkipWithError("the sample-data builder failed");
    std::vector<SBoot> boots;
    for (auto _ : state) {
        state.PauseTiming();
        const fs::path run = newRun("cold");
        state.ResumeTiming();
        boots.push_back(boot(run));
        if (!boots.back().ok)
            return state.SkipWithError("the boot did not reach the main menu");
    }
    report(state, "cold", boots);
}
BENCHMARK(BM_BootCold)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_BootWarm(benchmark::State& state)
{
    if (sampleData().empty())
        return state.SkipWithError("the sample-data builder failed");
    const fs::path run = newRun("warm");
    if (!boot(run).ok)   // the first launch makes the save and the sound cache
        return state.SkipWithError("the first boot did not reach the main menu");
    std::vector<SBoot> boots;
    for (auto _ : state) {
        boots.push_back(boot(run));
        if (!boots.back().ok)
            return state.SkipWithError("the boot did not reach the main menu");
    }
    report(state, "warm", boots);
}
BENCHMARK(BM_BootWarm)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// ---- The peer of the sound-cache steps: libmpcdec over the same Musepack members, in memory.

struct SMemory {
    const std::vector<char>* bytes;
    long pos;
};

mpc_int32_t memRead(mpc_reader* r, void* out, mpc_int32_t size)
{
    auto* m = static_cast<SMemory*>(r->data);
    const long n = std::clamp<long>(long(m->bytes->size()) - m->pos, 0, size);
    std::copy_n(m->bytes->data() + m->pos, n, static_cast<char*>(out));
    m->pos += n;
    return mpc_int32_t(n);
}
mpc_bool_t memSeek(mpc_reader* r, mpc_int32_t offset)
{
    auto* m = static_cast<SMemory*>(r->data);
    if (offset < 0 || size_t(offset) > m->bytes->size())
        return MPC_FALSE;
    m->pos = offset;
    return MPC_TRUE;
}
mpc_int32_t memTell(mpc_reader* r) { return mpc_int32_t(static_cast<SMemory*>(r->data)->pos); }
mpc_int32_t memSize(mpc_reader* r) { return mpc_int32_t(static_cast<SMemory*>(r->data)->bytes->size()); }
mpc_bool_t memCanSeek(mpc_reader*) { return MPC_TRUE; }

// The Musepack members of one cache step (1-9: twelve effects from 56; 10: 164-179).
std::vector<std::vector<char>> stepMembers(int cacheStep)
{
    std::vector<std::vector<char>> out;
    const std::string bar = sampleData() + "/app/native/data/3.bar";
    auto* zip = new pravik::io::CZipReader(bar.c_str(), true, false, 0);
    const int first = cacheStep <= 9 ? 56 + 12 * (cacheStep - 1) : 164;
    const int last = cacheStep <= 9 ? first + 11 : 179;
    for (int id = first; id <= last; ++id) {
        if (!SOUND_FILE_NAMES[id][0])
            continue;
        pravik::io::IReadFile* f = zip->openFile((std::string(SOUND_FILE_NAMES[id]) + ".mpc").c_str());
        if (!f)
            continue;
        std::vector<char> bytes(size_t(std::max(f->getSize(), 0)));
        f->read(bytes.data(), uint32_t(bytes.size()));
        f->drop();
        out.push_back(std::move(bytes));
    }
    zip->drop();
    return out;
}

void BM_MpcdecCacheStep(benchmark::State& state)
{
    if (sampleData().empty())
        return state.SkipWithError("the sample-data builder failed");
    const std::vector<std::vector<char>> members = stepMembers(int(state.range(0)) - 57);
    if (members.empty())
        return state.SkipWithError("no Musepack members in the archive");
    static MPC_SAMPLE_FORMAT buffer[MPC_DECODER_BUFFER_LENGTH];
    for (auto _ : state) {
        for (const std::vector<char>& bytes : members) {
            SMemory m{&bytes, 0};
            mpc_reader reader{memRead, memSeek, memTell, memSize, memCanSeek, &m};
            mpc_demux* demux = mpc_demux_init(&reader);
            if (!demux)
                return state.SkipWithError("libmpcdec refused a member");
            mpc_frame_info frame;
            frame.buffer = buffer;
            while (mpc_demux_decode(demux, &frame) == MPC_STATUS_OK && frame.bits != -1)
                benchmark::DoNotOptimize(buffer[0]);
            mpc_demux_exit(demux);
        }
    }
    state.counters["files"] = double(members.size());
}
BENCHMARK(BM_MpcdecCacheStep)->DenseRange(58, 67)->Unit(benchmark::kMillisecond);

}  // namespace
