#include "engine/video/image/CImageLoaderBMP.h"

#include "engine/video/image/CImageLoaderUtil.h"
#include "engine/video/image/pixel_format.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace pravik::video {

using namespace image_io;
namespace pf = pixel_format;

IImageLoader* createImageLoaderBMP() { return new CImageLoaderBMP(); }

bool CImageLoaderBMP::isALoadableFileExtension(const char* fileName) const {
    return containsText(fileName, ".bmp") || containsText(fileName, ".BMP");
}

bool CImageLoaderBMP::isALoadableFileFormat(io::IReadFile* file) const {
    char sig[2];
    return file && file->read(sig, 2) == 2 && sig[0] == 'B' && sig[1] == 'M';
}

void CImageLoaderBMP::decompress8BitRLE(const unsigned char* in, size_t inSize, unsigned char* out,
                                        size_t outSize, unsigned outPitch) {
    size_t p = 0, row = 0, col = 0;
    auto at = [&]() { return row * outPitch + col; };
    while (p + 1 < inSize && at() < outSize) {
        const unsigned n = in[p], code = in[p + 1];
        if (n != 0) {
            for (unsigned i = 0; i < n && at() < outSize; ++i, ++col) out[at()] = uint8_t(code);
            p += 2;
        } else if (code == 0) {
            ++row;
            col = 0;
            p += 2;
        } else if (code == 1) {
            return;
        } else if (code == 2) {
            if (p + 3 >= inSize) return;
            col += in[p + 2];
            row += in[p + 3];
            p += 4;
        } else {
            p += 2;
            for (unsigned i = 0; i < code && p < inSize && at() < outSize; ++i, ++col) out[at()] = in[p++];
            if (code & 1) ++p;
        }
    }
}

void CImageLoaderBMP::decompress4BitRLE(const unsigned char* in, size_t inSize, unsigned char* out,
                                        size_t outSize, unsigned outPitch) {
    size_t p = 0, row = 0, nib = 0;  // nib counts nibbles from the row start
    auto put = [&](unsigned v) {
        const size_t byte = row * outPitch + nib / 2;
        if (byte >= outSize) return false;
        if (nib & 1) out[byte] = uint8_t((out[byte] & 0xF0) | (v & 15));
        else out[byte] = uint8_t((out[byte] & 0x0F) | (v & 15) << 4);
        ++nib;
        return true;
    };
    while (p + 1 < inSize && row * outPitch + nib / 2 < outSize) {
        const unsigned n = in[p], code = in[p + 1];
        if (n != 0) {
            for (unsigned i = 0; i < n; ++i)
                if (!put((nib & 1) ? code & 15 : code >> 4)) return;
            p += 2;
        } else if (code == 0) {
            ++row;
            nib = 0;
            p += 2;
        } else if (code == 1) {
            return;
        } else if (code == 2) {
            if (p + 3 >= inSize) return;
            nib = (nib / 2 + in[p + 2] / 2) * 2 + (in[p + 2] & 1);
            row += in[p + 3];
            p += 4;
        } else {
            p += 2;
            const size_t bytes = (code + 1) / 2;
            for (unsigned i = 0; i < code; ++i) {
                if (p + i / 2 >= inSize) return;
                const unsigned b = in[p + i / 2];
                if (!put((i & 1) ? b & 15 : b >> 4)) return;
            }
            p += bytes + (bytes & 1);
        }
    }
}

