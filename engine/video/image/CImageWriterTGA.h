#pragma once
// Uncompressed true-colour TGA: an 18-byte header, rows top first (16-bit images as A1R5G5B5,
// 24-bit as B8G8R8, all others as B8G8R8A8) and the 26-byte footer the loader recognises.

#include "engine/video/image/IImageWriter.h"

namespace pravik::video {

class CImageWriterTGA : public IImageWriter {
public:
    bool isAWriteableFileExtension(const char* fileName) const override;  // ".tga" or ".TGA"
    bool writeImage(io::IWriteFile* file, const boost::intrusive_ptr<CImage>& image,
                    unsigned param) const override;  // param is not read
};

}  // namespace pravik::video
