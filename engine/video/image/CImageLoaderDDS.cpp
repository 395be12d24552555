#include "engine/video/image/CImageLoaderDDS.h"

#include "engine/video/image/CImageLoaderUtil.h"
#include "engine/video/image/pixel_format.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace pravik::video {

using namespace image_io;
namespace pf = pixel_format;

IImageLoader* createImageLoaderDDS() { return new CImageLoaderDDS(); }

namespace {

struct SDDSHeader {
    uint32_t size, flags, height, width, pitch, depth, mipCount;
    uint32_t pfSize, pfFlags, fourCC, masks[4], caps, caps2;
};

constexpr uint32_t DDSD_CAPS = 0x1, DDSD_PIXELFORMAT = 0x1000, DDSD_DEPTH = 0x800000;
constexpr uint32_t DDPF_ALPHAPIXELS = 0x1, DDPF_ALPHA = 0x2, DDPF_FOURCC = 0x4, DDPF_RGB = 0x40,
                   DDPF_LUMINANCE = 0x20000;

constexpr uint32_t fourCC(const char* s) {
    return uint32_t(uint8_t(s[0])) | uint32_t(uint8_t(s[1])) << 8 | uint32_t(uint8_t(s[2])) << 16 |
           uint32_t(uint8_t(s[3])) << 24;
}

bool readDDSHeader(io::IReadFile* file, SDDSHeader& h) {
    unsigned char b[124];
    if (!file->seek(4)) return false;
    const int32_t got = file->read(b, 124);
    if (got < 4) return false;
    h.size = le32(b);
    if (got != 124 || h.size != uint32_t(got)) return false;
    h.flags = le32(b + 4);
    h.height = le32(b + 8);
    h.width = le32(b + 12);
    h.pitch = le32(b + 16);
    h.depth = le32(b + 20);
    h.mipCount = le32(b + 24);
    h.pfSize = le32(b + 72);
    h.pfFlags = le32(b + 76);
    h.fourCC = le32(b + 80);
    for (int i = 0; i < 4; ++i) h.masks[i] = le32(b + 88 + 4 * i);
    h.caps = le32(b + 104);
    h.caps2 = le32(b + 108);
    return h.pfSize == 32;
}

unsigned floorLog2(uint32_t v) {
    unsigned n = 0;
    while (v > 1) v >>= 1, ++n;
    return n;
}

void logf(const char* format, const char* name, uint32_t a = 0, uint32_t b = 0, uint32_t c = 0,
          uint32_t d = 0) {
    char text[512];
    std::snprintf(text, sizeof text, format, name, a, b, c, d);
    logError(text);
}

}  // namespace

bool CImageLoaderDDS::isALoadableFileExtension(const char* fileName) const {
    return containsText(fileName, ".dds");
}

bool CImageLoaderDDS::isALoadableFileFormat(io::IReadFile* file) const {
    char tag[4];
    return file && file->read(tag, 4) == 4 && std::memcmp(tag, "DDS ", 4) == 0;
}

