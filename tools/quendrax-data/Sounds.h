#pragma once
// The game's sounds: every effect synthesized from its name (what it is decides how it sounds),
// written into the sound archive "3.bar" as WAVE (PCM or IMA ADPCM) or Musepack members, and the
// music modules written where the game copies them from ("3/Music/").

#include "DataFolder.h"
#include "Synth.h"

#include <string>
#include <vector>

namespace qdata {

// The effect named by a sound-table path ("3/sfx_bonus.wav", "3/SFX/ingame/sfx_explosion"), at `rate`.
std::vector<int16_t> synthesizeEffect(const std::string& path, int rate);

struct SoundReport {
    int wave = 0, musepack = 0, music = 0, skipped = 0;
    bool haveMpcenc = true;
};

// table: the sound-table paths by id ("" for none). Writes "3.bar" and "3/Music/*.it".
SoundReport addSounds(DataFolder& folder, const std::vector<std::string>& table);

}  // namespace qdata
