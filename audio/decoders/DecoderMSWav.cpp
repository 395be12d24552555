#include "audio/decoders/DecoderMSWav.h"

#include "audio/KezMemory.h"
#include "audio/decoders/DecoderMSWavCursor.h"

namespace kez {

DecoderMSWav::~DecoderMSWav() {
    if (m_chunk.dataList) {
        m_chunk.dataList->DropNodes();
        KezDelete(m_chunk.dataList);
        m_chunk.dataList = nullptr;
    }
}

DecoderCursorInterface* DecoderMSWav::CreateNewCursor(StreamCursorInterface* streamCursor) {
    return KezNew<DecoderMSWavCursor>(this, streamCursor);
}

void DecoderMSWav::DestroyCursor(DecoderCursorInterface* cursor) {
    KezDelete(cursor);
}

DecoderInterface* DecoderMSWavFactory(void*) {
    return KezNew<DecoderMSWav>();
}

}  // namespace kez
