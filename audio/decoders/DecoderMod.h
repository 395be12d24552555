#pragma once
// Tracker modules through libmodplug, registered by the game as decoder type 6 (its own type
// code is 100). Rendered as 16-bit stereo at 32000 Hz with linear resampling unless a parameter
// record says otherwise. The module's bytes are read once per decoder when the stream does not
// lend its memory; later cursors load from that copy.

#include "audio/decoders/DecoderCursorInterface.h"
#include "audio/decoders/DecoderInterface.h"

struct _ModPlugFile;

namespace kez {

struct DecoderModParams {
    int32_t sampleRate;
    int32_t channels;
    int32_t bitsPerSample;
    int32_t resamplingMode;  // libmodplug's numbering: 0 nearest, 1 linear, 2 spline, 3 FIR
};

class DecoderMod : public DecoderInterface {
public:
    explicit DecoderMod(const DecoderModParams* params);
    ~DecoderMod() override;

    DecoderCursorInterface* CreateNewCursor(StreamCursorInterface* streamCursor) override;
    void DestroyCursor(DecoderCursorInterface* cursor) override;
    int GetType() override { return 100; }
    void* GetParam() override { return m_hasParams ? &m_params : nullptr; }

    unsigned char* GetData() const { return m_data; }  // null before the first read
    void PushData(unsigned char* data);                // takes the buffer (KezAlloc) and frees it later
    bool HasParams() const { return m_hasParams; }
    const DecoderModParams& Params() const { return m_params; }

    static bool m_isFirst;  // the library's global settings are set once per process

private:
    bool m_hasParams = false;
    DecoderModParams m_params{32000, 2, 16, 1};
    unsigned char* m_data = nullptr;
};

class DecoderModCursor : public DecoderCursorInterface {
public:
    DecoderModCursor(DecoderMod* decoder, StreamCursorInterface* streamCursor);
    ~DecoderModCursor() override;

    void Init() override;      // loads the module
    void Shutdown() override;  // unloads it
    int Decode(void* buffer, int bytes) override;
    bool HasData() override;
    int Seek(unsigned int frame) override;

private:
    _ModPlugFile* m_module = nullptr;
    bool m_hasData = false;
};

DecoderInterface* DecoderModFactory(void* params);  // params: DecoderModParams* or null

}  // namespace kez
