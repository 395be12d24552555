#include "audio/decoders/KezMSWavBlockSubDecoder.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "audio/KezMemory.h"
#include "audio/StreamInterface.h"
#include "audio/decoders/DecoderLog.h"
#include "audio/decoders/WaveChunk.h"

namespace kez {

KezMSWavBlockSubDecoder::KezMSWavBlockSubDecoder(StreamCursorInterface* streamCursor,
                                                 WaveChunk* chunk)
    : KezMSWavSubDecoder(streamCursor, chunk) {}

KezMSWavBlockSubDecoder::~KezMSWavBlockSubDecoder() {
    KezFree(m_decoded);
    KezFree(m_rawBlock);
}

bool KezMSWavBlockSubDecoder::SetUp(int samplesPerBlock) {
    if (!m_chunk->hasFact) {
        DecoderLog("wav: ADPCM without a fact chunk");
        return false;
    }
    if (samplesPerBlock <= 0) return false;
    m_blockAlign = m_chunk->blockAlign;
    GoToNextDataChunk();
    if (!m_node) return false;
    m_payloadOffset = m_node->offset + 8;
    m_decoded = static_cast<int16_t*>(KezAlloc(unsigned(m_blockAlign) * 4));
    m_rawBlock = static_cast<unsigned char*>(KezAlloc(unsigned(m_blockAlign)));
    if (!m_decoded || !m_rawBlock) {
        KezFree(m_decoded);
        KezFree(m_rawBlock);
        m_decoded = nullptr;
        m_rawBlock = nullptr;
        return false;
    }
    m_samplesPerBlock = samplesPerBlock;
    m_params.channels = m_chunk->channels;
    m_params.sampleRate = int32_t(std::min<uint32_t>(m_chunk->sampleRate, INT32_MAX));
    m_params.bitsPerSample = 16;
    m_params.numSamples = int32_t(std::min<uint32_t>(m_chunk->sampleCount, INT32_MAX));
    return true;
}

int KezMSWavBlockSubDecoder::ReadBlock() {
    const int count = std::min(m_dataSize - m_consumed, m_blockAlign);
    if (count <= 0) return 0;
    const int n = m_streamCursor->Read(m_rawBlock, count);
    if (n <= 0) {
        m_consumed = m_dataSize;  // the stream ended early: so does the sound
        return 0;
    }
    m_consumed += n;
    return n;
}

int KezMSWavBlockSubDecoder::CutToSound(int frames) const {
    return int(std::clamp<int64_t>(int64_t(m_params.numSamples) - m_position, 0, frames));
}

bool KezMSWavBlockSubDecoder::DataLeft() const {
    return m_position < m_params.numSamples &&
           (m_consumed < m_dataSize || m_readIndex < m_framesInBlock);
}

int KezMSWavBlockSubDecoder::Decode(void* buffer, int bytes) {
    const int frameBytes = m_params.channels * 2;
    if (!m_streamCursor || frameBytes == 0 || !buffer || bytes <= 0) return 0;
    auto* out = static_cast<int16_t*>(buffer);
    int wanted = bytes / frameBytes;
    int delivered = 0;
    int sinceRewind = -1;  // frames since a rewind made in this call; -1 without one
    while (wanted > 0) {
        if (m_readIndex >= m_framesInBlock) {
            m_framesInBlock = DataLeft() ? DecodeBlock(m_decoded) : 0;
            m_readIndex = 0;
            if (m_framesInBlock <= 0) {
                m_framesInBlock = 0;
                m_consumed = m_dataSize;
            }
        }
        const int n = std::min(wanted, m_framesInBlock - m_readIndex);
        if (n > 0) {
            std::memcpy(out + size_t(delivered) * m_params.channels,
                        m_decoded + size_t(m_readIndex) * m_params.channels,
                        size_t(n) * frameBytes);
            m_readIndex += n;
            m_position += n;
            wanted -= n;
            delivered += n;
            if (sinceRewind >= 0) sinceRewind += n;
        }
        if (!DataLeft()) {
            if (!m_loop || sinceRewind == 0 || Seek(0) != 0) break;
            sinceRewind = 0;
        }
    }
    return delivered * frameBytes;
}

int KezMSWavBlockSubDecoder::Seek(unsigned int frame) {
    if (!m_streamCursor || m_samplesPerBlock <= 0) return -1;
    if (frame >= uint32_t(m_params.numSamples)) return -1;
    const int block = int(frame / uint32_t(m_samplesPerBlock));
    const int64_t consumed = int64_t(block) * m_blockAlign;
    if (consumed >= m_dataSize) return -1;  // the stated length runs past the data
    m_consumed = int(consumed);
    m_streamCursor->Seek(m_payloadOffset + m_consumed, 0);
    m_position = block * m_samplesPerBlock;
    m_framesInBlock = DecodeBlock(m_decoded);
    if (m_framesInBlock < 0) m_framesInBlock = 0;
    // The position counts the frame landed on, so the cut of later blocks stays right.
    m_readIndex = std::min(int(frame) - m_position, m_framesInBlock);
    m_position += m_readIndex;
    return 0;
}

bool KezMSWavBlockSubDecoder::HasData() {
    if (!m_streamCursor) return false;
    if (!DataLeft() && m_loop) Seek(0);
    return DataLeft();
}

}  // namespace kez
