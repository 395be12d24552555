#pragma once
// The engine's CPU-side picture: a block of pixels in one pixel format with a width, a height, a
// row pitch and, optionally, a chain of smaller levels down to 1x1. Counted (starts at 0, held
// through boost::intrusive_ptr). Memory the image owns comes from new unsigned char[]; blocks
// handed over with ownsData must come from there too. An image whose format is EPF_COUNT, or
// whose size could not be allocated, is empty: no data, width and height 0.

#include "engine/IReferenceCounted.h"
#include "engine/core/dimension2d.h"
#include "engine/core/position2d.h"
#include "engine/core/rect.h"
#include "engine/video/image/EPixelFormat.h"
#include "engine/video/SColor.h"

#include <boost/intrusive_ptr.hpp>

namespace pravik::video {

class CImage : public IReferenceCounted {
public:
    CImage(E_PIXEL_FORMAT format, const core::dimension2d<int>& size);
    CImage(E_PIXEL_FORMAT format, const core::dimension2d<int>& size, bool withMipmaps);
    // Over the caller's level-0 block (useDirectly) or over a copy of pitch x height bytes.
    CImage(E_PIXEL_FORMAT format, const core::dimension2d<int>& size, void* data,
           bool useDirectly, bool ownsData);
    // As above with a null-terminated array of levels 1, 2, ... down to 1x1.
    CImage(E_PIXEL_FORMAT format, const core::dimension2d<int>& size, void* data, void** levels,
           bool useDirectly, bool ownsData);
    // One contiguous block of dataSize bytes: level 0 then levelCount smaller levels. Levels
    // that would lie past dataSize are dropped from the chain.
    CImage(E_PIXEL_FORMAT format, const core::dimension2d<int>& size, void* data,
           unsigned dataSize, unsigned levelCount, bool useDirectly, bool ownsData);
    // A copy of the part of source at pos with the given size, cut to what source holds.
    CImage(const boost::intrusive_ptr<CImage>& source, const core::position2d<int>& pos,
           const core::dimension2d<int>& size);
    // A copy of source converted to format; empty when the conversion is refused.
    CImage(E_PIXEL_FORMAT format, const boost::intrusive_ptr<CImage>& source);
    ~CImage() override;

    CImage(const CImage&) = delete;
    CImage& operator=(const CImage&) = delete;

    E_PIXEL_FORMAT getColorFormat() const { return m_format; }
    core::dimension2d<int> getDimension(unsigned level = 0) const;
    unsigned getPitch() const { return m_pitch; }                  // bytes per row of level 0
    unsigned getImageDataSizeInBytes() const { return m_size; }    // level 0, or the whole block
    unsigned getBytesPerPixel() const;
    unsigned getBitsPerPixel() const;
    void* getData() { return m_data; }
    const void* getData() const { return m_data; }
    unsigned getMipMapCount() const { return m_mipCount; }        // levels below level 0
    void* getMipMapData(unsigned level) const;                    // level >= 1, or nullptr
    bool hasSeparateMipMaps() const { return m_separateLevels; }

    SColor getPixel(unsigned x, unsigned y) const;  // all zero outside or for other formats
    void setPixel(unsigned x, unsigned y, const SColor& color);
    void fill(const SColor& color);

    void copyTo(const boost::intrusive_ptr<CImage>& target, const core::position2d<int>& pos,
                const core::rect<int>& sourceRect, const core::rect<int>* clipRect,
                unsigned level);
    void copyTo(const boost::intrusive_ptr<CImage>& target, const core::position2d<int>& pos,
                unsigned level = 0);
    void drawLine(const core::position2d<int>& from, const core::position2d<int>& to,
                  const SColor& color);

    // Box-filter scaling into width x height pixels of format at target (pitch 0: natural).
    void copyToScaling(void* target, unsigned width, unsigned height, E_PIXEL_FORMAT format,
                       unsigned pitch, int bias);
    void copyToScaling(const boost::intrusive_ptr<CImage>& target, int bias);
    void copyToScalingBoxFilter(const boost::intrusive_ptr<CImage>& target, int bias);

    // Filled or blended rectangles (A1R5G5B5, A8R8G8B8, B8G8R8A8, R8G8B8A8); false when the
    // format is not handled or nothing is left after clipping.
    bool drawRectangle(const core::rect<int>& rect, const SColor& color);
    bool copyToWithAlpha(const boost::intrusive_ptr<CImage>& target,
                         const core::position2d<int>& pos, const core::rect<int>& sourceRect,
                         const SColor& color, const core::rect<int>* clipRect = nullptr);

private:
    void initData(bool withLevels, bool wantSeparateLevels);
    void allocateSeparateLevels();
    void makeEmpty();
    unsigned char* rowAt(unsigned y) { return m_data + size_t(y) * m_pitch; }
    const unsigned char* rowAt(unsigned y) const { return m_data + size_t(y) * m_pitch; }

    unsigned char* m_data = nullptr;
    unsigned char** m_levels = nullptr;  // levels 1, 2, ..., then nullptr
    core::dimension2d<int> m_dim;
    unsigned m_pitch = 0;
    unsigned m_size = 0;
    E_PIXEL_FORMAT m_format = EPF_COUNT;
    unsigned m_mipCount = 0;
    bool m_separateLevels = false;
    bool m_ownsData = true;
};

using CImagePtr = boost::intrusive_ptr<CImage>;

}  // namespace pravik::video
