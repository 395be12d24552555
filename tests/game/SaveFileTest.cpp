// The save record: its layout, the reader's conversions, first launch and erase, the round trip
// through the game's reader and writer, and the writer's hand-over to its thread.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "audio/KezEngine.h"
#include "game/CSaveWriter.h"
#include "tests/game/GameTestSupport.h"
#include "tests/support/TempDir.h"
#include "tools/formats/SaveFileWriter.h"

namespace {

using test::GameFixture;
namespace save = formats::save;

std::vector<uint8_t> fileBytes(const std::string& path)
{
    const std::string text = test::readFile(path);
    return std::vector<uint8_t>(text.begin(), text.end());
}

// Every field at a value of its own, all within range.
save::Fields distinctFields()
{
    save::Fields f;
    f.language = 6;
    f.storyLevel = 57;
    for (int i = 0; i < 7; ++i)
        f.locations[i] = uint8_t(14 - i);
    for (int i = 0; i < 14; ++i)
        f.upgrades[i] = uint8_t(i % 4);
    f.money = 1234567890123LL;
    for (int level = 0; level < 105; ++level) {
        f.stars[level] = level % 2;
        f.goldStars[level] = level % 3 == 0;
        f.clearStars[level] = level % 5 == 1;
    }
    f.allStars = 1;
    for (int i = 0; i < 40; ++i)
        f.gifts[i] = i % 7 == 2;
    for (int i = 0; i < 18; ++i)
        f.stats[i] = int64_t(1000003) * (i + 1) - 7;
    for (int i = 0; i < 105; ++i)
        f.highScores[i] = int64_t(999983) * i + 3;
    f.starsInShop = 77;
    for (int i = 0; i < 68; ++i)
        f.popupsShown[i] = i % 4 == 3;
    f.popupsOff = 1;
    f.storyTexts = 0;
    f.trajectory = 1;
    f.bulletTime = 1;
    for (int i = 0; i < 16; ++i)
        f.secretStatus[i] = uint8_t(i % 3);
    f.tilt = 1;
    std::memcpy(f.versionCode, "1.0.1\0\0", 8);
    f.volumeSFX = 37;
    f.volumeMusic = 64;
    f.tiltMode = 1;
    for (int i = 0; i < 30; ++i)
        f.achievements[i] = i % 2;
    for (int i = 32; i < 72; ++i)
        f.achievements[i] = uint8_t(i * 5);
    for (int i = 0; i < 5; ++i) {
        f.equipped[i] = i + 1;
        f.owned[i] = 100 * i + 9;
    }
    f.review = 0;
    f.finishedLevels = 13;
    return f;
}

class SaveFile : public ::testing::Test {
protected:
    SaveFile() { CAIGame::SetSaveFolder(dir.path().string() + "/data/"); }
    ~SaveFile() override
    {
        CSaveWriter::Get().WaitIdle();
        g_bReview = true;
        g_nFinishLevelNum = 0;
        std::memset(g_versionCode, 0, sizeof g_versionCode);
    }
    std::string path() const { return CAIGame::SaveFilePath(); }
    void put(const std::vector<uint8_t>& bytes) const
    {
        std::filesystem::create_directories(dir.path() / "data");
        ASSERT_TRUE(save::WriteFile(path(), bytes));
    }
    std::vector<uint8_t> saved() const
    {
        CSaveWriter::Get().WaitIdle();
        return fileBytes(path());
    }

