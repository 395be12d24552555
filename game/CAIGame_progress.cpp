// The progress model: locations and levels, stars, secret levels, high scores, statistics,
// lives and the queue of freshly made achievements. Level indices run 0-104: 91 story levels
// (location x 13 + position, position 12 the boss), then the 14 secret levels (91 + secret).
// Every lookup is bounded: an index outside its table answers none (0, false or -1).
#include "game/CAIGame.h"

namespace {

constexpr int kLocations = 7;
constexpr int kLevelsPerLocation = 13;
constexpr int kStoryLevels = 91;
constexpr int kLevels = 105;
constexpr int kSecretStatuses = 16;

// Each location's two extra high-score entries, by level index.
constexpr int kExtraHighScore[2][kLocations] = {
    {91, 101, 93, 95, 97, 94, 98},
    {92, 102, 103, 100, 104, 99, 96},
};

bool isLevel(int level) { return level >= 0 && level < kLevels; }

// Level index of (location, position): a story level for positions 0-12, the location's listed
// secret level for 13 and up; -1 when there is none.
int levelOf(int location, int position)
{
    if (location < 0 || location >= kLocations || position < 0)
        return -1;
    if (position < kLevelsPerLocation)
        return location * kLevelsPerLocation + position;
    const CDataArray<CDataArray<int32_t>>& extra = CAIGame::s_extraLevelsIdPerLocalization;
    if (location >= extra.length)
        return -1;
    const CDataArray<int32_t>& row = extra.data[location];
    const int entry = position - kLevelsPerLocation;
    if (entry >= row.length)
        return -1;
    const int secret = row.data[entry];
    if (secret < 0 || kStoryLevels + secret >= kLevels)
        return -1;
    return kStoryLevels + secret;
}

const CDataArray<int32_t>* secretRow(int secret)
{
    const CDataArray<CDataArray<int32_t>>& stats = CAIGame::_secret_levels_stats;
    if (secret < 0 || secret >= stats.length)
        return nullptr;
    return &stats.data[secret];
}

int secretColumn(int secret, int column)
{
    const CDataArray<int32_t>* row = secretRow(secret);
    return row && column < row->length ? row->data[column] : -1;
}

// The row of s_secretLevels that lists the secret level's siblings, or null.
const CDataArray<int32_t>* siblingsOf(int secret)
{
    const int location = CAIGame::GetSecretLevelLocation(secret);
    const int source = CAIGame::GetSecretLevelSourceLevel(secret);
    if (location < 0 || location >= kLocations || source < 0 || source >= kLevelsPerLocation)
        return nullptr;
    return CAIGame::GetSecretLevelsInLevel(location * kLevelsPerLocation + source);
}

int64_t capScore(int64_t score) { return score > CAIGame::kScoreCap ? CAIGame::kScoreCap : score; }

}  // namespace

void CAIGame::ResetPerLevelStats()
{
    _nLevelHits = 0;
    _nLevelMoney = 0;
    _nLevelDeaths = 0;
    _nLevelTime = 0;
    _nNoDeathMoney = 0;
    _nLevelPadHits = 0;
    _nLevelBricksDestroyed = 0;
    _nLevelItemsCaught = 0;
    _nLevelBornBalls = 0;
    _nLevelLostBalls = 0;
    _lostAnyBall = false;
}

void CAIGame::ResetProgression()
{
    _current_story_level = 0;
    ResetPerLevelStats();
}

void CAIGame::UpdateStartProgression()
{
    if (_unlocked_locations[0] <= 0)
        _unlocked_locations[0] = 1;
}

bool CAIGame::ProgressionStarted() { return _unlocked_locations[0] > 0; }

int CAIGame::GetNextStoryLevel()
{
    int open = 0;
    while (open < kLocations && _unlocked_locations[open] > 0)
        ++open;
    if (open == 0)
        return -1;
    return (open - 1) * kLevelsPerLocation + _unlocked_locations[open - 1] - 1;
}

int CAIGame::GetLevelInLocation(int level) { return level <= 90 ? level % kLevelsPerLocation : -1; }

int CAIGame::GetLevelLocation(int level)
{
    return level > 90 ? secretColumn(level - kStoryLevels, 0) : level / kLevelsPerLocation;
}

bool CAIGame::HasLevelStar(int location, int position)
{
    const int level = levelOf(location, position);
    return isLevel(level) && _stars_status[level] != 0;
}

bool CAIGame::HasLevelGoldStar(int location, int position)
{
    const int level = levelOf(location, position);
    return isLevel(level) && _stars_gold_status[level] != 0;
}

bool CAIGame::HasLevelClearStar(int location, int position)
{
    const int level = levelOf(location, position);
    return isLevel(level) && _stars_clear_status[level] != 0;
}

