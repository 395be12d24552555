#pragma once
// IMA ADPCM tables and the state of one channel, shared by the WAVE and native sub-decoders.
// The state is laid out like a block header: predictor s16, step index u8, one spare byte.

#include <cstdint>

struct AdpcmState {
    int16_t predictor = -1;
    uint8_t stepIndex = 0;
    uint8_t spare = 0;
};

struct AdpcmDecoder {
    static const int8_t cAdpcmIndexTable[16];
    static const int16_t cAdpcmStepSizeTable[89];

    // One nibble: updates the state and returns the new sample. The step index must be ≤ 88.
    static int16_t DecodeNibble(AdpcmState& state, unsigned nibble) {
        const int step = cAdpcmStepSizeTable[state.stepIndex];
        int diff = step >> 3;
        if (nibble & 4) diff += step;
        if (nibble & 2) diff += step >> 1;
        if (nibble & 1) diff += step >> 2;
        int predictor = state.predictor;
        if (nibble & 8) {
            predictor -= diff;
            if (predictor < -32768) predictor = -32768;
        } else {
            predictor += diff;
            if (predictor > 32767) predictor = 32767;
        }
        int index = state.stepIndex + cAdpcmIndexTable[nibble & 15];
        if (index < 0) index = 0;
        if (index > 88) index = 88;
        state.predictor = int16_t(predictor);
        state.stepIndex = uint8_t(index);
        return state.predictor;
    }
};
