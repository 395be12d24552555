#pragma once
// Windows bitmaps: a 54-byte header ("BM", pixel data offset @10, width @18, height @22 rows
// stored bottom first, bits per pixel @28: 1, 4, 8, 16, 24, 32, compression @30: 0 none,
// 1 RLE8, 2 RLE4, 3 bit fields, data size @34), then 32-bit entries up to the pixel data:
// the colour table (B, G, R, unused) or the red, green, blue and alpha masks. Rows are padded to
// 4 bytes. The header is checked against the file size before anything is read or allocated.

#include "engine/video/image/IImageLoader.h"

namespace pravik::video {

class CImageLoaderBMP : public IImageLoader {
public:
    bool isALoadableFileExtension(const char* fileName) const override;  // ".bmp" or ".BMP"
    bool isALoadableFileFormat(io::IReadFile* file) const override;      // "BM" at the position
    boost::intrusive_ptr<CImage> loadImage(io::IReadFile* file) const override;

    // Run-length decoders into rows of outPitch bytes; they stop at the end of either buffer.
    static void decompress8BitRLE(const unsigned char* in, size_t inSize, unsigned char* out,
                                  size_t outSize, unsigned outPitch);
    static void decompress4BitRLE(const unsigned char* in, size_t inSize, unsigned char* out,
                                  size_t outSize, unsigned outPitch);
};

}  // namespace pravik::video
