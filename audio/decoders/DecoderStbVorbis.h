#pragma once
// Decoder type 2: Ogg Vorbis through stb_vorbis, which reads the cursor's stream cursor itself.
// Only the start is seekable.

#include "audio/decoders/DecoderCursorInterface.h"
#include "audio/decoders/DecoderInterface.h"

struct stb_vorbis;

namespace kez {

class DecoderStbVorbis : public DecoderInterface {
public:
    DecoderCursorInterface* CreateNewCursor(StreamCursorInterface* streamCursor) override;
    void DestroyCursor(DecoderCursorInterface* cursor) override;
    int GetType() override { return 2; }
    void* GetParam() override { return nullptr; }
};

class DecoderStbVorbisCursor : public DecoderCursorInterface {
public:
    DecoderStbVorbisCursor(DecoderStbVorbis* decoder, StreamCursorInterface* streamCursor);
    ~DecoderStbVorbisCursor() override;

    int Decode(void* buffer, int bytes) override;  // 16-bit interleaved
    bool HasData() override;
    int Seek(unsigned int frame) override;  // only frame 0

private:
    stb_vorbis* m_vorbis = nullptr;  // null when the stream did not open
    int m_position = 0;              // frames delivered since the start
};

DecoderInterface* DecoderStbVorbisFactory(void* params);  // params are ignored

}  // namespace kez
