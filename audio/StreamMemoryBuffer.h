#pragma once
// Stream type 0: bytes in memory. Depending on its parameters it copies the block, takes it over
// (and frees it with KezFree) or only references it. Its cursors can hand out pointers into it.

#include "audio/StreamInterface.h"

namespace kez {

struct StreamMemoryBufferParams {
    void* data = nullptr;
    int size = 0;
    bool copyData = false;           // the stream must own its bytes (a copy unless transferred)
    bool transferOwnership = false;  // the block itself is handed over
};

class StreamMemoryBuffer : public StreamInterface {
public:
    explicit StreamMemoryBuffer(const StreamMemoryBufferParams* params);
    ~StreamMemoryBuffer() override;

    StreamCursorInterface* CreateNewCursor() override;
    void DestroyCursor(StreamCursorInterface* cursor) override;
    int GetType() override { return 0; }

    const unsigned char* Data() const { return data; }
    bool OwnsData() const { return ownsData; }

private:
    friend class StreamMemoryBufferCursor;
    unsigned char* data = nullptr;
    bool ownsData = true;
};

class StreamMemoryBufferCursor : public StreamCursorInterface {
public:
    explicit StreamMemoryBufferCursor(StreamMemoryBuffer* stream) : StreamCursorInterface(stream) {}

    int Seek(int offset, int origin) override;
    bool IsSeekable() override { return true; }
    int Tell() override { return position; }
    int Read(unsigned char* buffer, int count) override;
    int ReadRef(unsigned char*& buffer, int count) override;  // points into the stream's block
    bool EndOfStream() override;
    bool AllowBufferReference() override { return true; }

private:
    StreamMemoryBuffer* Memory() const { return static_cast<StreamMemoryBuffer*>(m_stream); }
    int position = 0;
};

StreamInterface* StreamMemoryBufferFactory(void* params);  // params: StreamMemoryBufferParams* or null

}  // namespace kez
