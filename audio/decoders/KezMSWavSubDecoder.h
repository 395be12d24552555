#pragma once
// The part of a RIFF WAVE cursor that reads one kind of sample data through the cursor's stream
// cursor, following the decoder's list of data chunks. A sub-decoder whose set-up failed has zero
// track parameters and is dropped by its cursor.

#include "audio/decoders/TrackParams.h"

namespace kez {

class StreamCursorInterface;
struct DataNode;
struct WaveChunk;

class KezMSWavSubDecoder {
public:
    KezMSWavSubDecoder(StreamCursorInterface* streamCursor, WaveChunk* chunk)
        : m_streamCursor(streamCursor), m_chunk(chunk) {}
    virtual ~KezMSWavSubDecoder() = default;
    KezMSWavSubDecoder(const KezMSWavSubDecoder&) = delete;
    KezMSWavSubDecoder& operator=(const KezMSWavSubDecoder&) = delete;

    virtual int Decode(void* buffer, int bytes) = 0;  // bytes written
    virtual int Seek(unsigned int frame) = 0;         // 0, or -1 when refused
    virtual bool HasData() = 0;

    // Enters the first data chunk, or the next one; past the last, the current node is null.
    void GoToNextDataChunk();

    const TrackParams& GetTrackParams() const { return m_params; }
    void SetLoop(bool loop) { m_loop = loop; }

protected:
    StreamCursorInterface* m_streamCursor;
    WaveChunk* m_chunk;          // shared with the decoder's other cursors: read only
    DataNode* m_node = nullptr;  // the data chunk being read
    TrackParams m_params;
    int m_dataSize = 0;          // size of the current data chunk, kept per playback
    int m_consumed = 0;          // bytes consumed in it
    int m_position = 0;          // frames
    bool m_loop = false;
};

}  // namespace kez
