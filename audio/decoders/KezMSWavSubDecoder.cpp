#include "audio/decoders/KezMSWavSubDecoder.h"

#include "audio/StreamInterface.h"
#include "audio/decoders/WaveChunk.h"

namespace kez {

void KezMSWavSubDecoder::GoToNextDataChunk() {
    if (!m_chunk || !m_streamCursor) return;
    m_node = m_node ? m_node->next : m_chunk->dataList;
    if (!m_node) {
        m_dataSize = 0;
        return;
    }
    m_streamCursor->Seek(m_node->offset + 8, 0);
    m_dataSize = m_node->size;
    m_consumed = 0;
}

}  // namespace kez
