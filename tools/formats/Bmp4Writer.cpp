#include "tools/formats/Bmp4Writer.h"

namespace formats::bmp {

namespace {

void put16(std::vector<std::uint8_t>& out, unsigned v)
{
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(std::uint8_t(v >> (8 * i)));
}

}  // namespace

std::vector<std::uint8_t> write4Bit(int width, int height, const std::vector<SPaletteColor>& palette,
                                   const std::vector<std::uint8_t>& indices)
{
    if (width <= 0 || height <= 0 || palette.empty() || palette.size() > 16 ||
        indices.size() != size_t(width) * size_t(height))
        return {};
    const std::uint32_t pitch = (std::uint32_t(width) * 4 + 31) / 32 * 4;
    const std::uint32_t imageSize = pitch * std::uint32_t(height);
    const std::uint32_t offset = 14 + 40 + 4 * std::uint32_t(palette.size());

    std::vector<std::uint8_t> out;
    out.reserve(offset + imageSize);
    out.push_back('B');
    out.push_back('M');
    put32(out, offset + imageSize);
    put32(out, 0);
    put32(out, offset);

    put32(out, 40);
    put32(out, std::uint32_t(width));
    put32(out, std::uint32_t(height));
    put16(out, 1);  // planes
    put16(out, 4);  // bits per pixel
    put32(out, 0);  // uncompressed
    put32(out, imageSize);
    put32(out, 2835);  // 72 dpi
    put32(out, 2835);
    put32(out, std::uint32_t(palette.size()));
    put32(out, 0);

    for (const SPaletteColor& c : palette) {
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        out.push_back(0);
    }
    for (int y = height - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(pitch, 0);
        for (int x = 0; x < width; ++x) {
            const std::uint8_t v = indices[size_t(y) * size_t(width) + size_t(x)] & 0x0F;
            row[size_t(x) / 2] |= (x & 1) ? v : std::uint8_t(v << 4);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

}  // namespace formats::bmp
