#include "Music.h"

#include "Synth.h"
#include "tools/formats/TrackerModule.h"

#include <algorithm>
#include <cmath>

namespace qdata {

namespace {

using formats::tracker::Cell;
using formats::tracker::Module;
using formats::tracker::Pattern;
using formats::tracker::Sample;

enum Instrument { Lead = 1, Bass, Kick, Snare, Hat, Pad };
enum Channel { ChLead, ChBass, ChDrum, ChHat, ChPad, ChannelCount };

struct Style {
    int root;                 // note of the key's root (C-4 = 48)
    bool minor;
    int tempo;
    int patterns;             // patterns of 32 rows (2 bars, one chord a bar)
    int progression[8];       // scale degrees 0..6 of the chords, one a bar
    bool drums;
    uint32_t seed;
};

// Degree of a seven-note scale to semitones.
int scaleStep(int degree, bool minor)
{
    static const int major[] = {0, 2, 4, 5, 7, 9, 11};
    static const int minorScale[] = {0, 2, 3, 5, 7, 8, 10};
    const int octave = degree >= 0 ? degree / 7 : (degree - 6) / 7;
    const int d = degree - octave * 7;
    return 12 * octave + (minor ? minorScale[d] : major[d]);
}

Style styleFor(const std::string& name)
{
    uint32_t h = 2166136261u;
    for (unsigned char c : name)
        h = (h ^ c) * 16777619u;
    if (name == "m_title") return {48, false, 120, 4, {0, 4, 5, 3, 0, 4, 3, 4}, true, h};
    if (name == "bgm_1") return {45, true, 138, 4, {0, 5, 2, 6, 0, 5, 3, 4}, true, h};
    if (name == "bgm_2") return {50, true, 128, 4, {0, 3, 0, 3, 5, 6, 0, 4}, true, h};
    if (name == "bgm_4") return {52, true, 150, 4, {0, 0, 5, 6, 3, 3, 4, 4}, true, h};
    if (name == "m_win") return {48, false, 140, 1, {0, 4}, true, h};
    if (name == "m_game_over") return {45, true, 90, 1, {0, 5}, false, h};
    return {43 + int(h % 10), (h >> 8) % 2 == 1, 110 + int(h % 40), 2, {0, 4, 5, 3}, true, h};
}

Sample instrument(const char* name, Wave wave, int cycleFrames, int volume)
{
    Sample s;
    s.name = name;
    s.pcm = loopedWave(wave, cycleFrames * 4, 4, 0.7f);
    // C-5 sounds at 523.25 Hz: one cycle is cycleFrames long.
    s.c5Speed = uint32_t(std::lround(523.25 * cycleFrames));
    s.volume = volume;
    s.loop = true;
    s.loopBegin = 0;
    s.loopEnd = uint32_t(s.pcm.size());
    return s;
}

Sample drum(const char* name, const Voice& voice, int rate, uint32_t seed)
{
    Synth synth(rate, seed);
    synth.add(voice);
    Sample s;
    s.name = name;
    s.pcm = synth.pcm(0.9f);
    s.c5Speed = uint32_t(rate);
    s.volume = 64;
    return s;
}

Cell note(int n, int sample, int volume = -1)
{
    Cell c;
    c.note = n;
    c.sample = sample;
    c.volume = volume;
    return c;
}

}  // namespace

std::string composeMusic(const std::string& name)
{
    const Style style = styleFor(name);
    Module m;
    m.name = name;
    m.speed = 6;
    m.tempo = style.tempo;
    m.mixVolume = 64;
    m.channelPan = {20, 32, 32, 44, 36};
    m.samples.push_back(instrument("lead", Wave::Square, 32, 40));
    m.samples.push_back(instrument("bass", Wave::Triangle, 64, 60));
    m.samples.push_back(drum("kick", {Wave::Sine, 0, 0.18f, 160, 45, 1.0f, 0.001f, 0.12f}, 22050, 3));
    m.samples.push_back(drum("snare", {Wave::Noise, 0, 0.16f, 7000, 3000, 1.0f, 0.001f, 0.13f}, 22050, 5));
    m.samples.push_back(drum("hat", {Wave::Noise, 0, 0.05f, 11000, 11000, 0.6f, 0.0005f, 0.04f}, 22050, 9));
    m.samples.push_back(instrument("pad", Wave::Saw, 32, 18));

    uint32_t rng = style.seed | 1;
    auto next = [&rng](uint32_t range) {
        rng = rng * 1103515245u + 12345u;
        return (rng >> 16) % range;
    };
    const int bars = style.patterns * 2;
    int previous = 2;  // melody position in scale degrees above the chord root
    for (int p = 0; p < style.patterns; ++p) {
        Pattern pat(32, ChannelCount);
        for (int half = 0; half < 2; ++half) {
            const int bar = p * 2 + half;
            const int degree = style.progression[bar % 8];
            const int chordRoot = style.root + scaleStep(degree, style.minor);
            const int first = half * 16;
            // Pad: the chord's root and fifth held through the bar.
            pat.at(first, ChPad) = note(chordRoot + 12, Pad);
            // Bass: root on the beats, octave on the off-beats.
            for (int beat = 0; beat < 4; ++beat) {
                pat.at(first + 4 * beat, ChBass) = note(chordRoot - 12, Bass, 56);
                pat.at(first + 4 * beat + 2, ChBass) = note(chordRoot, Bass, 36);
            }
            // Melody: eighth notes walking by steps over the chord, resting now and then.
            for (int eighth = 0; eighth < 8; ++eighth) {
                if (next(7) == 0 && eighth % 2 == 1)
                    continue;
                const int move = int(next(5)) - 2;
                previous = std::clamp(previous + move, 0, 9);
                // Strong eighths land on chord tones (0, 2, 4 above the chord degree).
                int d = previous;
                if (eighth % 2 == 0)
                    d = (d / 2) * 2 % 6;
                const int n = style.root + 12 + scaleStep(degree + d, style.minor);
                pat.at(first + 2 * eighth, ChLead) = note(n, Lead, eighth % 2 ? 32 : 44);
            }
            if (style.drums) {
                for (int beat = 0; beat < 4; ++beat) {
                    pat.at(first + 4 * beat, ChDrum) = note(60, beat % 2 ? Snare : Kick, beat % 2 ? 48 : 64);
                    pat.at(first + 4 * beat + 2, ChHat) = note(60, Hat, 28);
                }
                if (bar == bars - 1)  // a fill into the loop
                    for (int r = 12; r < 16; ++r)
                        pat.at(first + r, ChDrum) = note(60, Snare, 30 + 8 * (r - 12));
            }
        }
        if (p == style.patterns - 1) {
            // Let everything fade on the last row so the restart does not click.
            for (int c = 0; c < ChannelCount; ++c)
                if (pat.at(31, c).note < 0)
                    pat.at(31, c).volume = 0;
        }
        m.patterns.push_back(std::move(pat));
        m.orders.push_back(uint8_t(p));
    }
    return formats::tracker::itFile(m);
}

}  // namespace qdata
