#include "game/CAchievement.h"
#include "engine/core/LittleEndian.h"

#include <cstring>

CAchievement* CAchievement::g_pAchievement = nullptr;

namespace {

void put32(unsigned char* p, int32_t v)
{
    const uint32_t u = uint32_t(v);
    p[0] = uint8_t(u), p[1] = uint8_t(u >> 8), p[2] = uint8_t(u >> 16), p[3] = uint8_t(u >> 24);
}

int32_t get32(const unsigned char* p)
{
    return int32_t(pravik::core::le32(p));
}

}  // namespace

CAchievement::CAchievement()
{
    g_pAchievement = this;
    Initialize();
}

CAchievement::~CAchievement()
{
    if (g_pAchievement == this)
        g_pAchievement = nullptr;
}

void CAchievement::Initialize()
{
    m_itemsThisLevel = 0;
    std::memset(m_made, 0, sizeof m_made);
    m_deaths = m_shares = m_levelsFinished = m_perfectLevels = 0;
    m_bricksDestroyed = m_bricksByFire = m_bricksByFreezer = 0;
    m_enemiesKilled = m_angerKills = m_eaterKills = 0;
}

int CAchievement::Save(unsigned char* buffer, int offset)
{
    unsigned char* p = buffer + offset;
    std::memcpy(p, m_made, kCount);
    p[30] = p[31] = 0;
    const int32_t counters[10] = {m_deaths, m_shares, m_levelsFinished, m_perfectLevels, m_bricksDestroyed,
                                  m_bricksByFire, m_bricksByFreezer, m_enemiesKilled, m_angerKills, m_eaterKills};
    for (int i = 0; i < 10; ++i)
        put32(p + 32 + 4 * i, counters[i]);
    return offset + kBlockSize;
}

int CAchievement::Load(const unsigned char* buffer, int offset)
{
    const unsigned char* p = buffer + offset;
    std::memcpy(m_made, p, kCount);
    int32_t* counters[10] = {&m_deaths, &m_shares, &m_levelsFinished, &m_perfectLevels, &m_bricksDestroyed,
                             &m_bricksByFire, &m_bricksByFreezer, &m_enemiesKilled, &m_angerKills, &m_eaterKills};
    for (int i = 0; i < 10; ++i)
        *counters[i] = get32(p + 32 + 4 * i);
    return offset + kBlockSize;
}

bool CAchievement::IsAchievementMake(GAME_ACHIEVEMENT achievement) const
{
    return achievement >= 0 && achievement < kCount && m_made[achievement] != 0;
}

void CAchievement::TestAndMakeAchievement(GAME_ACHIEVEMENT achievement)
{
    if (achievement < 0 || achievement >= kCount || m_made[achievement])
        return;
    m_made[achievement] = 1;   // set before telling, so a listener sees it made
    OnFinishAchievement(achievement);
}
