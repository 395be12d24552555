#pragma once
// One stateless writer per image file format. The factories return a writer whose count is
// already 1: the caller owns that reference and drops it.

#include "engine/IReferenceCounted.h"
#include "engine/video/image/CImage.h"

#include <boost/intrusive_ptr.hpp>

namespace pravik::io {
class IWriteFile;
}

namespace pravik::video {

class IImageWriter : public IReferenceCounted {
public:
    virtual bool isAWriteableFileExtension(const char* fileName) const = 0;
    // False when the image cannot be written in this format or the file refuses the bytes.
    virtual bool writeImage(io::IWriteFile* file, const boost::intrusive_ptr<CImage>& image,
                            unsigned param) const = 0;

protected:
    IImageWriter() : IReferenceCounted(1) {}
};

IImageWriter* createImageWriterJPG();  // count 1
IImageWriter* createImageWriterPNG();
IImageWriter* createImageWriterTGA();

}  // namespace pravik::video
