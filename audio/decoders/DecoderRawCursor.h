#pragma once
// Plays the stream's bytes as stored (no change of width, sign or byte order); its position is
// the stream cursor's. Over a memory stream DecodeRef hands out pointers into the stream.

#include "audio/decoders/DecoderCursorInterface.h"

namespace kez {

class DecoderRawCursor : public DecoderCursorInterface {
public:
    DecoderRawCursor(DecoderInterface* decoder, StreamCursorInterface* streamCursor,
                     const TrackParams& params);

    int Decode(void* buffer, int bytes) override;
    int DecodeRef(void*& buffer, int bytes) override;
    bool HasData() override;
    int Seek(unsigned int frame) override;  // frame ≤ number of samples, else -1
    bool AllowBufferReference() override;
};

}  // namespace kez
