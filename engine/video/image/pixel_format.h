#pragma once
// Queries over the pixel-format table and the one conversion routine through which the engine
// changes a rectangle's pixel format, pitch or row order. Stateless and reentrant; every format
// decision reads the table, never a switch on formats.

#include "engine/video/image/EPixelFormat.h"
#include "engine/video/image/SPixelFormatDesc.h"

namespace pravik::video::pixel_format {

namespace detail {
extern const SPixelFormatDesc PFDTable[EPF_COUNT + 1];  // one row per value, row 36 for "none"
}

inline const SPixelFormatDesc& desc(E_PIXEL_FORMAT f) {
    return detail::PFDTable[unsigned(f) <= unsigned(EPF_COUNT) ? f : EPF_COUNT];
}
const char* getName(E_PIXEL_FORMAT f);  // "unknown" for EPF_COUNT or out of range

// Unit in which one pixel is handled whole: 0 byte, 1 16-bit, 2 32-bit, 255 none.
unsigned char getPackedType(E_PIXEL_FORMAT f);
// Destination unit i takes source unit table[i]; entries not written keep the caller's values.
unsigned char* computeRelativeSwizzleTable(E_PIXEL_FORMAT src, E_PIXEL_FORMAT dst,
                                           unsigned char* table);
// First row whose four masks equal these; EPF_COUNT when none does.
E_PIXEL_FORMAT getFormat(unsigned redMask, unsigned greenMask, unsigned blueMask,
                         unsigned alphaMask);

unsigned computePitch(E_PIXEL_FORMAT f, unsigned width);  // bytes of one row (of blocks)
unsigned computeSizeInBytes(E_PIXEL_FORMAT f, unsigned width, unsigned height);
unsigned computeSizeInBytes(E_PIXEL_FORMAT f, unsigned width, unsigned height, unsigned depth);
unsigned computeMipmapSizeInBytes(E_PIXEL_FORMAT f, unsigned width, unsigned height,
                                  unsigned char level, bool uniformPitch);
unsigned computeMipmapSizeInBytes(E_PIXEL_FORMAT f, unsigned width, unsigned height,
                                  unsigned depth, unsigned char level, bool uniformPitch);
// Sum over levelCount levels; 0 for a count of 0.
unsigned computeSizeInBytes(E_PIXEL_FORMAT f, unsigned width, unsigned height, unsigned depth,
                            unsigned char levelCount, bool uniformPitch);
unsigned computeSizeInBytes(E_PIXEL_FORMAT f, unsigned width, unsigned height,
                            unsigned char levelCount, bool uniformPitch);

// Turns data of the other byte order into the machine's; true when it swapped.
bool swapBytes(E_PIXEL_FORMAT f, const void* src, unsigned sizeInBytes, bool isLittleEndian,
               void* dst);

// Expands 1, 2, 4 or 8-bit indices (most significant bits first) into palette entries of 1, 2 or
// 4 bytes. Indices at or past paletteEntries take the last entry, so a short palette is never
// read past. False with a logged message on bad arguments.
bool unpackPalettized(const void* src, unsigned srcPitch, unsigned char bitsPerIndex,
                      E_PIXEL_FORMAT paletteFormat, const void* palette, unsigned paletteEntries,
                      void* dst, unsigned dstPitch, unsigned width, unsigned height,
                      bool flipVertically);

// Converts, copies or flips width x height pixels. Pitches of 0 mean the natural pitch;
// src == dst converts in place. False when the pair or the parameters are refused (logged where
// the reason is worth telling); a refused conversion writes nothing.
bool convert(E_PIXEL_FORMAT srcFormat, const void* src, unsigned srcPitch,
             E_PIXEL_FORMAT dstFormat, void* dst, unsigned dstPitch, unsigned width,
             unsigned height, bool flipVertically);

}  // namespace pravik::video::pixel_format
