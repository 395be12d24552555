#include "engine/os/Randomizer.h"

namespace pravik::os {

std::int32_t Randomizer::Seed = 0x0f0f0f0f;

std::int32_t Randomizer::rand()
{
    constexpr std::int32_t m = 2147483399;
    constexpr std::int32_t a = 40692;
    constexpr std::int32_t q = m / a;   // 52774
    constexpr std::int32_t r = m % a;   // 3791
    static_assert(q == 52774 && r == 3791);
    Seed = a * (Seed % q) - r * (Seed / q);
    if (Seed < 0)
        Seed += m;
    return Seed;
}

} // namespace pravik::os
