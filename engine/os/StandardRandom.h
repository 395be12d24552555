// The program's one stand-in for the C library's rand(): values 0..32767, as the tablet's
// library gave. Seed it once at start-up (a fixed seed under an input script, so runs repeat);
// unseeded it starts from 1. Safe to call from any thread.
#pragma once

#include <cstdint>

namespace pravik::os {

int standardRand();                      // 0..32767
// n values in one step of the shared state: what n calls in a row would give.
void standardRandFill(int* out, int n);
void seedStandardRand(std::uint32_t seed);

} // namespace pravik::os
