#include "engine/video/image/CImageLoaderPVR.h"

#include "engine/video/image/CImageLoaderUtil.h"
#include "engine/video/image/pixel_format.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace pravik::video {

using namespace image_io;
namespace pf = pixel_format;

IImageLoader* createImageLoaderPVR() { return new CImageLoaderPVR(); }

namespace {

struct SPVRHeader {
    uint32_t headerSize, height, width, mipCount, flags, dataSize, bpp, tag, surfaces;
};

constexpr uint32_t PVR_MIPMAPS = 0x100, PVR_TWIDDLED = 0x200, PVR_CUBE = 0x1000,
                   PVR_VOLUME = 0x4000, PVR_ALPHA = 0x8000;

unsigned floorLog2(uint32_t v) {
    unsigned n = 0;
    while (v > 1) v >>= 1, ++n;
    return n;
}

void logName(const char* format, const char* name, unsigned value = 0) {
    char text[512];
    std::snprintf(text, sizeof text, format, name, value);
    logError(text);
}

bool readPVRHeader(io::IReadFile* file, SPVRHeader& h, bool& prefixed) {
    unsigned char b[60];
    if (!file->seek(0) || file->read(b, 8) != 8) return false;
    prefixed = std::memcmp(b, "BTEXpvr", 8) == 0;
    const unsigned char* p = b;
    if (prefixed) {
        if (file->read(b, 52) != 52) return false;
    } else if (file->read(b + 8, 44) != 44) {
        return false;
    }
    h.headerSize = le32(p);
    h.height = le32(p + 4);
    h.width = le32(p + 8);
    h.mipCount = le32(p + 12);
    h.flags = le32(p + 16);
    h.dataSize = le32(p + 20);
    h.bpp = le32(p + 24);
    h.surfaces = le32(p + 48);
    if (std::memcmp(p + 44, "PVR!", 4) != 0 || h.headerSize != 52) return false;
    if ((h.flags & PVR_MIPMAPS) && h.mipCount == 0) return false;
    if ((h.flags & PVR_CUBE) && h.surfaces != 6) return false;
    if (h.flags & PVR_MIPMAPS) {
        const uint32_t d = (h.flags & PVR_VOLUME) ? h.surfaces : 1;
        const unsigned expected = std::max({floorLog2(h.width), floorLog2(h.height), floorLog2(d)});
        if (h.mipCount != expected) {
            logName("loading %s: incomplete mipmap chain not supported", nameOf(file));
            return false;
        }
    }
    return true;
}

E_PIXEL_FORMAT formatOf(uint32_t type, bool alpha) {
    switch (type) {
        case 0: return EPF_A4R4G4B4;
        case 1: return EPF_A1R5G5B5;
        case 2: case 19: return EPF_R5G6B5;
        case 4: case 21: return EPF_R8G8B8;
        case 5: case 26: return EPF_B8G8R8A8;
        case 7: case 22: return EPF_L8;
        case 8: case 23: return EPF_L8A8;
        case 12: case 24: return alpha ? EPF_COMPRESSED_RGBA_PVRTC_2BPP : EPF_COMPRESSED_RGB_PVRTC_2BPP;
        case 13: case 25: return alpha ? EPF_COMPRESSED_RGBA_PVRTC_4BPP : EPF_COMPRESSED_RGB_PVRTC_4BPP;
        case 16: return EPF_R4G4B4A4;
        case 17: return EPF_R5G5B5A1;
        case 18: return EPF_R8G8B8A8;
        case 32: return alpha ? EPF_COMPRESSED_RGBA_S3TC_DXT1 : EPF_COMPRESSED_RGB_S3TC_DXT1;
        case 33: case 34: return EPF_COMPRESSED_RGBA_S3TC_DXT3;
        case 35: case 36: return EPF_COMPRESSED_RGBA_S3TC_DXT5;
        case 42: return EPF_A2B10G10R10;
        case 57: return EPF_A8;
        case 59: return EPF_L16;
        case 80: return EPF_RGBA32F;
        case 83: return EPF_RGB32F;
        case 86: return EPF_RGBA16F;
        default: return EPF_COUNT;
    }
}

bool processPVRHeader(io::IReadFile* file, const SPVRHeader& h, SImageFileDesc& desc, bool prefixed) {
    desc.type = (h.flags & PVR_CUBE) ? 2 : (h.flags & PVR_VOLUME) ? 1 : 0;
    desc.width = h.width;
    desc.height = h.height;
    desc.depth = (h.flags & PVR_VOLUME) ? h.surfaces : 1;
    desc.hasMipmaps = (h.flags & PVR_MIPMAPS) != 0;
    const int64_t payload = int64_t(file->getSize()) - 52 - (prefixed ? 8 : 0);
    if (payload != int64_t(h.dataSize) * ((h.flags & PVR_CUBE) ? 6 : 1)) {
        logName("loading %s: file size mismatches header info", nameOf(file));
        return false;
    }
    desc.format = formatOf(h.flags & 0xFF, (h.flags & PVR_ALPHA) != 0);
    if (desc.format == EPF_COUNT) {
        logName("loading %s: pixel format %0x02u not supported", nameOf(file), h.flags & 0xFF);
        return false;
    }
    if ((h.flags & PVR_TWIDDLED) && !pf::desc(desc.format).has(EPFF_COMPRESSED)) {
        logName("loading %s: twiddled format not supported", nameOf(file));
        return false;
    }
    // The data must hold every level the header declares; the header's data size alone could
    // make an image describe pixels the file never had. The pixel bound keeps each level's
    // size (at most 16 bytes a pixel) within 32 bits.
    const uint64_t pixels = uint64_t(h.width) * h.height * desc.depth;
    if (h.width == 0 || h.height == 0 || pixels > (uint64_t(1) << 26)) {
        logName("loading %s: dimensions not supported", nameOf(file));
        return false;
    }
    const unsigned levels = desc.hasMipmaps ? h.mipCount + 1 : 1;
    uint64_t required = 0;
    for (unsigned i = 0; i < levels; ++i)
        required += pf::computeMipmapSizeInBytes(desc.format, h.width, h.height, desc.depth, (unsigned char)i, false);
    if (required > h.dataSize) {
        logName("loading %s: file size mismatches header info", nameOf(file));
        return false;
    }
    return true;
}

}  // namespace