boost::intrusive_ptr<CImage> CImageLoaderBMP::loadImage(io::IReadFile* file) const {
    if (!file) return nullptr;
    unsigned char h[54];
    if (!readExact(file, h, 54)) {
        logError("BMP file too short", nameOf(file));
        return nullptr;
    }
    if (h[0] != 'B' || h[1] != 'M') return nullptr;
    const uint32_t dataOffset = le32(h + 10);
    const int32_t width = int32_t(le32(h + 18));
    const int32_t height = int32_t(le32(h + 22));
    const unsigned bits = le16(h + 28);
    const uint32_t compression = le32(h + 30);
    uint32_t dataSize = le32(h + 34);
    if (compression > 3) {
        logError("Compression mode not supported.");
        return nullptr;
    }
    const uint32_t fileSize = uint32_t(std::max(file->getSize(), 0));
    const uint32_t headerEnd = uint32_t(file->getPos());
    if (dataOffset < headerEnd || dataOffset > fileSize) {
        logError("BMP pixel data offset outside the file", nameOf(file));
        return nullptr;
    }
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return nullptr;
    if ((compression == 1 && bits != 8) || (compression == 2 && bits != 4) ||
        (compression == 3 && bits != 16 && bits != 32) || !sizeAcceptable(uint32_t(width), uint32_t(height), 4) ||
        width <= 0 || height <= 0) {
        logError("BMP header not supported", nameOf(file));
        return nullptr;
    }

    // The table between the header and the pixel data.
    const uint32_t entries = (dataOffset - headerEnd) / 4;
    std::vector<uint32_t> table(entries);
    for (uint32_t i = 0; i < entries; ++i) {
        unsigned char e[4];
        if (!readExact(file, e, 4)) return nullptr;
        table[i] = le32(e);
    }

    if (dataSize == 0) dataSize = fileSize - dataOffset;
    dataSize = std::min(dataSize, fileSize - dataOffset);  // never past the file
    const uint64_t pitch = ((uint64_t(width) * bits + 7) / 8 + 3) & ~uint64_t(3);
    const uint64_t pixelBytes = pitch * uint64_t(height);
    if (!file->seek(int32_t(dataOffset))) return nullptr;
    std::vector<unsigned char> raw((dataSize + 3) & ~3u);
    if (!readExact(file, raw.data(), dataSize)) {
        logError("BMP pixel data cut short", nameOf(file));
        return nullptr;
    }
    if (compression == 1 || compression == 2) {
        // Runs give at most 255 pixels for 2 bytes; a picture far larger than its data could
        // describe is a damaged header, refused before the allocation.
        if (pixelBytes > uint64_t(dataSize) * 1024 + 65536) {
            logError("BMP pixel data cut short", nameOf(file));
            return nullptr;
        }
        std::vector<unsigned char> rows(pixelBytes, 0);
        if (compression == 1)
            decompress8BitRLE(raw.data(), dataSize, rows.data(), rows.size(), unsigned(pitch));
        else
            decompress4BitRLE(raw.data(), dataSize, rows.data(), rows.size(), unsigned(pitch));
        raw.swap(rows);
    } else if (raw.size() < pixelBytes) {
        logError("BMP pixel data cut short", nameOf(file));
        return nullptr;
    }

    const core::dimension2d<int> dim(width, height);
    const unsigned srcPitch = unsigned(pitch);
    boost::intrusive_ptr<CImage> image;
    auto forceAlpha16 = [&](uint32_t mask) {
        if (!mask) return;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                unsigned char* p = raw.data() + size_t(y) * srcPitch + 2 * size_t(x);
                const uint16_t v = uint16_t(le16(p) | mask);
                p[0] = uint8_t(v), p[1] = uint8_t(v >> 8);
            }
    };
    auto forceAlpha32 = [&](uint32_t mask) {
        if (!mask) return;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                unsigned char* p = raw.data() + size_t(y) * srcPitch + 4 * size_t(x);
                const uint32_t v = le32(p) | mask;
                std::memcpy(p, &v, 4);
            }
    };
    auto direct = [&](E_PIXEL_FORMAT from, E_PIXEL_FORMAT to) {
        image = new CImage(to, dim);
        if (!image->getData()) return;
        pf::convert(from, raw.data(), srcPitch, to, image->getData(), image->getPitch(),
                    unsigned(width), unsigned(height), true);
    };

    switch (bits) {
        case 1:
        case 4:
        case 8: {
            // A table shorter than 2^bits leaves the other entries opaque black.
            const unsigned count = 1u << bits;
            std::vector<uint16_t> palette(count, 0x0001);
            if (bits == 1) {
                palette[1] = 0xFFFF;
            } else {
                std::vector<uint32_t> bgra(count, 0xFF000000u);
                for (unsigned i = 0; i < count && i < entries; ++i) bgra[i] = table[i] | 0xFF000000u;
                pf::convert(EPF_B8G8R8A8, bgra.data(), 0, EPF_R5G5B5A1, palette.data(), 0, count, 1, false);
            }
            image = new CImage(EPF_R5G5B5A1, dim);
            if (!image->getData()) break;
            pf::unpackPalettized(raw.data(), srcPitch, (unsigned char)bits, EPF_R5G5B5A1, palette.data(),
                                 count, image->getData(), image->getPitch(), unsigned(width),
                                 unsigned(height), true);
            break;
        }
        case 16: {
            if (compression != 3) {
                forceAlpha16(0x8000);
                direct(EPF_A1R5G5B5, EPF_R5G5B5A1);
                break;
            }
            if (entries < 3) {
                logError("BMP format not supported");
                return nullptr;
            }
            const uint32_t a = ~(table[0] | table[1] | table[2]) & 0xFFFF;
            const E_PIXEL_FORMAT src = pf::getFormat(table[0], table[1], table[2], a);
            if (src == EPF_COUNT || pf::desc(src).BytesPerPixel != 2) {
                logError("BMP format not supported");
                return nullptr;
            }
            const E_PIXEL_FORMAT dst = src == EPF_A1R5G5B5   ? EPF_R5G5B5A1
                                       : src == EPF_A4R4G4B4 ? EPF_R4G4B4A4
                                                             : src;
            if (entries < 4 || table[3] != a) forceAlpha16(a);
            direct(src, dst);
            break;
        }
        case 24:
            direct(EPF_B8G8R8, EPF_R8G8B8);
            break;
        case 32: {
            if (compression != 3) {
                direct(EPF_B8G8R8A8, EPF_B8G8R8A8);
                break;
            }
            if (entries < 3) {
                logError("BMP format not supported");
                return nullptr;
            }
            const uint32_t a = ~(table[0] | table[1] | table[2]);
            const E_PIXEL_FORMAT src = pf::getFormat(table[0], table[1], table[2], a);
            if (src == EPF_COUNT || pf::desc(src).BytesPerPixel != 4) {
                logError("BMP format not supported");
                return nullptr;
            }
            if (entries >= 4 && table[3] != a) forceAlpha32(a);
            direct(src, src);
            break;
        }
    }
    if (image && !image->getData()) return nullptr;
    return image;
}

}  // namespace pravik::video
