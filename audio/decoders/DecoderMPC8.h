#pragma once
// Decoder type 3: Musepack (SV8) through libmpcdec's demuxer, fed by reader callbacks over the
// cursor's stream cursor. Float frames become 16-bit (×32768, truncated, clamped). Only the start
// is seekable. The reported length keeps the stream's leading silence.

#include <mpc/mpcdec.h>

#include "audio/decoders/DecoderCursorInterface.h"
#include "audio/decoders/DecoderInterface.h"

namespace kez {

struct DecoderMPC8Params {
    int32_t sampleRate;  // reported instead of the stream's own when above 0
};

class DecoderMPC8 : public DecoderInterface {
public:
    explicit DecoderMPC8(const DecoderMPC8Params* params);

    DecoderCursorInterface* CreateNewCursor(StreamCursorInterface* streamCursor) override;
    void DestroyCursor(DecoderCursorInterface* cursor) override;
    int GetType() override { return 3; }
    void* GetParam() override { return nullptr; }

    int RateOverride() const { return m_rateOverride; }

private:
    int m_rateOverride = -1;
};

class DecoderMPC8Cursor : public DecoderCursorInterface {
public:
    DecoderMPC8Cursor(DecoderMPC8* decoder, StreamCursorInterface* streamCursor);
    ~DecoderMPC8Cursor() override;

    int Decode(void* buffer, int bytes) override;  // 16-bit interleaved
    bool HasData() override;
    int Seek(unsigned int frame) override;  // only frame 0

    static int16_t ToS16(float sample);

private:
    bool DecodeFrame();  // false at the end of the stream or on an error

    int m_position = 0;     // frames delivered since the start
    int m_framesHeld = 0;   // in m_frameBuffer
    int m_readIndex = 0;    // frames already taken from it
    bool m_streamEnded = false;
    bool m_atStart = true;  // no frame decoded since opening or the last rewind
    mpc_demux* m_demux = nullptr;
    mpc_reader m_reader{};
    float* m_frameBuffer = nullptr;  // MPC_DECODER_BUFFER_LENGTH floats
};

DecoderInterface* DecoderMPC8Factory(void* params);  // params: DecoderMPC8Params* or null

}  // namespace kez
