#pragma once
// DirectDraw Surface files: "DDS " and a 124-byte header (size @0 = 124, flags @4, height @8,
// width @12, pitch or linear size @16, depth @20, mip map count @24 counting the top level,
// pixel format size @72 = 32, its flags @76, FourCC @80, masks @88-100, caps @104, caps2 @108;
// offsets within the header, file offset + 4); the levels follow from file offset 128.
// The image path takes compressed (DXT) data only; sizes are checked against the file.

#include "engine/video/image/IImageLoader.h"

namespace pravik::video {

class CImageLoaderDDS : public IImageLoader {
public:
    bool isALoadableFileExtension(const char* fileName) const override;  // contains ".dds"
    bool isALoadableFileFormat(io::IReadFile* file) const override;      // "DDS " at the position
    boost::intrusive_ptr<CImage> loadImage(io::IReadFile* file) const override;

    // What a texture takes from the header (type, size, mipmaps, format); false with a logged
    // reason for partial cube maps, incomplete chains and unknown formats.
    bool readFileDesc(io::IReadFile* file, SImageFileDesc& desc) const;
};

}  // namespace pravik::video
