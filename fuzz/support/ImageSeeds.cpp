#include "fuzz/support/ImageSeeds.h"

#include "engine/io/CMemoryWriteFile.h"
#include "engine/video/image/CImage.h"
#include "engine/video/image/CImageWriterJPG.h"
#include "engine/video/image/CImageWriterPNG.h"
#include "engine/video/image/CImageWriterTGA.h"
#include "tools/formats/Bytes.h"
#include "tools/formats/DdsWriter.h"
#include "tools/formats/PvrWriter.h"

namespace {

using namespace pravik;
using namespace pravik::video;

CImagePtr pattern(E_PIXEL_FORMAT format, int width, int height) {
    CImagePtr image = new CImage(format, core::dimension2d<int>(width, height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image->setPixel(unsigned(x), unsigned(y), SColor(uint8_t(x * 28), uint8_t(y * 50), 7, uint8_t(x * y)));
    return image;
}

std::string written(const IImageWriter& writer, const CImagePtr& image, unsigned param = 0) {
    auto* file = new io::CMemoryWriteFile();
    std::string bytes;
    if (writer.writeImage(file, image, param))
        bytes.assign(reinterpret_cast<const char*>(file->getBuffer()), file->getBufferSize());
    file->drop();
    return bytes;
}

// Windows bitmaps: a 54-byte header, the colour table, then the rows.
std::string bmp(unsigned bits, unsigned compression, const std::vector<uint32_t>& table, std::string_view pixels,
                int width, int height) {
    formats::Bytes b;
    b.raw("BM").u32(uint32_t(54 + table.size() * 4 + pixels.size())).u32(0).u32(uint32_t(54 + table.size() * 4));
    b.u32(40).u32(uint32_t(width)).u32(uint32_t(height)).u16(1).u16(bits).u32(compression);
    b.u32(uint32_t(pixels.size())).u32(2835).u32(2835).u32(uint32_t(table.size())).u32(0);
    for (uint32_t entry : table) b.u32(entry);
    return b.raw(pixels).data;
}

}  // namespace

std::vector<std::string> imageSeeds(ImageKind kind) {
    switch (kind) {
    case ImageKind::PNG:
        return {written(CImageWriterPNG(), pattern(EPF_R8G8B8A8, 9, 5)), written(CImageWriterPNG(), pattern(EPF_R8G8B8, 3, 7))};
    case ImageKind::JPG:
        return {written(CImageWriterJPG(), pattern(EPF_R8G8B8, 17, 9), 80)};
    case ImageKind::TGA: {
        formats::Bytes rle;  // run-length coded, 24 bits, 4x1
        rle.u8(0).u8(0).u8(10).zeros(9).u16(4).u16(1).u8(24).u8(0);
        rle.raw(std::string_view("\x81\x01\x02\x03\x01\x04\x05\x06\x07\x08\x09", 11));
        return {written(CImageWriterTGA(), pattern(EPF_R8G8B8A8, 9, 5)), rle.data};
    }
    case ImageKind::BMP:
        return {bmp(8, 0, {0xFF0000, 0x00FF00, 0x0000FF}, std::string_view("\x00\x01\x02\x05\x01\x01\x01\x00", 8), 4, 2),
                bmp(8, 1, {0xFF0000, 0x00FF00}, std::string_view("\x03\x01\x00\x00\x00\x03\x01\x00\x01\x00\x00\x02\x01\x01\x00\x01", 16), 4, 3),
                bmp(4, 2, {0xFF0000, 0x00FF00}, std::string_view("\x05\x10\x00\x00\x00\x03\x11\x10\x00\x01", 10), 5, 2),
                bmp(24, 0, {}, std::string(3 * 4 * 2, '\x40'), 3, 2), bmp(1, 0, {}, std::string("\xA5\0\0\0\x5A\0\0\0", 8), 7, 2)};
    case ImageKind::DDS:
    {
        namespace d = formats::dds;
        d::File dxt5;  // a chain of four levels
        dxt5.flags = d::kCaps | d::kHeight | d::kWidth | d::kPixelFormat | d::kMipMapCount;
        dxt5.width = dxt5.height = 8, dxt5.mips = 4, dxt5.fourCC = "DXT5", dxt5.caps = 0x1000;
        dxt5.masks[0] = 0x000000FF, dxt5.masks[1] = 0x0000FF00, dxt5.masks[2] = 0x00FF0000, dxt5.masks[3] = 0xFF000000;
        dxt5.data = std::string(64 + 16 + 16 + 16, '\x11');
        d::File rgba = dxt5;  // uncompressed, one level
        rgba.flags = d::kCaps | d::kHeight | d::kWidth | d::kPixelFormat;
        rgba.width = rgba.height = 4, rgba.mips = 0, rgba.pfFlags = d::kRGB | d::kAlphaPixels, rgba.fourCC = "";
        rgba.bits = 32, rgba.data = std::string(64, '\x22');
        return {dxt5.bytes(), rgba.bytes()};
    }
    case ImageKind::PVR:
    {
        namespace v = formats::pvr;
        v::File pvrtc;  // a chain of four levels
        pvrtc.width = pvrtc.height = 8, pvrtc.mips = 3, pvrtc.flags = v::kPVRTC4 | v::kMipMaps | v::kAlpha;
        pvrtc.dataSize = 32 * 4, pvrtc.data = std::string(32 * 4, '\x6B');
        v::File rgba;
        rgba.flags = v::kRGBA8888, rgba.bits = 32, rgba.dataSize = 64, rgba.data = std::string(64, '\x6B');
        return {pvrtc.bytes(), rgba.bytes()};
    }
    }
    return {};
}
