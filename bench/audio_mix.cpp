// Mixing 32 playing emitters for 10 s of audio through the engine's passes and the software mixer,
// at the mixing rate (32000 Hz) and resampled to 48000 Hz as the output driver does. The counter
// "rt_factor" is seconds of audio per second of CPU.
//   16 stereo emitters at 32000 Hz (the exact-rate path), 16 mono emitters at pitch 1.1 with
//   distance, cone, panning and doppler (the interpolating path).
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "audio/DriverCallbackInterface.h"
#include "audio/KezEngineInternal.h"
#include "audio/KezMemory.h"
#include "audio/LinearResampler.h"
#include "audio/StreamMemoryBuffer.h"
#include "audio/decoders/DecoderRaw.h"

namespace {

constexpr int kSeconds = 10;
constexpr int kFragment = 1024;  // frames at 32000 Hz, one mixing pass

struct Scene {
    Scene() {
        engine = kez::KezEngineInternal::GetKezEngineInternal();
        mixer = kez::KezNew<kez::DriverCallbackMixer>(32000, float(kFragment) / 32000.0f);
        engine->SetDriver(mixer);
        engine->Initialize();
        engine->RegisterStreamType(kez::StreamMemoryBufferFactory);
        engine->RegisterDecoderType(kez::DecoderRawFactory);
        stereo.resize(32000 * 2);
        mono.resize(32000);
        for (size_t i = 0; i < mono.size(); ++i) {
            mono[i] = int16_t(8000 * std::sin(double(i) * 0.05));
            stereo[2 * i] = mono[i];
            stereo[2 * i + 1] = int16_t(-mono[i]);
        }
        kez::DataHandle s = load(stereo, 2), m = load(mono, 1);
        engine->Set3DGeneralParameteri(2, 4);
        for (int i = 0; i < 32; ++i) {
            const bool isMono = i % 2 == 1;
            emitters.push_back(engine->CreateEmitter(isMono ? m : s, 0, nullptr));
            kez::EmitterHandle& e = emitters.back();
            if (isMono) {
                engine->SetPitch(e, 1.1f, 0.0f);
                engine->Set3DEmitterPosition(e, float(i % 7) - 3.0f, 0.0f, -2.0f - float(i % 5));
                engine->Set3DEmitterVelocity(e, 0.0f, 0.0f, 3.0f);
                engine->Set3DEmitterParameterf(e, 1, 40.0f);
                engine->Set3DEmitterParameterf(e, 4, 90.0f);
                engine->Set3DEmitterParameterf(e, 5, 270.0f);
                engine->Set3DEmitterDirection(e, 0.0f, 0.0f, 1.0f);
            }
            engine->Play(e, true, 0.0f);
        }
        engine->UpdateSources();
        engine->UpdateEmitters(0.033f);
    }
    ~Scene() {
        emitters.clear();
        data.clear();
        kez::KezDelete(engine);
    }
    kez::DataHandle load(std::vector<int16_t>& samples, int channels) {
        kez::StreamMemoryBufferParams p{samples.data(), int(samples.size() * 2), false, false};
        kez::TrackParams t{channels, 32000, 16, int(samples.size()) / channels};
        data.push_back(engine->LoadDataSource(0, &p, 0, &t, 2));
        return data.back();
    }
    // One fragment of the output thread, with an update pass every fragment (32 ms, about the
    // update thread's period).
    static void pull(void* scene, short* out, int frames) {
        auto* self = static_cast<Scene*>(scene);
        self->mixer->_FillBuffer(out, frames);
        self->engine->UpdateEmitters(float(frames) / 32000.0f);
    }

    kez::KezEngineInternal* engine;
    kez::DriverCallbackMixer* mixer;
    std::vector<int16_t> stereo, mono;
    std::vector<kez::DataHandle> data;
    std::vector<kez::EmitterHandle> emitters;
};

void BM_Mix32Emitters32000(benchmark::State& state) {
    Scene scene;
    std::vector<short> out(kFragment * 2);
    for (auto _ : state) {
        for (int done = 0; done < kSeconds * 32000; done += kFragment) Scene::pull(&scene, out.data(), kFragment);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["rt_factor"] = benchmark::Counter(double(kSeconds) * double(state.iterations()),
                                                     benchmark::Counter::kIsRate);
    kez::DebugInfo info;
    scene.engine->GetDebugInfo(info);
    state.counters["playing"] = info.playing;  // all 32 still playing at the end
}
BENCHMARK(BM_Mix32Emitters32000)->Unit(benchmark::kMillisecond);

void BM_Mix32EmittersResampledTo48000(benchmark::State& state) {
    Scene scene;
    kez::LinearResampler resampler;
    resampler.SetRates(32000, 48000);
    const int fragment = kFragment * 3 / 2;
    std::vector<short> out(size_t(fragment) * 2);
    for (auto _ : state) {
        for (int done = 0; done < kSeconds * 48000; done += fragment)
            resampler.Fill(out.data(), fragment, &Scene::pull, &scene);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["rt_factor"] = benchmark::Counter(double(kSeconds) * double(state.iterations()),
                                                     benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Mix32EmittersResampledTo48000)->Unit(benchmark::kMillisecond);

}  // namespace
