#include "audio/StreamMemoryBuffer.h"

#include <algorithm>
#include <cstring>

#include "audio/KezMemory.h"

namespace kez {

StreamMemoryBuffer::StreamMemoryBuffer(const StreamMemoryBufferParams* params) {
    if (!params) return;
    size = params->size < 0 ? 0 : params->size;
    ownsData = params->copyData || params->transferOwnership;
    if (!params->copyData || params->transferOwnership) {
        data = static_cast<unsigned char*>(params->data);
    } else if (size > 0 && params->data) {
        data = static_cast<unsigned char*>(KezAlloc(static_cast<unsigned>(size)));
        if (data) std::memcpy(data, params->data, static_cast<size_t>(size));
        else size = 0;
    } else {
        size = 0;
    }
    if (!data) size = 0;
}

StreamMemoryBuffer::~StreamMemoryBuffer() {
    if (data && ownsData) KezFree(data);
}

StreamCursorInterface* StreamMemoryBuffer::CreateNewCursor() {
    if (!data) return nullptr;
    return KezNew<StreamMemoryBufferCursor>(this);
}

void StreamMemoryBuffer::DestroyCursor(StreamCursorInterface* cursor) { KezDelete(cursor); }

int StreamMemoryBufferCursor::Read(unsigned char* buffer, int count) {
    if (!buffer || !Memory() || !Memory()->data || count <= 0) return 0;
    const int n = std::min(count, Memory()->Size() - position);
    if (n <= 0) return 0;
    std::memcpy(buffer, Memory()->data + position, static_cast<size_t>(n));
    position += n;
    return n;
}

int StreamMemoryBufferCursor::ReadRef(unsigned char*& buffer, int count) {
    if (!Memory() || !Memory()->data || count <= 0) return 0;
    buffer = Memory()->data + position;
    const int n = std::max(0, std::min(count, Memory()->Size() - position));
    position += n;
    return n;
}

bool StreamMemoryBufferCursor::EndOfStream() { return !Memory() || position == Memory()->Size(); }

int StreamMemoryBufferCursor::Seek(int offset, int origin) {
    const long long sz = Memory() ? Memory()->Size() : 0;
    long long target;
    switch (origin) {
        case 0: target = offset; break;
        case 1: target = (long long)position + offset; break;
        case 2: target = sz - 1 - offset; break;
        default: target = position; break;
    }
    if (target < 0 || target > sz) return -1;
    position = static_cast<int>(target);
    return 0;
}

StreamInterface* StreamMemoryBufferFactory(void* params) {
    return KezNew<StreamMemoryBuffer>(static_cast<const StreamMemoryBufferParams*>(params));
}

}  // namespace kez