bool CImageLoaderPVR::isALoadableFileExtension(const char* fileName) const {
    return containsText(fileName, ".pvr") || containsText(fileName, ".btex");
}

bool CImageLoaderPVR::isALoadableFileFormat(io::IReadFile* file) const {
    if (!file) return false;
    const int32_t pos = file->getPos();
    unsigned char b[52];
    const int32_t got = file->read(b, 52);
    file->seek(pos);
    if (got == 52 && le32(b) == 52 && std::memcmp(b + 44, "PVR!", 4) == 0) return true;
    return got >= 8 && std::memcmp(b, "BTEXpvr", 8) == 0;
}

bool CImageLoaderPVR::readFileDesc(io::IReadFile* file, SImageFileDesc& desc) const {
    SPVRHeader h;
    bool prefixed = false;
    return file && readPVRHeader(file, h, prefixed) && processPVRHeader(file, h, desc, prefixed);
}

boost::intrusive_ptr<CImage> CImageLoaderPVR::loadImage(io::IReadFile* file) const {
    SPVRHeader h;
    bool prefixed = false;
    SImageFileDesc desc;
    if (!file || !readPVRHeader(file, h, prefixed) || !processPVRHeader(file, h, desc, prefixed))
        return nullptr;
    if (!sizeAcceptable(h.width, h.height, 1)) {
        logError("PVR dimensions not supported", nameOf(file));
        return nullptr;
    }
    // The size check above ties the data size to the file, so this allocation is bounded by it.
    std::unique_ptr<unsigned char[]> buffer(new unsigned char[h.dataSize ? h.dataSize : 1]);
    if (!readExact(file, buffer.get(), h.dataSize)) {
        logError("corrupt PVR file", nameOf(file));
        return nullptr;
    }
    boost::intrusive_ptr<CImage> image =
        new CImage(desc.format, core::dimension2d<int>(int(h.width), int(h.height)), buffer.release(),
                   h.dataSize, desc.hasMipmaps ? h.mipCount : 0, true, true);
    if (!image->getData()) {
        logError("corrupt PVR file", nameOf(file));
        return nullptr;
    }
    return image;
}

}  // namespace pravik::video
