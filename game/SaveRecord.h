// The save record "wzt5.sav": exactly 2000 bytes, little-endian, fields in this order:
//      0  1  version (8)                      1  1  language 0-8
//      2  1  story level (0xFF: story over)   3  7  location bytes (0 locked, 1-13 open, 14 done)
//     10 14  upgrade levels 0-3              24  8  money (signed)
//     32 315 star triples per level 0-104: normal, gold, clear
//    347  1  all-stars flag                 348 40  gift flags
//    388 144 18 statistics (signed 64-bit)  532 840 105 level high scores (signed 64-bit)
//   1372  1  star total at the last shop visit
//   1373 68  pop-up boxes already shown     1441  1  pop-ups off     1442  1  story texts on
//   1443  4  trajectory aid (0/1)           1447  4  bullet time (0/1)
//   1451 16  secret-level statuses 0-2      1467  1  tilt control on
//   1468  8  version code the record was first made under (NUL-padded)
//   1476  1  effects volume 0-100           1477  1  music volume 0-100   1478  1  tilt mode
//   1479 72  achievement block              1551 20  five equipped counters (signed 32-bit)
//   1571 20  five owned counters            1591 129 reserved (0)
//   1720  1  review flag (0xFF set, 0 clear) 1721 1  finished-level counter 0-20
//   1722 278 reserved (0)
// SSaveFields holds the stored bytes as they are; the game's reader brings them into range.
#pragma once

#include <cstdint>

constexpr int kSaveRecordSize = 2000;
constexpr uint8_t kSaveVersion = 8;

struct SSaveFields {
    uint8_t version = kSaveVersion;
    uint8_t language = 0;
    uint8_t storyLevel = 0;
    uint8_t locations[7] = {};
    uint8_t upgrades[14] = {};
    int64_t money = 0;
    uint8_t stars[105] = {};
    uint8_t goldStars[105] = {};
    uint8_t clearStars[105] = {};
    uint8_t allStars = 0;
    uint8_t gifts[40] = {};
    int64_t stats[18] = {};
    int64_t highScores[105] = {};
    uint8_t starsInShop = 0;
    uint8_t popupsShown[68] = {};
    uint8_t popupsOff = 0;
    uint8_t storyTexts = 1;
    int32_t trajectory = 0;
    int32_t bulletTime = 0;
    uint8_t secretStatus[16] = {};
    uint8_t tilt = 0;
    char versionCode[8] = {};
    uint8_t volumeSFX = 100;
    uint8_t volumeMusic = 100;
    uint8_t tiltMode = 0;
    uint8_t achievements[72] = {};
    int32_t equipped[5] = {};
    int32_t owned[5] = {};
    uint8_t review = 0xFF;
    uint8_t finishedLevels = 0;
};

// Field offsets, for readers that name what they show.
namespace save_offset {
constexpr int kVersion = 0, kLanguage = 1, kStoryLevel = 2, kLocations = 3, kUpgrades = 10, kMoney = 24,
              kStars = 32, kAllStars = 347, kGifts = 348, kStats = 388, kHighScores = 532, kStarsInShop = 1372,
              kPopupsShown = 1373, kPopupsOff = 1441, kStoryTexts = 1442, kTrajectory = 1443, kBulletTime = 1447,
              kSecretStatus = 1451, kTilt = 1467, kVersionCode = 1468, kVolumeSFX = 1476, kVolumeMusic = 1477,
              kTiltMode = 1478, kAchievements = 1479, kEquipped = 1551, kOwned = 1571, kReserved1 = 1591,
              kReview = 1720, kFinishedLevels = 1721, kReserved2 = 1722;
}

void EncodeSaveRecord(const SSaveFields& fields, unsigned char* record);   // record: 2000 bytes
void DecodeSaveRecord(const unsigned char* record, SSaveFields& fields);   // record: 2000 bytes
