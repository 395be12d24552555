#include "engine/os/StandardRandom.h"

#include <atomic>

namespace pravik::os {

namespace {

std::atomic<std::uint32_t> g_state{1};

std::uint32_t step(std::uint32_t s)
{
    return s * 1103515245u + 12345u;
}

} // namespace

int standardRand()
{
    std::uint32_t s = g_state.load(std::memory_order_relaxed);
    while (!g_state.compare_exchange_weak(s, step(s), std::memory_order_relaxed)) {
    }
    return int((step(s) >> 16) & 0x7fff);
}

void standardRandFill(int* out, int n)
{
    std::uint32_t s = g_state.load(std::memory_order_relaxed);
    std::uint32_t next;
    do {
        next = s;
        for (int i = 0; i < n; ++i) {
            next = step(next);
            out[i] = int((next >> 16) & 0x7fff);
        }
    } while (!g_state.compare_exchange_weak(s, next, std::memory_order_relaxed));
}

void seedStandardRand(std::uint32_t seed)
{
    g_state.store(seed, std::memory_order_relaxed);
}

} // namespace pravik::os
