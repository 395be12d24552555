#pragma once
// Channel-by-channel converters behind pixel_format::convert, for every conversion that is not a
// plain copy, a byte reordering or a PVRTC decode. Only convert() includes this, after it has
// validated the formats and pitches; the pixel loops below carry no format tests.
//
// A pixel is one little-endian unit (8, 16 or 32 bits). Each channel is converted by one of
// three kinds: shift (narrowing or equal width), replicate (widening to at most twice the width,
// low bits filled with the top source bits) or lookup (wider still, through a 16-bit table).

#include "engine/video/image/pixel_format.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace pravik::video::pixel_format::packed {

enum E_PACKED_CONVERTER_TYPE { EPCT_SHIFT = 0, EPCT_REPLICATE = 1, EPCT_LOOKUP = 2 };

// The kind for a source width a and destination width b of the deciding channel.
inline E_PACKED_CONVERTER_TYPE chooseKind(unsigned a, unsigned b) {
    const unsigned a2 = a == 0 ? b : a;
    if (b == 0 || a2 >= b) return EPCT_SHIFT;
    return b <= 2 * a2 ? EPCT_REPLICATE : EPCT_LOOKUP;
}

struct SPackedConverterBase {
    static const uint16_t OneBitCvtTable[2];
    static const uint16_t TwoBitsCvtTable[4];
    static const uint16_t FourBitsCvtTable[16];
};

// Everything one channel needs, fixed before the loops. Shifts are kept below 64 and applied to
// 64-bit values, so a shift the rules make 32 or more contributes 0 without a test.
struct SChannel {
    uint32_t dstMask = 0;
    uint8_t srcShift = 0, dstShift = 0;
    uint32_t srcMask = 0, repMask = 0;  // replicate
    uint8_t repSrcShift = 0, repDstShift = 0;
    const uint16_t* table = SPackedConverterBase::OneBitCvtTable;  // lookup
    uint32_t lutMask = 0;
    uint8_t lutSrcShift = 0, lutRightShift = 0;
};

inline uint8_t clampShift(unsigned s) { return uint8_t(s > 63 ? 63 : s); }

inline SChannel makeChannel(E_PIXEL_FORMAT src, E_PIXEL_FORMAT dst, int c) {
    const SPixelFormatDesc& s = desc(src);
    const SPixelFormatDesc& d = desc(dst);
    const unsigned a = s.ChannelBits[c], b = d.ChannelBits[c];
    SChannel ch;
    ch.dstMask = d.Masks[c];
    unsigned srcShift = s.ChannelShifts[c], dstShift = d.ChannelShifts[c];
    if (a > b)
        srcShift += a - b;
    else if (b <= 2 * a)
        dstShift += b - a;
    ch.srcShift = clampShift(srcShift & 0xFF);
    ch.dstShift = clampShift(dstShift & 0xFF);
    ch.srcMask = s.Masks[c];
    const unsigned k = (2 * a - b) & 0xFF;  // an 8-bit value, as the rule is written
    ch.repMask = k >= 32 ? 0 : uint32_t(uint64_t(ch.srcMask) & (uint64_t(ch.srcMask) << k));
    ch.repSrcShift = clampShift(k + (srcShift & 0xFF));
    ch.repDstShift = d.ChannelShifts[c];
    ch.lutSrcShift = s.ChannelShifts[c];
    ch.lutRightShift = uint8_t(b >= 16 ? 0 : 16 - b);
    ch.lutMask = ch.srcMask;
    switch (a) {
        case 1: ch.table = SPackedConverterBase::OneBitCvtTable; break;
        case 2: ch.table = SPackedConverterBase::TwoBitsCvtTable; break;
        case 4: ch.table = SPackedConverterBase::FourBitsCvtTable; break;
        default:  // no table for this width: the index stays 0, whose entry is 0
            ch.lutMask = 0;
            break;
    }
    return ch;
}

template <E_PACKED_CONVERTER_TYPE K>
inline uint32_t convertChannel(const SChannel& c, uint32_t s);

template <>
inline uint32_t convertChannel<EPCT_SHIFT>(const SChannel& c, uint32_t s) {
    return uint32_t((uint64_t(s) >> c.srcShift) << c.dstShift) & c.dstMask;
}
template <>
inline uint32_t convertChannel<EPCT_REPLICATE>(const SChannel& c, uint32_t s) {
    const uint64_t hi = (uint64_t(s & c.srcMask) >> c.srcShift) << c.dstShift;
    const uint64_t lo = (uint64_t(s & c.repMask) >> c.repSrcShift) << c.repDstShift;
    return uint32_t(hi | lo) & c.dstMask;
}
template <>
inline uint32_t convertChannel<EPCT_LOOKUP>(const SChannel& c, uint32_t s) {
    const uint32_t v = c.table[(s & c.lutMask) >> c.lutSrcShift] >> c.lutRightShift;
    return uint32_t(uint64_t(v) << c.dstShift) & c.dstMask;
}

// One converter per pair of kinds: colour (decided by green) and alpha.
template <E_PACKED_CONVERTER_TYPE ColorKind, E_PACKED_CONVERTER_TYPE AlphaKind>
struct SPackedConverter {
    SChannel ch[4];
    uint32_t alphaFill = 0;

