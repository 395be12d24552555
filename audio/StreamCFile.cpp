#include "audio/StreamCFile.h"

#include "audio/FileSystemInterface.h"
#include "audio/KezMemory.h"

namespace kez {

StreamCFile::StreamCFile(const char* name) {
    if (!name) return;
    path = name;
    Init();
}

void StreamCFile::Init() {
    size = 0;
    fileSystem = FileSystemInterface::GetInstance();
    if (path.empty() || !fileSystem) return;
    FileInterface* file = fileSystem->OpenFile(path.c_str(), KezFileAccessMode(6));
    if (!file) return;
    if (file->Seek(0, KezFileSeekOrigin(2)) == 0) {
        const int end = file->Tell();
        size = end > 0 ? end : 0;
    }
    fileSystem->CloseFile(file);
}

StreamCursorInterface* StreamCFile::CreateNewCursor() {
    if (size <= 0) return nullptr;
    StreamCFileCursor* cursor = KezNew<StreamCFileCursor>(this);
    if (cursor) cursor->Init();
    return cursor;
}

void StreamCFile::DestroyCursor(StreamCursorInterface* cursor) { KezDelete(cursor); }

void StreamCFileCursor::Init() {
    if (File() && !file && File()->FileSystem())
        file = File()->FileSystem()->OpenFile(File()->Path().c_str(), KezFileAccessMode(6));
}

void StreamCFileCursor::Shutdown() {
    if (!file) return;
    if (File()) {
        if (File()->FileSystem()) File()->FileSystem()->CloseFile(file);
    } else if (FileSystemInterface* fs = FileSystemInterface::GetInstance()) {
        fs->CloseFile(file);
    }
    file = nullptr;
}

int StreamCFileCursor::Tell() {
    if (!file) return -1;
    if (position == -1) position = file->Tell();
    return position;
}

int StreamCFileCursor::Read(unsigned char* buffer, int count) {
    if (!file || count <= 0) return 0;
    if (position == -1) position = file->Tell();
    const int n = file->Read(buffer, 1, count);
    if (n > 0) position += n;
    return n > 0 ? n : 0;
}

bool StreamCFileCursor::EndOfStream() {
    if (!file) return true;
    if (position == -1) Tell();
    return position >= (File() ? File()->Size() : 0) - 1;
}

int StreamCFileCursor::Seek(int offset, int origin) {
    if (!file) return -1;
    const long long sz = File() ? File()->Size() : 0;
    long long target;
    switch (origin) {
        case 1:
            if (position == -1) position = file->Tell();
            target = (long long)position + offset;
            break;
        case 2: target = sz - 1 - offset; break;
        case 0: target = offset; break;
        default: target = position; break;
    }
    if (target < 0 || target > sz) {
        position = -1;
        return -1;
    }
    position = static_cast<int>(target);
    return file->Seek(position, KezFileSeekOrigin(0));
}

StreamInterface* StreamCFileFactory(void* params) {
    return KezNew<StreamCFile>(static_cast<const char*>(params));
}

}  // namespace kez
