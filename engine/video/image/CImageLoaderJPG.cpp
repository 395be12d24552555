#include "engine/video/image/CImageLoaderJPG.h"

#include "engine/video/image/CImageLoaderUtil.h"
#include "engine/video/image/SJpegErrorManager.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <jpeglib.h>

namespace pravik::video {

using namespace image_io;

IImageLoader* createImageLoaderJPG() { return new CImageLoaderJPG(); }

bool CImageLoaderJPG::isALoadableFileExtension(const char* fileName) const {
    return containsText(fileName, ".jpg") || containsText(fileName, ".JPG");
}

bool CImageLoaderJPG::isALoadableFileFormat(io::IReadFile* file) const {
    if (!file || file->getSize() < 6) return false;
    char tag[4];
    if (!file->seek(6) || !readExact(file, tag, 4)) return false;
    return std::memcmp(tag, "JFIF", 4) == 0 || std::memcmp(tag, "FIFJ", 4) == 0;
}

namespace {

void initSource(j_decompress_ptr) {}
void termSource(j_decompress_ptr) {}

// The whole file is already in memory; asked for more, the source hands the library an
// end-of-image marker so a truncated file ends instead of being read past.
boolean fillInputBuffer(j_decompress_ptr cinfo) {
    static const JOCTET eoi[2] = {0xFF, JPEG_EOI};
    cinfo->src->next_input_byte = eoi;
    cinfo->src->bytes_in_buffer = 2;
    return TRUE;
}

void skipInputData(j_decompress_ptr cinfo, long count) {
    if (count <= 0) return;
    jpeg_source_mgr* src = cinfo->src;
    if (size_t(count) > src->bytes_in_buffer) {
        src->next_input_byte += src->bytes_in_buffer;
        src->bytes_in_buffer = 0;
        return;
    }
    src->next_input_byte += count;
    src->bytes_in_buffer -= size_t(count);
}

}  // namespace

boost::intrusive_ptr<CImage> CImageLoaderJPG::loadImage(io::IReadFile* file) const {
    if (!file || file->getSize() <= 0) return nullptr;
    const uint32_t fileSize = uint32_t(file->getSize());
    std::unique_ptr<unsigned char[]> input(new unsigned char[fileSize]);
    if (!file->seek(0) || !readExact(file, input.get(), fileSize)) return nullptr;

    // Everything the jump back must release lives outside the setjmp frame's locals.
    struct SState {
        jpeg_decompress_struct cinfo;
        SJpegErrorManager err;
        jpeg_source_mgr src;
        std::unique_ptr<unsigned char[]> pixels;
        std::unique_ptr<JSAMPROW[]> rows;
    };
    auto state = std::make_unique<SState>();
    jpeg_decompress_struct& cinfo = state->cinfo;
    cinfo.err = state->err.install();
    if (setjmp(state->err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return nullptr;
    }
    jpeg_CreateDecompress(&cinfo, JPEG_LIB_VERSION, sizeof(jpeg_decompress_struct));
    state->src.next_input_byte = input.get();
    state->src.bytes_in_buffer = fileSize;
    state->src.init_source = initSource;
    state->src.fill_input_buffer = fillInputBuffer;
    state->src.skip_input_data = skipInputData;
    state->src.resync_to_restart = jpeg_resync_to_restart;
    state->src.term_source = termSource;
    cinfo.src = &state->src;

    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    cinfo.do_fancy_upsampling = FALSE;
    if (!sizeAcceptable(cinfo.image_width, cinfo.image_height, 3)) {
        logError("JPEG dimensions not supported", nameOf(file));
        jpeg_destroy_decompress(&cinfo);
        return nullptr;
    }
    jpeg_start_decompress(&cinfo);
    const size_t rowBytes = size_t(cinfo.output_components) * cinfo.output_width;
    const unsigned height = cinfo.output_height;
    if (cinfo.output_components != 3) {
        jpeg_destroy_decompress(&cinfo);
        return nullptr;
    }
    state->pixels.reset(new unsigned char[rowBytes * height]);
    state->rows.reset(new JSAMPROW[height]);
    for (unsigned i = 0; i < height; ++i) state->rows[i] = state->pixels.get() + rowBytes * i;
    while (cinfo.output_scanline < cinfo.output_height)
        jpeg_read_scanlines(&cinfo, &state->rows[cinfo.output_scanline], cinfo.output_height - cinfo.output_scanline);
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);

    boost::intrusive_ptr<CImage> image =
        new CImage(EPF_R8G8B8, core::dimension2d<int>(int(cinfo.output_width), int(height)),
                   state->pixels.get(), true, true);
    state->pixels.release();  // the image owns the rows now
    if (!image->getData()) return nullptr;
    return image;
}

}  // namespace pravik::video
