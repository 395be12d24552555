#include "audio/decoders/DecoderRaw.h"

#include "audio/KezMemory.h"
#include "audio/decoders/DecoderRawCursor.h"

namespace kez {

DecoderRaw::DecoderRaw(const TrackParams* params) {
    if (params) m_params = *params;
}

DecoderCursorInterface* DecoderRaw::CreateNewCursor(StreamCursorInterface* streamCursor) {
    return KezNew<DecoderRawCursor>(this, streamCursor, m_params);
}

void DecoderRaw::DestroyCursor(DecoderCursorInterface* cursor) {
    KezDelete(cursor);
}

DecoderInterface* DecoderRawFactory(void* params) {
    return KezNew<DecoderRaw>(static_cast<const TrackParams*>(params));
}

}  // namespace kez
