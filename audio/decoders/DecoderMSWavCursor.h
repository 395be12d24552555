#pragma once
// One playback of a RIFF WAVE file: chooses the sub-decoder by format tag (1 PCM, 0x11 IMA
// ADPCM, 2 MS ADPCM) and forwards to it. Without one (not a WAVE file, no data, unknown tag,
// bad format) its track parameters are zero, Decode gives 0, HasData false and Seek -1.

#include "audio/decoders/DecoderCursorInterface.h"

namespace kez {

class DecoderMSWav;
class KezMSWavSubDecoder;
struct WaveChunk;

class DecoderMSWavCursor : public DecoderCursorInterface {
public:
    DecoderMSWavCursor(DecoderMSWav* decoder, StreamCursorInterface* streamCursor);
    ~DecoderMSWavCursor() override;

    int Decode(void* buffer, int bytes) override;
    bool HasData() override;
    int Seek(unsigned int frame) override;
    void SetLoop(bool loop) override;  // the sub-decoder's flag; the cursor's own stays

    // Walks the chunks into the decoder's description; the stream position is kept.
    bool ParseFile();

private:
    WaveChunk* m_chunk;
    KezMSWavSubDecoder* m_subDecoder = nullptr;
};

}  // namespace kez
