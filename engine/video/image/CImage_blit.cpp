// Filled and blended rectangles: one clipping routine (blit) picks an executor by operation and
// pixel format and hands it a job. Only A1R5G5B5 and the 32-bit A8R8G8B8, B8G8R8A8 and R8G8B8A8
// are handled. Packed blends work on two fields at once (red-blue and green) in 32-bit words.

#include "engine/video/image/CImage.h"

#include "engine/video/image/pixel_format.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace pravik::video {

namespace {

enum eBlitter { BLITTER_COLOR = 1, BLITTER_COLOR_ALPHA = 2, BLITTER_TEXTURE_BLEND = 3,
                BLITTER_TEXTURE_BLEND_COLOR = 4 };

struct SBlitJob {
    int dstX0, dstY0, dstX1, dstY1;
    int srcX0, srcY0, srcX1, srcY1;
    uint32_t color;
    uint32_t alpha;
    uint16_t color16;
    uint16_t alpha5;
    const unsigned char* src;
    unsigned char* dst;
    uint32_t width, height;
    uint32_t srcPitch, dstPitch;
    uint32_t srcBytes, dstBytes;
};

uint32_t rotr8(uint32_t v) { return v >> 8 | v << 24; }
uint32_t rotl8(uint32_t v) { return v << 8 | v >> 24; }

uint32_t load32(const unsigned char* p) { uint32_t v; std::memcpy(&v, p, 4); return v; }
void store32(unsigned char* p, uint32_t v) { std::memcpy(p, &v, 4); }
uint16_t load16(const unsigned char* p) { uint16_t v; std::memcpy(&v, p, 2); return v; }
void store16(unsigned char* p, uint16_t v) { std::memcpy(p, &v, 2); }

// d moved towards c by w / 256, alpha in byte 3 set to 255.
uint32_t blend32(uint32_t d, uint32_t c, uint32_t w) {
    const uint32_t rb = ((d & 0x00FF00FF) + (((c & 0x00FF00FF) - (d & 0x00FF00FF)) * w >> 8)) & 0x00FF00FF;
    const uint32_t g = ((d & 0x0000FF00) + (((c & 0x0000FF00) - (d & 0x0000FF00)) * w >> 8)) & 0x0000FF00;
    return rb | g | 0xFF000000u;
}
// d moved towards c by w / 32; the alpha bit of the result is 0.
uint16_t blend16(uint32_t d, uint32_t c, uint32_t w) {
    const uint32_t rb = ((d & 0x7C1F) + (((c & 0x7C1F) - (d & 0x7C1F)) * w >> 5)) & 0x7C1F;
    const uint32_t g = ((d & 0x03E0) + (((c & 0x03E0) - (d & 0x03E0)) * w >> 5)) & 0x03E0;
    return uint16_t(rb | g);
}

// Pixels of the 32-bit formats with alpha in byte 3 (AlphaFirst: A8R8G8B8, alpha in byte 0).
template <bool AlphaFirst>
uint32_t toAlphaTop(uint32_t v) { return AlphaFirst ? rotr8(v) : v; }
template <bool AlphaFirst>
uint32_t fromAlphaTop(uint32_t v) { return AlphaFirst ? rotl8(v) : v; }

template <typename F>
void eachPixel(const SBlitJob& job, unsigned srcBytes, unsigned dstBytes, F f) {
    for (uint32_t y = 0; y < job.height; ++y) {
        const unsigned char* s = job.src ? job.src + size_t(y) * job.srcPitch : nullptr;
        unsigned char* d = job.dst + size_t(y) * job.dstPitch;
        for (uint32_t x = 0; x < job.width; ++x, d += dstBytes) {
            f(s, d);
            if (s) s += srcBytes;
        }
    }
}

void executeBlit_Color_16_to_16(const SBlitJob& job) {
    const uint32_t pair = uint32_t(job.color16) | uint32_t(job.color16) << 16;
    for (uint32_t y = 0; y < job.height; ++y) {
        unsigned char* d = job.dst + size_t(y) * job.dstPitch;
        uint32_t x = 0;
        for (; x + 1 < job.width; x += 2) store32(d + 2 * x, pair);
        if (x < job.width) store16(d + 2 * x, job.color16);
    }
}

void executeBlit_Color_32_to_32(const SBlitJob& job) {
    eachPixel(job, 0, 4, [&](const unsigned char*, unsigned char* d) { store32(d, job.color); });
}

void executeBlit_ColorAlpha_16_to_16(const SBlitJob& job) {
    eachPixel(job, 0, 2, [&](const unsigned char*, unsigned char* d) {
        store16(d, blend16(load16(d), job.color16, job.alpha5));
    });
}

template <bool AlphaFirst>
void executeBlit_ColorAlpha_32_to_32(const SBlitJob& job) {
    const uint32_t c = toAlphaTop<AlphaFirst>(job.color);
    eachPixel(job, 0, 4, [&](const unsigned char*, unsigned char* d) {
        store32(d, fromAlphaTop<AlphaFirst>(blend32(toAlphaTop<AlphaFirst>(load32(d)), c, job.alpha)));
    });
}

void executeBlit_TextureBlend_16_to_16(const SBlitJob& job) {
    eachPixel(job, 2, 2, [&](const unsigned char* s, unsigned char* d) {
        const uint16_t sp = load16(s);
        store16(d, uint16_t((load16(d) & (sp & 0x8000 ? 0x8000 : 0x7FFF)) | sp));
    });
}

template <bool AlphaFirst>
uint32_t textureBlend(uint32_t d, uint32_t s) {
    const uint32_t st = toAlphaTop<AlphaFirst>(s);
    const uint32_t a = st >> 24;
    if (a == 0) return fromAlphaTop<AlphaFirst>(toAlphaTop<AlphaFirst>(d) | 0xFF000000u);
    if (a == 255) return s;
    return fromAlphaTop<AlphaFirst>(blend32(toAlphaTop<AlphaFirst>(d), st, a + (a >> 7)));
}

template <bool AlphaFirst>
void executeBlit_TextureBlend_32_to_32(const SBlitJob& job) {
    eachPixel(job, 4, 4, [&](const unsigned char* s, unsigned char* d) {
        store32(d, textureBlend<AlphaFirst>(load32(d), load32(s)));
    });
}

void executeBlit_TextureBlendColor_16_to_16(const SBlitJob& job) {
    const uint32_t c = job.color16;
    eachPixel(job, 2, 2, [&](const unsigned char* s, unsigned char* d) {
        const uint32_t sp = load16(s);
        uint32_t m = 0;
        for (int shift = 0; shift <= 10; shift += 5)
            m |= ((((sp >> shift) & 31) * ((c >> shift) & 31)) >> 5) << shift;
        m |= sp & c & 0x8000;
        store16(d, uint16_t((load16(d) & (m & 0x8000 ? 0x8000 : 0x7FFF)) | m));
    });
}

template <bool AlphaFirst>
void executeBlit_TextureBlendColor_32_to_32(const SBlitJob& job) {
    eachPixel(job, 4, 4, [&](const unsigned char* s, unsigned char* d) {
        const uint32_t sp = load32(s);
        uint32_t m = 0;
        for (int k = 0; k < 32; k += 8)
            m |= ((((sp >> k) & 0xFF) * ((job.color >> k) & 0xFF)) >> 8) << k;
        store32(d, textureBlend<AlphaFirst>(load32(d), m));
    });
}

using Executor = void (*)(const SBlitJob&);

Executor pickExecutor(int op, E_PIXEL_FORMAT dst, E_PIXEL_FORMAT src) {
    switch (op) {
        case BLITTER_COLOR:
            if (dst == EPF_A1R5G5B5) return executeBlit_Color_16_to_16;
            if (dst == EPF_A8R8G8B8 || dst == EPF_R8G8B8A8) return executeBlit_Color_32_to_32;
            return nullptr;
        case BLITTER_COLOR_ALPHA:
            if (dst == EPF_A1R5G5B5) return executeBlit_ColorAlpha_16_to_16;
            if (dst == EPF_A8R8G8B8) return executeBlit_ColorAlpha_32_to_32<true>;
            if (dst == EPF_B8G8R8A8 || dst == EPF_R8G8B8A8) return executeBlit_ColorAlpha_32_to_32<false>;
            return nullptr;
        case BLITTER_TEXTURE_BLEND:
        case BLITTER_TEXTURE_BLEND_COLOR: {
            if (src != dst) return nullptr;
            const bool color = op == BLITTER_TEXTURE_BLEND_COLOR;
            if (dst == EPF_A1R5G5B5)
                return color ? executeBlit_TextureBlendColor_16_to_16 : executeBlit_TextureBlend_16_to_16;
            if (dst == EPF_A8R8G8B8)
                return color ? executeBlit_TextureBlendColor_32_to_32<true> : executeBlit_TextureBlend_32_to_32<true>;
            if (dst == EPF_B8G8R8A8 || dst == EPF_R8G8B8A8)
                return color ? executeBlit_TextureBlendColor_32_to_32<false> : executeBlit_TextureBlend_32_to_32<false>;
            return nullptr;
        }
        default:
            return nullptr;
    }
}

// The colour's bytes in the memory order of the format.
uint32_t colorWord(E_PIXEL_FORMAT f, const SColor& c) {
    switch (f) {
        case EPF_A8R8G8B8: return uint32_t(c.a) | c.r << 8 | c.g << 16 | uint32_t(c.b) << 24;
        case EPF_B8G8R8A8: return uint32_t(c.b) | c.g << 8 | c.r << 16 | uint32_t(c.a) << 24;
        default: return c.toWord();
    }
}

SColor colorFromWord(E_PIXEL_FORMAT f, uint32_t w) {
    const SColor bytes = SColor::fromWord(w);
    switch (f) {
        case EPF_A8R8G8B8: return {bytes.g, bytes.b, bytes.a, bytes.r};
        case EPF_B8G8R8A8: return {bytes.b, bytes.g, bytes.r, bytes.a};
        default: return bytes;
    }
}

bool blit(int op, CImage* dest, const core::rect<int>* destClip, const core::position2d<int>* destPos,
          CImage* source, const core::rect<int>* sourceRect, uint32_t colour) {
    const E_PIXEL_FORMAT df = dest ? dest->getColorFormat() : EPF_COUNT;
    const E_PIXEL_FORMAT sf = source ? source->getColorFormat() : EPF_COUNT;
    const Executor exec = pickExecutor(op, df, sf);
    if (!exec || !dest || !dest->getData()) return false;
    if (op >= BLITTER_TEXTURE_BLEND && (!source || !source->getData())) return false;

    core::rect<int> s = sourceRect ? *sourceRect
                        : source   ? core::rect<int>(0, 0, source->getDimension().Width, source->getDimension().Height)
                                   : core::rect<int>();
    core::position2d<int> p = destPos ? *destPos : core::position2d<int>(0, 0);
    if (source) {
        // The source rectangle stays inside the source image; the position follows its edges.
        if (s.UpperLeftCorner.X < 0) p.X -= s.UpperLeftCorner.X, s.UpperLeftCorner.X = 0;
        if (s.UpperLeftCorner.Y < 0) p.Y -= s.UpperLeftCorner.Y, s.UpperLeftCorner.Y = 0;
        s.LowerRightCorner.X = std::min(s.LowerRightCorner.X, source->getDimension().Width);
        s.LowerRightCorner.Y = std::min(s.LowerRightCorner.Y, source->getDimension().Height);
    }
    core::rect<int> d(0, 0, dest->getDimension().Width, dest->getDimension().Height);
    if (destClip) d.clipAgainst(*destClip);  // a given clip never reaches outside the image

    SBlitJob job{};
    job.dstX0 = std::max(d.UpperLeftCorner.X, p.X);
    job.dstY0 = std::max(d.UpperLeftCorner.Y, p.Y);
    job.dstX1 = int(std::min<int64_t>(d.LowerRightCorner.X, int64_t(p.X) + s.getWidth()));
    job.dstY1 = int(std::min<int64_t>(d.LowerRightCorner.Y, int64_t(p.Y) + s.getHeight()));
    if (job.dstX0 >= job.dstX1 || job.dstY0 >= job.dstY1) return false;
    job.width = uint32_t(job.dstX1 - job.dstX0);
    job.height = uint32_t(job.dstY1 - job.dstY0);
    job.srcX0 = s.UpperLeftCorner.X + job.dstX0 - p.X;
    job.srcY0 = s.UpperLeftCorner.Y + job.dstY0 - p.Y;
    job.srcX1 = job.srcX0 + int(job.width);
    job.srcY1 = job.srcY0 + int(job.height);

    const SColor c = colorFromWord(df, colour);
    job.color = colour;
    job.alpha = c.a;
    job.color16 = uint16_t((c.a & 0x80) << 8 | (c.r & 0xF8) << 7 | (c.g & 0xF8) << 2 | c.b >> 3);
    job.alpha5 = uint16_t(c.a >> 3);
    job.dstBytes = dest->getBytesPerPixel();
    job.dstPitch = dest->getPitch();
    job.dst = static_cast<unsigned char*>(dest->getData()) + size_t(job.dstY0) * job.dstPitch +
              size_t(job.dstX0) * job.dstBytes;
    if (source) {
        job.srcBytes = source->getBytesPerPixel();
        job.srcPitch = source->getPitch();
        job.src = static_cast<const unsigned char*>(source->getData()) + size_t(job.srcY0) * job.srcPitch +
                  size_t(job.srcX0) * job.srcBytes;
    } else {
        job.srcBytes = job.dstBytes;
        job.srcPitch = job.dstBytes * job.width;
    }
    exec(job);
    return true;
}

}  // namespace

bool CImage::drawRectangle(const core::rect<int>& r, const SColor& c) {
    const core::position2d<int> pos = r.UpperLeftCorner;
    return blit(c.a == 255 ? BLITTER_COLOR : BLITTER_COLOR_ALPHA, this, nullptr, &pos, nullptr, &r,
                colorWord(m_format, c));
}

bool CImage::copyToWithAlpha(const boost::intrusive_ptr<CImage>& target,
                             const core::position2d<int>& pos, const core::rect<int>& sourceRect,
                             const SColor& c, const core::rect<int>* clipRect) {
    if (!target) return false;
    const bool white = c == SColor(255, 255, 255, 255);
    return blit(white ? BLITTER_TEXTURE_BLEND : BLITTER_TEXTURE_BLEND_COLOR, target.get(), clipRect,
                &pos, this, &sourceRect, colorWord(target->getColorFormat(), c));
}

}  // namespace pravik::video
