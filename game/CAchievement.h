// The player's 30 achievements: made flags and the lifetime counters behind them. One instance
// (the game controller's member) registers itself in g_pAchievement. Its 72-byte save block,
// little-endian:
//   0 made flags, 30 bytes (0 or 1)   30 reserved, 2 bytes (0)   32 deaths   36 shares
//   40 levels finished   44 perfect levels   48 bricks destroyed   52 by fire   56 by freezer
//   60 enemies killed   64 Anger kills   68 Eater kills   (each int32)
// The game-event hooks that count and make achievements come with level play.
#pragma once

#include <cstdint>

enum GAME_ACHIEVEMENT : int32_t {};

class CAchievement {
public:
    static constexpr int kCount = 30;
    static constexpr int kBlockSize = 72;

    CAchievement();            // registers itself and clears the block
    virtual void OnFinishAchievement(GAME_ACHIEVEMENT achievement) { (void)achievement; }
    virtual ~CAchievement();   // unregisters itself

    static CAchievement* GetAchievement() { return g_pAchievement; }

    void Initialize();                            // block and item count to 0
    int Save(unsigned char* buffer, int offset);  // the block at buffer + offset; offset + 72
    int Load(const unsigned char* buffer, int offset);
    bool IsAchievementMake(GAME_ACHIEVEMENT achievement) const;
    void TestAndMakeAchievement(GAME_ACHIEVEMENT achievement);   // makes it once, then tells

    int32_t m_itemsThisLevel = 0;
    uint8_t m_made[kCount] = {};
    int32_t m_deaths = 0;
    int32_t m_shares = 0;
    int32_t m_levelsFinished = 0;
    int32_t m_perfectLevels = 0;
    int32_t m_bricksDestroyed = 0;
    int32_t m_bricksByFire = 0;
    int32_t m_bricksByFreezer = 0;
    int32_t m_enemiesKilled = 0;
    int32_t m_angerKills = 0;
    int32_t m_eaterKills = 0;

private:
    static CAchievement* g_pAchievement;
};
