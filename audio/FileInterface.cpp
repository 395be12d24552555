#include "audio/FileInterface.h"

#include "audio/FileSystemInterface.h"

namespace kez {

int FileInterface::Read(void* buffer, int size, int count) {
    auto fn = FileSystemInterface::m_IOFunc.read;
    if (!handle || !buffer || !fn || size <= 0 || count <= 0) return 0;
    return fn(buffer, size, count, handle);
}

int FileInterface::Write(const void* buffer, int size, int count) {
    auto fn = FileSystemInterface::m_IOFunc.write;
    if (!handle || !buffer || !fn || size <= 0 || count <= 0) return 0;
    return fn(buffer, size, count, handle);
}

int FileInterface::Seek(int offset, KezFileSeekOrigin origin) {
    auto fn = FileSystemInterface::m_IOFunc.seek;
    if (!handle || !fn) return -1;
    return fn(handle, offset, origin);
}

int FileInterface::Tell() {
    auto fn = FileSystemInterface::m_IOFunc.tell;
    if (!handle || !fn) return -1;
    return fn(handle);
}

FileLimited::FileLimited(void* handle, const char* path, int start, int size)
    : FileInterface(path, handle), start(start), size(size) {
    Seek(0, KezFileSeekOrigin(0));
}

int FileLimited::Read(void* buffer, int elementSize, int count) {
    auto fn = FileSystemInterface::m_IOFunc.read;
    if (!handle || !buffer || !fn || elementSize <= 0 || count <= 0) return 0;
    if (position < 0) return 0;  // after a seek before the start the handle is not where we are
    const long long want = (long long)elementSize * count;
    if ((long long)position + want > size) {
        count = static_cast<int>((size - position) / elementSize);
        if (count <= 0) return 0;
    }
    const int got = fn(buffer, elementSize, count, handle);
    if (got > 0) position += elementSize * got;
    return got;
}

int FileLimited::Seek(int offset, KezFileSeekOrigin origin) {
    long long target;
    switch (int(origin)) {
        case 0:
        case 1:
            target = int(origin) == 0 ? (long long)offset : (long long)position + offset;
            if (target > size) { position = size; return -1; }
            if (target < 0) { position = -1; return -1; }
            break;
        case 2:
            if (-(long long)offset > size) { position = -1; return -1; }
            if (offset > 0) { position = size; return -1; }
            target = (long long)size + offset;
            break;
        default:
            return -1;
    }
    const int result = FileInterface::Seek(static_cast<int>(start + target), KezFileSeekOrigin(0));
    if (result == 0) position = static_cast<int>(target);
    return result;
}

}  // namespace kez
