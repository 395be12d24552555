#include "audio/ZipTableSerializer.h"

#include <cstring>

#include "audio/FileSystemInterface.h"

namespace kez {

ZipTableSerializer::ZipTableSerializer(const char* path, KezZipStreamMode mode) : mode(mode) {
    if (!path) return;
    FileSystemInterface* fs = FileSystemInterface::GetInstance();
    switch (mode) {
        case KezZipStream_Read:
            file = fs->OpenFile(path, KezFileAccessMode(6));
            if (file && ParseExtensionHeader())
                file->Seek(-8 - tableLength, KezFileSeekOrigin(2));
            break;
        case KezZipStream_Append:
            file = fs->OpenFile(path, KezFileAccessMode(9));
            if (file) {
                if (ParseExtensionHeader()) Close();  // an archive keeps its one table
                else file->Seek(0, KezFileSeekOrigin(2));
            }
            break;
        case KezZipStream_Create:
            file = fs->OpenFile(path, KezFileAccessMode(10));
            if (file) status = 1;
            break;
    }
}

ZipTableSerializer::~ZipTableSerializer() {
    if (!file) return;
    if (status != -1 && (mode == KezZipStream_Append || mode == KezZipStream_Create)) {
        file->Write("ZET_", 1, 4);
        const unsigned length = unsigned(byteCount) + 8;
        file->Write(&length, 4, 1);
    }
    Close();
}

bool ZipTableSerializer::ParseExtensionHeader() {
    if (!file) return false;
    // The file must hold the 8-byte trailer at all.
    if (file->Seek(0, KezFileSeekOrigin(2)) != 0) return false;
    const long long fileSize = file->Tell();
    if (fileSize < 8 || file->Seek(-8, KezFileSeekOrigin(2)) != 0) {
        status = 1;
        return false;
    }
    char tag[4] = {'x', 'x', 'x', 0};
    if (file->Read(tag, 1, 4) != 4 || std::memcmp(tag, "ZET_", 4) != 0) {
        status = 1;
        return false;
    }
    unsigned length = 0;
    if (file->Read(&length, 4, 1) != 1) return false;
    // A length that reaches before the start of the file cannot be a table of this file.
    if (length <= 8 || (long long)length > fileSize) return false;
    tableLength = int(length) - 8;
    status = 0;
    return true;
}

unsigned ZipTableSerializer::Read(void* buffer, unsigned count) {
    if (!CanRead() || !buffer) return 0;
    if (count == 0) return 0;
    if (file->Read(buffer, 1, int(count)) != int(count)) return 0;
    byteCount += int(count);
    return count;
}

template <typename T>
static int readOne(FileInterface* file, T& value, int& byteCount) {
    if (file->Read(&value, sizeof(T), 1) != 1) return 0;
    byteCount += int(sizeof(T));
    return 1;
}

int ZipTableSerializer::ReadByte(unsigned char& v) { return CanRead() ? readOne(file, v, byteCount) : 0; }
int ZipTableSerializer::ReadShort(short& v) { return CanRead() ? readOne(file, v, byteCount) : 0; }
int ZipTableSerializer::ReadInt(int& v) { return CanRead() ? readOne(file, v, byteCount) : 0; }

unsigned ZipTableSerializer::Write(const void* buffer, unsigned count) {
    if (!CanWrite() || !buffer || count == 0) return 0;
    if (file->Write(buffer, 1, int(count)) != int(count)) return 0;
    byteCount += int(count);
    return count;
}

template <typename T>
static int writeOne(FileInterface* file, T value, int& byteCount) {
    if (file->Write(&value, sizeof(T), 1) != 1) return 0;
    byteCount += int(sizeof(T));
    return 1;
}

int ZipTableSerializer::WriteByte(unsigned char v) { return CanWrite() ? writeOne(file, v, byteCount) : 0; }
int ZipTableSerializer::WriteShort(short v) { return CanWrite() ? writeOne(file, v, byteCount) : 0; }
int ZipTableSerializer::WriteInt(int v) { return CanWrite() ? writeOne(file, v, byteCount) : 0; }

const char* ZipTableSerializer::GetFilePath() const { return file ? file->GetFilePath() : nullptr; }

void ZipTableSerializer::Close() {
    if (!file) return;
    FileSystemInterface::GetInstance()->CloseFile(file);
    file = nullptr;
    status = -1;
}

}  // namespace kez
