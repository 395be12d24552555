#pragma once
// Baseline JPEG through libjpeg (the 6b interface), three RGB components. A write error or any
// other library error is reported as false; the process goes on.

#include "engine/video/image/IImageWriter.h"

namespace pravik::video {

class CImageWriterJPG : public IImageWriter {
public:
    // The last extension is exactly ".jpg", ".jpeg", ".JPG" or ".JPEG".
    bool isAWriteableFileExtension(const char* fileName) const override;
    // param: quality 1-100, 0 for 75.
    bool writeImage(io::IWriteFile* file, const boost::intrusive_ptr<CImage>& image,
                    unsigned param) const override;
};

}  // namespace pravik::video
