#pragma once
// JPEG through libjpeg (the 6b interface): the whole file is read into memory and decoded to
// R8G8B8 rows. Library errors end in the loader's jump-back point: logged, state destroyed,
// every buffer released, null returned.

#include "engine/video/image/IImageLoader.h"

namespace pravik::video {

class CImageLoaderJPG : public IImageLoader {
public:
    bool isALoadableFileExtension(const char* fileName) const override;  // ".jpg" or ".JPG"
    bool isALoadableFileFormat(io::IReadFile* file) const override;      // "JFIF" at offset 6
    boost::intrusive_ptr<CImage> loadImage(io::IReadFile* file) const override;
};

}  // namespace pravik::video
