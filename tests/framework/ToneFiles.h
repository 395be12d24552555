#pragma once
// Tone files for the sound facade's tests: a mono 16-bit sine as a WAVE file, and its Musepack
// encoding through the installed mpcenc.

#include "tools/formats/Wave.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace test {

inline std::string sineWave(double hz, int frames, int rate)
{
    std::vector<int16_t> s;
    s.reserve(size_t(frames));
    for (int i = 0; i < frames; ++i)
        s.push_back(int16_t(8000 * std::sin(2 * M_PI * hz * i / rate)));
    return formats::wave::pcm16(s, 1, uint32_t(rate));
}

// mpcenc's exit status: 0 when `mpc` was written.
inline int encodeMusepack(const std::string& wav, const std::string& mpc)
{
    const std::string cmd = "mpcenc --silent --overwrite '" + wav + "' '" + mpc + "' >/dev/null 2>&1";
    return std::system(cmd.c_str());
}

}  // namespace test
