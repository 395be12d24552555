#include "audio/decoders/VorbisStream.h"

#include <climits>
#include <cstdint>

#include "audio/StreamInterface.h"

namespace kez {

int fgetc(StreamCursorInterface* cursor) {
    if (!cursor) return -1;
    unsigned char byte;
    return cursor->Read(&byte, 1) == 1 ? byte : -1;
}

unsigned int fread(void* buffer, unsigned int size, unsigned int count, StreamCursorInterface* cursor) {
    if (!cursor || size == 0) return 0;
    const unsigned long long total = (unsigned long long)size * count;
    if (total > INT_MAX) return 0;
    const int n = cursor->Read(static_cast<unsigned char*>(buffer), int(total));
    return n > 0 ? unsigned(n) / size : 0;
}

int ftell(StreamCursorInterface* cursor) {
    return cursor ? cursor->Tell() : -1;
}

int fseek(StreamCursorInterface* cursor, int offset, int origin) {
    if (!cursor) return -1;
    return cursor->Seek(offset, origin) == 0 ? 0 : -1;
}

int fclose(StreamCursorInterface*) {
    return 0;
}

namespace {

StreamCursorInterface* cursorOf(void* source) { return static_cast<StreamCursorInterface*>(source); }

size_t readCallback(void* buffer, size_t size, size_t count, void* source) {
    // The library asks for blocks of a few KB; larger requests are read in int-sized steps.
    if (size == 0 || count > UINT_MAX / size) return 0;
    return fread(buffer, unsigned(size), unsigned(count), cursorOf(source));
}

int seekCallback(void* source, ogg_int64_t offset, int origin) {
    if (offset < INT_MIN || offset > INT_MAX) return -1;
    return fseek(cursorOf(source), int(offset), origin);
}

int closeCallback(void* source) { return fclose(cursorOf(source)); }

long tellCallback(void* source) { return ftell(cursorOf(source)); }

}  // namespace

ov_callbacks VorbisCallbacks() {
    return ov_callbacks{readCallback, seekCallback, closeCallback, tellCallback};
}

}  // namespace kez
