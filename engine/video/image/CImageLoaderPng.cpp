#include "engine/video/image/CImageLoaderPng.h"

#include "engine/memory/AllocationHooks.h"
#include "engine/video/image/CImageLoaderUtil.h"

#include <csetjmp>
#include <cstring>
#include <memory>
#include <new>

#include <png.h>

namespace pravik::video {

using namespace image_io;

IImageLoader* createImageLoaderPNG() { return new CImageLoaderPng(); }

bool CImageLoaderPng::isALoadableFileExtension(const char* fileName) const {
    const char* ext = lastExtension(fileName);
    return std::strcmp(ext, ".PNG") == 0 || std::strcmp(ext, ".png") == 0;
}

bool CImageLoaderPng::isALoadableFileFormat(io::IReadFile* file) const {
    if (!file) return false;
    png_byte sig[8];
    if (file->read(sig, 8) != 8) return false;
    return png_sig_cmp(sig, 0, 8) == 0;
}

namespace {

void pngError(png_structp png, png_const_charp message) {
    logError("PNG FATAL ERROR", message);
    png_longjmp(png, 1);
}

// libpng's own blocks go through the engine's allocation hooks, like the engine's other data.
png_voidp pngAlloc(png_structp, png_alloc_size_t size) { return PravikAlloc(size, memory::EMH_DEFAULT); }
void pngFree(png_structp, png_voidp p) { PravikFree(p); }

// Chunks other than the image data are buffered whole; none the loader needs is large.
constexpr png_alloc_size_t kChunkMemoryLimit = 4u << 20;

void userReadData(png_structp png, png_bytep data, png_size_t length) {
    auto* file = static_cast<io::IReadFile*>(png_get_io_ptr(png));
    if (length > 0x7FFFFFFF || file->read(data, uint32_t(length)) != int32_t(length))
        png_error(png, "Read Error");
}

}  // namespace

boost::intrusive_ptr<CImage> CImageLoaderPng::loadImage(io::IReadFile* file) const {
    if (!file) return nullptr;
    png_byte sig[8];
    if (file->read(sig, 8) != 8) {
        logError("LOAD PNG: can't read file\n", nameOf(file));
        return nullptr;
    }
    if (png_sig_cmp(sig, 0, 8) != 0) {
        logError("LOAD PNG: not really a png\n", nameOf(file));
        return nullptr;
    }
    png_structp png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, nullptr, pngError, nullptr, nullptr,
                                               pngAlloc, pngFree);
    if (!png) {
        logError("LOAD PNG: Internal PNG create read struct failure\n", nameOf(file));
        return nullptr;
    }
    png_infop info = png_create_info_struct(png);
    if (!info) {
        logError("LOAD PNG: Internal PNG create info struct failure\n", nameOf(file));
        png_destroy_read_struct(&png, nullptr, nullptr);
        return nullptr;
    }
    // Held outside the jump frame so that a library error still releases them.
    struct SState {
        boost::intrusive_ptr<CImage> image;
        std::unique_ptr<png_bytep[]> rows;
    };
    auto state = std::make_unique<SState>();
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return nullptr;
    }
    png_set_read_fn(png, file, userReadData);
    png_set_sig_bytes(png, 8);
    // What the file says is only believed as far as the loader could use it.
    png_set_user_limits(png, MAX_DIMENSION, MAX_DIMENSION);
    png_set_chunk_malloc_max(png, kChunkMemoryLimit);
    png_set_chunk_cache_max(png, 128);
    // Texts, profiles and the like are skipped unread: libpng would otherwise buffer each one
    // whole at the length the file claims (its over-long-chunk check is only a warning).
    static const png_byte kIgnored[] = "tEXt\0zTXt\0iTXt\0iCCP\0sPLT\0eXIf\0pCAL\0sCAL\0tIME\0hIST\0";
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kIgnored, int(sizeof kIgnored / 5));
#ifdef PNG_IGNORE_ADLER32
    // Each image-data chunk's CRC already covers the compressed bytes; zlib's own sum over the
    // whole decompressed image would only be a second, costly check of the same thing.
    png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
    png_read_info(png, info);
    png_uint_32 width, height;
    int bitDepth, colorType;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, nullptr, nullptr, nullptr);

    if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (bitDepth < 8) {
        if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
            png_set_expand_gray_1_2_4_to_8(png);
        else
            png_set_packing(png);
    }
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    if (bitDepth == 16) png_set_strip_16(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
    png_set_interlace_handling(png);

    png_read_update_info(png, info);
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, nullptr, nullptr, nullptr);
    const bool alpha = colorType == PNG_COLOR_TYPE_RGB_ALPHA;
    if (!sizeAcceptable(width, height, 4) || bitDepth != 8 ||
        png_get_rowbytes(png, info) != size_t(width) * (alpha ? 4 : 3)) {
        logError("LOAD PNG: image dimensions or layout not supported\n", nameOf(file));
        png_destroy_read_struct(&png, &info, nullptr);
        return nullptr;
    }
    const E_PIXEL_FORMAT format = alpha ? EPF_R8G8B8A8 : EPF_R8G8B8;
    const core::dimension2d<int> size{int(width), int(height)};
    if (png_get_interlace_type(png, info) == PNG_INTERLACE_NONE) {
        // Every byte of every row is written by the decoder: no need to clear the block first.
        auto* block = new (std::nothrow) unsigned char[size_t(width) * (alpha ? 4 : 3) * height];
        if (block) state->image = new CImage(format, size, block, true, true);
    } else {
        // Interlaced passes fill rows a few pixels at a time over the block as it stands.
        state->image = new CImage(format, size);
    }
    if (!state->image || !state->image->getData()) {
        logError("LOAD PNG: Internal PNG create image struct failure\n", nameOf(file));
        png_destroy_read_struct(&png, &info, nullptr);
        return nullptr;
    }
    state->rows.reset(new png_bytep[height]);
    auto* data = static_cast<unsigned char*>(state->image->getData());
    for (png_uint_32 i = 0; i < height; ++i) state->rows[i] = data + size_t(i) * state->image->getPitch();

    png_read_image(png, state->rows.get());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return state->image;
}

}  // namespace pravik::video
