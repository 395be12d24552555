#include "platform/PngWriter.h"

#include <png.h>

#include <cstdio>
#include <cstring>

namespace platform {

bool writePng(const std::string& path, const uint8_t* rgba, int width, int height, bool bottomUp)
{
    if (!rgba || width <= 0 || height <= 0)
        return false;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = PNG_FORMAT_RGBA;
    const png_int_32 stride = png_int_32(width) * 4;
    if (!png_image_write_to_file(&image, path.c_str(), 0, rgba, bottomUp ? -stride : stride, nullptr)) {
        std::fprintf(stderr, "shot: cannot write %s: %s\n", path.c_str(), image.message);
        return false;
    }
    return true;
}

}  // namespace platform
