// The game's one way to the audio engine: sounds by number (SoundTable.h), one background
// music at a time in group 1, effects in group 2 with per-sound priority banks, pause and
// resume around suspension, group volumes, and the sound cache in the save folder.
// Every operation does nothing (false, 0, an empty handle) while the facade is disabled.
#pragma once

#include "audio/Handle.h"

#include <map>
#include <string>
#include <vector>

namespace kez {
class KezEngine;
}

// CWavFileChecker::IsWavFileFormatCorrect answers.
enum { WAV_GOOD = 0, WAV_MISSING = 1, WAV_BAD = 2 };

class CWavFileChecker {
public:
    // 0 good (RIFF size L - 8, "WAVE", data size L - 44), 1 missing, 2 bad.
    static int IsWavFileFormatCorrect(const char* path);
};

class CKezManager {
public:
    static CKezManager* GetInstance();   // created on first use
    static void DeleteInstance();

    void EnableKez(bool on) { m_enabled = on; }
    bool IsEnabled() const { return m_enabled; }
    void Init();
    void Destroy();

    bool PlayBGM(int id, bool loop, float fadeSeconds);
    void StopBGM(int id, bool flag, float fadeSeconds);
    void PauseBGM(float fadeSeconds);
    void ResumeBGM(float fadeSeconds);
    bool IsBGMPlaying(int id) const { return m_enabled && id == m_currentMusic; }
    int CurrentMusic() const { return m_currentMusic; }

    bool PlaySoundWithBank(int id, bool loop, float fadeSeconds, int priority);
    void StopSound(int id, bool flag, float fadeSeconds);
    int IsSoundPlaying(int id);   // emitters of the sound's data (0-10)
    void PauseSFX(float fadeSeconds);
    void ResumeSFX(float fadeSeconds);
    void PauseAllSounds(int);
    void ResumeAllSounds(int fadeMs);
    bool IsPaused() const { return m_paused; }

    void SetBGMVolume(float percent);
    void SetVFXVolume(float percent);
    void EnableSfx(bool on) { m_sfxOn = on; }
    void EnableMusic(bool on) { m_musicOn = on; }
    void Update(float) {}
    bool Ipod_IsPlaying() const { return false; }
    void Ipod_Play() {}
    void Ipod_Pause() {}

    static int GetSoundBankID(int id);

    // One step (0-10) of filling the sound cache; others do nothing.
    void SaveAllMPC2WAV_ByStep(int step);
    enum ECacheResult { CACHE_KEPT, CACHE_WRITTEN, CACHE_REBUILT, CACHE_FAILED };
    struct SCacheReport {
        int id;
        std::string name;   // cache file name inside the save folder
        ECacheResult result;
    };
    // The same step, reporting each sound it handled.
    static std::vector<SCacheReport> RunCacheStep(int step);
    // "<save folder><name with '/' turned into '_'>", plus ".wav" for names without extension.
    static std::string CachePath(int id);
    // Mounts "<data folder>3.bar" in the audio file system, hands the engine both folders and
    // creates a missing save folder; false when the archive does not open.
    static bool MountSoundFolders();

    kez::KezEngine* Engine() const { return m_engine; }
    kez::DataHandle& MusicData() { return m_musicData; }
    kez::DataHandle SoundData(int id);   // the loaded effect, empty when never loaded

private:
    CKezManager() = default;
    kez::DataHandle LoadSound(int id);

    static CKezManager* m_pInstance;
    kez::KezEngine* m_engine = nullptr;
    bool m_enabled = false, m_initialised = false, m_sfxOn = false, m_musicOn = false;
    kez::EmitterHandle m_musicEmitter;
    kez::DataHandle m_musicData;
    int m_currentMusic = -1;
    std::map<int, kez::DataHandle> m_sounds;
    int m_modDecoderType = -1;
    bool m_paused = false;
};

// The game's call for an effect: PlaySoundWithBank(id, false, 0, 500).
bool SND_PlaySFXSound(int id);
