#pragma once
// Integer PCM (format tag 1), 8 or 16 bits, passed on as stored: 8-bit stays unsigned, 16-bit
// signed. Every data chunk of the file plays, in file order, as one sound.

#include "audio/decoders/KezMSWavSubDecoder.h"

namespace kez {

class KezMSWavSubDecoderPCM : public KezMSWavSubDecoder {
public:
    KezMSWavSubDecoderPCM(StreamCursorInterface* streamCursor, WaveChunk* chunk);

    int Decode(void* buffer, int bytes) override;
    int Seek(unsigned int frame) override;  // the end itself is accepted
    bool HasData() override;

    int GetDataSize() const;  // all data chunks together

private:
    int m_frameBytes = 0;
};

}  // namespace kez
