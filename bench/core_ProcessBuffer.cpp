// Process buffers against malloc/free: single pairs and stack-like batches.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "engine/core/ProcessBuffer.h"

namespace {

struct SHeap {
    SHeap() { pravik::core::setProcessBufferHeapSize(0x10000); }
    ~SHeap() { pravik::core::setProcessBufferHeapSize(0); }
};

void BM_ProcessBufferPair(benchmark::State& state)
{
    SHeap heap;
    const int size = int(state.range(0));
    for (auto _ : state) {
        void* p = pravik::core::allocProcessBuffer(size);
        benchmark::DoNotOptimize(p);
        pravik::core::releaseProcessBuffer(p);
    }
}

void BM_MallocPair(benchmark::State& state)
{
    const std::size_t size = std::size_t(state.range(0));
    for (auto _ : state) {
        void* p = std::malloc(size);
        benchmark::DoNotOptimize(p);
        std::free(p);
    }
}

// Eight nested scratch buffers, released in reverse, then in allocation order.
template <bool Reverse>
void BM_ProcessBufferBatch(benchmark::State& state)
{
    SHeap heap;
    const int size = int(state.range(0));
    void* p[8];
    for (auto _ : state) {
        for (auto& b : p)
            b = pravik::core::allocProcessBuffer(size);
        benchmark::DoNotOptimize(p);
        for (int i = 0; i < 8; ++i)
            pravik::core::releaseProcessBuffer(p[Reverse ? 7 - i : i]);
    }
    state.SetItemsProcessed(state.iterations() * 8);
}

template <bool Reverse>
void BM_MallocBatch(benchmark::State& state)
{
    const std::size_t size = std::size_t(state.range(0));
    void* p[8];
    for (auto _ : state) {
        for (auto& b : p)
            b = std::malloc(size);
        benchmark::DoNotOptimize(p);
        for (int i = 0; i < 8; ++i)
            std::free(p[Reverse ? 7 - i : i]);
    }
    state.SetItemsProcessed(state.iterations() * 8);
}

} // namespace

BENCHMARK(BM_ProcessBufferPair)->Arg(16)->Arg(256)->Arg(4096);
BENCHMARK(BM_MallocPair)->Arg(16)->Arg(256)->Arg(4096);
BENCHMARK_TEMPLATE(BM_ProcessBufferBatch, true)->Arg(16)->Arg(256)->Arg(4096);
BENCHMARK_TEMPLATE(BM_MallocBatch, true)->Arg(16)->Arg(256)->Arg(4096);
BENCHMARK_TEMPLATE(BM_ProcessBufferBatch, false)->Arg(16)->Arg(256)->Arg(4096);
BENCHMARK_TEMPLATE(BM_MallocBatch, false)->Arg(16)->Arg(256)->Arg(4096);
