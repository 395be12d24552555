// Decoding a 1024x1024 PNG and JPEG through the engine's loaders, beside libpng and libjpeg
// called directly on the same bytes. The loaders should cost the libraries' time plus little.

#include "engine/io/CMemoryReadFile.h"
#include "engine/video/image/CImageLoaderJPG.h"
#include "engine/video/image/CImageLoaderPng.h"
#include "engine/video/image/CImageWriterJPG.h"
#include "engine/video/image/CImageWriterPNG.h"
#include "engine/io/CMemoryWriteFile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>

#include <jpeglib.h>
#include <png.h>

namespace {

using namespace pravik;
using namespace pravik::video;

constexpr int SIZE = 1024;

// A photograph-like picture: smooth gradients with some noise, so both codecs do real work.
CImagePtr picture(bool alpha) {
    CImagePtr img = new CImage(alpha ? EPF_R8G8B8A8 : EPF_R8G8B8, core::dimension2d<int>(SIZE, SIZE));
    std::mt19937 rng(5);
    for (unsigned y = 0; y < SIZE; ++y)
        for (unsigned x = 0; x < SIZE; ++x) {
            const int n = int(rng() % 16);
            img->setPixel(x, y, SColor(uint8_t((x / 4 + n) & 255), uint8_t((y / 4 + n) & 255),
                                       uint8_t(((x + y) / 8) & 255), uint8_t(255 - (x / 8))));
        }
    return img;
}

std::string encode(const IImageWriter& writer, const CImagePtr& img, unsigned param) {
    auto* file = new io::CMemoryWriteFile();
    writer.writeImage(file, img, param);
    std::string out(reinterpret_cast<const char*>(file->getBuffer()), file->getBufferSize());
    file->drop();
    return out;
}

const std::string& pngFile(bool alpha) {
    static const std::string rgba = encode(CImageWriterPNG(), picture(true), 0);
    static const std::string rgb = encode(CImageWriterPNG(), picture(false), 0);
    return alpha ? rgba : rgb;
}

const std::string& jpegFile() {
    static const std::string jpg = encode(CImageWriterJPG(), picture(false), 90);
    return jpg;
}

void loadThroughEngine(benchmark::State& state, const IImageLoader& loader, const std::string& bytes) {
    for (auto _ : state) {
        io::IReadFile* f = io::createMemoryReadFile(const_cast<char*>(bytes.data()), int32_t(bytes.size()), "b", false);
        CImagePtr img = loader.loadImage(f);
        f->drop();
        if (!img) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(img->getData());
    }
    state.SetItemsProcessed(state.iterations() * SIZE * SIZE);
}

struct MemoryReader {
    const std::string* bytes;
    size_t pos;
};

void pngRead(png_structp png, png_bytep out, png_size_t n) {
    auto* r = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (n > r->bytes->size() - r->pos) png_error(png, "short");
    std::memcpy(out, r->bytes->data() + r->pos, n);
    r->pos += n;
}

// libpng alone: the same expansion to 8-bit RGB(A) into one block of rows.
void decodePngDirect(const std::string& bytes) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return;
    }
    MemoryReader reader{&bytes, 0};
    png_set_read_fn(png, &reader, pngRead);
    png_read_info(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    png_read_update_info(png, info);
    const png_uint_32 h = png_get_image_height(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    std::unique_ptr<unsigned char[]> pixels(new unsigned char[rowBytes * h]);
    std::unique_ptr<png_bytep[]> rows(new png_bytep[h]);
    for (png_uint_32 i = 0; i < h; ++i) rows[i] = pixels.get() + rowBytes * i;
    png_read_image(png, rows.get());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    benchmark::DoNotOptimize(pixels.get());
}

// libjpeg alone: memory source, RGB out, the loader's upsampling setting.
void decodeJpegDirect(const std::string& bytes) {
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    cinfo.do_fancy_upsampling = FALSE;
    jpeg_start_decompress(&cinfo);
    const size_t rowBytes = size_t(cinfo.output_width) * 3;
    std::unique_ptr<unsigned char[]> pixels(new unsigned char[rowBytes * cinfo.output_height]);
    std::unique_ptr<JSAMPROW[]> rows(new JSAMPROW[cinfo.output_height]);
    for (unsigned i = 0; i < cinfo.output_height; ++i) rows[i] = pixels.get() + rowBytes * i;
    while (cinfo.output_scanline < cinfo.output_height)
        jpeg_read_scanlines(&cinfo, &rows[cinfo.output_scanline], cinfo.output_height - cinfo.output_scanline);
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    benchmark::DoNotOptimize(pixels.get());
}

void BM_ImageDecode_PngRGBA_Loader(benchmark::State& state) { loadThroughEngine(state, CImageLoaderPng(), pngFile(true)); }
void BM_ImageDecode_PngRGBA_Libpng(benchmark::State& state) {
    for (auto _ : state) decodePngDirect(pngFile(true));
    state.SetItemsProcessed(state.iterations() * SIZE * SIZE);
}
void BM_ImageDecode_PngRGB_Loader(benchmark::State& state) { loadThroughEngine(state, CImageLoaderPng(), pngFile(false)); }
void BM_ImageDecode_PngRGB_Libpng(benchmark::State& state) {
    for (auto _ : state) decodePngDirect(pngFile(false));
    state.SetItemsProcessed(state.iterations() * SIZE * SIZE);
}
void BM_ImageDecode_Jpeg_Loader(benchmark::State& state) { loadThroughEngine(state, CImageLoaderJPG(), jpegFile()); }
void BM_ImageDecode_Jpeg_Libjpeg(benchmark::State& state) {
    for (auto _ : state) decodeJpegDirect(jpegFile());
    state.SetItemsProcessed(state.iterations() * SIZE * SIZE);
}

BENCHMARK(BM_ImageDecode_PngRGBA_Loader)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImageDecode_PngRGBA_Libpng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImageDecode_PngRGB_Loader)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImageDecode_PngRGB_Libpng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImageDecode_Jpeg_Loader)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImageDecode_Jpeg_Libjpeg)->Unit(benchmark::kMillisecond);

}  // namespace
