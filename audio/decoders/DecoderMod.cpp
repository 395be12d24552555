#include "audio/decoders/DecoderMod.h"

#include <libmodplug/modplug.h>

#include <cstdint>

#include "audio/KezMemory.h"
#include "audio/StreamInterface.h"
#include "audio/decoders/DecoderLog.h"

namespace kez {

bool DecoderMod::m_isFirst = true;

DecoderMod::DecoderMod(const DecoderModParams* params) {
    if (m_isFirst) {
        ModPlug_Settings settings;
        ModPlug_GetSettings(&settings);
        settings.mChannels = 2;
        settings.mBits = 16;
        settings.mFrequency = 32000;
        settings.mResamplingMode = MODPLUG_RESAMPLE_LINEAR;
        ModPlug_SetSettings(&settings);
        m_isFirst = false;
    }
    if (params) {
        m_params = *params;
        m_hasParams = true;
    }
}

DecoderMod::~DecoderMod() {
    KezFree(m_data);
}

void DecoderMod::PushData(unsigned char* data) {
    if (m_data && m_data != data) KezFree(m_data);
    m_data = data;
}

DecoderCursorInterface* DecoderMod::CreateNewCursor(StreamCursorInterface* streamCursor) {
    return KezNew<DecoderModCursor>(this, streamCursor);
}

void DecoderMod::DestroyCursor(DecoderCursorInterface* cursor) {
    KezDelete(cursor);
}

DecoderInterface* DecoderModFactory(void* params) {
    return KezNew<DecoderMod>(static_cast<const DecoderModParams*>(params));
}

DecoderModCursor::DecoderModCursor(DecoderMod* decoder, StreamCursorInterface* streamCursor)
    : DecoderCursorInterface(decoder, streamCursor) {
    Init();
}

DecoderModCursor::~DecoderModCursor() {
    if (m_module) Shutdown();
}

void DecoderModCursor::Init() {
    auto* decoder = static_cast<DecoderMod*>(m_decoder);
    ModPlug_Settings saved;
    ModPlug_GetSettings(&saved);
    const bool install = decoder->HasParams();
    if (install) {
        ModPlug_Settings settings = saved;
        settings.mChannels = decoder->Params().channels;
        settings.mBits = decoder->Params().bitsPerSample;
        settings.mFrequency = decoder->Params().sampleRate;
        settings.mResamplingMode = decoder->Params().resamplingMode;
        ModPlug_SetSettings(&settings);
    }

    StreamCursorInterface* cursor = m_streamCursor;
    const int size = cursor && cursor->GetStream() ? cursor->GetStream()->Size() : 0;
    unsigned char* bytes = nullptr;
    if (size > 0) {
        if (cursor->AllowBufferReference()) {
            if (cursor->ReadRef(bytes, size) != size) bytes = nullptr;
        } else if (decoder->GetData()) {
            bytes = decoder->GetData();
        } else if (auto* buffer = static_cast<unsigned char*>(KezAlloc(unsigned(size)))) {
            if (cursor->Read(buffer, size) == size) {
                decoder->PushData(buffer);
                bytes = buffer;
            } else {
                KezFree(buffer);
            }
        }
    }
    if (bytes) m_module = ModPlug_Load(bytes, size);
    if (install) ModPlug_SetSettings(&saved);

    if (!m_module) {
        DecoderLog("mod: not a module libmodplug can load");
        m_trackParams = TrackParams{};
        return;
    }
    ModPlug_SetMasterVolume(m_module, 256);
    m_hasData = true;
    if (install) {
        m_trackParams.channels = decoder->Params().channels;
        m_trackParams.bitsPerSample = decoder->Params().bitsPerSample;
        m_trackParams.sampleRate = decoder->Params().sampleRate;
    } else {
        m_trackParams.channels = saved.mChannels;
        m_trackParams.bitsPerSample = saved.mBits;
        m_trackParams.sampleRate = saved.mFrequency;
    }
    const int64_t frames = int64_t(ModPlug_GetLength(m_module)) * m_trackParams.sampleRate / 1000;
    m_trackParams.numSamples = int32_t(frames < 0 ? 0 : frames > INT32_MAX ? INT32_MAX : frames);
}

void DecoderModCursor::Shutdown() {
    if (m_module) ModPlug_Unload(m_module);
    m_module = nullptr;
    m_hasData = false;
}

int DecoderModCursor::Decode(void* buffer, int bytes) {
    if (!m_module || !buffer || bytes <= 0) return 0;
    int n = ModPlug_Read(m_module, buffer, bytes);
    if (n > 0) return n;
    if (m_loop) {
        Seek(0);
        n = ModPlug_Read(m_module, buffer, bytes);
        if (n <= 0) m_hasData = false;
        return n > 0 ? n : 0;
    }
    m_hasData = false;
    return 0;
}

bool DecoderModCursor::HasData() {
    return m_module && m_hasData;
}

int DecoderModCursor::Seek(unsigned int frame) {
    if (!m_module || m_trackParams.sampleRate <= 0) return -1;
    const int64_t ms = int64_t(frame) * 1000 / m_trackParams.sampleRate;
    ModPlug_Seek(m_module, int(ms > INT32_MAX ? INT32_MAX : ms));
    m_hasData = true;
    return 0;
}

}  // namespace kez
