// The engine's own random numbers: a multiplicative congruential generator (multiplier 40692,
// modulus 2147483399) evaluated with Schrage's method so that nothing overflows 32 bits.
// Repeatable from its fixed start seed; feeds the classic particle emitters. Main thread only.
#pragma once

#include <cstdint>

namespace pravik::os {

class Randomizer {
public:
    static std::int32_t rand();   // 1..2147483398 for a seed in that range; a seed of 0 stays 0
    static void reset() { Seed = 0x0f0f0f0f; }

    static std::int32_t Seed;
};

} // namespace pravik::os
