// The save file: the record is built from the statics on the main thread and handed to the
// writer thread (CSaveWriter); the reader takes a file of exactly 2000 bytes with version 8 and
// brings every field into range; anything else is a record of another version and is erased.
// Paths are absolute: nothing here changes the working directory.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <unistd.h>
#include <vector>

#include "game/CAIGame.h"
#include "game/CSaveWriter.h"
#include "game/SaveRecord.h"
#include "framework/AppPlaybook.h"

char g_versionCode[8] = {};
bool g_bReview = true;
int32_t g_nFinishLevelNum = 0;

namespace {

constexpr const char* kSaveName = "wzt5.sav";

std::string& chosenFolder()
{
    static std::string folder;   // set by SetSaveFolder
    return folder;
}

// The folder chosen, else the shell's save directory, else the start-up working directory's.
std::string saveFolder()
{
    if (!chosenFolder().empty())
        return chosenFolder();
    if (m_gSavPath[0])
        return m_gSavPath;
    static const std::string fallback = [] {
        std::error_code ec;
        return std::filesystem::current_path(ec).string() + "/data/";
    }();
    return fallback;
}

uint8_t flag(bool value) { return value ? 1 : 0; }
uint8_t atMost(uint8_t value, uint8_t limit) { return value > limit ? limit : value; }

}  // namespace

// ---- Little-endian accessors

int CAIGame::WriteInt(unsigned char* buffer, int offset, int32_t value)
{
    const uint32_t u = uint32_t(value);
    for (int i = 0; i < 4; ++i)
        buffer[offset + i] = uint8_t(u >> (8 * i));
    return offset + 4;
}

int CAIGame::WriteLong(unsigned char* buffer, int offset, int64_t value)
{
    const uint64_t u = uint64_t(value);
    for (int i = 0; i < 8; ++i)
        buffer[offset + i] = uint8_t(u >> (8 * i));
    return offset + 8;
}

int CAIGame::WriteShort(unsigned char* buffer, int offset, int16_t value)
{
    buffer[offset] = uint8_t(uint16_t(value));
    buffer[offset + 1] = uint8_t(uint16_t(value) >> 8);
    return offset + 2;
}

int32_t CAIGame::ReadInt(const unsigned char* buffer, int offset)
{
    uint32_t u = 0;
    for (int i = 3; i >= 0; --i)
        u = u << 8 | buffer[offset + i];
    return int32_t(u);
}

int64_t CAIGame::ReadLong(const unsigned char* buffer, int offset)
{
    uint64_t u = 0;
    for (int i = 7; i >= 0; --i)
        u = u << 8 | buffer[offset + i];
    return int64_t(u);
}

int16_t CAIGame::ReadShort(const unsigned char* buffer, int offset)
{
    return int16_t(uint16_t(buffer[offset] | buffer[offset + 1] << 8));
}

// ---- Paths

void CAIGame::SetSaveFolder(const std::string& folder)
{
    chosenFolder() = folder.empty() || folder.back() == '/' ? folder : folder + "/";
}

std::string CAIGame::SaveFilePath() { return saveFolder() + kSaveName; }

// ---- Record

void CAIGame::BuildSaveRecord(unsigned char* buffer)
{
    SSaveFields f;
    f.language = uint8_t(s_gameLanguage);
    f.storyLevel = uint8_t(_current_story_level);
    for (int i = 0; i < 7; ++i)
        f.locations[i] = uint8_t(_unlocked_locations[i]);
    std::memcpy(f.upgrades, _upgrades_bought, sizeof f.upgrades);
    f.money = m_storyModeScore;
    for (int level = 0; level < 105; ++level) {
        f.stars[level] = flag(_stars_status[level]);
        f.goldStars[level] = flag(_stars_gold_status[level]);
        f.clearStars[level] = flag(_stars_clear_status[level]);
    }
    f.allStars = flag(_allStarsUnlocked);
    for (int i = 0; i < 40; ++i)
        f.gifts[i] = flag(_gifts[i]);
    std::memcpy(f.stats, _stats, sizeof f.stats);
    std::memcpy(f.highScores, _stats_HS, sizeof f.highScores);
    f.starsInShop = _stars_in_shop;
    for (int i = 0; i < 68; ++i)
        f.popupsShown[i] = flag(_alreadyActivatedPopupBoxes[i]);
    f.popupsOff = flag(m_isDeactivatedPopUp);
    f.storyTexts = flag(_story);
    f.trajectory = s_useBallTrajectory ? 1 : 0;
    f.bulletTime = s_useBulletTime ? 1 : 0;
    std::memcpy(f.secretStatus, s_secretLevelStatus, sizeof f.secretStatus);
    f.tilt = flag(m_isGyroscope);
    CAIRacket::SetDefaultSpeeds();   // whatever the tilt setting
    std::memcpy(f.versionCode, g_versionCode, sizeof f.versionCode);
    f.volumeSFX = uint8_t(s_nVolumeSFX);
    f.volumeMusic = uint8_t(s_nVolumeMusic);
    f.tiltMode = uint8_t(m_nGyroscopeMode);
    if (CAchievement* achievements = CAchievement::GetAchievement())
        achievements->Save(f.achievements, 0);
    std::memcpy(f.equipped, m_arrayEquipCount, sizeof f.equipped);
    std::memcpy(f.owned, m_arrayPurchaseCount, sizeof f.owned);
    f.review = g_bReview ? 0xFF : 0;
    f.finishedLevels = uint8_t(g_nFinishLevelNum);
    EncodeSaveRecord(f, buffer);
}

