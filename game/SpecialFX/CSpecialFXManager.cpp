#include "game/SpecialFX/CSpecialFXManager.h"

#include "effects/EffectImpl.h"
#include "effects/ZuduvaHost.h"
#include "engine/scene/CSceneManager.h"
#include "game/SpecialFX/CSfxTrail.h"

#include <cstdio>

CSpecialFXManager::CSpecialFXManager(CGame* game) : m_game(game)
{
    for (int t = 0; t < SFX_EFFECT_TYPE_COUNT; ++t)
        m_cursors[size_t(t)] = GetEffectBeginIdx(t);
}

CSpecialFXManager::~CSpecialFXManager() { Destroy(); }

void CSpecialFXManager::Clear()
{
    for (auto& slot : m_effects)
        slot.reset();
    for (int t = 0; t < SFX_EFFECT_TYPE_COUNT; ++t)
        m_cursors[size_t(t)] = GetEffectBeginIdx(t);
}

EffectImpl* CSpecialFXManager::GetSlot(int slot) const
{
    return slot >= 0 && slot < SFX_EFFECT_SLOT_COUNT ? m_effects[size_t(slot)].get() : nullptr;
}

int CSpecialFXManager::GetCursor(SFX_EFFECT_TYPE type) const
{
    return type >= 0 && type < SFX_EFFECT_TYPE_COUNT ? m_cursors[size_t(type)] : -1;
}

int CSpecialFXManager::GetLoadedSlotCount() const
{
    int n = 0;
    for (const auto& slot : m_effects)
        n += slot != nullptr;
    return n;
}

EffectImpl* CSpecialFXManager::GetEffect(SFX_EFFECT_TYPE type)
{
    const int first = GetEffectBeginIdx(type), last = GetEffectEndIdx(type);
    if (first < 0 || last < first)
        return nullptr;
    const int n = last - first + 1;
    int& cursor = m_cursors[size_t(type)];
    int c = cursor;
    EffectImpl* taken = nullptr;
    for (int i = 0; i < n; ++i) {
        EffectImpl* e = m_effects[size_t(c)].get();
        if (!e) {
            LoadEffect(type, c);
            std::printf("----Load Effect %d\r\n", type);
            std::fflush(stdout);
            taken = m_effects[size_t(c)].get();
            break;
        }
        if (e->IsFinished()) {
            e->ResetAll();
            e->SetVisible(true);
            return e;
        }
        c = c == last ? first : c + 1;
    }
    if (!taken)
        taken = m_effects[size_t(cursor)].get();  // all busy: the one at the cursor starts over
    cursor = cursor == last ? first : cursor + 1;
    taken->ResetAll();
    taken->SetVisible(true);
    return taken;
}

void CSpecialFXManager::LoadEffect(SFX_EFFECT_TYPE type, int slot)
{
    if (slot < 0 || slot >= SFX_EFFECT_SLOT_COUNT || type < 0 || type >= SFX_EFFECT_TYPE_COUNT)
        return;
    if (!m_effects[size_t(slot)])
        m_effects[size_t(slot)] = std::make_unique<EffectImpl>();
    EffectImpl& e = *m_effects[size_t(slot)];
    if (e.LoadEffect(g_chEffectFileName[type])) {
        IZuduvaHost* host = ZuduvaGetHost();
        pravik::scene::CSceneManager* smgr = host ? host->getSceneManager() : nullptr;
        e.AttachToNode(smgr ? smgr->getRootSceneNode() : nullptr);
        e.SetVisible(false);
        e.SetScale(0.03f);
        e.SetScale(pravik::core::vector3d<float>(1.f, 1.f, 1.f));
    } else {
        std::printf("Effect not loaded %i", slot);
        std::fflush(stdout);
    }
}

void CSpecialFXManager::Load()
{
    for (int t = 0; t < SFX_EFFECT_TYPE_COUNT; ++t) {
        if (!IsEffectPreloaded(t))
            continue;
        const int n = GetEffectEndIdx(t) - GetEffectBeginIdx(t) + 1;
        for (int i = 0; i < n; ++i)
            GetEffect(t);
    }
    for (auto& slot : m_effects)
        if (slot)
            slot->SetVisible(false);
}

EffectImpl* CSpecialFXManager::CreateEffect(SFX_EFFECT_TYPE type)
{
    if (type < 0 || type >= SFX_EFFECT_TYPE_COUNT)
        return nullptr;
    auto e = std::make_unique<EffectImpl>();
    if (!e->LoadEffect(g_chEffectFileName[type]))
        return nullptr;
    e->SetScale(0.03f);
    e->SetScale(pravik::core::vector3d<float>(1.f, 1.f, 1.f));
    e->SetVisible(true);
    e->ResetAll();
    return e.release();
}

CSfxTrail* CSpecialFXManager::CreateTrail(int i, float x, float y, float z)
{
    auto* trail = new CSfxTrail(m_game);
    trail->Custom(x, y, z);
    trail->Custom(i);
    return trail;
}
