#include "fuzz/support/ImageSeeds.h"

#include "engine/io/CMemoryWriteFile.h"
#include "engine/video/image/CImage.h"
#include "engine/video/image/CImageWriterJPG.h"
#include "engine/video/image/CImageWriterPNG.h"
#include "engine/video/image/CImageWriterTGA.h"
#include "tools/formats/Bytes.h"

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

// DDS: "DDS ", a 124-byte header, then the levels.
std::string dds(uint32_t flags, int width, int height, uint32_t mips, uint32_t pfFlags, const char* fourcc,
                uint32_t bits, std::string_view data) {
    formats::Bytes b;
    b.raw("DDS ").u32(124).u32(flags).u32(uint32_t(height)).u32(uint32_t(width)).u32(0).u32(0).u32(mips).zeros(44);
    b.u32(32).u32(pfFlags).raw(fourcc ? std::string_view(fourcc, 4) : std::string_view("\0\0\0\0", 4)).u32(bits);
    b.u32(0x000000FF).u32(0x0000FF00).u32(0x00FF0000).u32(0xFF000000);
    b.u32(0x1000).zeros(16);
    return b.raw(data).data;
}

// PVR: a 52-byte header, then the levels largest first.
std::string pvr(int width, int height, uint32_t mips, uint32_t flags, uint32_t bits, uint32_t dataSize) {
    formats::Bytes b;
    b.u32(52).u32(uint32_t(height)).u32(uint32_t(width)).u32(mips).u32(flags).u32(dataSize).u32(bits);
    b.zeros(16).raw("PVR!").u32(1);
    return b.raw(std::string(dataSize, '\x6B')).data;
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
        return {dds(0x1007 | 0x20000, 8, 8, 4, 0x4, "DXT5", 0, std::string(64 + 16 + 16 + 16, '\x11')),
                dds(0x1007, 4, 4, 0, 0x41, nullptr, 32, std::string(64, '\x22'))};
    case ImageKind::PVR:
        return {pvr(8, 8, 3, 13 | 0x100 | 0x8000, 4, 32 * 4), pvr(4, 4, 0, 0x12, 32, 64)};
    }
    return {};
}
