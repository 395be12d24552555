#include "engine/video/image/CImageWriterTGA.h"

#include "engine/io/IWriteFile.h"
#include "engine/video/image/CImageLoaderUtil.h"
#include "engine/video/image/pixel_format.h"

#include <vector>

namespace pravik::video {

namespace pf = pixel_format;

IImageWriter* createImageWriterTGA() { return new CImageWriterTGA(); }

bool CImageWriterTGA::isAWriteableFileExtension(const char* fileName) const {
    return image_io::containsText(fileName, ".tga") || image_io::containsText(fileName, ".TGA");
}

bool CImageWriterTGA::writeImage(io::IWriteFile* file, const boost::intrusive_ptr<CImage>& image,
                                 unsigned) const {
    if (!file || !image) return false;
    const core::dimension2d<int> dim = image->getDimension();
    // The header holds 16-bit sizes: a larger image cannot be described.
    if (dim.Width < 0 || dim.Height < 0 || dim.Width > 0xFFFF || dim.Height > 0xFFFF) return false;
    const unsigned bits = image->getBitsPerPixel();
    const E_PIXEL_FORMAT stored = bits == 16 ? EPF_A1R5G5B5 : bits == 24 ? EPF_B8G8R8 : EPF_B8G8R8A8;
    unsigned char h[18] = {};
    h[2] = 2;
    h[12] = uint8_t(dim.Width), h[13] = uint8_t(dim.Width >> 8);
    h[14] = uint8_t(dim.Height), h[15] = uint8_t(dim.Height >> 8);
    h[16] = uint8_t(bits == 16 ? 16 : bits == 24 ? 24 : 32);
    h[17] = uint8_t(bits == 16 ? 0x21 : bits == 24 ? 0x20 : 0x28);
    if (file->write(h, 18) != 18) return false;
    if (!image->getData()) return false;

    const unsigned rowBytes = pf::computePitch(stored, unsigned(dim.Width));
    std::vector<unsigned char> row(rowBytes ? rowBytes : 1);
    const auto* data = static_cast<const unsigned char*>(image->getData());
    for (int y = 0; y < dim.Height; ++y) {
        if (!pf::convert(image->getColorFormat(), data + size_t(y) * image->getPitch(), image->getPitch(),
                         stored, row.data(), rowBytes, unsigned(dim.Width), 1, false))
            return false;  // a format that has no TGA form
        if (file->write(row.data(), rowBytes) != int32_t(rowBytes)) return false;
    }
    static const char footer[26] = {0, 0, 0, 0, 0, 0, 0, 0, 'T', 'R', 'U', 'E', 'V', 'I', 'S', 'I', 'O',
                                    'N', '-', 'X', 'F', 'I', 'L', 'E', '.', 0};
    return file->write(footer, 26) == 26;
}

}  // namespace pravik::video
