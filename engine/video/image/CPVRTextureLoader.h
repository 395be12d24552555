#pragma once
// PVR files (and ".btex" files behind their 8-byte prefix) filled straight into textures. With
// a requested descriptor the largest levels of every surface are skipped, so that a reduced
// texture of requestedLevels further levels is filled from the same file.

#include "engine/video/image/CImageLoaderPVR.h"

namespace pravik::video {

class CPVRTextureLoader : public CImageLoaderPVR {
public:
    bool hasTextureLoadInterface() const override { return true; }
    bool loadTextureHeader(io::IReadFile* file, STextureDesc& desc) const override;
    bool loadTextureData(io::IReadFile* file, const boost::intrusive_ptr<ITexture>& texture,
                         const STextureDesc& desc, const STextureDesc* requested,
                         unsigned requestedLevels) const override;
};

IImageLoader* createTextureLoaderPVR();  // count 0

}  // namespace pravik::video
