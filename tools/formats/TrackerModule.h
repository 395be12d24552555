#pragma once
// Tracker modules as the audio engine's module decoder (libmodplug) reads them.
// - Impulse Tracker (.it) in sample mode (no instruments): the game's music. A song is an order
//   list of patterns; a pattern is rows of cells, one a channel; cells name a note (0-119, C-0 is
//   0, C-5 is 60; kNoteOff, kNoteCut), a sample (1-based, 0 none), a volume (0-64, -1 none) and an
//   effect letter with its parameter ('A' speed, 'T' tempo, 'C' break...). Samples are signed
//   16-bit mono with an optional forward loop.
// - ProTracker (.mod, "M.K."): the small fixture the decoder tests play.

#include <cstdint>
#include <string>
#include <vector>

namespace formats::tracker {

constexpr int kNoteOff = 255;
constexpr int kNoteCut = 254;

struct Cell {
    int note = -1;        // -1 nothing
    int sample = 0;       // 1-based; 0 nothing
    int volume = -1;      // 0..64; -1 nothing
    char effect = 0;      // 'A'..'Z'; 0 nothing
    uint8_t param = 0;
};

struct Pattern {
    int rows = 64;
    int channels = 4;
    std::vector<Cell> cells;  // rows x channels, row-major
    Pattern(int rowCount, int channelCount)
        : rows(rowCount), channels(channelCount), cells(size_t(rowCount) * size_t(channelCount)) {}
    Cell& at(int row, int channel) { return cells[size_t(row) * size_t(channels) + size_t(channel)]; }
    const Cell& at(int row, int channel) const { return cells[size_t(row) * size_t(channels) + size_t(channel)]; }
};

struct Sample {
    std::string name;
    std::vector<int16_t> pcm;
    uint32_t c5Speed = 22050;      // playback rate of C-5
    int volume = 64;               // default volume 0..64
    bool loop = false;
    uint32_t loopBegin = 0, loopEnd = 0;  // frames; end exclusive
};

struct Module {
    std::string name;
    int speed = 6;                 // ticks a row
    int tempo = 125;               // beats a minute
    int globalVolume = 128;        // 0..128
    int mixVolume = 48;            // 0..128
    std::vector<int> channelPan;   // 0..64 per used channel (32 centre); missing ones centred
    std::vector<uint8_t> orders;   // pattern numbers in play order
    std::vector<Pattern> patterns;
    std::vector<Sample> samples;
};

// The module as an IT file. Channels beyond 64 and rows beyond 200 are not representable: assert.
std::string itFile(const Module& module);

// A tiny 4-channel ProTracker module: one looped 8-bit sample, one pattern of 16 rows with a few
// notes, then a pattern break, so it plays about 2 seconds.
std::string tinyProTrackerModule();

}  // namespace formats::tracker
