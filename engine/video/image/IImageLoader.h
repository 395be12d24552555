#pragma once
// One stateless loader per image file format. The texture manager asks each, in turn, whether an
// open file is its own (by content, then by name) and has the chosen one decode it. Loaders start
// with a count of 0 and are held through boost::intrusive_ptr.
//
// The texture path (descriptor first, then filling a created texture) is the seam to the texture
// base: the loaders that fill textures directly override the last three operations.

#include "engine/IReferenceCounted.h"
#include "engine/video/image/CImage.h"

#include <boost/intrusive_ptr.hpp>

namespace pravik::io {
class IReadFile;
}

namespace pravik::video {

struct STextureDesc;
class ITexture;

class IImageLoader : public IReferenceCounted {
public:
    virtual bool isALoadableFileExtension(const char* fileName) const = 0;
    virtual bool isALoadableFileFormat(io::IReadFile* file) const = 0;  // may move the position
    virtual boost::intrusive_ptr<CImage> loadImage(io::IReadFile* file) const = 0;  // or null

    virtual bool hasTextureLoadInterface() const { return false; }
    virtual bool loadTextureHeader(io::IReadFile*, STextureDesc&) const { return false; }
    virtual bool loadTextureData(io::IReadFile*, const boost::intrusive_ptr<ITexture>&,
                                 const STextureDesc&, const STextureDesc* requested,
                                 unsigned requestedLevels) const {
        (void)requested;
        (void)requestedLevels;
        return false;
    }

protected:
    IImageLoader() : IReferenceCounted(0) {}
};

// What a texture-capable loader learns from its file header; the fields a texture descriptor
// takes from the file.
struct SImageFileDesc {
    unsigned type = 0;  // 0 "2D", 1 "3D", 2 "Cube Map"
    unsigned width = 0, height = 0, depth = 1;
    bool hasMipmaps = false;
    E_PIXEL_FORMAT format = EPF_COUNT;
};

IImageLoader* createImageLoaderBMP();  // count 0
IImageLoader* createImageLoaderJPG();
IImageLoader* createImageLoaderTGA();
IImageLoader* createImageLoaderPNG();
IImageLoader* createImageLoaderDDS();
IImageLoader* createImageLoaderPVR();

}  // namespace pravik::video
