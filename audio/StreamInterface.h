#pragma once
// Streams deliver bytes with a known size; a cursor is one independent read position on a
// stream, so several emitters can play one data source at once. Seek origins: 0 start,
// 1 current, 2 from the end, counting back from the last byte (Seek(0, 2) lands on Size() - 1).

namespace kez {

class StreamCursorInterface;

class StreamInterface {
public:
    virtual ~StreamInterface() = default;
    virtual void Init() {}
    virtual void Shutdown() {}
    virtual int Size() { return size; }
    virtual StreamCursorInterface* CreateNewCursor() = 0;             // null when the stream is unusable
    virtual void DestroyCursor(StreamCursorInterface* cursor) = 0;    // null is ignored
    virtual int GetType() = 0;

protected:
    int size = 0;
};

class StreamCursorInterface {
public:
    explicit StreamCursorInterface(StreamInterface* stream) : m_stream(stream) {}
    virtual ~StreamCursorInterface() = default;
    virtual void Init() {}
    virtual void Shutdown() {}
    virtual int Seek(int offset, int origin) = 0;  // 0 on success, -1 when out of range
    virtual bool IsSeekable() = 0;
    virtual int Tell() = 0;
    virtual int Read(unsigned char* buffer, int count) = 0;  // bytes read
    virtual int ReadRef(unsigned char*& buffer, int count) { return Read(buffer, count); }  // copies
    virtual bool EndOfStream() = 0;
    virtual bool AllowBufferReference() { return false; }

    StreamInterface* GetStream() const { return m_stream; }

protected:
    StreamInterface* m_stream;  // not owned
};

}  // namespace kez
