#pragma once
// A small additive synthesizer for the sound effects and the music's instruments: tones with
// pitch sweeps, noise bursts, envelopes; everything deterministic (the noise has its own seed).

#include <cstdint>
#include <vector>

namespace qdata {

enum class Wave { Sine, Square, Triangle, Saw, Noise };

struct Voice {
    Wave wave = Wave::Sine;
    float start = 0;          // seconds
    float length = 0.2f;      // seconds
    float freqFrom = 440;     // Hz at the start, swept exponentially to freqTo
    float freqTo = 440;
    float gain = 0.5f;        // 0..1
    float attack = 0.005f;    // seconds
    float release = 0.1f;     // seconds of fade at the end
    float vibrato = 0;        // depth in semitones (6 Hz)
    float duty = 0.5f;        // square-wave duty
};

class Synth {
public:
    explicit Synth(int rate, uint32_t seed = 1) : m_rate(rate), m_seed(seed) {}

    void add(const Voice& v);
    // The mix so far as 16-bit samples, normalised so the loudest peak reaches `peak`.
    std::vector<int16_t> pcm(float peak = 0.7f) const;
    int rate() const { return m_rate; }

private:
    int m_rate;
    uint32_t m_seed;
    std::vector<float> m_mix;
};

// One cycle-exact looped waveform for a tracker sample: `cycles` periods over `frames` frames.
std::vector<int16_t> loopedWave(Wave wave, int frames, int cycles, float gain = 0.8f, uint32_t seed = 7);

}  // namespace qdata
