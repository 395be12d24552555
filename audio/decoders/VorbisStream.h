#pragma once
// The Vorbis decoder's whole file input: libvorbisfile's callback table over the engine's stream
// cursors. The cursor belongs to the emitter, so closing does nothing.

#include <vorbis/vorbisfile.h>

namespace kez {

ov_callbacks VorbisCallbacks();  // datasource: a StreamCursorInterface*

}  // namespace kez
