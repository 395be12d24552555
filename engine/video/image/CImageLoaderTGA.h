#pragma once
// Truevision TGA, uncompressed (type 2) and run-length encoded (type 10) true colour of 16, 24
// or 32 bits. An 18-byte header (ID length @0, colour map type @1, image type @2, colour map
// length @5, entry size @7, width @12, height @14, depth @16, descriptor @17: 0x20 = top row
// first), the ID, a colour map (skipped), the pixels; recognised by content through the 26-byte
// footer ending in "TRUEVISION-XFILE." and a zero byte.

#include "engine/video/image/IImageLoader.h"

namespace pravik::video {

class CImageLoaderTGA : public IImageLoader {
public:
    bool isALoadableFileExtension(const char* fileName) const override;  // ".tga" or ".TGA"
    bool isALoadableFileFormat(io::IReadFile* file) const override;      // by the footer
    boost::intrusive_ptr<CImage> loadImage(io::IReadFile* file) const override;
};

}  // namespace pravik::video
