// Image construction, ownership, pixel access and rectangle copies. All format work goes through
// the pixel-format table and pixel_format::convert.

#include "engine/video/image/CImage.h"

#include "engine/video/image/pixel_format.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

namespace pravik::video {

namespace pf = pixel_format;

namespace {

// Bytes of one separate level: enough for both the pixel count and the format's own size rule.
size_t separateLevelBytes(E_PIXEL_FORMAT f, int w, int h) {
    const size_t byPixels = size_t(w) * size_t(h) * pf::desc(f).BytesPerPixel;
    const size_t bySize = pf::computeSizeInBytes(f, unsigned(w), unsigned(h));
    return std::max(byPixels, bySize);
}

unsigned countHalvings(int w, int h) {
    unsigned n = 0;
    while (w > 1 || h > 1) {
        if (w > 1) w >>= 1;
        if (h > 1) h >>= 1;
        ++n;
    }
    return n;
}

uint16_t to16(const SColor& c) {
    return uint16_t((c.a & 0x80) << 8 | (c.r & 0xF8) << 7 | (c.g & 0xF8) << 2 | c.b >> 3);
}

}  // namespace

CImage::CImage(E_PIXEL_FORMAT format, const core::dimension2d<int>& size)
    : IReferenceCounted(0), m_dim(size), m_format(format) {
    initData(false, false);
}

CImage::CImage(E_PIXEL_FORMAT format, const core::dimension2d<int>& size, bool withMipmaps)
    : IReferenceCounted(0), m_dim(size), m_format(format) {
    initData(withMipmaps, withMipmaps);
}

CImage::CImage(E_PIXEL_FORMAT format, const core::dimension2d<int>& size, void* data,
               bool useDirectly, bool ownsData)
    : IReferenceCounted(0), m_dim(size), m_format(format) {
    if (useDirectly) {
        m_data = static_cast<unsigned char*>(data);
        m_ownsData = ownsData;
    }
    initData(false, false);
    if (!useDirectly && m_data && data) std::memcpy(m_data, data, size_t(m_pitch) * m_dim.Height);
}

CImage::CImage(E_PIXEL_FORMAT format, const core::dimension2d<int>& size, void* data,
               void** levels, bool useDirectly, bool ownsData)
    : IReferenceCounted(0), m_dim(size), m_format(format) {
    if (useDirectly) {
        m_data = static_cast<unsigned char*>(data);
        m_ownsData = ownsData;
        initData(false, false);
        if (!m_data || !levels) return;
        m_levels = reinterpret_cast<unsigned char**>(levels);
        m_separateLevels = true;
        int w = m_dim.Width, h = m_dim.Height;
        for (unsigned i = 0; i < 32 && (w > 1 || h > 1 || m_levels[i]); ++i) {
            if (w > 1) w >>= 1;
            if (h > 1) h >>= 1;
            ++m_mipCount;
        }
        return;
    }
    initData(levels != nullptr, levels != nullptr);
    if (!m_data) return;
    if (data) std::memcpy(m_data, data, size_t(m_pitch) * m_dim.Height);
    if (!levels || !m_levels) return;
    int w = m_dim.Width, h = m_dim.Height;
    for (unsigned i = 0; i < m_mipCount && levels[i]; ++i) {
        if (w > 1) w >>= 1;
        if (h > 1) h >>= 1;
        std::memcpy(m_levels[i], levels[i], size_t(w) * h * getBitsPerPixel() / 8);
    }
}

CImage::CImage(E_PIXEL_FORMAT format, const core::dimension2d<int>& size, void* data,
               unsigned dataSize, unsigned levelCount, bool useDirectly, bool ownsData)
    : IReferenceCounted(0), m_dim(size), m_size(dataSize), m_format(format) {
    if (useDirectly) {
        m_data = static_cast<unsigned char*>(data);
        m_ownsData = ownsData;
    }
    initData(false, false);
    if (!m_data) return;
    m_size = dataSize;  // initData takes a size of 0 for "unknown"; here it is the block's own
    if (m_size < pf::computeSizeInBytes(format, unsigned(m_dim.Width), unsigned(m_dim.Height))) {
        makeEmpty();  // the block cannot even hold level 0
        return;
    }
    if (!useDirectly && data) std::memcpy(m_data, data, dataSize);
    // Level i + 1 starts after levels 0..i; a level that does not fit the block ends the chain.
    uint64_t offset = 0;
    unsigned fitting = 0;
    for (unsigned i = 0; i < levelCount && i < 32; ++i) {
        offset += pf::computeMipmapSizeInBytes(format, unsigned(m_dim.Width),
                                               unsigned(m_dim.Height), (unsigned char)i, false);
        const uint64_t next = pf::computeMipmapSizeInBytes(
            format, unsigned(m_dim.Width), unsigned(m_dim.Height), (unsigned char)(i + 1), false);
        if (offset + next > dataSize) break;
        ++fitting;
    }
    m_mipCount = fitting;
    if (fitting == 0) return;
    m_levels = new unsigned char*[fitting + 1];
    offset = 0;
    for (unsigned i = 0; i < fitting; ++i) {
        offset += pf::computeMipmapSizeInBytes(format, unsigned(m_dim.Width),
                                               unsigned(m_dim.Height), (unsigned char)i, false);
        m_levels[i] = m_data + offset;
    }
    m_levels[fitting] = nullptr;
}

CImage::CImage(const boost::intrusive_ptr<CImage>& source, const core::position2d<int>& pos,
               const core::dimension2d<int>& size)
    : IReferenceCounted(0) {
    if (!source || !source->m_data) {
        initData(false, false);
        return;
    }
    m_format = source->m_format;
    // Cut the requested rectangle to the source, so no row outside it is ever read.
    const int x0 = std::max(pos.X, 0), y0 = std::max(pos.Y, 0);
    const int x1 = int(std::min<int64_t>(int64_t(pos.X) + size.Width, source->m_dim.Width));
    const int y1 = int(std::min<int64_t>(int64_t(pos.Y) + size.Height, source->m_dim.Height));
    m_dim = core::dimension2d<int>(std::max(x1 - x0, 0), std::max(y1 - y0, 0));
    initData(source->m_separateLevels, source->m_separateLevels);
    if (!m_data || m_dim.Width == 0 || m_dim.Height == 0) return;
    const SPixelFormatDesc& d = pf::desc(m_format);
    const unsigned rowOf = d.BlockHeight > 1 ? unsigned(y0) / d.BlockHeight : unsigned(y0);
    const unsigned char* from = source->m_data + size_t(rowOf) * source->m_pitch +
                                pf::computePitch(m_format, unsigned(x0));
    pf::convert(m_format, from, source->m_pitch, m_format, m_data, m_pitch, unsigned(m_dim.Width),
                unsigned(m_dim.Height), false);
}

CImage::CImage(E_PIXEL_FORMAT format, const boost::intrusive_ptr<CImage>& source)
    : IReferenceCounted(0), m_format(format) {
    if (!source || !source->m_data) {
        makeEmpty();
        return;
    }
    m_dim = source->m_dim;
    initData(source->m_separateLevels, source->m_separateLevels);
    if (!m_data) return;
    if (!pf::convert(source->m_format, source->m_data, source->m_pitch, m_format, m_data, m_pitch,
                     unsigned(m_dim.Width), unsigned(m_dim.Height), false))
        makeEmpty();
}

CImage::~CImage() { makeEmpty(); }

void CImage::makeEmpty() {
    if (m_ownsData) {
        if (m_levels && m_separateLevels && m_levels[0])
            for (unsigned i = 0; m_levels[i]; ++i) delete[] m_levels[i];
        delete[] m_levels;
        delete[] m_data;
    } else if (m_levels && !m_separateLevels) {
        delete[] m_levels;  // our own table of pointers into the caller's block
    }
    m_data = nullptr;
    m_levels = nullptr;
    m_format = EPF_COUNT;
    m_dim = core::dimension2d<int>(0, 0);
    m_size = 0;
    m_pitch = 0;
    m_mipCount = 0;
    m_ownsData = false;
}

void CImage::initData(bool withLevels, bool wantSeparateLevels) {
    const uint64_t pitch = m_dim.Width > 0 ? pf::computePitch(m_format, unsigned(m_dim.Width)) : 0;
    const uint64_t rows = m_dim.Height > 0 ? uint64_t(m_dim.Height) : 0;
    // Negative sizes, no format, or a block past what 32-bit sizes can say: an empty image.
    if (m_format >= EPF_COUNT || m_dim.Width < 0 || m_dim.Height < 0 ||
        pitch * rows > std::numeric_limits<uint32_t>::max() / 2) {
        if (!m_ownsData) m_data = nullptr;
        m_ownsData = true;
        makeEmpty();
        return;
    }
    m_pitch = unsigned(pitch);
    if (m_size == 0) m_size = unsigned(pitch * rows);
    if (!m_data) {
        m_data = new unsigned char[m_size ? m_size : 1]();
        m_ownsData = true;
    }
    if (withLevels) {
        m_mipCount = 0;
        if (wantSeparateLevels && !m_levels) allocateSeparateLevels();
    }
}

void CImage::allocateSeparateLevels() {
    const unsigned count = countHalvings(m_dim.Width, m_dim.Height);
    m_mipCount = count;
    m_separateLevels = true;
    m_levels = new unsigned char*[count + 1];
    int w = m_dim.Width, h = m_dim.Height;
    for (unsigned i = 0; i < count; ++i) {
        if (w > 1) w >>= 1;
        if (h > 1) h >>= 1;
        const size_t bytes = separateLevelBytes(m_format, w, h);
        m_levels[i] = new unsigned char[bytes];
        std::memset(m_levels[i], int((15 * i) & 0xFF), bytes);
    }
    m_levels[count] = nullptr;
}

core::dimension2d<int> CImage::getDimension(unsigned level) const {
    if (level == 0 || m_dim.Width <= 0 || m_dim.Height <= 0) return m_dim;
    const int w = level >= 31 ? 0 : m_dim.Width >> level;
    const int h = level >= 31 ? 0 : m_dim.Height >> level;
    return {std::max(w, 1), std::max(h, 1)};
}

unsigned CImage::getBytesPerPixel() const { return pf::desc(m_format).BytesPerPixel; }
unsigned CImage::getBitsPerPixel() const { return pf::desc(m_format).BitsPerPixel; }

void* CImage::getMipMapData(unsigned level) const {
    if (level == 0 || level > m_mipCount || !m_levels) return nullptr;
    return m_levels[level - 1];
}

SColor CImage::getPixel(unsigned x, unsigned y) const {
    if (!m_data || x >= unsigned(m_dim.Width) || y >= unsigned(m_dim.Height)) return {};
    const unsigned char* row = rowAt(y);
    switch (m_format) {
        case EPF_A8:
            return {0, 0, 0, row[x]};
        case EPF_R5G6B5: {
            uint16_t v;
            std::memcpy(&v, row + 2 * x, 2);
            const unsigned r = v >> 11 & 31, g = v >> 5 & 63, b = v & 31;
            return {uint8_t(r << 3 | r >> 2), uint8_t(g << 2 | g >> 4), uint8_t(b << 3 | b >> 2), 255};
        }
        case EPF_A1R5G5B5: {
            uint16_t v;
            std::memcpy(&v, row + 2 * x, 2);
            const unsigned r = v >> 10 & 31, g = v >> 5 & 31, b = v & 31;
            return {uint8_t(r << 3 | r >> 2), uint8_t(g << 3 | g >> 2), uint8_t(b << 3 | b >> 2),
                    uint8_t(v & 0x8000 ? 255 : 0)};
        }
        case EPF_R8G8B8: {
            const unsigned char* p = row + 3 * x;
            return {p[0], p[1], p[2], 255};
        }
        case EPF_A8R8G8B8: {
            const unsigned char* p = row + 4 * x;
            return {p[1], p[2], p[3], p[0]};
        }
        case EPF_B8G8R8A8: {
            const unsigned char* p = row + 4 * x;
            return {p[2], p[1], p[0], p[3]};
        }
        case EPF_R8G8B8A8: {
            const unsigned char* p = row + 4 * x;
            return {p[0], p[1], p[2], p[3]};
        }
        default:
            return {};
    }
}

void CImage::setPixel(unsigned x, unsigned y, const SColor& c) {
    if (!m_data || x >= unsigned(m_dim.Width) || y >= unsigned(m_dim.Height)) return;
    unsigned char* row = rowAt(y);
    switch (m_format) {
        case EPF_A8:
            row[x] = c.a;
            break;
        case EPF_R5G6B5: {
            const uint16_t v = uint16_t((c.r & 0xF8) << 8 | (c.g & 0xFC) << 3 | c.b >> 3);
            std::memcpy(row + 2 * x, &v, 2);
            break;
        }
        case EPF_A1R5G5B5: {
            const uint16_t v = to16(c);
            std::memcpy(row + 2 * x, &v, 2);
            break;
        }
        case EPF_R8G8B8: {
            unsigned char* p = row + 3 * x;
            p[0] = c.r, p[1] = c.g, p[2] = c.b;
            break;
        }
        case EPF_A8R8G8B8: {
            unsigned char* p = row + 4 * x;
            p[0] = c.a, p[1] = c.r, p[2] = c.g, p[3] = c.b;
            break;
        }
        case EPF_B8G8R8A8: {
            unsigned char* p = row + 4 * x;
            p[0] = c.b, p[1] = c.g, p[2] = c.r, p[3] = c.a;
            break;
        }
        case EPF_R8G8B8A8: {
            unsigned char* p = row + 4 * x;
            p[0] = c.r, p[1] = c.g, p[2] = c.b, p[3] = c.a;
            break;
        }
        default:
            break;
    }
}

void CImage::fill(const SColor& c) {
    if (!m_data) return;
    uint32_t word;
    bool sixteen = false;
    switch (m_format) {
        case EPF_R5G6B5: {
            const uint32_t v = uint32_t((c.r & 0xF8) << 8 | (c.g & 0xFC) << 3 | c.b >> 3);
            word = v | v << 16;
            sixteen = true;
            break;
        }
        case EPF_A1R5G5B5: {
            const uint32_t v = to16(c);
            word = v | v << 16;
            sixteen = true;
            break;
        }
        case EPF_A8R8G8B8: word = uint32_t(c.a) | c.r << 8 | c.g << 16 | uint32_t(c.b) << 24; break;
        case EPF_B8G8R8A8: word = uint32_t(c.b) | c.g << 8 | c.r << 16 | uint32_t(c.a) << 24; break;
        case EPF_R8G8B8A8: word = c.toWord(); break;
        default: return;
    }
    const size_t words = m_size / 4;
    for (size_t i = 0; i < words; ++i) std::memcpy(m_data + 4 * i, &word, 4);
    if (sixteen && m_size % 4 >= 2) {
        const uint16_t half = uint16_t(word);
        std::memcpy(m_data + 4 * words, &half, 2);
    }
}

void CImage::copyTo(const boost::intrusive_ptr<CImage>& target, const core::position2d<int>& pos,
                    unsigned level) {
    copyTo(target, pos, core::rect<int>(0, 0, m_dim.Width, m_dim.Height), nullptr, level);
}

void CImage::copyTo(const boost::intrusive_ptr<CImage>& target, const core::position2d<int>& pos,
                    const core::rect<int>& sourceRect, const core::rect<int>* clipRect,
                    unsigned level) {
    if (!target || !m_data || !target->m_data || level > target->m_mipCount) return;
    const core::dimension2d<int> levelSize = target->getDimension(level);
    core::rect<int> clip(0, 0, levelSize.Width, levelSize.Height);
    if (clipRect) clip.clipAgainst(*clipRect);  // a given clip never reaches outside the level

    // The source rectangle stays inside this image; the position follows its left and top edges.
    core::rect<int> src = sourceRect;
    int x = pos.X, y = pos.Y;
    if (src.UpperLeftCorner.X < 0) x -= src.UpperLeftCorner.X, src.UpperLeftCorner.X = 0;
    if (src.UpperLeftCorner.Y < 0) y -= src.UpperLeftCorner.Y, src.UpperLeftCorner.Y = 0;
    src.LowerRightCorner.X = std::min(src.LowerRightCorner.X, m_dim.Width);
    src.LowerRightCorner.Y = std::min(src.LowerRightCorner.Y, m_dim.Height);

    if (x > clip.LowerRightCorner.X || y > clip.LowerRightCorner.Y) return;
    if (x < clip.UpperLeftCorner.X) {
        src.UpperLeftCorner.X += clip.UpperLeftCorner.X - x;
        x = clip.UpperLeftCorner.X;
    }
    if (y < clip.UpperLeftCorner.Y) {
        src.UpperLeftCorner.Y += clip.UpperLeftCorner.Y - y;
        y = clip.UpperLeftCorner.Y;
    }
    if (x + src.getWidth() > clip.LowerRightCorner.X)
        src.LowerRightCorner.X -= x + src.getWidth() - clip.LowerRightCorner.X;
    if (y + src.getHeight() > clip.LowerRightCorner.Y)
        src.LowerRightCorner.Y -= y + src.getHeight() - clip.LowerRightCorner.Y;
    const int w = src.getWidth(), h = src.getHeight();
    if (w <= 0 || h <= 0) return;

    unsigned char* dstBase = target->m_data;
    unsigned dstPitch = target->m_pitch;
    if (level >= 1) {
        dstBase = static_cast<unsigned char*>(target->getMipMapData(level));
        dstPitch = pf::computePitch(target->m_format, unsigned(levelSize.Width));
        if (!dstBase) return;
    }
    const unsigned char* from = m_data + size_t(src.UpperLeftCorner.Y) * m_pitch +
                                pf::computePitch(m_format, unsigned(src.UpperLeftCorner.X));
    unsigned char* to = dstBase + size_t(y) * dstPitch + pf::computePitch(target->m_format, unsigned(x));
    pf::convert(m_format, from, m_pitch, target->m_format, to, dstPitch, unsigned(w), unsigned(h),
                false);
}

}  // namespace pravik::video
