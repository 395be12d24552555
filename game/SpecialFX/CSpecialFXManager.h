// The pool of effect instances the game plays by type: 440 slots in fixed ranges per type (see
// EffectTable.h), filled by Load during a loading step or on first request. GetEffect hands out
// the first finished instance from the type's cursor, loads an empty slot on the spot, or, when
// all are busy, restarts the one at the cursor. CreateEffect makes free-standing instances the
// caller owns. Main thread only; messages go to standard output.
#pragma once

#include "game/SpecialFX/EffectTable.h"

#include <array>
#include <memory>

class CGame;
class CSfxTrail;
class EffectImpl;

class CSpecialFXManager {
public:
    explicit CSpecialFXManager(CGame* game);
    ~CSpecialFXManager();
    CSpecialFXManager(const CSpecialFXManager&) = delete;
    CSpecialFXManager& operator=(const CSpecialFXManager&) = delete;

    void Initialize() {}
    void Update(int) {}
    void Render() {}
    void Render2D() {}
    void Load();
    void Unload() { Clear(); }
    void Destroy() { Clear(); }
    void Clear();

    EffectImpl* GetEffect(SFX_EFFECT_TYPE type);  // kept by the pool; none outside 0-125
    void LoadEffect(SFX_EFFECT_TYPE type, int slot);
    EffectImpl* CreateEffect(SFX_EFFECT_TYPE type);  // the caller's, or none
    CSfxTrail* CreateTrail(int i, float x, float y, float z);  // the caller's

    EffectImpl* GetSlot(int slot) const;  // none for an empty or unknown slot
    int GetCursor(SFX_EFFECT_TYPE type) const;
    int GetLoadedSlotCount() const;

private:
    CGame* m_game;
    std::array<std::unique_ptr<EffectImpl>, SFX_EFFECT_SLOT_COUNT> m_effects;
    std::array<int, SFX_EFFECT_TYPE_COUNT> m_cursors{};
};
