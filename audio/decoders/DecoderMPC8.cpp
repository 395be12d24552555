#include "audio/decoders/DecoderMPC8.h"

#include <algorithm>
#include <cstdint>

#include "audio/KezMemory.h"
#include "audio/StreamInterface.h"
#include "audio/decoders/DecoderLog.h"

namespace kez {

namespace {

StreamCursorInterface* cursorOf(mpc_reader* reader) {
    return reader ? static_cast<StreamCursorInterface*>(reader->data) : nullptr;
}

mpc_int32_t mpcRead(mpc_reader* reader, void* buffer, mpc_int32_t size) {
    StreamCursorInterface* cursor = cursorOf(reader);
    return cursor ? cursor->Read(static_cast<unsigned char*>(buffer), size) : 0;
}

mpc_bool_t mpcSeek(mpc_reader* reader, mpc_int32_t offset) {
    StreamCursorInterface* cursor = cursorOf(reader);
    return cursor && cursor->Seek(offset, 0) == 0;
}

mpc_int32_t mpcTell(mpc_reader* reader) {
    StreamCursorInterface* cursor = cursorOf(reader);
    return cursor ? cursor->Tell() : 0;
}

mpc_int32_t mpcGetSize(mpc_reader* reader) {
    StreamCursorInterface* cursor = cursorOf(reader);
    return cursor && cursor->GetStream() ? cursor->GetStream()->Size() : 0;
}

mpc_bool_t mpcCanSeek(mpc_reader*) { return 1; }

}  // namespace

DecoderMPC8::DecoderMPC8(const DecoderMPC8Params* params) {
    if (params) m_rateOverride = params->sampleRate;
}

DecoderCursorInterface* DecoderMPC8::CreateNewCursor(StreamCursorInterface* streamCursor) {
    return KezNew<DecoderMPC8Cursor>(this, streamCursor);
}

void DecoderMPC8::DestroyCursor(DecoderCursorInterface* cursor) {
    KezDelete(cursor);
}

DecoderInterface* DecoderMPC8Factory(void* params) {
    return KezNew<DecoderMPC8>(static_cast<const DecoderMPC8Params*>(params));
}

DecoderMPC8Cursor::DecoderMPC8Cursor(DecoderMPC8* decoder, StreamCursorInterface* streamCursor)
    : DecoderCursorInterface(decoder, streamCursor) {
    m_reader.read = mpcRead;
    m_reader.seek = mpcSeek;
    m_reader.tell = mpcTell;
    m_reader.get_size = mpcGetSize;
    m_reader.canseek = mpcCanSeek;
    m_reader.data = streamCursor;
    m_frameBuffer = static_cast<float*>(KezAlloc(MPC_DECODER_BUFFER_LENGTH * sizeof(float)));
    if (!m_frameBuffer || !streamCursor) return;
    m_demux = mpc_demux_init(&m_reader);
    if (!m_demux) {
        DecoderLog("mpc: not a Musepack stream");
        return;
    }
    mpc_streaminfo info{};
    mpc_demux_get_info(m_demux, &info);
    if (info.channels < 1 || info.channels > 2 || info.sample_freq == 0) {
        DecoderLog("mpc: %u channels at %u Hz are not playable", info.channels, info.sample_freq);
        mpc_demux_exit(m_demux);
        m_demux = nullptr;
        return;
    }
    const int override = decoder->RateOverride();
    m_trackParams.channels = int32_t(info.channels);
    m_trackParams.sampleRate = override > 0 ? override : int32_t(std::min<uint32_t>(info.sample_freq, INT32_MAX));
    m_trackParams.bitsPerSample = 16;
    m_trackParams.numSamples = int32_t(std::min<uint64_t>(info.samples, INT32_MAX));
}

DecoderMPC8Cursor::~DecoderMPC8Cursor() {
    if (m_demux) mpc_demux_exit(m_demux);
    KezFree(m_frameBuffer);
}

int16_t DecoderMPC8Cursor::ToS16(float sample) {
    const float scaled = sample * 32768.0f;
    if (!(scaled < 32767.0f)) return scaled != scaled ? 0 : 32767;  // NaN is silence
    if (scaled < -32768.0f) return -32768;
    return int16_t(int(scaled));
}

// A stream cut short makes the library hand out frames without samples for ever; a run of them
// counts as the end.
bool DecoderMPC8Cursor::DecodeFrame() {
    m_atStart = false;
    m_framesHeld = 0;
    m_readIndex = 0;
    for (int empty = 0; empty < 64; ++empty) {
        mpc_frame_info frame{};
        frame.buffer = m_frameBuffer;
        if (mpc_demux_decode(m_demux, &frame) != MPC_STATUS_OK || frame.bits == -1) return false;
        const uint32_t capacity = uint32_t(MPC_DECODER_BUFFER_LENGTH / m_trackParams.channels);
        m_framesHeld = int(std::min(frame.samples, capacity));
        if (m_framesHeld > 0) return true;
    }
    return false;
}

int DecoderMPC8Cursor::Decode(void* buffer, int bytes) {
    const int channels = m_trackParams.channels;
    if (!m_demux || channels == 0 || !buffer || bytes <= 0) return 0;
    auto* out = static_cast<int16_t*>(buffer);
    int wanted = bytes / (channels * 2);
    int delivered = 0;
    int sinceRewind = -1;
    while (wanted > 0) {
        if (m_position >= m_trackParams.numSamples || m_streamEnded) {
            if (!m_loop || sinceRewind == 0 || Seek(0) != 0) break;
            sinceRewind = 0;
        }
        if (m_readIndex >= m_framesHeld && !DecodeFrame()) {
            // The stream ended before its stated length: so does the sound.
            m_streamEnded = true;
            continue;
        }
        const int n = std::min({wanted, m_framesHeld - m_readIndex, m_trackParams.numSamples - m_position});
        const float* in = m_frameBuffer + size_t(m_readIndex) * channels;
        int16_t* dst = out + size_t(delivered) * channels;
        for (int i = 0; i < n * channels; ++i) dst[i] = ToS16(in[i]);
        m_readIndex += n;
        m_position += n;
        delivered += n;
        wanted -= n;
        if (sinceRewind >= 0) sinceRewind += n;
    }
    return delivered * channels * 2;
}

bool DecoderMPC8Cursor::HasData() {
    if (!m_streamCursor || !m_demux) return false;
    const bool ended = m_position >= m_trackParams.numSamples || m_streamEnded;
    if (ended && m_loop) Seek(0);
    return m_position < m_trackParams.numSamples && !m_streamEnded;
}

int DecoderMPC8Cursor::Seek(unsigned int frame) {
    if (!m_demux || frame != 0) return -1;
    // Nothing read yet: the demuxer is at the start, and its sample seek would lean on a seek
    // table that a damaged stream leaves inconsistent until frames have been read.
    if (m_atStart) return 0;
    if (mpc_demux_seek_sample(m_demux, 0) != MPC_STATUS_OK) return -1;
    m_position = 0;
    m_readIndex = 0;
    m_framesHeld = 0;
    m_streamEnded = false;
    m_atStart = true;
    return 0;
}

}  // namespace kez
