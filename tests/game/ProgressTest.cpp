// The progress model: story levels, stars, secret levels, high scores and lives.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/game/GameTestSupport.h"

namespace {

using test::GameFixture;

constexpr int64_t kCap = 9999999999999LL;

void setRows(CDataArray<CDataArray<int32_t>>& table, const std::vector<std::vector<int32_t>>& rows)
{
    table.NewArray(int(rows.size()));
    for (size_t r = 0; r < rows.size(); ++r) {
        table.data[r].NewArray(int(rows[r].size()));
        std::copy(rows[r].begin(), rows[r].end(), table.data[r].data);
    }
}

// Secret levels as the global tables would give them: secret n's location and source position;
// s_secretLevels and the per-location extra ids follow from it.
void loadSecretTables(const std::vector<std::vector<int32_t>>& secrets)
{
    setRows(CAIGame::_secret_levels_stats, secrets);
    std::vector<std::vector<int32_t>> byLevel(91);
    std::vector<std::vector<int32_t>> extra(7, std::vector<int32_t>{-1, -1});
    std::vector<int> perLocation(7, 0);
    for (size_t s = 0; s < secrets.size(); ++s) {
        const int location = secrets[s][0];
        byLevel[location * 13 + secrets[s][1]].push_back(int32_t(s));
        if (perLocation[location] < 2)
            extra[location][perLocation[location]++] = int32_t(s);
    }
    setRows(CAIGame::s_secretLevels, byLevel);
    setRows(CAIGame::s_extraLevelsIdPerLocalization, extra);
}

TEST(Progress, HighScoresAreCapped)
{
    GameFixture f;
    for (int position = 0; position < 13; ++position)
        CAIGame::UpdateSmallLevelHS(position, kCap);
    CAIGame::UpdateSmallLevelHS(91, kCap);
    CAIGame::UpdateSmallLevelHS(92, kCap);
    EXPECT_EQ(CAIGame::GetGivenBigLevelHS(0), kCap);

    CAIGame::UpdateSmallLevelHS(3, 10000000000000LL);
    EXPECT_EQ(CAIGame::GetGivenSmallLevelHS(3), kCap);
    CAIGame::UpdateSmallLevelHS(3, 12);   // no comparison with the old score
    EXPECT_EQ(CAIGame::GetGivenSmallLevelHS(3), 12);
    CAIGame::UpdateSmallLevelHS(105, 1);  // no such level: nothing written
    CAIGame::UpdateSmallLevelHS(-1, 1);
    EXPECT_EQ(CAIGame::GetGivenSmallLevelHS(105), 0);

    // Scores from a file are not capped; their sum must not wrap.
    CAIGame::_stats_HS[14] = INT64_MAX;
    CAIGame::_stats_HS[15] = INT64_MAX;
    EXPECT_EQ(CAIGame::GetGivenBigLevelHS(1), kCap);
}

TEST(Progress, ExtraHighScoreEntriesByLocation)
{
    GameFixture f;
    for (int level = 0; level < 105; ++level)
        CAIGame::_stats_HS[level] = level * 10;
    const struct {
        int location, position;
        int64_t score;
    } rows[] = {
        {0, 0, 0},     {2, 12, 380},  {0, 13, 910},  {0, 14, 920},  {0, 20, 920},  {1, 13, 1010},
        {1, 14, 1020}, {2, 13, 930},  {2, 14, 1030}, {3, 13, 950},  {3, 14, 1000}, {4, 13, 970},
        {4, 14, 1040}, {5, 13, 940},  {5, 14, 990},  {6, 13, 980},  {6, 14, 960},  {9, 13, 910},
        {-1, 14, 920}, {9, 3, 0},     {-1, 0, 0},
    };
    for (const auto& row : rows)
        EXPECT_EQ(CAIGame::GetGivenSmallLevelHS(row.location, row.position), row.score)
            << row.location << "," << row.position;
    int64_t location3 = 950 + 1000;
    for (int p = 0; p < 13; ++p)
        location3 += (39 + p) * 10;
    EXPECT_EQ(CAIGame::GetGivenBigLevelHS(3), location3);
    CAIGame::_current_level_HS = 7;
    EXPECT_EQ(CAIGame::GetGameHighScore(), 70);
}

TEST(Progress, StoryLevels)
{
    GameFixture f;
    const struct {
        std::vector<int16_t> locations;
        int next;
    } rows[] = {
        {{14, 14, 3, 0, 0, 0, 0}, 28},
        {{1, 0, 0, 0, 0, 0, 0}, 0},
        {{13, 0, 0, 0, 0, 0, 0}, 12},
        {{14, 14, 14, 14, 14, 14, 14}, 91},
        {{0, 5, 0, 0, 0, 0, 0}, -1},   // nothing open: no story level
        {{2, 0, 4, 0, 0, 0, 0}, 1},    // only leading open locations count
    };
    for (const auto& row : rows) {
        std::copy(row.locations.begin(), row.locations.end(), CAIGame::_unlocked_locations);
        EXPECT_EQ(CAIGame::GetNextStoryLevel(), row.next) << row.next;
    }
    const std::pair<int, int> inLocation[] = {{90, 12}, {91, -1}, {-1, -1}, {0, 0}, {14, 1}, {104, -1}};
    for (const auto& [level, position] : inLocation)
        EXPECT_EQ(CAIGame::GetLevelInLocation(level), position) << level;

    std::fill(CAIGame::_unlocked_locations, CAIGame::_unlocked_locations + 7, 0);
    EXPECT_FALSE(CAIGame::ProgressionStarted());
    CAIGame::UpdateStartProgression();
    EXPECT_EQ(CAIGame::_unlocked_locations[0], 1);
    CAIGame::_unlocked_locations[0] = 9;
    CAIGame::UpdateStartProgression();
    EXPECT_EQ(CAIGame::_unlocked_locations[0], 9);
    EXPECT_TRUE(CAIGame::ProgressionStarted());
}

TEST(Progress, StarsThroughLocationAndPosition)
{
    GameFixture f;
    // Location 2 lists secrets 3 and 5; location 4 only secret 1.
    loadSecretTables({{0, 1}, {4, 2}, {0, 5}, {2, 4}, {1, 1}, {2, 9}});
    CAIGame::_stars_status[91 + 5] = 1;
    CAIGame::_stars_gold_status[91 + 3] = 1;
    CAIGame::_stars_clear_status[2 * 13 + 7] = 1;
    CAIGame::_stars_status[90] = 1;   // what a lookup through a missing entry must not read
    CAIGame::_stars_status[91] = 1;
    EXPECT_TRUE(CAIGame::HasLevelStar(2, 14));
    EXPECT_FALSE(CAIGame::HasLevelStar(2, 13));
    EXPECT_TRUE(CAIGame::HasLevelGoldStar(2, 13));
    EXPECT_TRUE(CAIGame::HasLevelClearStar(2, 7));
    EXPECT_FALSE(CAIGame::HasLevelStar(4, 14));   // no second secret level: none
    EXPECT_FALSE(CAIGame::HasLevelStar(6, 13));   // none at all
    EXPECT_FALSE(CAIGame::HasLevelStar(7, 0));
    EXPECT_FALSE(CAIGame::HasLevelStar(2, 15));
    EXPECT_TRUE(CAIGame::HasLevelStar(6, 12));

    EXPECT_EQ(CAIGame::GetLevelLocation(91 + 3), 2);
    EXPECT_EQ(CAIGame::GetLevelLocation(40), 3);
    EXPECT_EQ(CAIGame::GetLevelLocation(91 + 12), -1);   // no such secret level
    EXPECT_TRUE(CAIGame::IsSecretLevel(91));
    EXPECT_FALSE(CAIGame::IsSecretLevel(90));
}

TEST(Progress, SecretLevelsSelectableByStatusForceAndIndex)
{
    GameFixture f;
    // Level 5 (location 0, position 5) has secrets 0 and 2; level 1 has secret 4 (location 0).
    loadSecretTables({{0, 5}, {3, 3}, {0, 5}, {3, 3}, {0, 1}});
    CAIGame::s_secretLevelStatus[0] = 2;
    CAIGame::s_secretLevelStatus[2] = 0;
    const struct {
        int position, n;
        bool force, selectable;
    } rows[] = {
        {5, 0, false, true},    // defeated
        {5, 1, false, false},   // locked
        {5, 1, true, true},     // locked but forced
        {5, 2, true, false},    // past the row
        {5, -1, true, false},
        {4, 0, true, false},    // empty row
        {13, 0, true, false},   // no such position
    };
    for (const auto& row : rows)
        EXPECT_EQ(CAIGame::IsSelectableSecretLevel(0, row.position, row.n, row.force), row.selectable)
            << row.position << "," << row.n << "," << row.force;
    CAIGame::s_secretLevelStatus[2] = 1;
    EXPECT_TRUE(CAIGame::IsSelectableSecretLevel(0, 5, 1));

    EXPECT_EQ(CAIGame::GetSecretLevelCount(5), 2);
    EXPECT_EQ(CAIGame::GetSecretLevelCount(4), 0);
    EXPECT_EQ(CAIGame::GetSecretLevelCount(91), 0);
    EXPECT_EQ(CAIGame::GetNextSecretLevel(0), 2);
    EXPECT_EQ(CAIGame::GetNextSecretLevel(2), -1);
    EXPECT_EQ(CAIGame::GetPreviousSecretLevel(2), 0);
    EXPECT_EQ(CAIGame::GetPreviousSecretLevel(0), -1);
    EXPECT_EQ(CAIGame::GetNextSecretLevel(1), 3);
    EXPECT_EQ(CAIGame::GetNextSecretLevel(4), -1);
    EXPECT_EQ(CAIGame::GetNextSecretLevel(9), -1);   // not a secret level

    const int secrets[] = {-1, 0, 15, 16, 200};
    CAIGame::s_secretLevelStatus[15] = 1;
    for (int s : secrets)
        EXPECT_EQ(CAIGame::IsSecretLevelUnlocked(s), s == 0 || s == 15) << s;

    CAIGame::s_secretLevelStatus[1] = 0;
    CAIGame::s_secretLevelStatus[3] = 2;
    CAIGame::UnlockSecretLevels(3);
    EXPECT_EQ(CAIGame::GetSecretLevelStatus(1), 1);
    EXPECT_EQ(CAIGame::GetSecretLevelStatus(3), 2);
    CAIGame::SecretLevelDefeated(1);
    CAIGame::SecretLevelDefeated(16);
    EXPECT_EQ(CAIGame::GetSecretLevelStatus(1), 2);
    CAIGame::InitSecretsLevelsData();
    EXPECT_EQ(CAIGame::GetSecretLevelStatus(1), 0);
}

TEST(Progress, LivesAtLevelStart)
{
    const struct {
        const char* why;
        int mode, location1, place, lifeBefore, life;
    } rows[] = {
        {"story, location 1 locked", 9, 0, 0, 0, 5},
        {"story, location 1 open", 9, 3, 2, 0, 6},
        {"survival mode: one life", 8, 3, 0, 7, 1},
        {"boss rush, first location", 7, 0, 0, 1, 5},
        {"boss rush keeps what is left", 7, 0, 3, 2, 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        GameFixture f;
        CAIGame::m_arrayEquipCount[0] = 2;
        CAIGame::_game_mode = uint8_t(row.mode);
        CAIGame::_unlocked_locations[1] = int16_t(row.location1);
        CAIGame::_currentPlace = row.place;
        CAIGame::_life = row.lifeBefore;
        CAIGame::UpdateLife();
        EXPECT_EQ(CAIGame::_life, row.life);
    }
}

TEST(Progress, ResetsAndAchievementQueue)
{
    GameFixture f;
    CAIGame::_nLevelHits = 4;
    CAIGame::_nLevelTime = 99;
    CAIGame::_lostAnyBall = true;
    CAIGame::_current_story_level = 30;
    CAIGame::ResetProgression();
    EXPECT_EQ(CAIGame::_current_story_level, 0);
    EXPECT_EQ(CAIGame::_nLevelHits, 0);
    EXPECT_EQ(CAIGame::_nLevelTime, 0);
    EXPECT_FALSE(CAIGame::_lostAnyBall);
    CAIGame::_stats[17] = 3;
    CAIGame::ResetGeneralStats();
    EXPECT_EQ(CAIGame::_stats[17], 0);

    for (int a = 0; a < 31; ++a)
        CAIGame::OnFinishAchievement(a);
    EXPECT_EQ(CAIGame::m_nCurrentAchievementCount, 30);   // the queue holds thirty at most
    EXPECT_EQ(CAIGame::m_CurrentAchievement[29], 29);
    EXPECT_EQ(CAIGame::m_nAchievementShowCounter, 6000);
}

}  // namespace