CDataArray<int32_t>* CAIGame::GetSecretLevelsInLevel(int level)
{
    if (level < 0 || level >= kStoryLevels || level >= s_secretLevels.length)
        return nullptr;
    return &s_secretLevels.data[level];
}

int CAIGame::GetSecretLevelCount(int level)
{
    const CDataArray<int32_t>* row = GetSecretLevelsInLevel(level);
    return row ? row->length : 0;
}

int CAIGame::GetSecretLevelLocation(int secret) { return secretColumn(secret, 0); }
int CAIGame::GetSecretLevelSourceLevel(int secret) { return secretColumn(secret, 1); }

int CAIGame::GetSecretLevelStatus(int secret)
{
    return secret >= 0 && secret < kSecretStatuses ? s_secretLevelStatus[secret] : 0;
}

bool CAIGame::IsSecretLevelUnlocked(int secret) { return GetSecretLevelStatus(secret) != 0; }

bool CAIGame::IsSelectableSecretLevel(int location, int position, int n, bool force)
{
    if (location < 0 || location >= kLocations || position < 0 || position >= kLevelsPerLocation || n < 0)
        return false;
    const CDataArray<int32_t>* row = GetSecretLevelsInLevel(location * kLevelsPerLocation + position);
    if (!row || row->length <= n)
        return false;
    return force || IsSecretLevelUnlocked(row->data[n]);
}

int CAIGame::GetNextSecretLevel(int secret)
{
    const CDataArray<int32_t>* row = siblingsOf(secret);
    for (int i = 0; row && i + 1 < row->length; ++i) {
        if (row->data[i] == secret)
            return row->data[i + 1];
    }
    return -1;
}

int CAIGame::GetPreviousSecretLevel(int secret)
{
    const CDataArray<int32_t>* row = siblingsOf(secret);
    for (int i = 1; row && i < row->length; ++i) {
        if (row->data[i] == secret)
            return row->data[i - 1];
    }
    return -1;
}

void CAIGame::UnlockSecretLevels(int location)
{
    for (int secret = 0; secret < kSecretStatuses; ++secret) {
        if (GetSecretLevelLocation(secret) == location && s_secretLevelStatus[secret] == 0)
            s_secretLevelStatus[secret] = 1;
    }
}

void CAIGame::SecretLevelDefeated(int secret)
{
    if (secret >= 0 && secret < kSecretStatuses)
        s_secretLevelStatus[secret] = 2;
}

void CAIGame::ResetSecretLevelsStatus()
{
    for (uint8_t& status : s_secretLevelStatus)
        status = 0;
}

void CAIGame::ResetHighScoreStats()
{
    for (int64_t& score : _stats_HS)
        score = 0;
}

int CAIGame::ExtraHighScoreLevel(int location, int which)
{
    if (location < 0 || location >= kLocations)
        return 91 + which;
    return kExtraHighScore[which][location];
}

int64_t CAIGame::GetGivenSmallLevelHS(int level) { return isLevel(level) ? _stats_HS[level] : 0; }

int64_t CAIGame::GetGivenSmallLevelHS(int location, int position)
{
    if (position >= kLevelsPerLocation)
        return _stats_HS[ExtraHighScoreLevel(location, position == kLevelsPerLocation ? 0 : 1)];
    if (location < 0 || location >= kLocations || position < 0)
        return 0;
    return _stats_HS[location * kLevelsPerLocation + position];
}

int64_t CAIGame::GetGivenBigLevelHS(int location)
{
    // Summed wide: scores read from a file are not capped, and the sum must not wrap.
    __int128 sum = 0;
    for (int position = 0; position <= kLevelsPerLocation + 1; ++position)
        sum += GetGivenSmallLevelHS(location, position);
    return sum > kScoreCap ? kScoreCap : int64_t(sum);
}

void CAIGame::UpdateSmallLevelHS(int level, int64_t score)
{
    if (isLevel(level))
        _stats_HS[level] = capScore(score);
}

void CAIGame::ResetGeneralStats()
{
    for (int64_t& stat : _stats)
        stat = 0;
}

void CAIGame::UpdateLife()
{
    if (_game_mode == 8) {
        _life = 1;
        return;
    }
    const int lives = GetLifesOnLocation(_unlocked_locations[1]) + m_arrayEquipCount[0];
    if (_game_mode != 7 || _currentPlace == 0)
        _life = lives;
}

void CAIGame::OnFinishAchievement(int achievement)
{
    if (m_nCurrentAchievementCount < 0 || m_nCurrentAchievementCount >= 30)
        return;   // each achievement is made once: thirty at most
    m_CurrentAchievement[m_nCurrentAchievementCount++] = achievement;
    m_nAchievementShowCounter = 6000;
}
