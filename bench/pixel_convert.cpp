// 1024x1024 pixel conversions through pixel_format::convert, against memcpy of the same bytes
// (the bound for plain copies), plus the PVRTC decoder and the box-filter scaler.

#include "engine/video/image/CImage.h"
#include "engine/video/image/PVRTCDecompress.h"
#include "engine/video/image/pixel_format.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

using namespace pravik::video;
namespace pf = pravik::video::pixel_format;

constexpr unsigned SIZE = 1024;

std::vector<unsigned char> noise(size_t n) {
    std::vector<unsigned char> v(n);
    std::mt19937 rng(9);
    for (auto& b : v) b = (unsigned char)rng();
    return v;
}

void BM_PixelConvert_Memcpy(benchmark::State& state) {
    const auto src = noise(SIZE * SIZE * 4);
    std::vector<unsigned char> dst(src.size());
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), src.size());
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * SIZE * SIZE);
    state.SetBytesProcessed(state.iterations() * int64_t(src.size()));
}

void convertBench(benchmark::State& state, E_PIXEL_FORMAT from, E_PIXEL_FORMAT to, bool flip) {
    const auto src = noise(size_t(pf::computeSizeInBytes(from, SIZE, SIZE)));
    std::vector<unsigned char> dst(pf::computeSizeInBytes(to, SIZE, SIZE));
    for (auto _ : state) {
        if (!pf::convert(from, src.data(), 0, to, dst.data(), 0, SIZE, SIZE, flip)) state.SkipWithError("refused");
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * SIZE * SIZE);
    state.SetBytesProcessed(state.iterations() * int64_t(dst.size()));
}

BENCHMARK(BM_PixelConvert_Memcpy);
BENCHMARK_CAPTURE(convertBench, Copy_R8G8B8A8, EPF_R8G8B8A8, EPF_R8G8B8A8, false);
BENCHMARK_CAPTURE(convertBench, CopyFlip_R8G8B8A8, EPF_R8G8B8A8, EPF_R8G8B8A8, true);
BENCHMARK_CAPTURE(convertBench, Swizzle_A8R8G8B8_to_R8G8B8A8, EPF_A8R8G8B8, EPF_R8G8B8A8, false);
BENCHMARK_CAPTURE(convertBench, Swizzle_B8G8R8_to_R8G8B8, EPF_B8G8R8, EPF_R8G8B8, false);
BENCHMARK_CAPTURE(convertBench, Swizzle_R8G8B8A8_to_R8G8B8, EPF_R8G8B8A8, EPF_R8G8B8, false);
BENCHMARK_CAPTURE(convertBench, Rgb8_R8G8B8_to_A8R8G8B8, EPF_R8G8B8, EPF_A8R8G8B8, false);
BENCHMARK_CAPTURE(convertBench, Packed_R5G6B5_to_R8G8B8A8, EPF_R5G6B5, EPF_R8G8B8A8, false);
BENCHMARK_CAPTURE(convertBench, Packed_R8G8B8A8_to_R5G6B5, EPF_R8G8B8A8, EPF_R5G6B5, false);
BENCHMARK_CAPTURE(convertBench, Packed_A1R5G5B5_to_A8R8G8B8, EPF_A1R5G5B5, EPF_A8R8G8B8, false);
BENCHMARK_CAPTURE(convertBench, Packed_R8G8B8A8_to_R4G4B4A4, EPF_R8G8B8A8, EPF_R4G4B4A4, false);
BENCHMARK_CAPTURE(convertBench, Luminance_R8G8B8A8_to_L8, EPF_R8G8B8A8, EPF_L8, false);

void BM_PixelConvert_PVRTC4_512(benchmark::State& state) {
    const auto src = noise(512 * 512 / 2);
    std::vector<unsigned char> dst(512 * 512 * 4);
    for (auto _ : state) {
        PVRTCDecompress(src.data(), 0, 512, 512, dst.data());
        benchmark::DoNotOptimize(dst.data());
    }
    state.SetItemsProcessed(state.iterations() * 512 * 512);
}
BENCHMARK(BM_PixelConvert_PVRTC4_512)->Unit(benchmark::kMillisecond);

// The box filter against the simplest scaler there is, nearest neighbour.
void BM_PixelScale_BoxFilter_1024_to_640(benchmark::State& state) {
    CImagePtr src = new CImage(EPF_R8G8B8A8, pravik::core::dimension2d<int>(SIZE, SIZE));
    const auto bytes = noise(SIZE * SIZE * 4);
    std::memcpy(src->getData(), bytes.data(), bytes.size());
    CImagePtr dst = new CImage(EPF_R8G8B8A8, pravik::core::dimension2d<int>(640, 640));
    for (auto _ : state) {
        src->copyToScalingBoxFilter(dst, 0);
        benchmark::DoNotOptimize(dst->getData());
    }
    state.SetItemsProcessed(state.iterations() * 640 * 640);
}
BENCHMARK(BM_PixelScale_BoxFilter_1024_to_640)->Unit(benchmark::kMillisecond);

void BM_PixelScale_Nearest_1024_to_640(benchmark::State& state) {
    const auto src = noise(SIZE * SIZE * 4);
    std::vector<uint32_t> dst(640 * 640);
    for (auto _ : state) {
        for (unsigned y = 0; y < 640; ++y)
            for (unsigned x = 0; x < 640; ++x) {
                uint32_t v;
                std::memcpy(&v, &src[(size_t(y * SIZE / 640) * SIZE + x * SIZE / 640) * 4], 4);
                dst[y * 640 + x] = v;
            }
        benchmark::DoNotOptimize(dst.data());
    }
    state.SetItemsProcessed(state.iterations() * 640 * 640);
}
BENCHMARK(BM_PixelScale_Nearest_1024_to_640)->Unit(benchmark::kMillisecond);

}  // namespace