bool CImageLoaderDDS::readFileDesc(io::IReadFile* file, SImageFileDesc& desc) const {
    SDDSHeader h;
    if (!file || !readDDSHeader(file, h)) return false;
    const char* name = nameOf(file);
    if (h.caps2 & 0x200) {
        if ((h.caps2 & 0xFC00) != 0xFC00) {
            logf("loading %s: partial cube map not supported", name);
            return false;
        }
        desc.type = 2;
    } else {
        desc.type = (h.caps2 & 0x200000) ? 1 : 0;
    }
    desc.width = h.width;
    desc.height = h.height;
    desc.depth = (h.flags & DDSD_DEPTH) ? h.depth : 1;
    desc.hasMipmaps = (h.caps & 0x400000) != 0;
    if (desc.hasMipmaps) {
        const uint32_t largest = std::max({h.width, h.height, desc.depth});
        const unsigned expected = 1 + floorLog2(largest);
        if (h.mipCount != expected) {
            logf("loading %s: only complete mipmap chains are supported; expected %u, got %u", name,
                 expected, h.mipCount);
            return false;
        }
    }
    if (h.pfFlags & DDPF_FOURCC) {
        switch (h.fourCC) {
            case fourCC("DXT1"): desc.format = EPF_COMPRESSED_RGBA_S3TC_DXT1; break;
            case fourCC("PTC2"): desc.format = EPF_COMPRESSED_RGBA_PVRTC_2BPP; break;
            case fourCC("DXT2"):
            case fourCC("DXT3"): desc.format = EPF_COMPRESSED_RGBA_S3TC_DXT3; break;
            case fourCC("PTC4"): desc.format = EPF_COMPRESSED_RGBA_PVRTC_4BPP; break;
            case fourCC("DXT4"):
            case fourCC("DXT5"): desc.format = EPF_COMPRESSED_RGBA_S3TC_DXT5; break;
            default:
                desc.format = EPF_COUNT;
                logf("loading %s: unknown FourCC -- %c%c%c%c", name, h.fourCC & 0xFF, (h.fourCC >> 8) & 0xFF,
                     (h.fourCC >> 16) & 0xFF, h.fourCC >> 24);
                return false;
        }
        return true;
    }
    uint32_t r = 0, g = 0, b = 0, a = 0;
    if (h.pfFlags & DDPF_LUMINANCE) {
        r = g = b = h.masks[0];
    } else if (h.pfFlags & DDPF_RGB) {
        r = h.masks[0], g = h.masks[1], b = h.masks[2];
    }
    if (h.pfFlags & (DDPF_ALPHAPIXELS | DDPF_ALPHA)) a = h.masks[3];
    desc.format = pf::getFormat(r, g, b, a);
    if (desc.format == EPF_COUNT) {
        logf("loading %s: unknown pixel format (0x%08x, 0x%08x, 0x%08x, 0x%08x)", name, r, g, b, a);
        return false;
    }
    return true;
}

boost::intrusive_ptr<CImage> CImageLoaderDDS::loadImage(io::IReadFile* file) const {
    SDDSHeader h;
    if (!file || !readDDSHeader(file, h) || h.size != 124 ||
        (h.flags & (DDSD_CAPS | DDSD_PIXELFORMAT)) != (DDSD_CAPS | DDSD_PIXELFORMAT))
        return nullptr;
    if ((h.flags & DDSD_DEPTH) && h.depth != 0) {
        logError("UNSUPORTED DDS FORMAT TEXTURE");
        return nullptr;
    }
    if (!(h.pfFlags & DDPF_FOURCC)) {
        logError("UNKNOWN DDS FORMAT TEXTURE");
        return nullptr;
    }
    E_PIXEL_FORMAT format;
    switch (h.fourCC) {
        case fourCC("DXT1"):
            os::Printer::log("DDS : EPF_DXT1 format", ELL_INFORMATION);
            format = EPF_COMPRESSED_RGBA_S3TC_DXT1;
            break;
        case fourCC("DXT2"):
        case fourCC("DXT3"):
            os::Printer::log("DDS : EPF_DXT3 format", ELL_INFORMATION);
            format = EPF_COMPRESSED_RGBA_S3TC_DXT3;
            break;
        case fourCC("DXT4"):
        case fourCC("DXT5"):
            os::Printer::log("DDS : EPF_DXT5 format", ELL_INFORMATION);
            format = EPF_COMPRESSED_RGBA_S3TC_DXT5;
            break;
        default:
            return nullptr;
    }
    if (!sizeAcceptable(h.width, h.height, 1)) {
        logError("DDS dimensions not supported", nameOf(file));
        return nullptr;
    }
    // A chain longer than the halvings down to 1 x 1 adds nothing but 1 x 1 levels; cap it.
    const unsigned maxLevels = 1 + floorLog2(std::max(h.width, h.height));
    const unsigned levels = std::min(std::max(h.mipCount, 1u), maxLevels);
    uint64_t size = 0;
    for (unsigned i = 0; i < levels; ++i)
        size += pf::computeMipmapSizeInBytes(format, h.width, h.height, (unsigned char)i, false);
    if (size > remaining(file)) {
        logError("DDS level data runs past the end of the file", nameOf(file));
        return nullptr;
    }
    std::unique_ptr<unsigned char[]> buffer(new unsigned char[size]);
    if (!readExact(file, buffer.get(), uint32_t(size))) return nullptr;
    boost::intrusive_ptr<CImage> image =
        new CImage(format, core::dimension2d<int>(int(h.width), int(h.height)), buffer.release(),
                   unsigned(size), levels - 1, true, true);
    return image->getData() ? image : nullptr;
}

}  // namespace pravik::video
