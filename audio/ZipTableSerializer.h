#pragma once
// The member table appended to a sound archive, read (mode 0) or written (modes 1 and 2).
// Layout, machine byte order: int32 count; per entry int32 name length n, n name bytes, int32
// data offset, u16 flags, u16 method, u32 compressed size, u32 uncompressed size, u16 extra length
// (22 + n bytes); then the trailer: "ZET_" and u32 L = table bytes + 8 as the file's last 8 bytes.

namespace kez {

class FileInterface;

enum KezZipStreamMode : int { KezZipStream_Read = 0, KezZipStream_Append = 1, KezZipStream_Create = 2 };

class ZipTableSerializer {
public:
    ZipTableSerializer(const char* path, KezZipStreamMode mode);
    ~ZipTableSerializer();  // in modes 1 and 2 appends the trailer, then closes
    ZipTableSerializer(const ZipTableSerializer&) = delete;
    ZipTableSerializer& operator=(const ZipTableSerializer&) = delete;

    bool ParseExtensionHeader();  // finds "ZET_" and L; the table must lie inside the file
    unsigned Read(void* buffer, unsigned count);  // count, or 0 unless all came
    int ReadByte(unsigned char& value);           // 1, or 0
    int ReadShort(short& value);
    int ReadInt(int& value);
    unsigned Write(const void* buffer, unsigned count);
    int WriteByte(unsigned char value);
    int WriteShort(short value);
    int WriteInt(int value);

    int GetStatus() const { return status; }  // -1 closed, 0 table ready to read, 1 ready to write
    const char* GetFilePath() const;
    int TableLength() const { return tableLength; }
    int ByteCount() const { return byteCount; }
    void Close();

private:
    bool CanRead() const { return file && status == 0 && mode == KezZipStream_Read; }
    bool CanWrite() const { return file && status == 1 && (mode == KezZipStream_Append || mode == KezZipStream_Create); }

    FileInterface* file = nullptr;
    KezZipStreamMode mode;
    int tableLength = 0;
    int byteCount = 0;
    int status = -1;
};

}  // namespace kez
