// The game's 126 effect types: the file each one plays ("SFX/" + name; types 102-111 end in
// ".eff") and the pool slots it owns (0-439), with whether the loading step preloads it.
#pragma once

enum : int { SFX_EFFECT_TYPE_COUNT = 126, SFX_EFFECT_SLOT_COUNT = 440 };

using SFX_EFFECT_TYPE = int;

extern const char* const g_chEffectFileName[SFX_EFFECT_TYPE_COUNT];

int GetEffectBeginIdx(int type);  // first slot, -1 outside 0-125
int GetEffectEndIdx(int type);    // last slot, -1 outside 0-125
bool IsEffectPreloaded(int type);
