#pragma once
// Linear resampling of 16-bit stereo in 14-bit fixed point. It pulls whole source blocks (the
// size of the first request) from a callback and keeps its position and previous frame across
// calls, so the output is continuous; the very first frame rises from silence.
// Output frame i lies between source frames k - 1 and k, k = (i * step) >> 14, at fraction
// (i * step) & 0x3FFF, with step = (inRate << 14) / outRate.

namespace kez {

class LinearResampler {
public:
    using Pull = void (*)(void* context, short* out, int frames);  // fills frames stereo frames

    LinearResampler() = default;
    ~LinearResampler();
    LinearResampler(const LinearResampler&) = delete;
    LinearResampler& operator=(const LinearResampler&) = delete;

    void SetRates(int inRate, int outRate);  // outRate > 0
    void Fill(short* out, int frames, Pull pull, void* context);  // silence after a failed allocation
    void Release();  // frees the source block; the next Fill starts afresh
    int Step() const { return m_step; }

private:
    short* m_source = nullptr;
    int m_sourceSize = 0;  // bytes; 0 not yet allocated, -1 allocation failed
    int m_position = 0;
    short m_previous[2] = {0, 0};
    int m_step = 16384;
};

}  // namespace kez
