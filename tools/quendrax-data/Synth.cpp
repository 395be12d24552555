#include "Synth.h"

#include <algorithm>
#include <cmath>

namespace qdata {

namespace {

float oscillator(Wave wave, double phase, float duty, uint32_t& noise)
{
    const double p = phase - std::floor(phase);
    switch (wave) {
    case Wave::Sine: return float(std::sin(2 * M_PI * p));
    case Wave::Square: return p < duty ? 1.0f : -1.0f;
    case Wave::Triangle: return float(p < 0.5 ? 4 * p - 1 : 3 - 4 * p);
    case Wave::Saw: return float(2 * p - 1);
    case Wave::Noise:
        noise = noise * 1664525u + 1013904223u;
        return float(int32_t(noise >> 8) & 0xFFFF) / 32768.0f - 1.0f;
    }
    return 0;
}

}  // namespace

void Synth::add(const Voice& v)
{
    const size_t first = size_t(std::max(0.0f, v.start) * float(m_rate));
    const size_t count = size_t(std::max(0.0f, v.length) * float(m_rate));
    if (m_mix.size() < first + count)
        m_mix.resize(first + count, 0.0f);
    uint32_t noise = m_seed ^ uint32_t(first * 2654435761u);
    double phase = 0;
    // Noise pitch: hold each random value for one period, so a sweep colours the noise.
    float held = 0;
    double heldPhase = 1;
    for (size_t i = 0; i < count; ++i) {
        const float t = float(i) / float(m_rate);
        const float k = count > 1 ? float(i) / float(count - 1) : 0.0f;
        float freq = v.freqFrom * std::pow(v.freqTo / v.freqFrom, k);
        if (v.vibrato > 0)
            freq *= std::pow(2.0f, v.vibrato / 12.0f * std::sin(2 * float(M_PI) * 6 * t));
        phase += double(freq) / m_rate;
        float s;
        if (v.wave == Wave::Noise) {
            heldPhase += double(freq) / m_rate;
            if (heldPhase >= 1) {
                heldPhase -= std::floor(heldPhase);
                held = oscillator(Wave::Noise, 0, 0, noise);
            }
            s = held;
        } else {
            s = oscillator(v.wave, phase, v.duty, noise);
        }
        float env = 1;
        if (v.attack > 0 && t < v.attack)
            env = t / v.attack;
        const float left = v.length - t;
        if (v.release > 0 && left < v.release)
            env = std::min(env, std::max(0.0f, left / v.release));
        m_mix[first + i] += s * env * v.gain;
    }
}

std::vector<int16_t> Synth::pcm(float peak) const
{
    float loudest = 0;
    for (float s : m_mix)
        loudest = std::max(loudest, std::abs(s));
    const float scale = loudest > 0 ? peak * 32767.0f / loudest : 0.0f;
    std::vector<int16_t> out(m_mix.size());
    for (size_t i = 0; i < m_mix.size(); ++i)
        out[i] = int16_t(std::clamp(std::lround(m_mix[i] * scale), -32768L, 32767L));
    return out;
}

std::vector<int16_t> loopedWave(Wave wave, int frames, int cycles, float gain, uint32_t seed)
{
    std::vector<int16_t> out(size_t(std::max(frames, 0)));
    uint32_t noise = seed;
    for (int i = 0; i < frames; ++i) {
        const double phase = double(i) * cycles / frames;
        out[size_t(i)] = int16_t(std::lround(oscillator(wave, phase, 0.5f, noise) * gain * 32767.0f));
    }
    return out;
}

}  // namespace qdata
