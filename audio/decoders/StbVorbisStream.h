#pragma once
// stb_vorbis reads through the engine's stream cursors: its FILE* input is compiled as
// kez::StreamCursorInterface*, and these five functions are its whole file input. Its public
// functions are renamed (kez_stb_vorbis_*) so they never meet the FILE* build in libstb.
// Include this header last: it brings in stb_vorbis's declarations.

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cassert>
#include <climits>
#include <cmath>
#include <alloca.h>

namespace kez {

class StreamCursorInterface;

int fgetc(StreamCursorInterface* cursor);  // 0..255, or -1 at the end or without a cursor
unsigned int fread(void* buffer, unsigned int size, unsigned int count, StreamCursorInterface* cursor);
int ftell(StreamCursorInterface* cursor);  // -1 without a cursor
int fseek(StreamCursorInterface* cursor, int offset, int origin);  // 0, or -1
int fclose(StreamCursorInterface* cursor);  // nothing: the cursor belongs to the emitter
StreamCursorInterface* fopenNothing(const char* path, const char* mode);  // opening by name is not offered

}  // namespace kez

#define stb_vorbis_close kez_stb_vorbis_close
#define stb_vorbis_decode_filename kez_stb_vorbis_decode_filename
#define stb_vorbis_decode_frame_pushdata kez_stb_vorbis_decode_frame_pushdata
#define stb_vorbis_decode_memory kez_stb_vorbis_decode_memory
#define stb_vorbis_flush_pushdata kez_stb_vorbis_flush_pushdata
#define stb_vorbis_get_comment kez_stb_vorbis_get_comment
#define stb_vorbis_get_error kez_stb_vorbis_get_error
#define stb_vorbis_get_file_offset kez_stb_vorbis_get_file_offset
#define stb_vorbis_get_frame_float kez_stb_vorbis_get_frame_float
#define stb_vorbis_get_frame_short kez_stb_vorbis_get_frame_short
#define stb_vorbis_get_frame_short_interleaved kez_stb_vorbis_get_frame_short_interleaved
#define stb_vorbis_get_info kez_stb_vorbis_get_info
#define stb_vorbis_get_sample_offset kez_stb_vorbis_get_sample_offset
#define stb_vorbis_get_samples_float kez_stb_vorbis_get_samples_float
#define stb_vorbis_get_samples_float_interleaved kez_stb_vorbis_get_samples_float_interleaved
#define stb_vorbis_get_samples_short kez_stb_vorbis_get_samples_short
#define stb_vorbis_get_samples_short_interleaved kez_stb_vorbis_get_samples_short_interleaved
#define stb_vorbis_open_file kez_stb_vorbis_open_file
#define stb_vorbis_open_file_section kez_stb_vorbis_open_file_section
#define stb_vorbis_open_filename kez_stb_vorbis_open_filename
#define stb_vorbis_open_memory kez_stb_vorbis_open_memory
#define stb_vorbis_open_pushdata kez_stb_vorbis_open_pushdata
#define stb_vorbis_seek kez_stb_vorbis_seek
#define stb_vorbis_seek_frame kez_stb_vorbis_seek_frame
#define stb_vorbis_seek_start kez_stb_vorbis_seek_start
#define stb_vorbis_stream_length_in_samples kez_stb_vorbis_stream_length_in_samples
#define stb_vorbis_stream_length_in_seconds kez_stb_vorbis_stream_length_in_seconds

#ifndef KEZ_STB_VORBIS_IMPLEMENTATION
#define STB_VORBIS_HEADER_ONLY
#endif
#define FILE kez::StreamCursorInterface
#define fopen kez::fopenNothing
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-value"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#include <stb/stb_vorbis.h>
#pragma GCC diagnostic pop
#undef fopen
#undef FILE