    test::TempDir dir;
    GameFixture f;
};

TEST_F(SaveFile, LayoutOfEveryField)
{
    const std::vector<uint8_t> r = save::Record(distinctFields());
    ASSERT_EQ(r.size(), 2000u);
    const struct {
        int offset;
        uint8_t value;
    } bytes[] = {
        {0, 8},       {1, 6},        {2, 57},      {3, 14},      {9, 8},          {10, 0},      {23, 1},
        {24, 0xCB},   {31, 0},       {32, 0},      {33, 1},      {34, 0},         {35, 1},      {346, 0},
        {347, 1},     {350, 1},      {387, 0},     {388, 0x3C},  {532, 3},        {1371, 0},    {1372, 77},
        {1376, 1},    {1441, 1},     {1442, 0},    {1443, 1},    {1446, 0},       {1447, 1},    {1452, 1},
        {1453, 2},    {1467, 1},     {1468, '1'},  {1472, '1'},  {1473, 0},       {1476, 37},   {1477, 64},
        {1478, 1},    {1480, 1},     {1511, 160},  {1550, 99},   {1551, 1},       {1555, 2},    {1571, 9},
        {1575, 109},  {1590, 0},     {1720, 0},    {1721, 13},   {1999, 0},
    };
    for (const auto& b : bytes)
        EXPECT_EQ(r[b.offset], b.value) << "offset " << b.offset;
    EXPECT_EQ(CAIGame::ReadLong(r.data(), 24), 1234567890123LL);
    EXPECT_EQ(CAIGame::ReadLong(r.data(), 388 + 17 * 8), 1000003LL * 18 - 7);
    EXPECT_EQ(CAIGame::ReadLong(r.data(), 532 + 104 * 8), 999983LL * 104 + 3);
    EXPECT_EQ(CAIGame::ReadInt(r.data(), 1571 + 16), 409);
    for (int i = 1591; i < 1720; ++i)
        ASSERT_EQ(r[i], 0) << i;
    for (int i = 1722; i < 2000; ++i)
        ASSERT_EQ(r[i], 0) << i;
}

TEST_F(SaveFile, AccessorsAreLittleEndianAndShortsSignExtend)
{
    unsigned char b[8] = {};
    EXPECT_EQ(CAIGame::WriteInt(b, 1, -2), 5);
    EXPECT_EQ(b[1], 0xFE);
    EXPECT_EQ(b[4], 0xFF);
    EXPECT_EQ(CAIGame::ReadInt(b, 1), -2);
    EXPECT_EQ(CAIGame::WriteShort(b, 0, int16_t(-300)), 2);
    EXPECT_EQ(CAIGame::ReadShort(b, 0), -300);
    EXPECT_EQ(CAIGame::WriteLong(b, 0, 0x0102030405060708LL), 8);
    EXPECT_EQ(b[0], 8);
    EXPECT_EQ(b[7], 1);
    EXPECT_EQ(CAIGame::ReadLong(b, 0), 0x0102030405060708LL);
}

TEST_F(SaveFile, RoundTripThroughTheGameIsByteExact)
{
    const std::vector<uint8_t> record = save::Record(distinctFields());
    put(record);
    CAIGame::SaveLoad();
    EXPECT_FALSE(CAIGame::s_isFirstLaunch);
    EXPECT_EQ(CAIGame::s_gameLanguage, 6);
    EXPECT_EQ(CAIGame::m_storyModeScore, 1234567890123LL);
    EXPECT_EQ(f.game->m_achievement.m_made[1], 1);
    EXPECT_FALSE(g_bReview);
    CAIGame::SaveWrite();
    EXPECT_EQ(saved(), record);
    EXPECT_EQ(std::memcmp(CAIGame::m_recordStoreBuffer, record.data(), 2000), 0);
}

TEST_F(SaveFile, FirstLaunchWritesAFreshRecord)
{
    CAIGame::SaveLoad();
    EXPECT_TRUE(CAIGame::s_isFirstLaunch);
    const std::vector<uint8_t> r = saved();
    ASSERT_EQ(r.size(), 2000u);
    const struct {
        int offset;
        uint8_t value;
    } bytes[] = {{0, 8},      {1468, '1'}, {1469, '.'}, {1470, '0'}, {1471, '.'}, {1472, '2'}, {1473, 0},
                 {1474, 0},   {1475, 0},   {1476, 100}, {1477, 100}, {1442, 1},   {1441, 0},   {1720, 0xFF},
                 {1721, 0},   {1443, 0},   {24, 0}};
    for (const auto& b : bytes)
        EXPECT_EQ(r[b.offset], b.value) << "offset " << b.offset;
    for (int i = 1591; i < 1720; ++i)
        ASSERT_EQ(r[i], 0) << i;
    for (int i = 1722; i < 2000; ++i)
        ASSERT_EQ(r[i], 0) << i;
    EXPECT_FALSE(std::filesystem::exists(path() + ".tmp"));
}

TEST_F(SaveFile, AnotherVersionIsErasedKeepingTheSettingsInMemory)
{
    save::Fields old = distinctFields();
    old.version = 7;
    put(save::Record(old));
    CAIGame::s_gameLanguage = 2;
    CAIGame::s_nVolumeMusic = 40;
    CAIGame::m_arrayPurchaseCount[1] = 6;
    test::GameAudio audio;
    CAIGame::SaveLoad();
    EXPECT_TRUE(CAIGame::s_isFirstLaunch);
    EXPECT_EQ(CAIGame::m_storyModeScore, 0);
    const std::vector<uint8_t> r = saved();
    ASSERT_EQ(r.size(), 2000u);
    save::Fields back;
    DecodeSaveRecord(r.data(), back);
    EXPECT_EQ(back.version, 8);
    EXPECT_EQ(back.money, 0);
    EXPECT_EQ(back.stars[1], 0);
    EXPECT_EQ(back.stats[0], 0);
    EXPECT_EQ(back.highScores[5], 0);
    EXPECT_EQ(back.language, 2);
    EXPECT_EQ(back.volumeSFX, 100);
    EXPECT_EQ(back.volumeMusic, 40);
    EXPECT_EQ(back.owned[1], 6);
    // The volumes kept reach the audio engine's music and effect groups.
    ASSERT_NE(audio.kez().Engine(), nullptr);
    EXPECT_FLOAT_EQ(audio.kez().Engine()->GetGroupGain(1), 0.4f);
    EXPECT_FLOAT_EQ(audio.kez().Engine()->GetGroupGain(2), 1.0f);
}

TEST_F(SaveFile, FilesOfAnotherSizeStartAsFirstLaunches)
{
    const std::vector<uint8_t> good = save::Record(distinctFields());
    for (const size_t size : {size_t(0), size_t(1), size_t(1721), size_t(1999), size_t(2001), size_t(4096)}) {
        SCOPED_TRACE(size);
        std::vector<uint8_t> bytes = good;
        bytes.resize(size, 0x5A);
        put(bytes);
        CAIGame::s_isFirstLaunch = false;
        CAIGame::m_storyModeScore = 5;
        CAIGame::SaveLoad();
        EXPECT_TRUE(CAIGame::s_isFirstLaunch);
        EXPECT_EQ(CAIGame::m_storyModeScore, 0);
        const std::vector<uint8_t> r = saved();
        ASSERT_EQ(r.size(), 2000u);
        EXPECT_EQ(r[0], 8);
    }
}

TEST_F(SaveFile, ReadBackBringsValuesIntoRange)
{
    const struct {
        const char* why;
        int offset;
        uint8_t value;
        int64_t (*read)();
        int64_t expected;
    } rows[] = {
        {"trajectory 2 is off", 1443, 2, [] { return int64_t(CAIGame::s_useBallTrajectory); }, 0},
        {"trajectory 1 is on", 1443, 1, [] { return int64_t(CAIGame::s_useBallTrajectory); }, 1},
        {"bullet time 3 is off", 1447, 3, [] { return int64_t(CAIGame::s_useBulletTime); }, 0},
        {"tilt mode 5 reads 1", 1478, 5, [] { return int64_t(CAIGame::m_nGyroscopeMode); }, 1},
        {"story level 0xFF is over", 2, 0xFF, [] { return int64_t(CAIGame::_current_story_level); }, -1},
        {"story level 90", 2, 90, [] { return int64_t(CAIGame::_current_story_level); }, 90},
        {"language 9 is English", 1, 9, [] { return int64_t(CAIGame::s_gameLanguage); }, 0},
        {"language 8 stays", 1, 8, [] { return int64_t(CAIGame::s_gameLanguage); }, 8},
        {"effects volume 200", 1476, 200, [] { return int64_t(CAIGame::s_nVolumeSFX); }, 100},
        {"music volume 255", 1477, 255, [] { return int64_t(CAIGame::s_nVolumeMusic); }, 100},
        {"location byte 20", 5, 20, [] { return int64_t(CAIGame::_unlocked_locations[2]); }, 14},
        {"upgrade 9", 12, 9, [] { return int64_t(CAIGame::_upgrades_bought[2]); }, 3},
        {"secret status 7", 1451 + 15, 7, [] { return int64_t(CAIGame::s_secretLevelStatus[15]); }, 2},
        {"star flag 5 is set", 32 + 3, 5, [] { return int64_t(CAIGame::_stars_status[1]); }, 1},
        {"pop-ups off flag", 1441, 1, [] { return int64_t(CAIGame::m_isDeactivatedPopUp); }, 1},
        {"review 0x7F keeps the flag", 1720, 0x7F, [] { return int64_t(g_bReview); }, 1},
        {"review 0 clears it", 1720, 0, [] { return int64_t(g_bReview); }, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        g_bReview = true;
        std::vector<uint8_t> bytes = save::Record(save::Fields{});
        bytes[row.offset] = row.value;
        put(bytes);
        CAIRacket::_shieldMaxStrength = 1;
        CAIRacket::s_Racket_speed_max = 1;
        CAIGame::SaveLoad();
        EXPECT_FALSE(CAIGame::s_isFirstLaunch);
        EXPECT_EQ(row.read(), row.expected);
        EXPECT_EQ(CAIRacket::_shieldMaxStrength, 4);
        EXPECT_EQ(CAIRacket::s_Racket_speed_max, 0x5600);
    }
}

TEST_F(SaveFile, EraseKeepsConsumablesAndSettings)
{
    put(save::Record(distinctFields()));
    CAIGame::SaveLoad();
    CSaveWriter::Get().WaitIdle();
    CAIGame::SaveDelete();
    const std::vector<uint8_t> r = saved();
    ASSERT_EQ(r.size(), 2000u);
    save::Fields back;
    DecodeSaveRecord(r.data(), back);
    const save::Fields was = distinctFields();
    // Kept: settings, consumables, version code, review flag, counter.
    EXPECT_EQ(back.language, was.language);
    EXPECT_EQ(back.volumeSFX, was.volumeSFX);
    EXPECT_EQ(back.volumeMusic, was.volumeMusic);
    EXPECT_EQ(back.storyTexts, was.storyTexts);
    EXPECT_EQ(back.popupsOff, was.popupsOff);
    EXPECT_EQ(back.trajectory, 1);
    EXPECT_EQ(back.bulletTime, 1);
    EXPECT_EQ(back.tilt, 1);
    EXPECT_EQ(back.tiltMode, 1);
    EXPECT_EQ(std::memcmp(back.equipped, was.equipped, sizeof was.equipped), 0);
    EXPECT_EQ(std::memcmp(back.owned, was.owned, sizeof was.owned), 0);
    EXPECT_EQ(std::memcmp(back.versionCode, was.versionCode, 8), 0);
    EXPECT_EQ(back.review, was.review);
    EXPECT_EQ(back.finishedLevels, was.finishedLevels);
    // Cleared: progress, money, stars, gifts, statistics, scores, achievements.
    const save::Fields fresh;
    EXPECT_EQ(back.money, 0);
    EXPECT_EQ(back.storyLevel, 0);
    EXPECT_EQ(std::memcmp(back.locations, fresh.locations, 7), 0);
    EXPECT_EQ(std::memcmp(back.upgrades, fresh.upgrades, 14), 0);
    EXPECT_EQ(std::memcmp(back.stars, fresh.stars, 105), 0);
    EXPECT_EQ(std::memcmp(back.goldStars, fresh.goldStars, 105), 0);
    EXPECT_EQ(std::memcmp(back.gifts, fresh.gifts, 40), 0);
    EXPECT_EQ(std::memcmp(back.stats, fresh.stats, sizeof fresh.stats), 0);
    EXPECT_EQ(std::memcmp(back.highScores, fresh.highScores, sizeof fresh.highScores), 0);
    EXPECT_EQ(std::memcmp(back.achievements, fresh.achievements, 72), 0);
    EXPECT_EQ(std::memcmp(back.secretStatus, fresh.secretStatus, 16), 0);
    EXPECT_EQ(std::memcmp(back.popupsShown, fresh.popupsShown, 68), 0);
    EXPECT_EQ(back.allStars, 0);
    EXPECT_EQ(back.starsInShop, 0);
}

TEST_F(SaveFile, SavesAskedInOneFrameLeaveTheNewestCompleteRecord)
{
    for (int money = 1; money <= 5; ++money) {
        CAIGame::m_storyModeScore = money;
        CAIGame::_stats[0] = money;
        CAIGame::SaveWrite();
    }
    const std::vector<uint8_t> r = saved();
    ASSERT_EQ(r.size(), 2000u);
    EXPECT_EQ(CAIGame::ReadLong(r.data(), 24), 5);
    EXPECT_EQ(CAIGame::ReadLong(r.data(), 388), 5);
    EXPECT_FALSE(std::filesystem::exists(path() + ".tmp"));
}

TEST_F(SaveFile, SaveNeverChangesTheWorkingDirectory)
{
    const std::filesystem::path before = std::filesystem::current_path();
    CAIGame::SaveLoad();
    CAIGame::SaveWrite();
    CSaveWriter::Get().WaitIdle();
    EXPECT_EQ(std::filesystem::current_path(), before);
    EXPECT_TRUE(std::filesystem::exists(path()));
}

TEST_F(SaveFile, AFailedWriteLeavesTheOldFile)
{
    put(save::Record(distinctFields()));
    // A folder where the temporary file must go cannot be written.
    std::filesystem::create_directory(path() + ".tmp");
    EXPECT_FALSE(CSaveWriter::WriteAtomically(path(), save::Record(save::Fields{}).data(), 2000));
    EXPECT_EQ(fileBytes(path()), save::Record(distinctFields()));
    std::filesystem::remove(path() + ".tmp");
    EXPECT_TRUE(CSaveWriter::WriteAtomically(path(), save::Record(save::Fields{}).data(), 2000));
    EXPECT_EQ(fileBytes(path()), save::Record(save::Fields{}));
}

TEST_F(SaveFile, SaveIsTraced)
{
    const std::string trace = dir.file("trace.txt");
    TraceOpen(trace);
    CAIGame::SaveWrite();
    TraceOpen("");
    EXPECT_NE(test::readFile(trace).find(" save\n"), std::string::npos);
}

}  // namespace
