#include "audio/decoders/VorbisStream.h"

#include <climits>
#include <cstdint>

#include "audio/StreamInterface.h"

namespace kez {

namespace {

StreamCursorInterface* cursorOf(void* source) { return static_cast<StreamCursorInterface*>(source); }

size_t readCallback(void* buffer, size_t size, size_t count, void* source) {
    // The library asks for blocks of a few KB; a request past an int is refused.
    StreamCursorInterface* cursor = cursorOf(source);
    if (!cursor || size == 0 || count > INT_MAX / size) return 0;
    const int n = cursor->Read(static_cast<unsigned char*>(buffer), int(size * count));
    return n > 0 ? size_t(n) / size : 0;
}

int seekCallback(void* source, ogg_int64_t offset, int origin) {
    StreamCursorInterface* cursor = cursorOf(source);
    if (!cursor || offset < INT_MIN || offset > INT_MAX) return -1;
    return cursor->Seek(int(offset), origin) == 0 ? 0 : -1;
}

int closeCallback(void*) { return 0; }

long tellCallback(void* source) {
    StreamCursorInterface* cursor = cursorOf(source);
    return cursor ? cursor->Tell() : -1;
}

}  // namespace

ov_callbacks VorbisCallbacks() {
    return ov_callbacks{readCallback, seekCallback, closeCallback, tellCallback};
}

}  // namespace kez
