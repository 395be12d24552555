#pragma once
// The particle systems' own random numbers: the minimal-standard generator (multiplier 48271,
// modulus 2^31 - 1) by Schrage's method. Every system starts at 123456789 and returns there at
// every init, so equal systems updated at equal times make equal particles.

#include <cstdint>

namespace pravik::ps {

struct PSRandom {
    static constexpr std::int32_t SEED = 123456789;
    std::int32_t State = SEED;

    // Uniform in (0, 1).
    float Randf()
    {
        const std::int32_t hi = State / 44488, lo = State % 44488;
        State = 48271 * lo - 3399 * hi;
        if (State < 0)
            State += 2147483647;
        return float(double(State) / 2147483647.0);
    }
};

} // namespace pravik::ps
