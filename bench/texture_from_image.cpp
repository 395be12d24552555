// A 1024x1024 RGBA PNG made into a texture on the null driver: the decode and the hand-over of
// the decoded pixels without a copy (the default flags), the same with the copying path
// (client data kept), and libpng's own decode of the same bytes as the floor.

#include <benchmark/benchmark.h>
#include <png.h>

#include "engine/io/CMemoryReadFile.h"
#include "engine/io/CMemoryWriteFile.h"
#include "engine/video/image/CImage.h"
#include "engine/EngineServices.h"
#include "engine/video/CNullDriver.h"
#include "engine/video/CTextureManager.h"
#include "engine/video/image/IImageLoader.h"
#include "engine/video/image/IImageWriter.h"
#include "engine/video/ITexture.h"

#include <string>
#include <vector>

namespace {

using namespace pravik;
using namespace pravik::video;

constexpr int kSide = 1024;

const std::string& pngBytes()
{
    static const std::string bytes = [] {
        CImagePtr image = new CImage(EPF_R8G8B8A8, core::dimension2d<int>(kSide, kSide));
        auto* p = static_cast<unsigned char*>(image->getData());
        for (unsigned i = 0; i < image->getImageDataSizeInBytes(); ++i)
            p[i] = (unsigned char)((i * 2654435761u) >> 24);  // noisy enough to keep zlib busy
        IImageWriter* writer = createImageWriterPNG();
        auto* file = new io::CMemoryWriteFile();
        std::string out;
        if (writer->writeImage(file, image, 0))
            out.assign(reinterpret_cast<const char*>(file->getBuffer()), file->getBufferSize());
        file->drop();
        writer->drop();
        return out;
    }();
    return bytes;
}

void loadThroughManager(benchmark::State& state, bool keepData)
{
    const CEngineServicesScope services;
    boost::intrusive_ptr<CNullDriver> driver(createNullDriver(nullptr), false);
    CTextureManager* manager = driver->getTextureManager();
    driver->setOption(0x10, false);
    manager->setFlags(ETMF_KEEP_TEXTURE_DATA, keepData);
    const std::string& png = pngBytes();
    for (auto _ : state) {
        io::IReadFile* file =
            io::createMemoryReadFile(const_cast<char*>(png.data()), int32_t(png.size()), "b.png", false);
        E_PIXEL_FORMAT format = EPF_COUNT;
        const auto texture = manager->loadTextureFromFile(file, "b.png", format, false);
        file->drop();
        benchmark::DoNotOptimize(texture.get());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kSide * kSide * 4);
}

void BM_TextureFromPng_HandOver(benchmark::State& state) { loadThroughManager(state, false); }
void BM_TextureFromPng_Copying(benchmark::State& state) { loadThroughManager(state, true); }

void BM_TextureFromPng_EngineDecodeOnly(benchmark::State& state)
{
    const std::string& png = pngBytes();
    boost::intrusive_ptr<IImageLoader> loader = createImageLoaderPNG();
    for (auto _ : state) {
        io::IReadFile* file =
            io::createMemoryReadFile(const_cast<char*>(png.data()), int32_t(png.size()), "b.png", false);
        const CImagePtr image = loader->loadImage(file);
        file->drop();
        benchmark::DoNotOptimize(image.get());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kSide * kSide * 4);
}

void BM_TextureFromPng_LibpngDecodeOnly(benchmark::State& state)
{
    const std::string& png = pngBytes();
    std::vector<unsigned char> pixels(size_t(kSide) * kSide * 4);
    for (auto _ : state) {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        image.opaque = nullptr;
        if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) {
            state.SkipWithError(image.message);
            break;
        }
        image.format = PNG_FORMAT_RGBA;
        if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
            state.SkipWithError(image.message);
            break;
        }
        benchmark::DoNotOptimize(pixels.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kSide * kSide * 4);
}

}  // namespace

BENCHMARK(BM_TextureFromPng_HandOver)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextureFromPng_Copying)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextureFromPng_EngineDecodeOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextureFromPng_LibpngDecodeOnly)->Unit(benchmark::kMillisecond);