    SPackedConverter(E_PIXEL_FORMAT src, E_PIXEL_FORMAT dst) {
        for (int c = 0; c < 4; ++c) ch[c] = makeChannel(src, dst, c);
        // Lookup uses the channel's own shifts, not the adjusted ones.
        for (int c = 0; c < 4; ++c) {
            const bool lookup = (c == 3 ? AlphaKind : ColorKind) == EPCT_LOOKUP;
            if (lookup) ch[c].dstShift = desc(dst).ChannelShifts[c];
        }
        if (desc(dst).has(EPFF_ALPHA) && !desc(src).has(EPFF_ALPHA)) alphaFill = desc(dst).Masks[3];
    }
    uint32_t operator()(uint32_t s) const {
        return convertChannel<ColorKind>(ch[0], s) | convertChannel<ColorKind>(ch[1], s) |
               convertChannel<ColorKind>(ch[2], s) | convertChannel<AlphaKind>(ch[3], s) |
               alphaFill;
    }
};

// Colour to luminance: weighted sum of the source's colour channels in 32-bit float.
struct SPackedRGBtoLuminanceConverterBase {
    uint32_t mask[3];
    uint8_t shift[3];
    float weight[3];
    float scale;
    uint32_t alphaMask = 0;
    uint8_t alphaShift = 0;
    float alphaScale = 0.0f;
    uint32_t alphaConst = 0;  // 255 for an alpha destination fed from a source without alpha
    bool dstAlpha = false;
    uint8_t lumPos = 0, alphaPos = 0;  // where luminance and alpha go in the destination unit

    SPackedRGBtoLuminanceConverterBase(E_PIXEL_FORMAT src, E_PIXEL_FORMAT dst) {
        static const float kWeights[3] = {0.3f, 0.59f, 0.11f};
        const SPixelFormatDesc& s = desc(src);
        const SPixelFormatDesc& d = desc(dst);
        for (int c = 0; c < 3; ++c) {
            mask[c] = s.Masks[c];
            shift[c] = clampShift(s.ChannelShifts[c]);
            const uint32_t max = s.ChannelShifts[c] >= 32 ? 0 : mask[c] >> s.ChannelShifts[c];
            // A channel the source lacks (depth, stencil) weighs nothing instead of dividing by 0.
            weight[c] = max ? kWeights[c] / float(max) : 0.0f;
        }
        scale = d.ComponentType == ECT_UNSIGNED_INT16 ? 65535.0f : 255.0f;
        dstAlpha = d.has(EPFF_ALPHA) && d.ComponentType == ECT_UNSIGNED_INT8;
        lumPos = d.ChannelShifts[0];
        alphaPos = d.ChannelShifts[3];
        if (dstAlpha) {
            if (s.has(EPFF_ALPHA)) {
                alphaMask = s.Masks[3];
                alphaShift = clampShift(s.ChannelShifts[3]);
                const uint32_t max = alphaMask >> alphaShift;
                alphaScale = max ? 255.0f / float(max) : 0.0f;
            } else {
                alphaConst = 255;
            }
        }
    }
    uint32_t operator()(uint32_t v) const {
        const float r = float((v & mask[0]) >> shift[0]);
        const float g = float((v & mask[1]) >> shift[1]);
        const float b = float((v & mask[2]) >> shift[2]);
        float t = g * weight[1];
        t = t + r * weight[0];
        t = t + b * weight[2];
        t = t * scale;
        const uint32_t lum = t <= 0.0f ? 0u : t >= scale ? uint32_t(scale) : uint32_t(t);
        uint32_t out = lum << lumPos;
        if (dstAlpha) {
            const float a = alphaScale * float((v & alphaMask) >> alphaShift);
            out |= (alphaConst | uint32_t(a)) << alphaPos;
        }
        return out;
    }
};

// Reads an n-byte little-endian pixel; n is a constant of each loop instance.
template <unsigned N>
inline uint32_t readUnit(const unsigned char* p) {
    if constexpr (N == 3) {
        return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
    } else {
        uint32_t v = 0;
        std::memcpy(&v, p, N);
        return v;
    }
}
template <unsigned N>
inline void writeUnit(unsigned char* p, uint32_t v) {
    if constexpr (N == 1) {
        *p = uint8_t(v);
    } else if constexpr (N == 2) {
        const uint16_t u = uint16_t(v);
        std::memcpy(p, &u, 2);
    } else {
        std::memcpy(p, &v, N);  // a 3-byte destination takes the low three bytes
    }
}

// The row walk shared by every converter: between buffers, or in place (same unit size) with the
// flip done by exchanging a top and a bottom row that walk towards each other.
template <unsigned SB, unsigned DB, typename Conv>
void convertRows(const Conv& shared, const unsigned char* src, unsigned srcPitch, unsigned char* dst,
                 unsigned dstPitch, unsigned width, unsigned height, bool flip) {
    if (width == 0 || height == 0) return;
    // A local copy: stores through the byte pointers could alias the caller's converter, which
    // would make the compiler reload every mask and shift per pixel.
    const Conv conv = shared;
    if (static_cast<const void*>(src) == dst) {
        if (!flip) {
            for (unsigned y = 0; y < height; ++y, dst += dstPitch) {
                unsigned char* p = dst;
                for (unsigned x = 0; x < width; ++x, p += SB) writeUnit<DB>(p, conv(readUnit<SB>(p)));
            }
            return;
        }
        for (size_t top = 0, bottom = height - 1; top <= bottom && bottom < height; ++top, --bottom) {
            unsigned char* t = dst + top * dstPitch;
            unsigned char* b = dst + bottom * dstPitch;
            for (unsigned x = 0; x < width; ++x, t += SB, b += SB) {
                const uint32_t fromBottom = conv(readUnit<SB>(b));
                const uint32_t fromTop = conv(readUnit<SB>(t));
                writeUnit<DB>(b, fromTop);
                writeUnit<DB>(t, fromBottom);
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
        for (unsigned x = 0; x < width; ++x, s += SB, d += DB) writeUnit<DB>(d, conv(readUnit<SB>(s)));
    }
}

}  // namespace pravik::video::pixel_format::packed
