#include "audio/decoders/DecoderStbVorbis.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "audio/KezMemory.h"
#include "audio/StreamInterface.h"
#include "audio/decoders/DecoderLog.h"
#include "audio/decoders/VorbisStream.h"

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
    m_start = streamCursor->Tell();
    VorbisLayout layout;
    if (!ReadVorbisLayout(streamCursor, layout)) {
        DecoderLog("ogg: not an Ogg Vorbis stream (damaged or incomplete headers)");
        return;
    }
    if (!Open()) return;
    if (layout.channels < 1 || layout.rate < 1) {
        DecoderLog("ogg: no playable stream");
        ov_clear(&m_file);
        m_open = false;
        return;
    }
    m_trackParams.channels = layout.channels;
    m_trackParams.sampleRate = int32_t(std::min<long>(layout.rate, INT32_MAX));
    m_trackParams.bitsPerSample = 16;
    m_trackParams.numSamples = int32_t(std::min<int64_t>(layout.length, INT32_MAX));
}

bool DecoderStbVorbisCursor::Open() {
    // The library frees what it set up when the open fails; m_file is then left for nothing.
    const int error = ov_open_callbacks(m_streamCursor, &m_file, nullptr, 0, VorbisCallbacks());
    if (error != 0) {
        DecoderLog("ogg: not an Ogg Vorbis stream (error %d)", error);
        return false;
    }
    m_open = true;
    return true;
}

DecoderStbVorbisCursor::~DecoderStbVorbisCursor() {
    if (m_open) ov_clear(&m_file);
}

// Fills up to `frames` frames, as many packets as it takes. A chained link with another channel
// count would be misread as this one's, so the sound ends there; so it does on a broken link.
int DecoderStbVorbisCursor::ReadFrames(short* out, int frames) {
    const int channels = m_trackParams.channels;
    int written = 0;
    int holes = 0;
    while (written < frames) {
        int link = 0;
        const long bytes = ov_read(&m_file, reinterpret_cast<char*>(out + size_t(written) * channels),
                                   (frames - written) * channels * 2, 0, 2, 1, &link);
        if (bytes == OV_HOLE && ++holes < 16) continue;  // a damaged page: the next one may be sound
        if (bytes <= 0) break;
        const vorbis_info* info = ov_info(&m_file, link);
        if (!info || info->channels != channels) break;
        written += int(bytes / (channels * 2));
    }
    return written;
}

int DecoderStbVorbisCursor::Decode(void* buffer, int bytes) {
    const int channels = m_trackParams.channels;
    if (!m_open || !buffer || bytes / 2 < channels) return 0;
    // Never past the stated length, which a damaged stream's pages can contradict.
    const int wanted = std::min(bytes / (channels * 2), std::max(m_trackParams.numSamples - m_position, 0));
    const int frames = ReadFrames(static_cast<short*>(buffer), wanted);
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
    if (!m_open || frame != 0) return -1;
    // The library reads without seeking: the start is a fresh open of the same stream.
    ov_clear(&m_file);
    m_open = false;
    if (m_streamCursor->Seek(m_start, SEEK_SET) != 0 || !Open()) return -1;
    m_position = 0;
    return 0;
}

}  // namespace kez
