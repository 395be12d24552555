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

namespace test {

// Builds "3.bar" archives: stored or deflated members behind either local-header signature,
// optionally closed by the appended "ZET_" member table.
class ArchiveBuilder {
public:
    struct Member {
        std::string name, data;
        uint16_t method = 0, flags = 0;
        uint32_t signature = 0x04034B50;
        std::string extra;
    };

    ArchiveBuilder& add(std::string name, std::string data, uint32_t signature = 0x04034B50, uint16_t method = 0,
                        uint16_t flags = 0, std::string extra = "") {
        m_members.push_back({std::move(name), std::move(data), method, flags, signature, std::move(extra)});
        return *this;
    }

    std::string bytes(bool withTable) const {
        std::string out;
        std::vector<uint32_t> offsets;
        for (const Member& m : m_members) {
            put32(out, m.signature);
            put16(out, 20);
            put16(out, m.flags);
            put16(out, m.method);
            put16(out, 0);
            put16(out, 0);
            put32(out, 0);
            put32(out, uint32_t(m.data.size()));
            put32(out, uint32_t(m.data.size()));
            put16(out, uint16_t(m.name.size()));
            put16(out, uint16_t(m.extra.size()));
            out += m.name;
            out += m.extra;
            offsets.push_back(uint32_t(out.size()));
            out += m.data;
        }
        if (withTable) {
            std::string table;
            put32(table, uint32_t(m_members.size()));
            for (size_t i = 0; i < m_members.size(); ++i) {
                const Member& m = m_members[i];
                put32(table, uint32_t(m.name.size()));
                table += m.name;
                put32(table, offsets[i]);
                put16(table, m.flags);
                put16(table, m.method);
                put32(table, uint32_t(m.data.size()));
                put32(table, uint32_t(m.data.size()));
                put16(table, uint16_t(m.extra.size()));
            }
            out += table;
            out += "ZET_";
            put32(out, uint32_t(table.size() + 8));
        }
        return out;
    }

    static void put16(std::string& s, uint16_t v) { s += char(v & 0xFF); s += char(v >> 8); }
    static void put32(std::string& s, uint32_t v) { put16(s, uint16_t(v)); put16(s, uint16_t(v >> 16)); }

private:
    std::vector<Member> m_members;
};

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
