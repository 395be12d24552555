#pragma once
// Decoder type 1: RIFF WAVE files holding PCM, IMA ADPCM or MS ADPCM data. The first cursor
// walks the chunks; later cursors reuse the description.

#include "audio/decoders/DecoderInterface.h"
#include "audio/decoders/WaveChunk.h"

namespace kez {

class DecoderMSWav : public DecoderInterface {
public:
    DecoderMSWav() = default;
    ~DecoderMSWav() override;

    DecoderCursorInterface* CreateNewCursor(StreamCursorInterface* streamCursor) override;
    void DestroyCursor(DecoderCursorInterface* cursor) override;
    int GetType() override { return 1; }
    void* GetParam() override { return nullptr; }

    WaveChunk* GetChunk() { return &m_chunk; }
    bool NeedsParse() const { return m_parseNeeded; }
    void MarkParsed() { m_parseNeeded = false; }

private:
    WaveChunk m_chunk;
    bool m_parseNeeded = true;
};

DecoderInterface* DecoderMSWavFactory(void* params);  // params are ignored

}  // namespace kez
