#pragma once
// PNG through libpng: every colour type and bit depth is expanded to 8-bit R8G8B8 or, with an
// alpha channel or a transparency chunk, R8G8B8A8. Library errors end in the loader's
// jump-back point: logged, structures destroyed, null returned.

#include "engine/video/image/IImageLoader.h"

namespace pravik::video {

class CImageLoaderPng : public IImageLoader {
public:
    bool isALoadableFileExtension(const char* fileName) const override;  // last extension .png/.PNG
    bool isALoadableFileFormat(io::IReadFile* file) const override;      // the PNG signature
    boost::intrusive_ptr<CImage> loadImage(io::IReadFile* file) const override;
};

}  // namespace pravik::video
