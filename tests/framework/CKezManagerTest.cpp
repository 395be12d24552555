#include "audio/EmitterObj.h"
#include "audio/FileSystemInterface.h"
#include "audio/KezEngine.h"
#include "framework/AppPlaybook.h"
#include "framework/CKezManager.h"
#include "framework/SoundTable.h"
#include "platform/Pcm.h"
#include "tests/audio/UpdateGate.h"
#include "tests/framework/GameStub.h"
#include "tests/framework/ToneFiles.h"
#include "tests/support/TempDir.h"
#include "tools/formats/SoundArchive.h"
#include "tools/formats/TrackerModule.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

// The facade over a data folder holding the title music loose and effects 21 (WAVE) and 98
// (Musepack) in "3.bar", playing into the null output.
struct KezFacade : ::testing::Test {
    KezFacade()
    {
        platform::PcmOptions options;
        options.backend = "null";
        platform::pcm_set_options(options);
        dir.write("data/3/Music/m_title.it", formats::tracker::tinyProTrackerModule());
        const std::string wav = dir.write("work/tone.wav", test::sineWave(440, 3 * 44100, 44100));
        const std::string mpc = dir.file("work/tone.mpc");
        EXPECT_EQ(test::encodeMusepack(wav, mpc), 0);
        formats::SoundArchive archive;
        archive.add("3/sfx_absorption.wav", test::sineWave(660, 22050, 22050));
        archive.add("3/SFX/ingame/sfx_brick_hits_pad.mpc", test::readFile(mpc));
        dir.write("data/3.bar", archive.bytes(true));
        std::snprintf(g_appPath, APP_PATH_SIZE, "%s/", dir.file("data").c_str());
        std::snprintf(m_gSavPath, APP_PATH_SIZE, "%s/", dir.file("save").c_str());
        kez = CKezManager::GetInstance();
    }
    ~KezFacade() override
    {
        gate.open();
        kez->Destroy();
        CKezManager::DeleteInstance();
        kez::FileSystemInterface::DestroyInstance();
        platform::pcm_set_options(platform::PcmOptions());
        g_appPath[0] = m_gSavPath[0] = 0;
    }
    void start()
    {
        kez->EnableKez(true);
        kez->Init();
        CKezManager::RunCacheStep(0);
        gate.settle();
    }

    test::UpdateGate gate;
    test::TempDir dir;
    test::GameStub game;
    CKezManager* kez = nullptr;
};

}  // namespace

TEST_F(KezFacade, DisabledDoesNothing)
{
    EXPECT_FALSE(kez->PlayBGM(1, true, 0));
    EXPECT_FALSE(kez->PlaySoundWithBank(21, false, 0, 500));
    EXPECT_EQ(kez->IsSoundPlaying(21), 0);
    EXPECT_EQ(kez->Engine(), nullptr);
}

TEST_F(KezFacade, OneMusicAtATime)
{
    start();
    kez::KezEngine* engine = kez->Engine();
    ASSERT_NE(engine, nullptr);
    EXPECT_TRUE(kez->PlayBGM(1, true, 0));
    EXPECT_TRUE(kez->IsBGMPlaying(1));
    EXPECT_FALSE(kez->PlayBGM(1, true, 0));   // already playing: not restarted
    kez->SetBGMVolume(50);
    EXPECT_FLOAT_EQ(engine->GetGroupGain(1), 0.5f);
    kez->SetVFXVolume(25);
    EXPECT_FLOAT_EQ(engine->GetGroupGain(2), 0.25f);
    EXPECT_FALSE(kez->PlayBGM(0, true, 0));   // the empty entry stops the music
    EXPECT_EQ(kez->CurrentMusic(), -1);
    EXPECT_FALSE(engine->IsValid(kez->MusicData()));
    EXPECT_FALSE(kez->PlayBGM(5, true, 0));   // no cached file
}

TEST_F(KezFacade, EffectsByBank)
{
    start();
    kez::KezEngine* engine = kez->Engine();
    EXPECT_TRUE(kez->PlaySoundWithBank(21, false, 0, 500));
    EXPECT_TRUE(SND_PlaySFXSound(98));
    kez::DataHandle d98 = kez->SoundData(98);
    ASSERT_TRUE(engine->IsValid(d98));
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(kez->PlaySoundWithBank(98, true, 0, 500));
    // Bank 3 keeps three: the two oldest were stopped to make room, and the next pass reaps them.
    {
        kez::EmitterHandle emitters[10];
        const int n = engine->GetEmitterHandles(d98, emitters, 10);
        EXPECT_EQ(n, 5);
        int playing = 0;
        for (int i = 0; i < n; ++i)
            playing += engine->IsPlaying(emitters[i]);
        EXPECT_EQ(playing, 3);
    }
    EXPECT_EQ(kez->IsSoundPlaying(98), 5);
    gate.passes(1);
    EXPECT_EQ(kez->IsSoundPlaying(98), 3);
    EXPECT_EQ(CKezManager::GetSoundBankID(98), 3);

    EXPECT_FALSE(kez->PlaySoundWithBank(0, false, 0, 500));    // an empty entry plays nothing
    EXPECT_FALSE(kez->PlaySoundWithBank(66, false, 0, 500));
    EXPECT_EQ(kez->IsSoundPlaying(0), 0);
    kez->EnableSfx(false);
    EXPECT_FALSE(kez->PlaySoundWithBank(99, false, 0, 500));
    kez::DataHandle d99 = kez->SoundData(99);
    EXPECT_FALSE(engine->IsValid(d99));   // nothing loaded
}

TEST_F(KezFacade, ResumeAfterSuspensionByState)
{
    start();
    kez::KezEngine* engine = kez->Engine();
    constexpr int kPlaying = kez::EmitterObj::kStatusPlaying, kPaused = kez::EmitterObj::kStatusPaused;
    const struct { int state; int confirm; bool resumes; } kCases[] = {
        {30, 0, false}, {22, 0, true}, {13, 0, true}, {31, 4, true}, {31, 1, false}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.state);
        ASSERT_TRUE(kez->PlayBGM(1, true, 0));
        gate.passes(1);
        kez::EmitterHandle emitters[10];
        ASSERT_EQ(engine->GetEmitterHandles(kez->MusicData(), emitters, 10), 1);
        ASSERT_EQ(engine->GetStatus(emitters[0]), kPlaying);
        game.inLevel = true;
        game.state = c.state;
        game.confirm = c.confirm;
        kez->PauseAllSounds(0);
        EXPECT_TRUE(kez->IsPaused());
        gate.passes(1);
        EXPECT_EQ(engine->GetStatus(emitters[0]), kPaused);   // the suspension took hold
        kez->ResumeAllSounds(0);
        EXPECT_FALSE(kez->IsPaused());
        gate.passes(1);
        EXPECT_EQ(engine->IsPlaying(emitters[0]), c.resumes);
        EXPECT_EQ(engine->GetStatus(emitters[0]), c.resumes ? kPlaying : kPaused);
        kez->StopBGM(1, false, 0);
    }
}
