// Builds stb_vorbis over the engine's stream cursors (see StbVorbisStream.h).

#include "audio/StreamInterface.h"

#define KEZ_STB_VORBIS_IMPLEMENTATION
#include "audio/decoders/StbVorbisStream.h"

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

StreamCursorInterface* fopenNothing(const char*, const char*) {
    return nullptr;
}

}  // namespace kez
