#include "audio/decoders/DecoderRawCursor.h"

#include <cstdint>

#include "audio/StreamInterface.h"

namespace kez {

DecoderRawCursor::DecoderRawCursor(DecoderInterface* decoder, StreamCursorInterface* streamCursor,
                                   const TrackParams& params)
    : DecoderCursorInterface(decoder, streamCursor) {
    m_trackParams = params;
}

int DecoderRawCursor::Decode(void* buffer, int bytes) {
    if (!m_streamCursor || !buffer) return 0;
    auto* out = static_cast<unsigned char*>(buffer);
    int delivered = 0;
    while (delivered < bytes) {
        const int n = m_streamCursor->Read(out + delivered, bytes - delivered);
        if (n < 1) break;
        delivered += n;
        if (m_loop && m_streamCursor->EndOfStream() && m_streamCursor->Seek(0, 0) != 0) break;
    }
    return delivered;
}

int DecoderRawCursor::DecodeRef(void*& buffer, int bytes) {
    if (!m_streamCursor || !m_streamCursor->AllowBufferReference()) return Decode(buffer, bytes);
    unsigned char* data = nullptr;
    const int n = m_streamCursor->ReadRef(data, bytes);
    buffer = data;
    if (m_loop && m_streamCursor->EndOfStream()) m_streamCursor->Seek(0, 0);
    return n;
}

bool DecoderRawCursor::HasData() {
    if (!m_streamCursor) return false;
    if (m_loop && m_streamCursor->EndOfStream()) Seek(0);
    return !m_streamCursor->EndOfStream();
}

int DecoderRawCursor::Seek(unsigned int frame) {
    if (!m_streamCursor || m_trackParams.numSamples < 0) return -1;
    if (frame > static_cast<uint32_t>(m_trackParams.numSamples)) return -1;
    const int64_t frameBytes =
        int64_t(m_trackParams.channels) * (m_trackParams.bitsPerSample / 8);
    const int64_t offset = int64_t(frame) * frameBytes;
    if (offset < 0 || offset > INT32_MAX) return -1;
    m_streamCursor->Seek(static_cast<int>(offset), 0);
    return 0;
}

bool DecoderRawCursor::AllowBufferReference() {
    return m_streamCursor && m_streamCursor->AllowBufferReference();
}

}  // namespace kez
