#pragma once
// PNG through libpng: 8-bit RGB, RGBA, grey or grey-alpha (16-bit grey for L16). Bit-packed
// formats are converted to 8-bit channels first, and so are the byte orders that PNG has no
// form for (A8, A8L8, B8G8R8, A8B8G8R8); float, compressed, depth and stencil are refused.

#include "engine/video/image/IImageWriter.h"

namespace pravik::video {

class CImageWriterPNG : public IImageWriter {
public:
    bool isAWriteableFileExtension(const char* fileName) const override;  // ".png" or ".PNG"
    bool writeImage(io::IWriteFile* file, const boost::intrusive_ptr<CImage>& image,
                    unsigned param) const override;  // param is not read
};

}  // namespace pravik::video
