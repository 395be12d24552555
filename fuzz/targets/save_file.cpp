// The save file "wzt5.sav": the game's reader over the input in a save folder of this process.
// The record the game then makes from what it read must read back as itself, and its values
// must lie in the ranges a record holds.

#include "fuzz/FuzzTarget.h"

#include "game/CAIGame.h"
#include "game/CSaveWriter.h"
#include "game/SaveRecord.h"
#include "tests/support/TempDir.h"
#include "tools/formats/SaveFileWriter.h"

#include <cstdlib>
#include <cstring>
#include <fstream>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const test::TempDir dir;
    static const bool once = (CAIGame::SetSaveFolder(dir.path().string()), true);
    (void)once;
    {
        std::ofstream out(CAIGame::SaveFilePath(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    CAIGame::SaveLoad();
    // A refused file is replaced by a fresh record on the writer's thread; the next input is
    // written only once that is done.
    CSaveWriter::Get().WaitIdle();

    static unsigned char made[kSaveRecordSize], again[kSaveRecordSize];
    CAIGame::BuildSaveRecord(made);
    SSaveFields f;
    DecodeSaveRecord(made, f);
    if (f.version != kSaveVersion || f.language > 8 || f.volumeSFX > 100 || f.volumeMusic > 100) std::abort();
    for (uint8_t v : f.locations) if (v > 14) std::abort();
    for (uint8_t v : f.upgrades) if (v > 3) std::abort();
    for (uint8_t v : f.secretStatus) if (v > 2) std::abort();
    CAIGame::ApplySaveRecord(made);
    CAIGame::BuildSaveRecord(again);
    if (std::memcmp(made, again, sizeof made) != 0) std::abort();
    return 0;
}

std::vector<std::string> fuzz::seeds() {
    formats::save::Fields fresh;
    formats::save::Fields played;
    played.language = 6, played.storyLevel = 40, played.money = 123456;
    played.locations[0] = 14, played.locations[1] = 3, played.upgrades[2] = 3;
    played.stars[0] = played.goldStars[0] = played.clearStars[5] = 1;
    played.stats[3] = -7, played.highScores[104] = 1 << 30;
    played.trajectory = 1, played.secretStatus[15] = 2, played.volumeSFX = 40;
    std::memcpy(played.versionCode, "1.0.2", 5);
    played.equipped[4] = 9, played.owned[0] = -1, played.review = 0, played.finishedLevels = 20;
    std::vector<std::string> all;
    for (const auto& fields : {fresh, played}) {
        const std::vector<uint8_t> record = formats::save::Record(fields);
        all.emplace_back(record.begin(), record.end());
    }
    all.push_back(all.back() + "x");  // one byte long
    return all;
}
