#pragma once
// Decoder type 2: Ogg Vorbis through libvorbisfile, which reads the cursor's stream cursor through
// the callbacks of VorbisStream.h, from the start of the first link to its end. Only the start is
// seekable. The library checks every length and count of the headers against the packet that
// holds them, so hostile headers are refused.

#include <vorbis/vorbisfile.h>

#include "audio/decoders/DecoderCursorInterface.h"
#include "audio/decoders/DecoderInterface.h"

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
    bool Open();  // the library's open from the cursor's position; false when it fails
    int ReadFrames(short* out, int frames);  // frames written; stops at the end or a broken link

    OggVorbis_File m_file{};
    bool m_open = false;  // false when the stream did not open
    int m_position = 0;   // frames delivered since the start
    int m_start = 0;      // the stream cursor's position at the first page
};

DecoderInterface* DecoderStbVorbisFactory(void* params);  // params are ignored

}  // namespace kez
