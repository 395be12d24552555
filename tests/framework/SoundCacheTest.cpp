#include "audio/FileSystemInterface.h"
#include "framework/AppPlaybook.h"
#include "framework/CKezManager.h"
#include "framework/SoundTable.h"
#include "tests/framework/ToneFiles.h"
#include "tests/support/TempDir.h"
#include "tools/formats/SoundArchive.h"
#include "tools/formats/TrackerModule.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <map>

namespace fs = std::filesystem;

namespace {

// A data folder with two loose music modules and a sound archive holding one Musepack effect
// (sound 56, which sound 59 shares), and a save folder; both installed as the app's folders.
struct SoundCache : ::testing::Test {
    SoundCache()
    {
        module = formats::tracker::tinyProTrackerModule();
        dir.write("data/3/Music/m_title.it", module);
        dir.write("data/3/Music/bgm_1.it", module + "tail");
        const std::string wav = dir.write("work/tone.wav", test::sineWave(440, 44100 / 5, 44100));
        const std::string mpc = dir.file("work/tone.mpc");
        EXPECT_EQ(test::encodeMusepack(wav, mpc), 0);
        formats::SoundArchive archive;
        archive.add("3/SFX/interface/sfx_menu_confirm.mpc", test::readFile(mpc));
        dir.write("data/3.bar", archive.bytes(true));
        std::snprintf(g_appPath, APP_PATH_SIZE, "%s/", dir.file("data").c_str());
        std::snprintf(m_gSavPath, APP_PATH_SIZE, "%s/", dir.file("save").c_str());
        EXPECT_TRUE(CKezManager::MountSoundFolders());
    }
    ~SoundCache() override
    {
        kez::FileSystemInterface::DestroyInstance();
        g_appPath[0] = m_gSavPath[0] = 0;
    }

    std::map<int, CKezManager::ECacheResult> run(int step)
    {
        std::map<int, CKezManager::ECacheResult> out;
        for (const auto& r : CKezManager::RunCacheStep(step))
            out[r.id] = r.result;
        return out;
    }
    std::string save(const std::string& name) const { return dir.file("save/" + name); }

    test::TempDir dir;
    std::string module;
};

}  // namespace

TEST(WavFileChecker, Answers)
{
    test::TempDir dir;
    const std::string good = test::sineWave(440, 100, 44100);
    std::string wrongRiff = good;
    wrongRiff[4] ^= 1;
    std::string wrongWave = good;
    wrongWave[8] = 'X';
    const struct { const char* why; std::string bytes; int answer; } kCases[] = {
        {"good", good, WAV_GOOD},
        {"RIFF size wrong", wrongRiff, WAV_BAD},
        {"not WAVE", wrongWave, WAV_BAD},
        {"data chunk cut", good.substr(0, good.size() - 2), WAV_BAD},
        {"header only", good.substr(0, 20), WAV_BAD},
        {"empty", "", WAV_BAD},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(CWavFileChecker::IsWavFileFormatCorrect(dir.write("a.wav", c.bytes).c_str()), c.answer);
    }
    EXPECT_EQ(CWavFileChecker::IsWavFileFormatCorrect(dir.file("missing.wav").c_str()), WAV_MISSING);
}

TEST_F(SoundCache, StepsCopyModulesAndDecodeEffects)
{
    // Step 0: the music modules with a source are copied whole; the others fail and leave no file.
    auto music = run(0);
    EXPECT_EQ(music.size(), 18u);
    EXPECT_EQ(music[1], CKezManager::CACHE_WRITTEN);
    EXPECT_EQ(music[2], CKezManager::CACHE_KEPT);   // same cache file as 1
    EXPECT_EQ(music[4], CKezManager::CACHE_WRITTEN);
    EXPECT_EQ(music[5], CKezManager::CACHE_FAILED);
    EXPECT_TRUE(test::readFile(save("3_Music_m_title.it")) == module);
    EXPECT_TRUE(test::readFile(save("3_Music_bgm_1.it")) == module + "tail");
    EXPECT_FALSE(fs::exists(save("3_Music_bgm_2.it")));

    // Step 1: sounds 56-67 less the empty 66 and 67; only the effect in the archive converts.
    auto effects = run(1);
    EXPECT_EQ(effects.size(), 10u);
    EXPECT_EQ(effects[56], CKezManager::CACHE_WRITTEN);
    EXPECT_EQ(effects[59], CKezManager::CACHE_KEPT);
    EXPECT_EQ(effects[57], CKezManager::CACHE_FAILED);
    const std::string wav = save("3_SFX_interface_sfx_menu_confirm.wav");
    EXPECT_EQ(CWavFileChecker::IsWavFileFormatCorrect(wav.c_str()), WAV_GOOD);
    EXPECT_FALSE(fs::exists(save("3_SFX_interface_sfx_menu_back.wav")));
    for (const auto& e : fs::directory_iterator(dir.file("save")))
        EXPECT_EQ(e.path().extension().string().find(".part"), std::string::npos) << e.path();

    EXPECT_EQ(run(10).size(), 15u);   // 164-179 less the empty 166
    EXPECT_TRUE(run(11).empty());
    EXPECT_TRUE(run(-1).empty());
}

TEST_F(SoundCache, DamagedFilesAreRebuiltAndGoodOnesNeverTouched)
{
    run(0);
    run(1);
    const std::string wav = save("3_SFX_interface_sfx_menu_confirm.wav");
    const std::string good = test::readFile(wav);

    const struct { const char* why; std::string bytes; } kDamage[] = {
        {"wrong RIFF size", [&] { std::string b = good; b[4] ^= 4; return b; }()},
        {"truncated data chunk", good.substr(0, good.size() / 2)},
    };
    for (const auto& d : kDamage) {
        SCOPED_TRACE(d.why);
        dir.write("save/3_SFX_interface_sfx_menu_confirm.wav", d.bytes);
        EXPECT_EQ(run(1)[56], CKezManager::CACHE_REBUILT);
        EXPECT_TRUE(test::readFile(wav) == good);
    }
    dir.write("save/3_Music_m_title.it", module.substr(0, 10));   // a short copy
    EXPECT_EQ(run(0)[1], CKezManager::CACHE_REBUILT);
    EXPECT_TRUE(test::readFile(save("3_Music_m_title.it")) == module);

    // A second full run writes nothing: sizes, times and inodes stay.
    for (int s = 0; s <= 10; ++s)
        run(s);
    std::map<std::string, struct stat> before;
    for (const auto& e : fs::directory_iterator(dir.file("save"))) {
        struct stat st{};
        ASSERT_EQ(stat(e.path().c_str(), &st), 0);
        before[e.path().string()] = st;
    }
    for (int s = 0; s <= 10; ++s)
        for (const auto& r : CKezManager::RunCacheStep(s))
            EXPECT_TRUE(r.result == CKezManager::CACHE_KEPT || r.result == CKezManager::CACHE_FAILED) << r.id;
    size_t files = 0;
    for (const auto& e : fs::directory_iterator(dir.file("save"))) {
        struct stat st{};
        ASSERT_EQ(stat(e.path().c_str(), &st), 0);
        const struct stat& b = before[e.path().string()];
        EXPECT_EQ(st.st_ino, b.st_ino) << e.path();
        EXPECT_EQ(st.st_size, b.st_size) << e.path();
        EXPECT_EQ(st.st_mtim.tv_sec, b.st_mtim.tv_sec);
        EXPECT_EQ(st.st_mtim.tv_nsec, b.st_mtim.tv_nsec);
        ++files;
    }
    EXPECT_EQ(files, before.size());
}
