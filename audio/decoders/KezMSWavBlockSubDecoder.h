#pragma once
// What the two ADPCM sub-decoders share: whole blocks decoded into an own buffer and copied out
// frame-exactly, the length taken from the "fact" chunk, seeking by block. Only the first data
// chunk plays. Nothing is allocated while decoding.

#include "audio/decoders/KezMSWavSubDecoder.h"

namespace kez {

class KezMSWavBlockSubDecoder : public KezMSWavSubDecoder {
public:
    KezMSWavBlockSubDecoder(StreamCursorInterface* streamCursor, WaveChunk* chunk);
    ~KezMSWavBlockSubDecoder() override;

    int Decode(void* buffer, int bytes) override;
    int Seek(unsigned int frame) override;  // frame < number of samples, else -1
    bool HasData() override;

    // Decodes the next block into `out` (16-bit interleaved); the frames it gives, cut at the end
    // of the sound; 0 ends the sound (no data left, or a damaged block).
    virtual int DecodeBlock(void* out) = 0;

protected:
    // Shared set-up once the kind has checked its format: buffers, first chunk, parameters.
    bool SetUp(int samplesPerBlock);
    int ReadBlock();  // the next raw block into m_rawBlock; its byte count
    int CutToSound(int frames) const;

    int16_t* m_decoded = nullptr;        // block align × 4 bytes
    unsigned char* m_rawBlock = nullptr;  // block align bytes
    int m_blockAlign = 0;
    int m_samplesPerBlock = 0;
    int m_payloadOffset = 0;
    int m_framesInBlock = 0;
    int m_readIndex = 0;

private:
    bool DataLeft() const;
};

}  // namespace kez
