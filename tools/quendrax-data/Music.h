#pragma once
// The game's music as short Impulse Tracker modules composed in code: looped synthesized
// instruments, a chord progression with a bass line, a melody drawn from the chords, drums.
// Each title has its own key, tempo and feel; every song ends at its last row so the player's
// loop restarts it cleanly.

#include <string>

namespace qdata {

// The module for a music file's base name ("m_title", "bgm_1", "m_win"...); unknown names get
// a song of their own from the name.
std::string composeMusic(const std::string& name);

}  // namespace qdata
