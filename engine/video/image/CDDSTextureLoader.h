#pragma once
// DDS files filled straight into textures: the header becomes the texture's descriptor and the
// pixel data (from file offset 128) is read into the created texture, converted where its
// format or pitch differs. The image path stays CImageLoaderDDS's.

#include "engine/video/image/CImageLoaderDDS.h"

namespace pravik::video {

class CDDSTextureLoader : public CImageLoaderDDS {
public:
    bool hasTextureLoadInterface() const override { return true; }
    // Type, format, size and mipmaps from the header; false with a logged reason.
    bool loadTextureHeader(io::IReadFile* file, STextureDesc& desc) const override;
    // The last two arguments are not read: a DDS file is always loaded whole.
    bool loadTextureData(io::IReadFile* file, const boost::intrusive_ptr<ITexture>& texture,
                         const STextureDesc& desc, const STextureDesc* requested,
                         unsigned requestedLevels) const override;
};

IImageLoader* createTextureLoaderDDS();  // count 0

}  // namespace pravik::video
