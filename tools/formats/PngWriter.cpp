#include "tools/formats/PngWriter.h"

#include "engine/io/CMemoryWriteFile.h"
#include "engine/video/image/CImage.h"
#include "engine/video/image/IImageWriter.h"

#include <cstring>

namespace formats::images {

std::vector<uint8_t> PngRGBA(int width, int height, const std::vector<uint8_t>& rgba)
{
    using namespace pravik;
    if (width < 1 || height < 1 || rgba.size() != size_t(width) * size_t(height) * 4)
        return {};
    boost::intrusive_ptr<video::CImage> image(
        new video::CImage(video::EPF_R8G8B8A8, core::dimension2d<int>(width, height)));
    std::memcpy(image->getData(), rgba.data(), rgba.size());
    video::IImageWriter* writer = video::createImageWriterPNG();
    io::CMemoryWriteFile* file = new io::CMemoryWriteFile();
    std::vector<uint8_t> out;
    if (writer->writeImage(file, image, 0) && file->getBuffer())
        out.assign(file->getBuffer(), file->getBuffer() + file->getBufferSize());
    file->drop();
    writer->drop();
    return out;
}

std::vector<uint8_t> QuadrantsRGBA(int width, int height, const uint32_t colours[4])
{
    std::vector<uint8_t> px(size_t(width) * size_t(height) * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t c = colours[(y >= height / 2 ? 2 : 0) + (x >= width / 2 ? 1 : 0)];
            uint8_t* p = &px[(size_t(y) * width + x) * 4];
            p[0] = uint8_t(c >> 24); p[1] = uint8_t(c >> 16); p[2] = uint8_t(c >> 8); p[3] = uint8_t(c);
        }
    return px;
}

}  // namespace formats::images
