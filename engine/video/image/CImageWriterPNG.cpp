#include "engine/video/image/CImageWriterPNG.h"

#include "engine/io/IWriteFile.h"
#include "engine/video/image/CImageLoaderUtil.h"
#include "engine/video/image/pixel_format.h"

#include <csetjmp>
#include <memory>
#include <vector>

#include <png.h>

namespace pravik::video {

using namespace image_io;
namespace pf = pixel_format;

IImageWriter* createImageWriterPNG() { return new CImageWriterPNG(); }

bool CImageWriterPNG::isAWriteableFileExtension(const char* fileName) const {
    return containsText(fileName, ".png") || containsText(fileName, ".PNG");
}

namespace {

void pngError(png_structp png, png_const_charp message) {
    logError("PNG FATAL ERROR", message);
    png_longjmp(png, 1);
}

void userWriteData(png_structp png, png_bytep data, png_size_t length) {
    auto* file = static_cast<io::IWriteFile*>(png_get_io_ptr(png));
    if (length > 0x7FFFFFFF || file->write(data, uint32_t(length)) != int32_t(length))
        png_error(png, "Write Error");
}

// The format the rows are handed over in, for formats PNG cannot take as stored.
E_PIXEL_FORMAT writtenFormat(E_PIXEL_FORMAT f) {
    const SPixelFormatDesc& d = pf::desc(f);
    if (d.has(EPFF_PACKED)) return d.has(EPFF_ALPHA) ? EPF_R8G8B8A8 : EPF_R8G8B8;
    switch (f) {
        case EPF_A8: return EPF_L8A8;  // black with the alpha, as getPixel reads it
        case EPF_A8L8: return EPF_L8A8;
        case EPF_B8G8R8: return EPF_R8G8B8;
        case EPF_A8B8G8R8: return EPF_R8G8B8A8;
        default: return f;
    }
}

struct SRows {
    const unsigned char* base;
    unsigned pitch, width, height;
    E_PIXEL_FORMAT format;
    int colorType;
};

// The library's jump-back point lives here, with nothing in this frame to lose.
bool writeRows(png_structp png, png_infop info, io::IWriteFile* file, const SRows& job, png_bytep* rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, file, userWriteData, nullptr);
    png_set_IHDR(png, info, job.width, job.height, job.format == EPF_L16 ? 16 : 8, job.colorType,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    for (unsigned y = 0; y < job.height; ++y) rows[y] = const_cast<png_bytep>(job.base + size_t(y) * job.pitch);
    png_set_rows(png, info, rows);
    int transforms = PNG_TRANSFORM_IDENTITY;
    if (job.format == EPF_A8R8G8B8) transforms = PNG_TRANSFORM_SWAP_ALPHA;
    if (job.format == EPF_B8G8R8A8) transforms = PNG_TRANSFORM_BGR;
    if (job.format == EPF_L16) transforms = PNG_TRANSFORM_SWAP_ENDIAN;  // PNG samples are big-endian
    png_write_png(png, info, transforms, nullptr);
    return true;
}

}  // namespace

bool CImageWriterPNG::writeImage(io::IWriteFile* file, const boost::intrusive_ptr<CImage>& image,
                                 unsigned) const {
    if (!file || !image) return false;
    const E_PIXEL_FORMAT source = image->getColorFormat();
    const SPixelFormatDesc& sd = pf::desc(source);
    if (source >= EPF_COUNT ||
        (sd.Flags & (EPFF_FLOAT | EPFF_COMPRESSED | EPFF_DEPTH | EPFF_STENCIL)) != 0) {
        logError("PGNWriter: can only handle fixed bit width RGB/L+A formats");
        return false;
    }
    const core::dimension2d<int> dim = image->getDimension();
    if (!image->getData() || dim.Width <= 0 || dim.Height <= 0) return false;
    const unsigned width = unsigned(dim.Width), height = unsigned(dim.Height);

    // Rows in a format PNG can take; converted into a block of our own where needed.
    const E_PIXEL_FORMAT format = writtenFormat(source);
    const unsigned char* rowsBase = static_cast<const unsigned char*>(image->getData());
    unsigned pitch = image->getPitch();
    std::vector<unsigned char> converted;
    if (format != source) {
        pitch = pf::computePitch(format, width);
        converted.resize(size_t(pitch) * height);
        if (source == EPF_A8) {
            for (unsigned y = 0; y < height; ++y)
                for (unsigned x = 0; x < width; ++x) {
                    converted[size_t(y) * pitch + 2 * x] = 0;
                    converted[size_t(y) * pitch + 2 * x + 1] = rowsBase[size_t(y) * image->getPitch() + x];
                }
        } else if (!pf::convert(source, rowsBase, image->getPitch(), format, converted.data(), pitch,
                                width, height, false)) {
            logError("PNGWriter: Internal PNG create image failure\n", file->getFileName());
            return false;
        }
        rowsBase = converted.data();
    }
    const SPixelFormatDesc& d = pf::desc(format);
    const bool alpha = d.has(EPFF_ALPHA), grey = d.has(EPFF_LUMINANCE);
    const int colorType = alpha && grey ? PNG_COLOR_TYPE_GRAY_ALPHA
                          : alpha       ? PNG_COLOR_TYPE_RGB_ALPHA
                          : grey        ? PNG_COLOR_TYPE_GRAY
                                        : PNG_COLOR_TYPE_RGB;

    const SRows job{rowsBase, pitch, width, height, format, colorType};
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, pngError, nullptr);
    if (!png) {
        logError("PNGWriter: Internal PNG create write struct failure\n", file->getFileName());
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (!info) {
        logError("PNGWriter: Internal PNG create info struct failure\n", file->getFileName());
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    auto rows = std::make_unique<png_bytep[]>(height);
    const bool written = writeRows(png, info, file, job, rows.get());
    png_destroy_write_struct(&png, &info);
    return written;
}

}  // namespace pravik::video
