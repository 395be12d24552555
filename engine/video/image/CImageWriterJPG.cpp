#include "engine/video/image/CImageWriterJPG.h"

#include "engine/io/IWriteFile.h"
#include "engine/video/image/CImageLoaderUtil.h"
#include "engine/video/image/SJpegErrorManager.h"
#include "engine/video/image/pixel_format.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

namespace pravik::video {

using namespace image_io;
namespace pf = pixel_format;

IImageWriter* createImageWriterJPG() { return new CImageWriterJPG(); }

bool CImageWriterJPG::isAWriteableFileExtension(const char* fileName) const {
    const char* ext = lastExtension(fileName);
    return std::strcmp(ext, ".jpg") == 0 || std::strcmp(ext, ".jpeg") == 0 ||
           std::strcmp(ext, ".JPG") == 0 || std::strcmp(ext, ".JPEG") == 0;
}

namespace {

constexpr size_t OUTPUT_BUFFER_SIZE = 4096;

struct SDestination {
    jpeg_destination_mgr pub;
    io::IWriteFile* file;
    JOCTET buffer[OUTPUT_BUFFER_SIZE];
};

void initDestination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<SDestination*>(cinfo->dest);
    dest->pub.next_output_byte = dest->buffer;
    dest->pub.free_in_buffer = OUTPUT_BUFFER_SIZE;
}

boolean emptyOutputBuffer(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<SDestination*>(cinfo->dest);
    if (dest->file->write(dest->buffer, OUTPUT_BUFFER_SIZE) != int32_t(OUTPUT_BUFFER_SIZE))
        ERREXIT(cinfo, JERR_FILE_WRITE);
    dest->pub.next_output_byte = dest->buffer;
    dest->pub.free_in_buffer = OUTPUT_BUFFER_SIZE;
    return TRUE;
}

void termDestination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<SDestination*>(cinfo->dest);
    const size_t count = OUTPUT_BUFFER_SIZE - dest->pub.free_in_buffer;
    if (count && dest->file->write(dest->buffer, uint32_t(count)) != int32_t(count))
        ERREXIT(cinfo, JERR_FILE_WRITE);
}

}  // namespace

bool CImageWriterJPG::writeImage(io::IWriteFile* file, const boost::intrusive_ptr<CImage>& image,
                                 unsigned param) const {
    if (!file || !image || !image->getData()) return false;
    const E_PIXEL_FORMAT format = image->getColorFormat();
    if (format >= EPF_COUNT || pf::desc(format).has(EPFF_COMPRESSED)) return false;
    const core::dimension2d<int> dim = image->getDimension();
    if (dim.Width <= 0 || dim.Height <= 0 || dim.Width > 65500 || dim.Height > 65500) return false;
    const unsigned width = unsigned(dim.Width);

    // Held outside the jump frame, so that an error still releases them.
    struct SState {
        jpeg_compress_struct cinfo;
        SJpegErrorManager err;
        std::vector<unsigned char> row;
    };
    auto state = std::make_unique<SState>();
    jpeg_compress_struct& cinfo = state->cinfo;
    cinfo.err = state->err.install();
    if (setjmp(state->err.jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_CreateCompress(&cinfo, JPEG_LIB_VERSION, sizeof(jpeg_compress_struct));
    auto* dest = static_cast<SDestination*>(
        (*cinfo.mem->alloc_small)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_PERMANENT, sizeof(SDestination)));
    dest->pub.init_destination = initDestination;
    dest->pub.empty_output_buffer = emptyOutputBuffer;
    dest->pub.term_destination = termDestination;
    dest->file = file;
    cinfo.dest = &dest->pub;

    cinfo.image_width = width;
    cinfo.image_height = unsigned(dim.Height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, param == 0 ? 75 : int(param > 100 ? 100 : param), TRUE);
    jpeg_start_compress(&cinfo, TRUE);

    state->row.resize(size_t(width) * 3);
    const auto* data = static_cast<const unsigned char*>(image->getData());
    while (cinfo.next_scanline < cinfo.image_height) {
        const unsigned char* src = data + size_t(cinfo.next_scanline) * image->getPitch();
        if (!pf::convert(format, src, image->getPitch(), EPF_R8G8B8, state->row.data(), width * 3, width, 1, false)) {
            jpeg_destroy_compress(&cinfo);  // no RGB form of this format
            return false;
        }
        JSAMPROW row = state->row.data();
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

}  // namespace pravik::video
