#pragma once
// A decoder holds what every playback of one sound shares (parsed headers, cached bytes); each
// playing emitter gets its own cursor over its own stream cursor. Decoders, cursors and the
// objects they own are made with KezAlloc and destroyed by destructor call plus KezFree.
//
// Decoder type numbers are registration order: 0 raw PCM, 1 RIFF WAVE, 2 Ogg Vorbis, 3 Musepack,
// 4 native container, 5 a null entry, 6 the tracker module the game registers (whose own
// GetType() answers 100).

namespace kez {

class DecoderCursorInterface;
class StreamCursorInterface;

class DecoderInterface {
public:
    virtual ~DecoderInterface() = default;

    virtual void Init() {}
    virtual void Shutdown() {}
    // Always a cursor for the kinds of this folder; a failed set-up shows as zero track params.
    virtual DecoderCursorInterface* CreateNewCursor(StreamCursorInterface* streamCursor) = 0;
    virtual void DestroyCursor(DecoderCursorInterface* cursor) = 0;  // null is ignored
    virtual int GetType() = 0;
    virtual void* GetParam() = 0;  // the kind's parameter record, or null
};

// A factory registered with the engine; `params` is the decoder parameter record given to the load.
using DecoderFactory = DecoderInterface* (*)(void* params);

}  // namespace kez
