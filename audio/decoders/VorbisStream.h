#pragma once
// The Vorbis decoder's whole file input: five stdio-shaped functions over the engine's stream
// cursors, and libvorbisfile's callback table built on them. The cursor belongs to the emitter,
// so closing does nothing.

#include <vorbis/vorbisfile.h>

namespace kez {

class StreamCursorInterface;

int fgetc(StreamCursorInterface* cursor);  // 0..255, or -1 at the end or without a cursor
unsigned int fread(void* buffer, unsigned int size, unsigned int count, StreamCursorInterface* cursor);
int ftell(StreamCursorInterface* cursor);  // -1 without a cursor
int fseek(StreamCursorInterface* cursor, int offset, int origin);  // 0, or -1
int fclose(StreamCursorInterface* cursor);  // nothing: the cursor belongs to the emitter

ov_callbacks VorbisCallbacks();  // datasource: a StreamCursorInterface*

}  // namespace kez
