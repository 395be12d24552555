// The framework's file object: files opened by name through the engine's file system (the data
// folder, then the archives the render device mounted), raw and typed little-endian reads,
// byte-reversed reads for big-endian data, writes, seeks and the size. A typed read past the end
// gives 0 for the missing bytes. Reads without a read file answer 0; writes without a write file 0.
#pragma once

namespace pravik::io {
class IReadFile;
class IWriteFile;
}  // namespace pravik::io

class CNDSFile {
public:
    CNDSFile() = default;
    virtual ~CNDSFile() { Close(); }
    CNDSFile(const CNDSFile&) = delete;
    CNDSFile& operator=(const CNDSFile&) = delete;

    bool Open(const char* name);
    bool OpenSaveFile(const char* name, bool write);   // write: created (not appended)
    long Read(void* buffer, long n);                    // bytes read
    long Write(const void* buffer, long n);             // bytes written
    int GetFileSize() const;
    // Origin 0 from the start, 2 that many bytes back from the end, any other from here.
    void Seek(int origin, int offset);
    void Advance(int n);
    void Close();

    int ReadInt();
    int ReadLong() { return ReadInt(); }
    float ReadFloat();
    int ReadShort();
    int ReadUnsignedShort();
    int ReadChar();
    int ReadCharReverse() { return ReadChar(); }
    int ReadUnsignedByte();
    int ReadUCharReverse() { return ReadUnsignedByte(); }
    int ReadShortReverse();
    int ReadUShortReverse();
    int ReadIntReverse();

    static unsigned short ConvertReverse(unsigned short v) { return (unsigned short)((v >> 8) | (v << 8)); }
    static unsigned ConvertIntReverse(unsigned v)
    {
        return (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
    }

private:
    unsigned ReadLE(int bytes);   // missing bytes read as 0

    pravik::io::IReadFile* m_pReadFile = nullptr;
    pravik::io::IWriteFile* m_pWriteFile = nullptr;
};
