#include "audio/decoders/KezMSWavSubDecoderPCM.h"

#include <algorithm>
#include <cstdint>

#include "audio/StreamInterface.h"
#include "audio/decoders/DecoderLog.h"
#include "audio/decoders/WaveChunk.h"

namespace kez {

KezMSWavSubDecoderPCM::KezMSWavSubDecoderPCM(StreamCursorInterface* streamCursor, WaveChunk* chunk)
    : KezMSWavSubDecoder(streamCursor, chunk) {
    const int bits = chunk->bitsPerSample;
    const int channels = chunk->channels;
    if ((bits != 8 && bits != 16) || channels < 1 || chunk->blockAlign == 0) {
        DecoderLog("wav: PCM with %d bits, %d channels, block align %d is not playable", bits,
                   channels, chunk->blockAlign);
        return;
    }
    m_frameBytes = channels * bits / 8;
    m_params.channels = channels;
    m_params.sampleRate = int32_t(std::min<uint32_t>(chunk->sampleRate, INT32_MAX));
    m_params.bitsPerSample = bits;
    m_params.numSamples = GetDataSize() / m_frameBytes;
    GoToNextDataChunk();
}

int KezMSWavSubDecoderPCM::GetDataSize() const {
    int64_t total = 0;
    for (const DataNode* node = m_chunk->dataList; node; node = node->next) total += node->size;
    return int(std::min<int64_t>(total, INT32_MAX));
}

int KezMSWavSubDecoderPCM::Decode(void* buffer, int bytes) {
    if (!m_streamCursor || m_frameBytes == 0 || !buffer || bytes <= 0) return 0;
    auto* out = static_cast<unsigned char*>(buffer);
    const int wanted = bytes - bytes % m_frameBytes;
    int delivered = 0;
    bool rewound = false;  // a rewind that delivers nothing must not spin
    while (delivered < wanted) {
        if (m_position >= m_params.numSamples || !m_node) {
            if (!m_loop || rewound || m_params.numSamples == 0 || Seek(0) != 0) break;
            rewound = true;
            continue;
        }
        const int chunkLeft = (m_dataSize - m_consumed) / m_frameBytes * m_frameBytes;
        if (chunkLeft <= 0) {
            GoToNextDataChunk();
            if (!m_node) m_position = m_params.numSamples;
            continue;
        }
        const int framesLeft = m_params.numSamples - m_position;
        const int64_t soundLeft = int64_t(framesLeft) * m_frameBytes;
        const int count = int(std::min<int64_t>({int64_t(wanted - delivered), chunkLeft, soundLeft}));
        const int n = m_streamCursor->Read(out + delivered, count);
        if (n <= 0) break;
        const int whole = n - n % m_frameBytes;
        m_consumed += n;
        delivered += whole;
        m_position += whole / m_frameBytes;
        rewound = false;
        if (n < count) break;  // the stream ended early
    }
    return delivered;
}

int KezMSWavSubDecoderPCM::Seek(unsigned int frame) {
    if (!m_streamCursor || m_frameBytes == 0) return -1;
    if (frame > uint32_t(m_params.numSamples)) return -1;
    m_node = nullptr;
    m_position = 0;
    GoToNextDataChunk();
    uint32_t remaining = frame;
    while (remaining > 0 && m_node) {
        const uint32_t chunkFrames = uint32_t(m_dataSize / m_frameBytes);
        if (remaining < chunkFrames) {
            m_position += int(remaining);
            m_consumed = int(remaining) * m_frameBytes;
            m_streamCursor->Seek(m_consumed, 1);
            remaining = 0;
        } else {
            m_position += int(chunkFrames);
            remaining -= chunkFrames;
            GoToNextDataChunk();
        }
    }
    return 0;
}

bool KezMSWavSubDecoderPCM::HasData() {
    if (!m_streamCursor) return false;
    if (m_position >= m_params.numSamples && m_loop) Seek(0);
    return m_position < m_params.numSamples;
}

}  // namespace kez
