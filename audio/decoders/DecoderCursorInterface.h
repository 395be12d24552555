#pragma once
// One playback of a decoded sound: its position and library state over a stream cursor it does
// not own. The engine calls HasData and DecodeRef in turn, Reset before a replay and Seek for a
// play-position change.

#include "audio/decoders/TrackParams.h"

namespace kez {

class DecoderInterface;
class StreamCursorInterface;

class DecoderCursorInterface {
public:
    DecoderCursorInterface(DecoderInterface* decoder, StreamCursorInterface* streamCursor)
        : m_decoder(decoder), m_streamCursor(streamCursor) {}
    virtual ~DecoderCursorInterface() = default;
    DecoderCursorInterface(const DecoderCursorInterface&) = delete;
    DecoderCursorInterface& operator=(const DecoderCursorInterface&) = delete;

    virtual void Init() {}
    virtual void Shutdown() {}
    virtual int Decode(void* buffer, int bytes) = 0;  // bytes written; 0 at the end when not looping
    // Like Decode, but may point `buffer` into the cursor's own memory when that is allowed.
    virtual int DecodeRef(void*& buffer, int bytes) { return Decode(buffer, bytes); }
    virtual bool HasData() = 0;  // a looping cursor at its end rewinds here
    virtual void Reset() { Seek(0); }
    virtual int GetRewindLimit() { return 0; }
    virtual void Rewind(int) {}
    virtual int Seek(unsigned int frame) = 0;  // 0, or -1 when refused
    virtual void SetLoop(bool loop) { m_loop = loop; }
    virtual StreamCursorInterface* GetStreamCursor() { return m_streamCursor; }
    virtual bool AllowBufferReference() { return false; }

    const TrackParams& GetTrackParams() const { return m_trackParams; }
    DecoderInterface* GetDecoder() const { return m_decoder; }
    bool IsLooping() const { return m_loop; }

protected:
    TrackParams m_trackParams;
    DecoderInterface* m_decoder;
    StreamCursorInterface* m_streamCursor;
    bool m_loop = false;
};

}  // namespace kez
