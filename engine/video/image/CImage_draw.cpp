// Line drawing and box-filter scaling of images.

#include "engine/video/image/CImage.h"

#include "engine/video/image/pixel_format.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <cstdlib>
#include <vector>

namespace pravik::video {

namespace pf = pixel_format;

namespace {

int outcode(int x, int y, int w, int h) {
    int code = 0;
    if (x < 0) code |= 4;
    else if (x > w - 1) code |= 8;
    if (y < 0) code |= 2;
    else if (y > h - 1) code |= 1;
    return code;
}

// Moves the ends of the segment onto the image; false when nothing of it is inside.
bool clipLine(int& x0, int& y0, int& x1, int& y1, int w, int h) {
    int c0 = outcode(x0, y0, w, h), c1 = outcode(x1, y1, w, h);
    while (c0 | c1) {
        if (c0 & c1) return false;
        const bool first = c0 != 0;
        const int code = first ? c0 : c1;
        int x, y;
        const int64_t dx = int64_t(x1) - x0, dy = int64_t(y1) - y0;
        if (code & 1) {
            y = h - 1;
            x = int(x0 + dx * (y - y0) / dy);
        } else if (code & 2) {
            y = 0;
            x = int(x0 + dx * (y - y0) / dy);
        } else if (code & 8) {
            x = w - 1;
            y = int(y0 + dy * (x - x0) / dx);
        } else {
            x = 0;
            y = int(y0 + dy * (x - x0) / dx);
        }
        if (first) {
            x0 = x, y0 = y;
            c0 = outcode(x0, y0, w, h);
        } else {
            x1 = x, y1 = y;
            c1 = outcode(x1, y1, w, h);
        }
    }
    return true;
}

uint32_t rotr8(uint32_t v) { return v >> 8 | v << 24; }
uint32_t rotl8(uint32_t v) { return v << 8 | v >> 24; }

}  // namespace

void CImage::drawLine(const core::position2d<int>& from, const core::position2d<int>& to,
                      const SColor& c) {
    if (!m_data || m_dim.Width <= 0 || m_dim.Height <= 0) return;
    if (m_format != EPF_A1R5G5B5 && m_format != EPF_A8R8G8B8) return;
    int x0 = from.X, y0 = from.Y, x1 = to.X, y1 = to.Y;
    if (!clipLine(x0, y0, x1, y1, m_dim.Width, m_dim.Height)) return;

    const unsigned v = c.a + (c.a >> 7);
    const uint32_t c16 = uint32_t((c.a & 0x80) << 8 | (c.r & 0xF8) << 7 | (c.g & 0xF8) << 2 | c.b >> 3);
    const uint32_t c32 = uint32_t(c.a) | c.r << 8 | c.g << 16 | uint32_t(c.b) << 24;
    auto plot = [&](int x, int y) {
        unsigned char* p = rowAt(unsigned(y)) + size_t(x) * (m_format == EPF_A1R5G5B5 ? 2 : 4);
        if (m_format == EPF_A1R5G5B5) {
            uint16_t d;
            std::memcpy(&d, p, 2);
            uint32_t out = c16;
            if (v != 256) {
                const uint32_t w = v >> 3;
                const uint32_t rb = ((d & 0x7C1F) + (((c16 & 0x7C1F) - (d & 0x7C1F)) * w >> 5)) & 0x7C1F;
                const uint32_t g = ((d & 0x03E0) + (((c16 & 0x03E0) - (d & 0x03E0)) * w >> 5)) & 0x03E0;
                out = rb | g;
            }
            const uint16_t o = uint16_t(out);
            std::memcpy(p, &o, 2);
        } else {
            uint32_t d;
            std::memcpy(&d, p, 4);
            uint32_t out = c32;
            if (v != 256) {
                const uint32_t dr = rotr8(d), cr = rotr8(c32);
                const uint32_t rb = ((dr & 0x00FF00FF) + (((cr & 0x00FF00FF) - (dr & 0x00FF00FF)) * v >> 8)) & 0x00FF00FF;
                const uint32_t g = ((dr & 0x0000FF00) + (((cr & 0x0000FF00) - (dr & 0x0000FF00)) * v >> 8)) & 0x0000FF00;
                out = rotl8(rb | g | 0xFF000000u);
            }
            std::memcpy(p, &out, 4);
        }
    };

    const int dx = x1 - x0, dy = y1 - y0;
    const int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    const int adx = std::abs(dx), ady = std::abs(dy);
    const bool xMajor = adx >= ady;
    const int n = xMajor ? adx : ady;
    const int minor = xMajor ? ady : adx;
    int err = 0, x = x0, y = y0;
    for (int i = 0; i < n; ++i) {
        plot(x, y);
        if (xMajor) x += sx; else y += sy;
        err += 2 * minor;
        if (err > n) {
            if (xMajor) y += sy; else x += sx;
            err -= 2 * n;
        }
    }
}

void CImage::copyToScaling(void* target, unsigned width, unsigned height, E_PIXEL_FORMAT format,
                           unsigned pitch, int bias) {
    if (!target || width == 0 || height == 0 || !m_data || m_dim.Width <= 0 || m_dim.Height <= 0)
        return;
    if (pitch == 0) pitch = pf::computePitch(format, width);
    if (width == unsigned(m_dim.Width) && height == unsigned(m_dim.Height) && bias == 0) {
        pf::convert(m_format, m_data, m_pitch, format, target, pitch, width, height, false);
        return;
    }
    auto isPlain32 = [](E_PIXEL_FORMAT f) {
        return !pf::desc(f).has(EPFF_PACKED) && pf::desc(f).BitsPerPixel == 32;
    };
    const unsigned sw = unsigned(m_dim.Width), sh = unsigned(m_dim.Height);
    E_PIXEL_FORMAT srcFormat = m_format;
    const unsigned char* src = m_data;
    unsigned srcPitch = m_pitch;
    std::vector<unsigned char> srcCopy;
    if (!isPlain32(m_format)) {
        srcCopy.resize(size_t(sw) * sh * 4);
        if (!pf::convert(m_format, m_data, m_pitch, EPF_R8G8B8A8, srcCopy.data(), sw * 4, sw, sh, false))
            return;
        srcFormat = EPF_R8G8B8A8;
        src = srcCopy.data();
        srcPitch = sw * 4;
    }
    E_PIXEL_FORMAT dstFormat = format;
    unsigned char* dst = static_cast<unsigned char*>(target);
    unsigned dstPitch = pitch;
    std::vector<unsigned char> dstCopy;
    if (!isPlain32(format)) {
        dstCopy.resize(size_t(width) * height * 4);
        dstFormat = EPF_R8G8B8A8;
        dst = dstCopy.data();
        dstPitch = width * 4;
    }
    unsigned char swz[4] = {0, 1, 2, 3};
    pf::computeRelativeSwizzleTable(srcFormat, dstFormat, swz);
    for (unsigned char& s : swz)
        if (s > 3) s = 0;

    const float fx = float(sw) / float(width), fy = float(sh) / float(height);
    float y0 = 0.0f;
    for (unsigned j = 0; j < height; ++j) {
        const float y1 = float(j + 1) * fy;
        float x0 = 0.0f;
        unsigned char* out = dst + size_t(j) * dstPitch;
        for (unsigned i = 0; i < width; ++i) {
            const float x1 = float(i + 1) * fx;
            float sum[4] = {0, 0, 0, 0};
            float total = 0.0f;
            // Rows and columns past the image (float rounding at the far edge) are never read.
            for (unsigned r = unsigned(std::floor(y0 + 0.0001f)); float(r) < y1 && r < sh; ++r) {
                const float wy = y0 > float(r) ? float(r + 1) - y0 : float(r + 1) > y1 ? y1 - float(r) : 1.0f;
                const unsigned char* row = src + size_t(r) * srcPitch;
                for (unsigned c = unsigned(std::floor(x0 + 0.0001f)); float(c) < x1 && c < sw; ++c) {
                    const float wx = x0 > float(c) ? float(c + 1) - x0 : float(c + 1) > x1 ? x1 - float(c) : 1.0f;
                    const float w = wy * wx;
                    const unsigned char* p = row + size_t(c) * 4;
                    for (int k = 0; k < 4; ++k) sum[k] += w * float(p[k]);
                    total += w;
                }
            }
            unsigned char* o = out + size_t(i) * 4;
            for (int k = 0; k < 4; ++k) {
                // A pixel that no source pixel covers (a target taller than ~10,000x) stays 0.
                // The small nudge keeps a uniform colour from truncating to one below itself
                // through the rounding of the weights.
                const float v = total > 0.0f ? (float(bias) + sum[swz[k]]) / total + 0.001f : 0.0f;
                o[k] = v <= 0.0f ? 0 : uint8_t(v >= 4294967295.0f ? 0xFFu : unsigned(v) & 0xFF);
            }
            x0 = x1;
        }
        y0 = y1;
    }
    if (!dstCopy.empty())
        pf::convert(EPF_R8G8B8A8, dstCopy.data(), width * 4, format, target, pitch, width, height, false);
}

void CImage::copyToScaling(const boost::intrusive_ptr<CImage>& target, int bias) {
    if (!target) return;
    if (target->getDimension() == m_dim) {
        copyTo(target, core::position2d<int>(0, 0), 0);
        return;
    }
    copyToScaling(target->getData(), unsigned(target->m_dim.Width), unsigned(target->m_dim.Height),
                  target->m_format, target->m_pitch, bias);
}

void CImage::copyToScalingBoxFilter(const boost::intrusive_ptr<CImage>& target, int bias) {
    copyToScaling(target, bias);
}

}  // namespace pravik::video
