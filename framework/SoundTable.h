// The sound numbers of the game: number -> path inside the sound archive "3.bar", and the
// priority bank each number plays in. An empty path means no sound.
//   1-18    music, tracker modules   "3/Music/<name>.it"
//   21-55   effects, RIFF WAVE       "3/sfx_<name>.wav"
//   56-179  effects, Musepack        "3/SFX/<folder>/sfx_<name>" (".mpc" is added when loaded)
#pragma once

inline constexpr int SOUND_COUNT = 180;
inline constexpr int SOUND_BANK_COUNT = 5;

extern const char* const SOUND_FILE_NAMES[SOUND_COUNT];

// Emitters each bank lets play at once.
extern const int SOUND_BANK_SIZES[SOUND_BANK_COUNT];

// The priority bank (0-4) of a sound number; numbers outside the table fall in bank 4.
int SoundBankOf(int id);
