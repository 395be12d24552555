// Decoding 60 s of audio in each format the engine reads, with the real-time factor ("rtf":
// seconds of audio per second of CPU) beside the reference decoder of the same file: sox for
// WAVE PCM and ADPCM, oggdec and libvorbisfile called directly for Vorbis, mpcdec for Musepack,
// libmodplug called directly for tracker modules. The command-line references run as child
// processes: their figure is per second of wall time and includes starting the program.

#include <benchmark/benchmark.h>
#include <libmodplug/modplug.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "audio/KezMemory.h"
#include "audio/StreamMemoryBuffer.h"
#include "audio/decoders/DecoderMPC8.h"
#include "audio/decoders/DecoderMSWav.h"
#include "audio/decoders/DecoderMod.h"
#include "audio/decoders/DecoderStbVorbis.h"
#include <vorbis/vorbisfile.h>
#include "tools/formats/TrackerModule.h"

namespace {

constexpr double kSeconds = 60.0;

struct Files {
    bool ok = false;
    std::string dir, pcm, ima, ms, ogg, mpc, module;
};

bool sh(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Made once: 60 s of a stereo sweep with a little noise at 44100 Hz, in every format.
const Files& files() {
    static Files f = [] {
        Files r;
        r.dir = (std::filesystem::temp_directory_path() / "quendrax-bench-audio").string();
        std::filesystem::create_directories(r.dir);
        const std::string src = r.dir + "/src.wav";
        r.pcm = r.dir + "/pcm.wav";
        r.ima = r.dir + "/ima.wav";
        r.ms = r.dir + "/ms.wav";
        r.ogg = r.dir + "/a.ogg";
        r.mpc = r.dir + "/a.mpc";
        r.ok = sh("sox -n -r 44100 -c 2 -b 16 " + src + " synth 60 sine 100-4000 sine 300 gain -6") &&
               sh("sox " + src + " " + r.pcm) && sh("sox " + src + " -e ima-adpcm " + r.ima) &&
               sh("sox " + src + " -e ms-adpcm " + r.ms) && sh("oggenc -Q -o " + r.ogg + " " + src) &&
               sh("mpcenc --silent --overwrite " + src + " " + r.mpc);
        r.module = formats::tracker::tinyProTrackerModule();
        return r;
    }();
    return f;
}

// One memory stream over a file's bytes and a decoder on it; each iteration decodes 60 s.
void decodeWith(benchmark::State& state, kez::DecoderFactory factory, const std::string& bytes, bool loop) {
    kez::StreamMemoryBufferParams params;
    params.data = const_cast<char*>(bytes.data());
    params.size = int(bytes.size());
    kez::StreamInterface* stream = kez::StreamMemoryBufferFactory(&params);
    kez::DecoderInterface* decoder = factory(nullptr);
    std::vector<char> block(65536);
    for (auto _ : state) {
        kez::StreamCursorInterface* streamCursor = stream->CreateNewCursor();
        kez::DecoderCursorInterface* cursor = decoder->CreateNewCursor(streamCursor);
        const kez::TrackParams p = cursor->GetTrackParams();
        cursor->SetLoop(loop);
        const int64_t want = int64_t(kSeconds * p.sampleRate) * p.channels * (p.bitsPerSample / 8);
        int64_t got = 0;
        while (got < want) {
            const int n = cursor->Decode(block.data(), int(block.size()));
            if (n <= 0) break;
            got += n;
        }
        if (got < want * 99 / 100) state.SkipWithError("the decoder delivered less than 60 s");
        benchmark::DoNotOptimize(block.data());
        decoder->DestroyCursor(cursor);
        stream->DestroyCursor(streamCursor);
    }
    state.counters["rtf"] = benchmark::Counter(kSeconds * double(state.iterations()), benchmark::Counter::kIsRate);
    kez::KezDelete(decoder);
    kez::KezDelete(stream);
}

void runTool(benchmark::State& state, const std::string& command) {
    for (auto _ : state)
        if (!sh(command)) state.SkipWithError(("failed: " + command).c_str());
    state.counters["rtf"] = benchmark::Counter(kSeconds * double(state.iterations()), benchmark::Counter::kIsRate);
}

#define NEED_FILES(state)                                              \
    if (!files().ok) {                                                 \
        state.SkipWithError("sox, vorbis-tools or musepack-tools missing"); \
        return;                                                        \
    }

void BM_DecodeWavPcm(benchmark::State& state) { NEED_FILES(state); decodeWith(state, kez::DecoderMSWavFactory, slurp(files().pcm), false); }
void BM_DecodeWavIma(benchmark::State& state) { NEED_FILES(state); decodeWith(state, kez::DecoderMSWavFactory, slurp(files().ima), false); }
void BM_DecodeWavMs(benchmark::State& state) { NEED_FILES(state); decodeWith(state, kez::DecoderMSWavFactory, slurp(files().ms), false); }
void BM_DecodeVorbis(benchmark::State& state) { NEED_FILES(state); decodeWith(state, kez::DecoderStbVorbisFactory, slurp(files().ogg), false); }
void BM_DecodeMusepack(benchmark::State& state) { NEED_FILES(state); decodeWith(state, kez::DecoderMPC8Factory, slurp(files().mpc), false); }
void BM_DecodeModule(benchmark::State& state) { decodeWith(state, kez::DecoderModFactory, files().module, true); }

void BM_ReferenceSoxWavPcm(benchmark::State& state) { NEED_FILES(state); runTool(state, "sox " + files().pcm + " -t raw /dev/null"); }
void BM_ReferenceSoxWavIma(benchmark::State& state) { NEED_FILES(state); runTool(state, "sox " + files().ima + " -t raw -e signed -b 16 /dev/null"); }
void BM_ReferenceSoxWavMs(benchmark::State& state) { NEED_FILES(state); runTool(state, "sox " + files().ms + " -t raw -e signed -b 16 /dev/null"); }
void BM_ReferenceOggdec(benchmark::State& state) { NEED_FILES(state); runTool(state, "oggdec -Q -R -o /dev/null " + files().ogg); }
void BM_ReferenceMpcdec(benchmark::State& state) { NEED_FILES(state); runTool(state, "mpcdec -r " + files().mpc + " /dev/null"); }

// libvorbisfile over the same file through stdio, without the engine's stream cursor.
void BM_ReferenceVorbisfileDirect(benchmark::State& state) {
    NEED_FILES(state);
    std::vector<char> block(65536);
    for (auto _ : state) {
        OggVorbis_File file;
        if (ov_fopen(files().ogg.c_str(), &file) != 0) { state.SkipWithError("libvorbisfile did not open the file"); break; }
        int link = 0;
        while (ov_read(&file, block.data(), int(block.size()), 0, 2, 1, &link) > 0) {}
        benchmark::DoNotOptimize(block.data());
        ov_clear(&file);
    }
    state.counters["rtf"] = benchmark::Counter(kSeconds * double(state.iterations()), benchmark::Counter::kIsRate);
}

// libmodplug's own loop at the engine's settings: load, then read 60 s, rewinding at the end.
void BM_ReferenceModPlugDirect(benchmark::State& state) {
    const std::string& module = files().module;
    ModPlug_Settings settings;
    ModPlug_GetSettings(&settings);
    settings.mChannels = 2;
    settings.mBits = 16;
    settings.mFrequency = 32000;
    settings.mResamplingMode = MODPLUG_RESAMPLE_LINEAR;
    ModPlug_SetSettings(&settings);
    std::vector<char> block(65536);
    for (auto _ : state) {
        ModPlugFile* file = ModPlug_Load(module.data(), int(module.size()));
        ModPlug_SetMasterVolume(file, 256);
        const int64_t want = int64_t(kSeconds * 32000) * 4;
        for (int64_t got = 0; got < want;) {
            int n = ModPlug_Read(file, block.data(), int(block.size()));
            if (n <= 0) { ModPlug_Seek(file, 0); continue; }
            got += n;
        }
        benchmark::DoNotOptimize(block.data());
        ModPlug_Unload(file);
    }
    state.counters["rtf"] = benchmark::Counter(kSeconds * double(state.iterations()), benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(BM_DecodeWavPcm)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReferenceSoxWavPcm)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DecodeWavIma)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReferenceSoxWavIma)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DecodeWavMs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReferenceSoxWavMs)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DecodeVorbis)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReferenceVorbisfileDirect)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReferenceOggdec)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DecodeMusepack)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReferenceMpcdec)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DecodeModule)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReferenceModPlugDirect)->Unit(benchmark::kMillisecond);
