#pragma once
// Fixtures for the audio engine's tests: a sound-archive builder and an internal engine driven by
// hand over a device-less mixer (no update thread, no output thread).

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "audio/DriverCallbackInterface.h"
#include "audio/KezEngineInternal.h"
#include "audio/KezMemory.h"
#include "audio/StreamCFile.h"
#include "audio/StreamMemoryBuffer.h"
#include "audio/decoders/DecoderMSWav.h"
#include "audio/decoders/DecoderRaw.h"
#include "tools/formats/SoundArchive.h"

namespace test {

// "3.bar" archives come from the project's sound-archive writer.
using ArchiveBuilder = formats::SoundArchive;

// Interleaved 16-bit samples as bytes.
inline std::string pcmBytes(const std::vector<int16_t>& samples) {
    return std::string(reinterpret_cast<const char*>(samples.data()), samples.size() * 2);
}

// A deterministic, never-silent test signal: frame 0 is non-zero on both channels.
inline std::vector<int16_t> testSignal(int frames, int channels, uint32_t seed = 12345) {
    std::vector<int16_t> s(size_t(frames) * size_t(channels));
    uint32_t x = seed;
    for (auto& v : s) {
        x = x * 1664525u + 1013904223u;
        v = int16_t(int((x >> 16) & 0x3FFF) - 0x2000);
        if (v == 0) v = 1;
    }
    return s;
}

// An internal engine over a device-less mixer, passes and mixing driven by the test.
class EngineHarness {
public:
    // custom: an engine of the test's own (made with KezNew), which the harness then owns
    explicit EngineHarness(int blocks = 3, kez::KezEngineInternal* custom = nullptr) : blockCount(blocks) {
        if (custom) kez::KezEngineInternal::s_kezEngineInternal = custom;
        engine = kez::KezEngineInternal::GetKezEngineInternal();
        mixer = kez::KezNew<kez::DriverCallbackMixer>(32000, 0.032f);
        engine->SetDriver(mixer);
        engine->Initialize();
        engine->RegisterStreamType(kez::StreamMemoryBufferFactory);
        engine->RegisterStreamType(kez::StreamCFileFactory);
        engine->RegisterDecoderType(kez::DecoderRawFactory);
        engine->RegisterDecoderType(kez::DecoderMSWavFactory);
    }
    ~EngineHarness() { kez::KezDelete(engine); }
    EngineHarness(const EngineHarness&) = delete;
    EngineHarness& operator=(const EngineHarness&) = delete;

    // A raw 16-bit source over a copy of the samples.
    kez::DataHandle loadRaw(const std::vector<int16_t>& samples, int channels, int rate = 32000, int group = 0) {
        kez::StreamMemoryBufferParams p{const_cast<int16_t*>(samples.data()), int(samples.size() * 2), true, false};
        kez::TrackParams t{channels, rate, 16, int(samples.size()) / channels};
        return engine->LoadDataSource(0, &p, 0, &t, group);
    }

    void pass(float dt = 0.033f) {
        engine->UpdateSources();
        engine->UpdateEmitters(dt);
    }

    std::vector<short> mix(int frames) {
        std::vector<short> out(size_t(frames) * 2, short(0x5555));
        mixer->_FillBuffer(out.data(), frames);
        return out;
    }

    int emitterCount() {
        kez::DebugInfo info;
        engine->GetDebugInfo(info);
        return info.emitters;
    }

    kez::KezEngineInternal* engine;
    kez::DriverCallbackMixer* mixer;
    int blockCount;
};

}  // namespace test
