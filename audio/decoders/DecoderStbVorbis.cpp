#include "audio/decoders/DecoderStbVorbis.h"

#include <algorithm>
#include <cstdint>

#include "audio/KezMemory.h"
#include "audio/decoders/DecoderLog.h"
#include "audio/decoders/StbVorbisStream.h"

namespace kez {

DecoderCursorInterface* DecoderStbVorbis::CreateNewCursor(StreamCursorInterface* streamCursor) {
    return KezNew<DecoderStbVorbisCursor>(this, streamCursor);
}

void DecoderStbVorbis::DestroyCursor(DecoderCursorInterface* cursor) {
    KezDelete(cursor);
}

DecoderInterface* DecoderStbVorbisFactory(void*) {
    return KezNew<DecoderStbVorbis>();
}

DecoderStbVorbisCursor::DecoderStbVorbisCursor(DecoderStbVorbis* decoder,
                                               StreamCursorInterface* streamCursor)
    : DecoderCursorInterface(decoder, streamCursor) {
    if (!streamCursor) return;
    int error = 0;
    m_vorbis = stb_vorbis_open_file(streamCursor, 0, &error, nullptr);
    if (!m_vorbis) {
        DecoderLog("ogg: not an Ogg Vorbis stream (error %d)", error);
        return;
    }
    const stb_vorbis_info info = stb_vorbis_get_info(m_vorbis);
    if (info.channels < 1) {
        stb_vorbis_close(m_vorbis);
        m_vorbis = nullptr;
        return;
    }
    m_trackParams.channels = info.channels;
    m_trackParams.sampleRate = int32_t(std::min<unsigned>(info.sample_rate, INT32_MAX));
    m_trackParams.bitsPerSample = 16;
    m_trackParams.numSamples =
        int32_t(std::min<unsigned>(stb_vorbis_stream_length_in_samples(m_vorbis), INT32_MAX));
}

DecoderStbVorbisCursor::~DecoderStbVorbisCursor() {
    if (m_vorbis) stb_vorbis_close(m_vorbis);
}

int DecoderStbVorbisCursor::Decode(void* buffer, int bytes) {
    const int channels = m_trackParams.channels;
    if (!m_vorbis || !buffer || bytes / 2 < channels) return 0;
    const int frames = stb_vorbis_get_samples_short_interleaved(
        m_vorbis, channels, static_cast<short*>(buffer), bytes / 2);
    m_position += frames;
    // A stream shorter than its stated length ends here rather than reporting data forever.
    if (frames == 0 && !m_loop) m_position = std::max(m_position, m_trackParams.numSamples);
    if ((frames == 0 || m_position >= m_trackParams.numSamples) && m_loop) Seek(0);
    return frames * channels * 2;
}

bool DecoderStbVorbisCursor::HasData() {
    if (!m_streamCursor) return false;
    if (m_position >= m_trackParams.numSamples && m_loop) Seek(0);
    return m_position < m_trackParams.numSamples;
}

int DecoderStbVorbisCursor::Seek(unsigned int frame) {
    if (!m_vorbis || frame != 0) return -1;
    stb_vorbis_seek_start(m_vorbis);
    m_position = 0;
    return 0;
}

}  // namespace kez
