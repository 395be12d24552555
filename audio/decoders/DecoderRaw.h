#pragma once
// Decoder type 0: PCM that needs no decoding, described by the TrackParams record it is made
// with (the engine's raw conversion and the loader's flag 2 produce such sources).

#include "audio/decoders/DecoderInterface.h"
#include "audio/decoders/TrackParams.h"

namespace kez {

class DecoderRaw : public DecoderInterface {
public:
    explicit DecoderRaw(const TrackParams* params);  // null: all four fields 0

    DecoderCursorInterface* CreateNewCursor(StreamCursorInterface* streamCursor) override;
    void DestroyCursor(DecoderCursorInterface* cursor) override;
    int GetType() override { return 0; }
    void* GetParam() override { return &m_params; }

private:
    TrackParams m_params;
};

DecoderInterface* DecoderRawFactory(void* params);  // params: TrackParams* or null

}  // namespace kez
