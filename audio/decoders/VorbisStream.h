#pragma once
// The Vorbis decoder's whole file input: libvorbisfile's callback table over the engine's stream
// cursors, and a reading of the stream's first link before the library opens it.
// The library is given no seek: its seekable open walks every link of a chained file and loses
// the serial numbers it has gathered when a later link's headers fail, as it does when the first
// link's headers fail after the first page. So the first link is read here first, the way the
// library's open reads it, and the library only ever opens streams whose headers it will accept
// and plays them from the start; its length and the rewind come from here and from reopening.
// The cursor belongs to the emitter, so closing does nothing.

#include <cstdint>

#include <vorbis/vorbisfile.h>

namespace kez {

class StreamCursorInterface;

ov_callbacks VorbisCallbacks();  // datasource: a StreamCursorInterface*; no seek

struct VorbisLayout {
    int channels = 0;
    long rate = 0;
    int64_t length = 0;  // frames of the first link: its last granule position less its first offset
};

// Reads the first link from the cursor's position: its headers with the same pages, packets and
// checks as the library's open, then its pages to the last. False when the library's open would
// fail on the headers. The cursor is put back where it was.
bool ReadVorbisLayout(StreamCursorInterface* cursor, VorbisLayout& layout);

}  // namespace kez
