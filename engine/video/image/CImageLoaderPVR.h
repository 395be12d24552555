#pragma once
// PowerVR legacy textures: an optional 8-byte prefix "BTEXpvr" and a zero byte (".btex" files),
// a 52-byte header (size @0 = 52, height @4, width @8, mip map count @12 counting the levels
// below the top, flags @16: pixel type in bits 0-7, 0x100 mipmaps, 0x200 twiddled, 0x1000 cube
// map, 0x4000 volume, 0x8000 alpha; data size of one surface @20, bits per pixel @24, masks
// @28-43, "PVR!" @44, surface count @48), then the surfaces, each with its levels largest first.
// The file size must match the header's data size exactly.

#include "engine/video/image/IImageLoader.h"

namespace pravik::video {

class CImageLoaderPVR : public IImageLoader {
public:
    bool isALoadableFileExtension(const char* fileName) const override;  // ".pvr" or ".btex"
    bool isALoadableFileFormat(io::IReadFile* file) const override;      // keeps the position
    boost::intrusive_ptr<CImage> loadImage(io::IReadFile* file) const override;

    // What a texture takes from the header; false with a logged reason when it is refused.
    bool readFileDesc(io::IReadFile* file, SImageFileDesc& desc) const;
};

}  // namespace pravik::video
