#include "game/SaveRecord.h"

#include <cstring>

#include "game/CAIGame.h"

namespace {

int putBytes(unsigned char* record, int offset, const void* bytes, int count)
{
    std::memcpy(record + offset, bytes, count);
    return offset + count;
}

int getBytes(const unsigned char* record, int offset, void* bytes, int count)
{
    std::memcpy(bytes, record + offset, count);
    return offset + count;
}

}  // namespace

void EncodeSaveRecord(const SSaveFields& f, unsigned char* record)
{
    std::memset(record, 0, kSaveRecordSize);
    int o = 0;
    record[o++] = f.version;
    record[o++] = f.language;
    record[o++] = f.storyLevel;
    o = putBytes(record, o, f.locations, 7);
    o = putBytes(record, o, f.upgrades, 14);
    o = CAIGame::WriteLong(record, o, f.money);
    for (int level = 0; level < 105; ++level) {
        record[o++] = f.stars[level];
        record[o++] = f.goldStars[level];
        record[o++] = f.clearStars[level];
    }
    record[o++] = f.allStars;
    o = putBytes(record, o, f.gifts, 40);
    for (int64_t stat : f.stats)
        o = CAIGame::WriteLong(record, o, stat);
    for (int64_t score : f.highScores)
        o = CAIGame::WriteLong(record, o, score);
    record[o++] = f.starsInShop;
    o = putBytes(record, o, f.popupsShown, 68);
    record[o++] = f.popupsOff;
    record[o++] = f.storyTexts;
    o = CAIGame::WriteInt(record, o, f.trajectory);
    o = CAIGame::WriteInt(record, o, f.bulletTime);
    o = putBytes(record, o, f.secretStatus, 16);
    record[o++] = f.tilt;
    o = putBytes(record, o, f.versionCode, 8);
    record[o++] = f.volumeSFX;
    record[o++] = f.volumeMusic;
    record[o++] = f.tiltMode;
    o = putBytes(record, o, f.achievements, 72);
    for (int32_t count : f.equipped)
        o = CAIGame::WriteInt(record, o, count);
    for (int32_t count : f.owned)
        o = CAIGame::WriteInt(record, o, count);
    o = save_offset::kReview;   // the reserved block stays zero
    record[o++] = f.review;
    record[o++] = f.finishedLevels;
}

void DecodeSaveRecord(const unsigned char* record, SSaveFields& f)
{
    int o = 0;
    f.version = record[o++];
    f.language = record[o++];
    f.storyLevel = record[o++];
    o = getBytes(record, o, f.locations, 7);
    o = getBytes(record, o, f.upgrades, 14);
    f.money = CAIGame::ReadLong(record, o);
    o += 8;
    for (int level = 0; level < 105; ++level) {
        f.stars[level] = record[o++];
        f.goldStars[level] = record[o++];
        f.clearStars[level] = record[o++];
    }
    f.allStars = record[o++];
    o = getBytes(record, o, f.gifts, 40);
    for (int64_t& stat : f.stats) {
        stat = CAIGame::ReadLong(record, o);
        o += 8;
    }
    for (int64_t& score : f.highScores) {
        score = CAIGame::ReadLong(record, o);
        o += 8;
    }
    f.starsInShop = record[o++];
    o = getBytes(record, o, f.popupsShown, 68);
    f.popupsOff = record[o++];
    f.storyTexts = record[o++];
    f.trajectory = CAIGame::ReadInt(record, o);
    o += 4;
    f.bulletTime = CAIGame::ReadInt(record, o);
    o += 4;
    o = getBytes(record, o, f.secretStatus, 16);
    f.tilt = record[o++];
    o = getBytes(record, o, f.versionCode, 8);
    f.volumeSFX = record[o++];
    f.volumeMusic = record[o++];
    f.tiltMode = record[o++];
    o = getBytes(record, o, f.achievements, 72);
    for (int32_t& count : f.equipped) {
        count = CAIGame::ReadInt(record, o);
        o += 4;
    }
    for (int32_t& count : f.owned) {
        count = CAIGame::ReadInt(record, o);
        o += 4;
    }
    f.review = record[save_offset::kReview];
    f.finishedLevels = record[save_offset::kFinishedLevels];
}
