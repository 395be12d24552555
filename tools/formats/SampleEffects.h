// The sample effects: one ".beff" (".eff") file for every file of the game's effect table, each
// plausible for its name, and the particle textures they use. Paths are relative to the data
// folder ("SFX/..."). Deterministic. Lengths are authored for the pool's rescaling (x 33.3).
//   explosions, deaths, falls: a sphere burst that fades and finishes
//   sparks, shots, sprays, thunder: directional sparks that finish
//   tails and trails: endless line stripes
//   bonuses, maluses, menus, combos and the rest: glows and growing rings (menus endless)
//   fireworks: rockets carrying bursts as sub-emitters
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace formats::effects {

enum class ESampleKind { Burst, Sparks, Tail, Glow, Fireworks };
ESampleKind sampleKindOf(const std::string& fileName);

std::vector<std::pair<std::string, std::string>> sampleEffectFiles();  // 125 effects and their textures
std::vector<std::string> sampleTextureNames();                        // "SFX/..." of the textures

}  // namespace formats::effects
