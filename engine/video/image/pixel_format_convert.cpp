// pixel_format::convert: picks, in a fixed order, a plain copy, a byte reordering between
// byte-aligned formats of one component type, a PVRTC decode, a conversion to luminance or a
// channel-by-channel packed conversion. Every refusal happens before anything is written.

#include "engine/video/image/PVRTCDecompress.h"
#include "engine/video/image/pixel_format.h"
#include "engine/video/image/pixel_format_log.h"
#include "engine/video/image/pixel_format_packed.h"

#include <cstring>
#include <memory>
#include <vector>

namespace pravik::video::pixel_format {

namespace packed {
const uint16_t SPackedConverterBase::OneBitCvtTable[2] = {0x0000, 0xFFFF};
const uint16_t SPackedConverterBase::TwoBitsCvtTable[4] = {0x0000, 0x5555, 0xAAAA, 0xFFFF};
const uint16_t SPackedConverterBase::FourBitsCvtTable[16] = {
    0x0000, 0x1111, 0x2222, 0x3333, 0x4444, 0x5555, 0x6666, 0x7777,
    0x8888, 0x9999, 0xAAAA, 0xBBBB, 0xCCCC, 0xDDDD, 0xEEEE, 0xFFFF};
}  // namespace packed

namespace {

using namespace packed;
using detail::logError;
using detail::logWarning;

unsigned rowCount(const SPixelFormatDesc& d, unsigned height) {
    return d.BlockHeight <= 1 ? height : height / d.BlockHeight + (height % d.BlockHeight != 0);
}

bool copySameFormat(E_PIXEL_FORMAT f, const unsigned char* src, unsigned srcPitch,
                    unsigned char* dst, unsigned dstPitch, unsigned width, unsigned height,
                    bool flip) {
    const SPixelFormatDesc& d = desc(f);
    if (d.has(EPFF_COMPRESSED) && flip) {
        logError("flipping compressed pixel format not supported");
        return false;
    }
    const size_t rowBytes = computePitch(f, width);
    const unsigned rows = rowCount(d, height);
    if (src == dst) {
        if (srcPitch != dstPitch) {
            logError("Bad conversion parameters", "in-place conversion with different pitch");
            return false;
        }
        if (!flip || rows < 2) return true;
        std::vector<unsigned char> scratch(rowBytes);
        for (size_t top = 0, bottom = rows - 1; top < bottom; ++top, --bottom) {
            unsigned char* t = dst + top * dstPitch;
            unsigned char* b = dst + bottom * dstPitch;
            std::memcpy(scratch.data(), t, rowBytes);
            std::memcpy(t, b, rowBytes);
            std::memcpy(b, scratch.data(), rowBytes);
        }
        return true;
    }
    if (rows == 0 || rowBytes == 0) return true;
    if (!flip && srcPitch == rowBytes && dstPitch == rowBytes) {
        std::memcpy(dst, src, rowBytes * rows);
        return true;
    }
    std::ptrdiff_t step = std::ptrdiff_t(dstPitch);
    if (flip) {
        dst += size_t(dstPitch) * (rows - 1);
        step = -step;
    }
    for (unsigned y = 0; y < rows; ++y, src += srcPitch, dst += step) std::memcpy(dst, src, rowBytes);
    return true;
}

// Destination unit i of every pixel takes source unit table[i]; U is the component's size, S the
// source pixel's units and K the destination's, all fixed per instance.
template <typename U, unsigned S, unsigned K>
void swizzleRows(const unsigned char* src, unsigned srcPitch, unsigned char* dst, unsigned dstPitch,
                 unsigned width, unsigned height, bool flip, const unsigned char* table) {
    constexpr unsigned SB = S * sizeof(U), DB = K * sizeof(U);
    const unsigned t0 = table[0], t1 = table[1], t2 = table[2];
    [[maybe_unused]] const unsigned t3 = table[3];
    auto pixel = [&](const unsigned char* s, unsigned char* d) {
        U in[4] = {};
        std::memcpy(in, s, SB);  // whole source pixel first, so in place is safe
        U out[K];
        out[0] = in[t0];
        out[1] = in[t1];
        if constexpr (K > 2) out[2] = in[t2];
        if constexpr (K > 3) out[3] = in[t3];
        std::memcpy(d, out, DB);
    };
    if (width == 0 || height == 0) return;
    if (src == dst) {
        if (!flip) {
            for (unsigned y = 0; y < height; ++y, dst += dstPitch) {
                unsigned char* p = dst;
                for (unsigned x = 0; x < width; ++x, p += SB) pixel(p, p);
            }
            return;
        }
        for (size_t top = 0, bottom = height - 1; top <= bottom && bottom < height; ++top, --bottom) {
            unsigned char* t = dst + top * dstPitch;
            unsigned char* b = dst + bottom * dstPitch;
            for (unsigned x = 0; x < width; ++x, t += SB, b += SB) {
                unsigned char scratch[SB > DB ? SB : DB];
                pixel(b, scratch);
                pixel(t, b);
                std::memcpy(t, scratch, DB);
            }
        }
        return;
    }
    std::ptrdiff_t step = std::ptrdiff_t(dstPitch);
    if (flip) {
        dst += size_t(dstPitch) * (height - 1);
        step = -step;
    }
    for (unsigned y = 0; y < height; ++y, src += srcPitch, dst += step) {
        const unsigned char* s = src;
        unsigned char* d = dst;
        for (unsigned x = 0; x < width; ++x, s += SB, d += DB) pixel(s, d);
    }
}

template <typename U, unsigned S>
bool swizzleTo(unsigned dstChannels, const unsigned char* src, unsigned srcPitch, unsigned char* dst,
               unsigned dstPitch, unsigned width, unsigned height, bool flip, const unsigned char* table) {
    switch (dstChannels) {
        case 2: swizzleRows<U, S, 2>(src, srcPitch, dst, dstPitch, width, height, flip, table); return true;
        case 3: swizzleRows<U, S, 3>(src, srcPitch, dst, dstPitch, width, height, flip, table); return true;
        case 4: swizzleRows<U, S, 4>(src, srcPitch, dst, dstPitch, width, height, flip, table); return true;
        default: return false;
    }
}

template <typename U>
bool swizzleUnits(E_PIXEL_FORMAT srcFormat, const unsigned char* src, unsigned srcPitch,
                  E_PIXEL_FORMAT dstFormat, unsigned char* dst, unsigned dstPitch, unsigned width,
                  unsigned height, bool flip) {
    unsigned char table[4] = {0, 0, 0, 0};
    computeRelativeSwizzleTable(srcFormat, dstFormat, table);
    const unsigned n = desc(srcFormat).BytesPerPixel;
    const unsigned units = n / sizeof(U);
    // A channel the source lacks ("none", as in STENCIL8) must not index past the source pixel.
    for (unsigned char& t : table)
        if (t >= units) t = 0;
    const unsigned k = desc(dstFormat).ChannelCount;
    switch (units) {
        case 1: return swizzleTo<U, 1>(k, src, srcPitch, dst, dstPitch, width, height, flip, table);
        case 2: return swizzleTo<U, 2>(k, src, srcPitch, dst, dstPitch, width, height, flip, table);
        case 3: return swizzleTo<U, 3>(k, src, srcPitch, dst, dstPitch, width, height, flip, table);
        case 4: return swizzleTo<U, 4>(k, src, srcPitch, dst, dstPitch, width, height, flip, table);
        default: return false;
    }
}

bool swizzle(E_PIXEL_FORMAT srcFormat, const unsigned char* src, unsigned srcPitch,
             E_PIXEL_FORMAT dstFormat, unsigned char* dst, unsigned dstPitch, unsigned width,
             unsigned height, bool flip) {
    const unsigned channels = desc(dstFormat).ChannelCount;
    if (channels < 2 || channels > 4) return false;
    switch (desc(srcFormat).ComponentType) {
        case ECT_UNSIGNED_INT8:
            return swizzleUnits<uint8_t>(srcFormat, src, srcPitch, dstFormat, dst, dstPitch, width, height, flip);
        case ECT_UNSIGNED_INT16:
        case ECT_FLOAT16:
            return swizzleUnits<uint16_t>(srcFormat, src, srcPitch, dstFormat, dst, dstPitch, width, height, flip);
        case ECT_UNSIGNED_INT32:
        case ECT_FLOAT32:
            return swizzleUnits<uint32_t>(srcFormat, src, srcPitch, dstFormat, dst, dstPitch, width, height, flip);
        default:
            return false;
    }
}

template <unsigned SB, unsigned DB, E_PACKED_CONVERTER_TYPE C, E_PACKED_CONVERTER_TYPE A>
void runPacked(E_PIXEL_FORMAT sf, const unsigned char* src, unsigned srcPitch, E_PIXEL_FORMAT df,
               unsigned char* dst, unsigned dstPitch, unsigned w, unsigned h, bool flip) {
    const SPackedConverter<C, A> conv(sf, df);
    convertRows<SB, DB>(conv, src, srcPitch, dst, dstPitch, w, h, flip);
}

template <unsigned SB, unsigned DB, E_PACKED_CONVERTER_TYPE C>
void pickAlpha(E_PACKED_CONVERTER_TYPE alpha, E_PIXEL_FORMAT sf, const unsigned char* src,
               unsigned srcPitch, E_PIXEL_FORMAT df, unsigned char* dst, unsigned dstPitch,
               unsigned w, unsigned h, bool flip) {
    switch (alpha) {
        case EPCT_SHIFT: runPacked<SB, DB, C, EPCT_SHIFT>(sf, src, srcPitch, df, dst, dstPitch, w, h, flip); break;
        case EPCT_REPLICATE: runPacked<SB, DB, C, EPCT_REPLICATE>(sf, src, srcPitch, df, dst, dstPitch, w, h, flip); break;
        case EPCT_LOOKUP: runPacked<SB, DB, C, EPCT_LOOKUP>(sf, src, srcPitch, df, dst, dstPitch, w, h, flip); break;
    }
}

// One instance per pair of source and destination pixel sizes (in bytes).
template <unsigned SB, unsigned DB>
void convertPackedImpl(E_PIXEL_FORMAT sf, const unsigned char* src, unsigned srcPitch,
                       E_PIXEL_FORMAT df, unsigned char* dst, unsigned dstPitch, unsigned w,
                       unsigned h, bool flip) {
    const SPixelFormatDesc& s = desc(sf);
    const SPixelFormatDesc& d = desc(df);
    const E_PACKED_CONVERTER_TYPE color = chooseKind(s.ChannelBits[1], d.ChannelBits[1]);
    const E_PACKED_CONVERTER_TYPE alpha = chooseKind(s.ChannelBits[3], d.ChannelBits[3]);
    switch (color) {
        case EPCT_SHIFT: pickAlpha<SB, DB, EPCT_SHIFT>(alpha, sf, src, srcPitch, df, dst, dstPitch, w, h, flip); break;
        case EPCT_REPLICATE: pickAlpha<SB, DB, EPCT_REPLICATE>(alpha, sf, src, srcPitch, df, dst, dstPitch, w, h, flip); break;
        case EPCT_LOOKUP: pickAlpha<SB, DB, EPCT_LOOKUP>(alpha, sf, src, srcPitch, df, dst, dstPitch, w, h, flip); break;
    }
}

// The destination unit's size in bytes for a packed type, with the 3-byte formats kept at 3.
template <unsigned SB>
bool dispatchDst(E_PIXEL_FORMAT sf, const unsigned char* src, unsigned srcPitch,
                 E_PIXEL_FORMAT df, unsigned char* dst, unsigned dstPitch, unsigned w, unsigned h,
                 bool flip) {
    const unsigned bytes = desc(df).BytesPerPixel;
    switch (getPackedType(df)) {
        case 0: convertPackedImpl<SB, 1>(sf, src, srcPitch, df, dst, dstPitch, w, h, flip); return true;
        case 1: convertPackedImpl<SB, 2>(sf, src, srcPitch, df, dst, dstPitch, w, h, flip); return true;
        case 2:
            if (bytes == 3)
                convertPackedImpl<SB, 3>(sf, src, srcPitch, df, dst, dstPitch, w, h, flip);
            else
                convertPackedImpl<SB, 4>(sf, src, srcPitch, df, dst, dstPitch, w, h, flip);
            return true;
        default: return false;
    }
}

bool convertPacked(E_PIXEL_FORMAT sf, const unsigned char* src, unsigned srcPitch,
                   E_PIXEL_FORMAT df, unsigned char* dst, unsigned dstPitch, unsigned w,
                   unsigned h, bool flip) {
    if (getPackedType(df) > 2) return false;
    switch (getPackedType(sf)) {
        case 0: return dispatchDst<1>(sf, src, srcPitch, df, dst, dstPitch, w, h, flip);
        case 1: return dispatchDst<2>(sf, src, srcPitch, df, dst, dstPitch, w, h, flip);
        case 2:
            // Only 4-byte formats get here: the 3-byte ones take convertPackedFromRGB8.
            return dispatchDst<4>(sf, src, srcPitch, df, dst, dstPitch, w, h, flip);
        default: return false;
    }
}

template <unsigned DB>
void fromRGB8(E_PIXEL_FORMAT sf, const unsigned char* src, unsigned srcPitch, E_PIXEL_FORMAT df,
              unsigned char* dst, unsigned dstPitch, unsigned w, unsigned h, bool flip) {
    if (desc(df).ChannelBits[1] > 8)
        runPacked<3, DB, EPCT_REPLICATE, EPCT_SHIFT>(sf, src, srcPitch, df, dst, dstPitch, w, h, flip);
    else
        runPacked<3, DB, EPCT_SHIFT, EPCT_SHIFT>(sf, src, srcPitch, df, dst, dstPitch, w, h, flip);
}

bool convertPackedFromRGB8(E_PIXEL_FORMAT sf, const unsigned char* src, unsigned srcPitch,
                           E_PIXEL_FORMAT df, unsigned char* dst, unsigned dstPitch, unsigned w,
                           unsigned h, bool flip) {
    switch (getPackedType(df)) {
        case 0: fromRGB8<1>(sf, src, srcPitch, df, dst, dstPitch, w, h, flip); return true;
        case 1: fromRGB8<2>(sf, src, srcPitch, df, dst, dstPitch, w, h, flip); return true;
        case 2:
            if (desc(df).BytesPerPixel == 3)
                fromRGB8<3>(sf, src, srcPitch, df, dst, dstPitch, w, h, flip);
            else
                fromRGB8<4>(sf, src, srcPitch, df, dst, dstPitch, w, h, flip);
            return true;
        default: return false;
    }
}

bool convertToLuminance(E_PIXEL_FORMAT sf, const unsigned char* src, unsigned srcPitch,
                        E_PIXEL_FORMAT df, unsigned char* dst, unsigned dstPitch, unsigned w,
                        unsigned h, bool flip) {
    const unsigned key = desc(df).ComponentType + 4u * getPackedType(sf);
    const SPackedRGBtoLuminanceConverterBase conv(sf, df);
    const unsigned sb = desc(sf).BytesPerPixel;
    const unsigned db = desc(df).BytesPerPixel;
    switch (key) {
        case 4:
        case 5:
            if (db == 1) convertRows<2, 1>(conv, src, srcPitch, dst, dstPitch, w, h, flip);
            else convertRows<2, 2>(conv, src, srcPitch, dst, dstPitch, w, h, flip);
            return true;
        case 8:
        case 9:
            if (sb == 3) {
                if (db == 1) convertRows<3, 1>(conv, src, srcPitch, dst, dstPitch, w, h, flip);
                else convertRows<3, 2>(conv, src, srcPitch, dst, dstPitch, w, h, flip);
            } else {
                if (db == 1) convertRows<4, 1>(conv, src, srcPitch, dst, dstPitch, w, h, flip);
                else convertRows<4, 2>(conv, src, srcPitch, dst, dstPitch, w, h, flip);
            }
            return true;
        default:
            logError("conversion to luminance from float format not implemented yet");
            return false;
    }
}

bool isPowerOfTwo(unsigned v) { return v != 0 && (v & (v - 1)) == 0; }

bool decodePVRTC(E_PIXEL_FORMAT sf, const unsigned char* src, unsigned srcPitch,
                 E_PIXEL_FORMAT df, unsigned char* dst, unsigned dstPitch, unsigned w, unsigned h,
                 bool flip) {
    if (srcPitch != computePitch(sf, w)) {
        logError("decompressing PVRTC formats with non \"natural\" pitch size not supported");
        return false;
    }
    if (w == 0 || h == 0) return true;
    const bool twoBit = sf == EPF_COMPRESSED_RGB_PVRTC_2BPP || sf == EPF_COMPRESSED_RGBA_PVRTC_2BPP;
    // The decoder wraps with size - 1 as a mask and reads at least 2 x 2 blocks; data of
    // another shape would be read past its end.
    if (!isPowerOfTwo(w) || !isPowerOfTwo(h) ||
        computeSizeInBytes(sf, w, h) < PVRTCDataSize(twoBit, int(w), int(h))) {
        logError("decompressing PVRTC data needs power-of-two sizes of at least 2 x 2 blocks");
        return false;
    }
    if (desc(df).has(EPFF_COMPRESSED)) return false;  // already refused by convert
    const unsigned natural = w * 4;
    if (df == EPF_R8G8B8A8 && dstPitch == natural) {
        PVRTCDecompress(src, twoBit ? 1 : 0, int(w), int(h), dst);
        if (!flip) return true;
        return convert(EPF_R8G8B8A8, dst, natural, df, dst, dstPitch, w, h, true);
    }
    logWarning("slow path decompression",
               "destination is not R8G8B8A8 or does not have the \"natural\" pitch of that format");
    std::unique_ptr<unsigned char[]> tmp(new unsigned char[size_t(w) * h * 4]);
    PVRTCDecompress(src, twoBit ? 1 : 0, int(w), int(h), tmp.get());
    return convert(EPF_R8G8B8A8, tmp.get(), natural, df, dst, dstPitch, w, h, flip);
}

}  // namespace

bool convert(E_PIXEL_FORMAT srcFormat, const void* srcData, unsigned srcPitch,
             E_PIXEL_FORMAT dstFormat, void* dstData, unsigned dstPitch, unsigned width,
             unsigned height, bool flipVertically) {
    const auto* src = static_cast<const unsigned char*>(srcData);
    auto* dst = static_cast<unsigned char*>(dstData);
    if (srcPitch == 0) srcPitch = computePitch(srcFormat, width);
    if (dstPitch == 0) dstPitch = computePitch(dstFormat, width);
    const SPixelFormatDesc& s = desc(srcFormat);
    const SPixelFormatDesc& d = desc(dstFormat);

    if (srcFormat == dstFormat)
        return copySameFormat(srcFormat, src, srcPitch, dst, dstPitch, width, height, flipVertically);

    if (src == dst &&
        (computePitch(srcFormat, width) != computePitch(dstFormat, width) || srcPitch != dstPitch)) {
        logError("in place conversion with different format pitches not supported");
        return false;
    }
    if (d.has(EPFF_COMPRESSED)) {
        logError("Compressed destination format not supported", getName(dstFormat));
        return false;
    }
    if (s.has(EPFF_COMPRESSED)) {
        if (srcFormat >= EPF_COMPRESSED_RGB_S3TC_DXT1 && srcFormat <= EPF_COMPRESSED_RGBA_S3TC_DXT5) {
            logError("decompression of DXT formats not implemented");
            return false;
        }
        return decodePVRTC(srcFormat, src, srcPitch, dstFormat, dst, dstPitch, width, height,
                           flipVertically);
    }
    if (d.has(EPFF_LUMINANCE) && !s.has(EPFF_LUMINANCE))
        return convertToLuminance(srcFormat, src, srcPitch, dstFormat, dst, dstPitch, width,
                                  height, flipVertically);
    if (s.ComponentType == d.ComponentType && !s.has(EPFF_PACKED) && !d.has(EPFF_PACKED) &&
        !(d.has(EPFF_ALPHA) && !s.has(EPFF_ALPHA)) && srcFormat != EPF_A8 && dstFormat != EPF_A8)
        return swizzle(srcFormat, src, srcPitch, dstFormat, dst, dstPitch, width, height,
                       flipVertically);
    if (s.has(EPFF_FLOAT) || d.has(EPFF_FLOAT)) {
        logError("handling floating point conversion (except swizzle from RGBA to RGB with same "
                 "component type) not implemented yet");
        return false;
    }
    if (srcFormat == EPF_R8G8B8 || srcFormat == EPF_B8G8R8)
        return convertPackedFromRGB8(srcFormat, src, srcPitch, dstFormat, dst, dstPitch, width,
                                     height, flipVertically);
    return convertPacked(srcFormat, src, srcPitch, dstFormat, dst, dstPitch, width, height,
                         flipVertically);
}

}  // namespace pravik::video::pixel_format
