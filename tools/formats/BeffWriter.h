// Effect files (".beff", version 3) from their plain description (effects/BeffFile.h): the
// exact bytes the reader takes, and a few builders for fixtures and the sample data.
#pragma once

#include "effects/BeffFile.h"

#include <string>

namespace formats::effects {

std::string writeBeff(const beff::SFile& file);
std::string writeEmitter(const beff::SEmitter& emitter);  // one emitter record, children included

// Builders.
template <typename T>
beff::STrack<T> constant(T value)
{
    beff::STrack<T> t;
    t.keys.push_back({0, value});
    return t;
}
template <typename T>
beff::STrack<T> ramp(T from, int frames, T to)
{
    beff::STrack<T> t;
    t.keys.push_back({0, from});
    t.keys.push_back({frames, to});
    return t;
}

// The smallest playable file: one point emitter, 5 billboards a frame of size 8 for 30 frames,
// living 20 frames, additive, texture "spark.tga". 410 bytes.
beff::SFile minimalEffect();

}  // namespace formats::effects