void CAIGame::ApplySaveRecord(const unsigned char* record)
{
    SSaveFields f;
    DecodeSaveRecord(record, f);
    // Values a record of this version never holds are brought into range.
    s_gameLanguage = f.language > 8 ? 0 : f.language;
    _current_story_level = f.storyLevel == 0xFF ? -1 : f.storyLevel;
    for (int i = 0; i < 7; ++i)
        _unlocked_locations[i] = atMost(f.locations[i], 14);
    for (int i = 0; i < 14; ++i)
        _upgrades_bought[i] = atMost(f.upgrades[i], 3);
    CAIRacket::_shieldMaxStrength = 4;
    m_storyModeScore = f.money;
    for (int level = 0; level < 105; ++level) {
        _stars_status[level] = flag(f.stars[level]);
        _stars_gold_status[level] = flag(f.goldStars[level]);
        _stars_clear_status[level] = flag(f.clearStars[level]);
    }
    _allStarsUnlocked = f.allStars != 0;
    for (int i = 0; i < 40; ++i)
        _gifts[i] = flag(f.gifts[i]);
    std::memcpy(_stats, f.stats, sizeof _stats);
    std::memcpy(_stats_HS, f.highScores, sizeof _stats_HS);
    _stars_in_shop = f.starsInShop;
    for (int i = 0; i < 68; ++i)
        _alreadyActivatedPopupBoxes[i] = flag(f.popupsShown[i]);
    m_isDeactivatedPopUp = f.popupsOff != 0;
    _story = f.storyTexts != 0;
    s_useBallTrajectory = f.trajectory == 1;
    s_useBulletTime = f.bulletTime == 1;
    for (int i = 0; i < 16; ++i)
        s_secretLevelStatus[i] = atMost(f.secretStatus[i], 2);
    m_isGyroscope = f.tilt != 0;
    CAIRacket::SetDefaultSpeeds();
    std::memcpy(g_versionCode, f.versionCode, sizeof g_versionCode);
    s_nVolumeSFX = atMost(f.volumeSFX, 100);
    s_nVolumeMusic = atMost(f.volumeMusic, 100);
    m_nGyroscopeMode = f.tiltMode != 0 ? 1 : 0;
    if (CAchievement* achievements = CAchievement::GetAchievement())
        achievements->Load(f.achievements, 0);
    std::memcpy(m_arrayEquipCount, f.equipped, sizeof m_arrayEquipCount);
    std::memcpy(m_arrayPurchaseCount, f.owned, sizeof m_arrayPurchaseCount);
    if (f.review == 0xFF)
        g_bReview = true;
    else if (f.review == 0)
        g_bReview = false;
    g_nFinishLevelNum = f.finishedLevels;
}

// ---- Writer, reader, erase

void CAIGame::SaveWrite()
{
    Trace("save");
    BuildSaveRecord(m_recordStoreBuffer);
    CSaveWriter::Record copy;
    std::memcpy(copy.data(), m_recordStoreBuffer, copy.size());
    CSaveWriter::Get().Submit(SaveFilePath(), copy);
}

void CAIGame::SaveLoad()
{
    const std::string path = SaveFilePath();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        // First launch: the start values stand; the record is made under this version.
        s_isFirstLaunch = true;
        std::memset(g_versionCode, 0, sizeof g_versionCode);
        for (int i = 0; i < 8 && g_chVersion[i]; ++i)
            g_versionCode[i] = char(g_chVersion[i]);
        SaveWrite();
        return;
    }
    std::vector<unsigned char> bytes(kSaveRecordSize + 1);
    const size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
    const bool readError = std::ferror(file) != 0;
    std::fclose(file);
    // Only a whole record of this version is read: a short, long or unreadable file is a
    // record of another version, as is another version byte.
    if (readError || got != size_t(kSaveRecordSize) || bytes[0] != kSaveVersion) {
        SaveDelete();
        s_isFirstLaunch = true;
        return;
    }
    ApplySaveRecord(bytes.data());
}

void CAIGame::SaveDelete()
{
    // The fresh record replaces the file by rename: removing it first would only open a moment
    // in which a kill loses the settings that an erase keeps.
    ResetGeneralStats();
    ResetHighScoreStats();
    _current_level = 0;
    for (int16_t& location : _unlocked_locations)
        location = 0;
    std::memset(_upgrades_bought, 0, sizeof _upgrades_bought);
    _ini_ball_type = 0;
    CAIRacket::_shieldMaxStrength = 4;
    _nMagnetMaxBalls = 1;
    m_storyModeScore = 0;

    ResetSecretLevelsStatus();
    ResetProgression();
    std::memset(_stars_status, 0, sizeof _stars_status);
    std::memset(_stars_gold_status, 0, sizeof _stars_gold_status);
    std::memset(_stars_clear_status, 0, sizeof _stars_clear_status);
    _allStarsUnlocked = false;
    std::memset(_gifts, 0, sizeof _gifts);
    std::memset(_alreadyActivatedPopupBoxes, 0, sizeof _alreadyActivatedPopupBoxes);
    _stars_in_shop = 0;

    CAIRacket::SetDefaultSpeeds();
    CKezManager* kez = CKezManager::GetInstance();
    kez->SetVFXVolume(float(s_nVolumeSFX));
    kez->SetBGMVolume(float(s_nVolumeMusic));
    if (CAchievement* achievements = CAchievement::GetAchievement())
        achievements->Initialize();
    SaveWrite();
}
