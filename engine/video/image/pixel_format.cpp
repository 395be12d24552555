// The pixel-format table and the size, pitch, lookup, byte-swap and palette queries over it.

#include "engine/video/image/pixel_format.h"

#include "engine/video/image/pixel_format_log.h"

#include <cstring>

namespace pravik::video {

namespace {
const char* const kNames[EPF_COUNT + 1] = {
    "L8", "L16", "A8", "A8L8", "L8A8", "R5G6B5", "A4R4G4B4", "R4G4B4A4", "A1R5G5B5", "R5G5B5A1",
    "R8G8B8", "B8G8R8", "A8R8G8B8", "B8G8R8A8", "R8G8B8A8", "A8B8G8R8", "A2B10G10R10",
    "COMPRESSED_RGB_S3TC_DXT1", "COMPRESSED_RGBA_S3TC_DXT1", "COMPRESSED_RGBA_S3TC_DXT3",
    "COMPRESSED_RGBA_S3TC_DXT5", "COMPRESSED_RGB_PVRTC_2BPP", "COMPRESSED_RGBA_PVRTC_2BPP",
    "COMPRESSED_RGB_PVRTC_4BPP", "COMPRESSED_RGBA_PVRTC_4BPP", "RGB16F", "RGBA16F", "RGB32F",
    "RGBA32F", "DEPTH16", "DEPTH24", "DEPTH32", "DEPTH24_STENCIL8", "STENCIL1", "STENCIL4",
    "STENCIL8", nullptr};
}  // namespace

const char* const* getStringsInternal(E_PIXEL_FORMAT*) { return kNames; }

namespace pixel_format {

namespace detail {
constexpr uint8_t N = NO_CHANNEL_INDEX;
// clang-format off
const SPixelFormatDesc PFDTable[EPF_COUNT + 1] = {
 // flags  masks r, g, b, a                              type bytes bits ch  bits           shifts        indices      bw bh bd min
 {0x04, {0xFF, 0xFF, 0xFF, 0},                              0, 1,  8,  1, {8,8,8,0},     {0,0,0,0},    {0,0,0,N},  1, 1, 1, 0},  // L8
 {0x04, {0xFFFF, 0xFFFF, 0xFFFF, 0},                        1, 2,  16, 1, {16,16,16,0},  {0,0,0,0},    {0,0,0,N},  1, 1, 1, 0},  // L16
 {0x01, {0, 0, 0, 0xFF},                                    0, 1,  8,  1, {0,0,0,8},     {0,0,0,0},    {N,N,N,0},  1, 1, 1, 0},  // A8
 {0x05, {0xFF00, 0xFF00, 0xFF00, 0xFF},                     0, 2,  16, 2, {8,0,0,8},     {8,0,0,0},    {1,1,1,0},  1, 1, 1, 0},  // A8L8
 {0x05, {0xFF, 0xFF, 0xFF, 0xFF00},                         0, 2,  16, 2, {8,0,0,8},     {0,0,0,8},    {0,0,0,1},  1, 1, 1, 0},  // L8A8
 {0x40, {0xF800, 0x7E0, 0x1F, 0},                           1, 2,  16, 3, {5,6,5,0},     {11,5,0,0},   {N,N,N,N},  1, 1, 1, 0},  // R5G6B5
 {0x41, {0xF00, 0xF0, 0xF, 0xF000},                         1, 2,  16, 4, {4,4,4,4},     {8,4,0,12},   {N,N,N,N},  1, 1, 1, 0},  // A4R4G4B4
 {0x41, {0xF000, 0xF00, 0xF0, 0xF},                         1, 2,  16, 4, {4,4,4,4},     {12,8,4,0},   {N,N,N,N},  1, 1, 1, 0},  // R4G4B4A4
 {0x41, {0x7C00, 0x3E0, 0x1F, 0x8000},                      1, 2,  16, 4, {5,5,5,1},     {10,5,0,15},  {N,N,N,N},  1, 1, 1, 0},  // A1R5G5B5
 {0x41, {0xF800, 0x7C0, 0x3E, 0x1},                         1, 2,  16, 4, {5,5,5,1},     {11,6,1,0},   {N,N,N,N},  1, 1, 1, 0},  // R5G5B5A1
 {0x00, {0xFF, 0xFF00, 0xFF0000, 0},                        0, 3,  24, 3, {8,8,8,0},     {0,8,16,0},   {0,1,2,N},  1, 1, 1, 0},  // R8G8B8
 {0x00, {0xFF0000, 0xFF00, 0xFF, 0},                        0, 3,  24, 3, {8,8,8,0},     {16,8,0,0},   {2,1,0,N},  1, 1, 1, 0},  // B8G8R8
 {0x01, {0xFF00, 0xFF0000, 0xFF000000, 0xFF},               0, 4,  32, 4, {8,8,8,8},     {8,16,24,0},  {1,2,3,0},  1, 1, 1, 0},  // A8R8G8B8
 {0x01, {0xFF0000, 0xFF00, 0xFF, 0xFF000000},               0, 4,  32, 4, {8,8,8,8},     {16,8,0,24},  {2,1,0,3},  1, 1, 1, 0},  // B8G8R8A8
 {0x01, {0xFF, 0xFF00, 0xFF0000, 0xFF000000},               0, 4,  32, 4, {8,8,8,8},     {0,8,16,24},  {0,1,2,3},  1, 1, 1, 0},  // R8G8B8A8
 {0x01, {0xFF000000, 0xFF0000, 0xFF00, 0xFF},               0, 4,  32, 4, {8,8,8,8},     {24,16,8,0},  {3,2,1,0},  1, 1, 1, 0},  // A8B8G8R8
 {0x41, {0x3FF, 0xFFC00, 0x3FF00000, 0xC0000000},           2, 4,  32, 4, {10,10,10,2},  {0,10,20,30}, {N,N,N,N},  1, 1, 1, 0},  // A2B10G10R10
 {0x08, {0, 0, 0, 0},                                       0, 8,  4,  3, {0,0,0,0},     {0,0,0,0},    {N,N,N,N},  4, 4, 1, 0},  // RGB DXT1
 {0x09, {0, 0, 0, 0},                                       0, 8,  4,  4, {0,0,0,0},     {0,0,0,0},    {N,N,N,N},  4, 4, 1, 0},  // RGBA DXT1
 {0x09, {0, 0, 0, 0},                                       0, 16, 8,  4, {0,0,0,0},     {0,0,0,0},    {N,N,N,N},  4, 4, 1, 0},  // DXT3
 {0x09, {0, 0, 0, 0},                                       0, 16, 8,  4, {0,0,0,0},     {0,0,0,0},    {N,N,N,N},  4, 4, 1, 0},  // DXT5
 {0x08, {0, 0, 0, 0},                                       0, 8,  2,  3, {0,0,0,0},     {0,0,0,0},    {N,N,N,N},  8, 4, 1, 32}, // RGB PVRTC 2
 {0x09, {0, 0, 0, 0},                                       0, 8,  2,  4, {0,0,0,0},     {0,0,0,0},    {N,N,N,N},  8, 4, 1, 32}, // RGBA PVRTC 2
 {0x08, {0, 0, 0, 0},                                       0, 8,  4,  3, {0,0,0,0},     {0,0,0,0},    {N,N,N,N},  4, 4, 1, 32}, // RGB PVRTC 4
 {0x09, {0, 0, 0, 0},                                       0, 8,  4,  4, {0,0,0,0},     {0,0,0,0},    {N,N,N,N},  4, 4, 1, 32}, // RGBA PVRTC 4
 {0x02, {0, 0, 0, 0},                                       3, 6,  48, 3, {16,16,16,0},  {0,0,0,0},    {0,1,2,N},  1, 1, 1, 0},  // RGB16F
 {0x03, {0, 0, 0, 0},                                       3, 8,  64, 4, {16,16,16,16}, {0,0,0,0},    {0,1,2,3},  1, 1, 1, 0},  // RGBA16F
 {0x02, {0, 0, 0, 0},                                       4, 12, 96, 3, {32,32,32,0},  {0,0,0,0},    {0,1,2,N},  1, 1, 1, 0},  // RGB32F
 {0x03, {0, 0, 0, 0},                                       4, 16, 128,4, {32,32,32,32}, {0,0,0,0},    {0,1,2,3},  1, 1, 1, 0},  // RGBA32F
 {0x10, {0xFFFF, 0, 0, 0},                                  1, 2,  16, 1, {16,0,0,0},    {0,0,0,0},    {0,N,N,N},  1, 1, 1, 0},  // DEPTH16
 {0x50, {0xFFFFFF00, 0, 0, 0},                              2, 4,  32, 1, {24,0,0,0},    {8,0,0,0},    {0,N,N,N},  1, 1, 1, 0},  // DEPTH24
 {0x10, {0xFFFFFFFF, 0, 0, 0},                              2, 4,  32, 1, {32,0,0,0},    {0,0,0,0},    {0,N,N,N},  1, 1, 1, 0},  // DEPTH32
 {0x70, {0xFFFFFF00, 0xFF, 0, 0},                           2, 4,  32, 2, {24,8,0,0},    {8,0,0,0},    {N,N,N,N},  1, 1, 1, 0},  // DEPTH24_STENCIL8
 {0x60, {0xFFFFFFFE, 0, 0, 0},                              N, 1,  1,  1, {1,0,0,0},     {0,0,0,0},    {N,N,N,N},  1, 1, 1, 0},  // STENCIL1
 {0x60, {0xFFFFFFF8, 0, 0, 0},                              N, 1,  4,  1, {4,0,0,0},     {0,0,0,0},    {N,N,N,N},  1, 1, 1, 0},  // STENCIL4
 {0x20, {0xFFFFFFF0, 0, 0, 0},                              0, 1,  8,  1, {8,0,0,0},     {0,0,0,0},    {0,N,N,N},  1, 1, 1, 0},  // STENCIL8
 {0x00, {0, 0, 0, 0},                                       0, 0,  0,  0, {0,0,0,0},     {0,0,0,0},    {N,N,N,N},  0, 0, 0, 0},  // none
};
// clang-format on
}  // namespace detail

const char* getName(E_PIXEL_FORMAT f) {
    return unsigned(f) < unsigned(EPF_COUNT) ? kNames[f] : "unknown";
}

unsigned char getPackedType(E_PIXEL_FORMAT f) {
    const SPixelFormatDesc& d = desc(f);
    if (d.has(EPFF_PACKED)) return d.ComponentType;
    if (d.ChannelCount == 1) return d.ComponentType;
    if (d.ComponentType == ECT_UNSIGNED_INT8) return d.ChannelCount <= 2 ? 1 : 2;
    if (d.ComponentType == ECT_UNSIGNED_INT16 && d.ChannelCount == 2) return 2;
    return 255;
}

unsigned char* computeRelativeSwizzleTable(E_PIXEL_FORMAT src, E_PIXEL_FORMAT dst,
                                           unsigned char* table) {
    const SPixelFormatDesc& s = desc(src);
    const SPixelFormatDesc& d = desc(dst);
    // An index of "none" would land outside the caller's four entries; such a slot is left alone.
    auto put = [&](int c) {
        if (d.ChannelIndices[c] < 4) table[d.ChannelIndices[c]] = s.ChannelIndices[c];
    };
    put(0);
    if (!d.has(EPFF_LUMINANCE)) {
        put(1);
        put(2);
    }
    if (s.has(EPFF_ALPHA) && d.has(EPFF_ALPHA)) put(3);
    return table;
}

E_PIXEL_FORMAT getFormat(unsigned redMask, unsigned greenMask, unsigned blueMask,
                         unsigned alphaMask) {
    for (unsigned i = 0; i <= unsigned(EPF_COUNT); ++i) {
        const uint32_t* m = detail::PFDTable[i].Masks;
        if (m[0] == redMask && m[1] == greenMask && m[2] == blueMask && m[3] == alphaMask)
            return E_PIXEL_FORMAT(i);
    }
    return EPF_COUNT;
}

unsigned computePitch(E_PIXEL_FORMAT f, unsigned width) {
    const SPixelFormatDesc& d = desc(f);
    if (d.BlockWidth <= 1) return unsigned((uint64_t(width) * d.BitsPerPixel) / 8);
    return (width / d.BlockWidth + (width % d.BlockWidth != 0)) * d.BytesPerPixel;
}

unsigned computeSizeInBytes(E_PIXEL_FORMAT f, unsigned width, unsigned height) {
    const SPixelFormatDesc& d = desc(f);
    const unsigned rows =
        d.BlockHeight <= 1 ? height : height / d.BlockHeight + (height % d.BlockHeight != 0);
    const unsigned size = computePitch(f, width) * rows;
    return size < d.MinSizeInBytes ? d.MinSizeInBytes : size;
}

unsigned computeSizeInBytes(E_PIXEL_FORMAT f, unsigned width, unsigned height, unsigned depth) {
    return depth * computeSizeInBytes(f, width, height);
}

namespace {
unsigned levelDim(unsigned v, unsigned level) {
    const unsigned s = level >= 32 ? 0 : v >> level;
    return s == 0 ? 1 : s;
}
}  // namespace

unsigned computeMipmapSizeInBytes(E_PIXEL_FORMAT f, unsigned width, unsigned height,
                                  unsigned char level, bool uniformPitch) {
    const unsigned w = uniformPitch ? (width == 0 ? 1 : width) : levelDim(width, level);
    return computeSizeInBytes(f, w, levelDim(height, level));
}

unsigned computeMipmapSizeInBytes(E_PIXEL_FORMAT f, unsigned width, unsigned height,
                                  unsigned depth, unsigned char level, bool uniformPitch) {
    const unsigned w = uniformPitch ? (width == 0 ? 1 : width) : levelDim(width, level);
    return computeSizeInBytes(f, w, levelDim(height, level), levelDim(depth, level));
}

unsigned computeSizeInBytes(E_PIXEL_FORMAT f, unsigned width, unsigned height, unsigned depth,
                            unsigned char levelCount, bool uniformPitch) {
    unsigned size = 0;
    for (int level = int(levelCount) - 1; level >= 0; --level)
        size += computeMipmapSizeInBytes(f, width, height, depth, (unsigned char)level,
                                         uniformPitch);
    return size;
}

unsigned computeSizeInBytes(E_PIXEL_FORMAT f, unsigned width, unsigned height,
                            unsigned char levelCount, bool uniformPitch) {
    return computeSizeInBytes(f, width, height, 1, levelCount, uniformPitch);
}

bool swapBytes(E_PIXEL_FORMAT f, const void* src, unsigned sizeInBytes, bool isLittleEndian,
               void* dst) {
    const SPixelFormatDesc& d = desc(f);
    if (d.has(EPFF_COMPRESSED) || isLittleEndian) return false;
    if (d.ComponentType == ECT_UNSIGNED_INT8) return false;
    const auto* s = static_cast<const unsigned char*>(src);
    auto* o = static_cast<unsigned char*>(dst);
    const unsigned groups = sizeInBytes / 4;
    if (d.ComponentType == ECT_UNSIGNED_INT16 || d.ComponentType == ECT_FLOAT16) {
        for (unsigned i = 0; i < groups * 4; i += 4) {
            const unsigned char b0 = s[i], b1 = s[i + 1], b2 = s[i + 2], b3 = s[i + 3];
            o[i] = b1;
            o[i + 1] = b0;
            o[i + 2] = b3;
            o[i + 3] = b2;
        }
        if (sizeInBytes % 4 >= 2) {  // the 16-bit unit after the last whole group
            const unsigned i = groups * 4;
            const unsigned char b0 = s[i], b1 = s[i + 1];
            o[i] = b1;
            o[i + 1] = b0;
        }
        return true;
    }
    for (unsigned i = 0; i < groups * 4; i += 4) {
        const unsigned char b0 = s[i], b1 = s[i + 1], b2 = s[i + 2], b3 = s[i + 3];
        o[i] = b3;
        o[i + 1] = b2;
        o[i + 2] = b1;
        o[i + 3] = b0;
    }
    return true;
}

namespace {
template <typename T>
void unpackRows(const unsigned char* src, unsigned srcPitch, unsigned bits, const T* palette,
                unsigned last, unsigned char* dst, int dstStep, unsigned width,
                unsigned height) {
    const unsigned mask = (1u << bits) - 1;
    for (unsigned y = 0; y < height; ++y, src += srcPitch, dst += dstStep) {
        const unsigned char* p = src;
        int shift = 8 - int(bits);
        T* out = reinterpret_cast<T*>(dst);
        for (unsigned x = 0; x < width; ++x) {
            unsigned index = (unsigned(*p) >> shift) & mask;
            if (index > last) index = last;
            std::memcpy(out + x, palette + index, sizeof(T));
            if (shift == 0) {
                ++p;
                shift = 8 - int(bits);
            } else {
                shift -= int(bits);
            }
        }
    }
}
}  // namespace

bool unpackPalettized(const void* src, unsigned srcPitch, unsigned char bitsPerIndex,
                      E_PIXEL_FORMAT paletteFormat, const void* palette, unsigned paletteEntries,
                      void* dst, unsigned dstPitch, unsigned width, unsigned height,
                      bool flipVertically) {
    if (src == dst) {
        detail::logError("in-place unpacking of palettized image not supported");
        return false;
    }
    if (bitsPerIndex != 1 && bitsPerIndex != 2 && bitsPerIndex != 4 && bitsPerIndex != 8) {
        detail::logError("invalid bpp value", "should be 1, 2, 4 or 8");
        return false;
    }
    const unsigned entry = desc(paletteFormat).BytesPerPixel;
    if (entry != 1 && entry != 2 && entry != 4) {
        detail::logError("palette format not supported", getName(paletteFormat));
        return false;
    }
    if (paletteEntries == 0) {
        detail::logError("empty palette");
        return false;
    }
    if (width == 0 || height == 0) return true;
    auto* out = static_cast<unsigned char*>(dst);
    int step = int(dstPitch);
    if (flipVertically) {
        out += size_t(dstPitch) * (height - 1);
        step = -step;
    }
    const auto* in = static_cast<const unsigned char*>(src);
    const unsigned last = paletteEntries - 1;
    switch (entry) {
        case 1:
            unpackRows(in, srcPitch, bitsPerIndex, static_cast<const uint8_t*>(palette), last, out,
                       step, width, height);
            break;
        case 2:
            unpackRows(in, srcPitch, bitsPerIndex, static_cast<const uint16_t*>(palette), last,
                       out, step, width, height);
            break;
        default:
            unpackRows(in, srcPitch, bitsPerIndex, static_cast<const uint32_t*>(palette), last,
                       out, step, width, height);
            break;
    }
    return true;
}

}  // namespace pixel_format
}  // namespace pravik::video
