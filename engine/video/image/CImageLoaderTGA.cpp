#include "engine/video/image/CImageLoaderTGA.h"

#include "engine/video/image/CImageLoaderUtil.h"
#include "engine/video/image/pixel_format.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace pravik::video {

using namespace image_io;
namespace pf = pixel_format;

IImageLoader* createImageLoaderTGA() { return new CImageLoaderTGA(); }

bool CImageLoaderTGA::isALoadableFileExtension(const char* fileName) const {
    return containsText(fileName, ".tga") || containsText(fileName, ".TGA");
}

bool CImageLoaderTGA::isALoadableFileFormat(io::IReadFile* file) const {
    if (!file || file->getSize() < 26) return false;
    unsigned char footer[26];
    if (!file->seek(file->getSize() - 26) || !readExact(file, footer, 26)) return false;
    return std::memcmp(footer + 8, "TRUEVISION-XFILE.", 18) == 0;  // with its zero byte
}

boost::intrusive_ptr<CImage> CImageLoaderTGA::loadImage(io::IReadFile* file) const {
    if (!file) return nullptr;
    unsigned char h[18];
    if (!readExact(file, h, 18)) {
        logError("TGA file too short", nameOf(file));
        return nullptr;
    }
    if (h[0] != 0 && !file->seek(h[0], true)) return nullptr;
    if (h[1] != 0) {
        const uint32_t mapBytes = uint32_t(h[7] / 8) * le16(h + 5);
        if (mapBytes > remaining(file) || !file->seek(int32_t(mapBytes), true)) {
            logError("TGA colour map runs past the end of the file", nameOf(file));
            return nullptr;
        }
    }
    E_PIXEL_FORMAT imageFormat, fileFormat;
    switch (h[16]) {
        case 24: imageFormat = EPF_R8G8B8, fileFormat = EPF_B8G8R8; break;
        case 32: imageFormat = EPF_R8G8B8A8, fileFormat = EPF_B8G8R8A8; break;
        case 16: imageFormat = fileFormat = EPF_A1R5G5B5; break;
        default:
            logError("Unsupported TGA format", nameOf(file));
            return nullptr;
    }
    const unsigned type = h[2];
    if (type != 2 && type != 10) {
        logError("Unsupported TGA file type", nameOf(file));
        return nullptr;
    }
    const unsigned width = le16(h + 12), height = le16(h + 14), bpp = h[16] / 8u;
    if (!sizeAcceptable(width, height, bpp)) {
        logError("TGA dimensions not supported", nameOf(file));
        return nullptr;
    }
    const size_t bytes = size_t(width) * height * bpp;
    if (type == 2 && bytes > remaining(file)) {
        logError("TGA pixel data cut short", nameOf(file));
        return nullptr;
    }
    boost::intrusive_ptr<CImage> image = new CImage(imageFormat, core::dimension2d<int>(int(width), int(height)));
    if (!image->getData()) return nullptr;
    const bool flip = (h[17] & 0x20) == 0;
    unsigned char* data = static_cast<unsigned char*>(image->getData());
    if (type == 2) {
        if (bytes > remaining(file) || !readExact(file, data, uint32_t(bytes))) {
            logError("TGA pixel data cut short", nameOf(file));
            return nullptr;
        }
        pf::convert(fileFormat, data, width * bpp, imageFormat, data, width * bpp, width, height, flip);
        return image;
    }

    // Packets: c < 128 is followed by c + 1 raw pixels, c >= 128 by one pixel repeated c - 127
    // times. The whole rest of the file is read once; a packet is cut at the image's end.
    const uint32_t rest = remaining(file);
    if (bytes > uint64_t(rest) * 128) {  // no packet expands more than 128 times
        logError("TGA pixel data cut short", nameOf(file));
        return nullptr;
    }
    std::vector<unsigned char> in(rest);
    if (!readExact(file, in.data(), rest)) return nullptr;
    std::vector<unsigned char> out(bytes);
    size_t p = 0, o = 0;
    while (o < bytes) {
        if (p >= in.size()) {
            logError("TGA pixel data cut short", nameOf(file));
            return nullptr;
        }
        const unsigned c = in[p++];
        const size_t count = c < 128 ? c + 1 : c - 127;
        const size_t take = std::min(count * bpp, bytes - o);
        if (c < 128) {
            if (take > in.size() - p) {
                logError("TGA pixel data cut short", nameOf(file));
                return nullptr;
            }
            std::memcpy(&out[o], &in[p], take);
            p += count * bpp;
        } else {
            if (bpp > in.size() - p) {
                logError("TGA pixel data cut short", nameOf(file));
                return nullptr;
            }
            for (size_t i = 0; i < take; i += bpp) std::memcpy(&out[o + i], &in[p], bpp);
            p += bpp;
        }
        o += take;
    }
    pf::convert(fileFormat, out.data(), width * bpp, imageFormat, data, image->getPitch(), width, height, flip);
    return image;
}

}  // namespace pravik::video
