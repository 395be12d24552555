// `save FILE`: a save record, one field a line: OFFSET NAME VALUES (numbers as stored; the
// version code as text). A file that is not exactly 2000 bytes is refused.

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Tool.h"
#include "game/SaveRecord.h"

namespace {

template <class T>
void printList(int offset, const char* name, const T* values, int count)
{
    std::printf("%d %s", offset, name);
    for (int i = 0; i < count; ++i)
        std::printf(" %lld", static_cast<long long>(values[i]));
    std::printf("\n");
}

void printOne(int offset, const char* name, long long value) { std::printf("%d %s %lld\n", offset, name, value); }

int runSave(std::span<char* const> args)
{
    if (args.size() != 1)
        return tool::fail("save", "usage: save FILE");
    std::ifstream in(args[0], std::ios::binary);
    if (!in)
        return tool::fail("save", std::string("cannot open ") + args[0]);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() != size_t(kSaveRecordSize))
        return tool::fail("save", std::string(args[0]) + ": " + std::to_string(bytes.size())
                                      + " bytes, a save record has " + std::to_string(kSaveRecordSize));
    SSaveFields f;
    DecodeSaveRecord(bytes.data(), f);
    namespace o = save_offset;
    printOne(o::kVersion, "version", f.version);
    printOne(o::kLanguage, "language", f.language);
    printOne(o::kStoryLevel, "story_level", f.storyLevel);
    printList(o::kLocations, "locations", f.locations, 7);
    printList(o::kUpgrades, "upgrades", f.upgrades, 14);
    printOne(o::kMoney, "money", f.money);
    std::vector<int> triples;
    for (int level = 0; level < 105; ++level)
        triples.insert(triples.end(), {f.stars[level], f.goldStars[level], f.clearStars[level]});
    printList(o::kStars, "stars_normal_gold_clear", triples.data(), int(triples.size()));
    printOne(o::kAllStars, "all_stars", f.allStars);
    printList(o::kGifts, "gifts", f.gifts, 40);
    printList(o::kStats, "statistics", f.stats, 18);
    printList(o::kHighScores, "high_scores", f.highScores, 105);
    printOne(o::kStarsInShop, "stars_in_shop", f.starsInShop);
    printList(o::kPopupsShown, "popups_shown", f.popupsShown, 68);
    printOne(o::kPopupsOff, "popups_off", f.popupsOff);
    printOne(o::kStoryTexts, "story_texts", f.storyTexts);
    printOne(o::kTrajectory, "trajectory", f.trajectory);
    printOne(o::kBulletTime, "bullet_time", f.bulletTime);
    printList(o::kSecretStatus, "secret_levels", f.secretStatus, 16);
    printOne(o::kTilt, "tilt", f.tilt);
    std::string code;
    for (char c : f.versionCode)
        code += c >= 0x20 && c < 0x7F ? std::string(1, c) : c == 0 ? std::string("\\0") : std::string("?");
    std::printf("%d version_code \"%s\"\n", o::kVersionCode, code.c_str());
    printOne(o::kVolumeSFX, "volume_effects", f.volumeSFX);
    printOne(o::kVolumeMusic, "volume_music", f.volumeMusic);
    printOne(o::kTiltMode, "tilt_mode", f.tiltMode);
    printList(o::kAchievements, "achievements", f.achievements, 72);
    printList(o::kEquipped, "equipped", f.equipped, 5);
    printList(o::kOwned, "owned", f.owned, 5);
    int nonZero = 0;
    for (int i = o::kReserved1; i < o::kReview; ++i)
        nonZero += bytes[i] != 0;
    printOne(o::kReserved1, "reserved_nonzero", nonZero);
    printOne(o::kReview, "review", f.review);
    printOne(o::kFinishedLevels, "finished_levels", f.finishedLevels);
    nonZero = 0;
    for (int i = o::kReserved2; i < kSaveRecordSize; ++i)
        nonZero += bytes[i] != 0;
    printOne(o::kReserved2, "reserved_nonzero", nonZero);
    return 0;
}

tool::ToolCommand saveCommand("save", "FILE    a save record \"wzt5.sav\", one field a line", runSave);

}  // namespace
