#include "framework/CKezManager.h"

#include "audio/FileSystemInterface.h"
#include "audio/KezEngine.h"
#include "audio/decoders/DecoderMod.h"
#include "audio/decoders/FileFormatConversion.h"
#include "audio/decoders/KezUtils.h"
#include "framework/AppPlaybook.h"
#include "framework/GameInterface.h"
#include "framework/SoundTable.h"

#include <cstdio>
#include <filesystem>

namespace {

constexpr int MUSIC_GROUP = 1, SFX_GROUP = 2;
constexpr unsigned MUSIC_MASK = 2, SFX_MASK = 4, ALL_GROUPS = 0xFFFFFFFFu;

bool hasName(int id) { return id >= 0 && id < SOUND_COUNT && SOUND_FILE_NAMES[id][0]; }

std::string flattened(const std::string& name)
{
    std::string out = name;
    for (char& c : out)
        if (c == '/')
            c = '_';
    return out;
}

}  // namespace

CKezManager* CKezManager::m_pInstance = nullptr;

CKezManager* CKezManager::GetInstance()
{
    if (!m_pInstance)
        m_pInstance = new CKezManager();
    return m_pInstance;
}

void CKezManager::DeleteInstance()
{
    delete m_pInstance;
    m_pInstance = nullptr;
}

int CKezManager::GetSoundBankID(int id) { return SoundBankOf(id); }

void CKezManager::Init()
{
    if (!m_enabled)
        return;
    m_engine = kez::KezEngine::GetKezEngine();
    m_engine->Initialize();
    m_modDecoderType = m_engine->RegisterDecoderType(kez::DecoderModFactory);
    for (int b = 0; b < SOUND_BANK_COUNT; ++b)
        m_engine->SetPriorityBank(b, 0, SOUND_BANK_SIZES[b], kez::PriorityBankBehavior(2));
    m_initialised = true;
    MountSoundFolders();
    m_sfxOn = m_musicOn = true;
    m_engine->Set3DGeneralParameteri(2, 4);       // linear distance, clamped
    m_engine->Set3DGeneralParameterf(0, 2.0f);    // doppler factor
    m_engine->Set3DGeneralParameterf(1, 1497.0f); // speed of sound
}

void CKezManager::Destroy()
{
    if (!m_enabled || !m_initialised || !m_engine)
        return;
    m_sounds.clear();
    m_musicData = kez::DataHandle();
    m_musicEmitter = kez::EmitterHandle();
    m_currentMusic = -1;
    m_engine->ReleaseDatasource(MUSIC_MASK);
    m_engine->ReleaseDatasource(SFX_MASK);
    kez::KezEngine::DestroyKezEngine();
    m_engine = nullptr;
    m_initialised = false;
}

bool CKezManager::MountSoundFolders()
{
    // Paths are absolute: the process working directory is never changed.
    const std::string archive = std::string(g_appPath) + "3.bar";
    const bool mounted = kez::FileSystemInterface::GetInstance()->SetArchive(archive.c_str(), true, false, true) == 0;
    kez::FileFormatConversion::SetFolders(g_appPath, m_gSavPath);
    std::error_code ec;
    if (m_gSavPath[0])
        std::filesystem::create_directories(m_gSavPath, ec);
    return mounted;
}

std::string CKezManager::CachePath(int id)
{
    if (!hasName(id))
        return {};
    std::string name = SOUND_FILE_NAMES[id];
    const size_t slash = name.rfind('/');
    if (name.find('.', slash == std::string::npos ? 0 : slash) == std::string::npos)
        name += ".wav";   // the Musepack effects are named without extension
    return std::string(m_gSavPath) + flattened(name);
}

bool CKezManager::PlayBGM(int id, bool loop, float fadeSeconds)
{
    if (!m_enabled || !m_initialised)
        return false;
    if (id == m_currentMusic && m_engine->IsValid(m_musicEmitter))
        return false;
    StopBGM(id, false, 0.0f);
    if (!hasName(id))
        return false;   // an empty name stops the music and plays nothing
    const std::string name = SOUND_FILE_NAMES[id];
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos)
        return false;
    std::string ext = name.substr(dot + 1);
    for (char& c : ext)
        if (c < 'a')
            c = char(c + 32);
    const std::string path = CachePath(id);
    if (ext == "it")
        m_musicData = kez::KezUtils::LoadDataSourceFromFileEx(path.c_str(), m_modDecoderType,
                                                              kez::KezSourceLoading_Stream, MUSIC_GROUP);
    else
        m_musicData = kez::KezUtils::LoadDataSourceFromFileAutoDetectDecoderEx(path.c_str(), MUSIC_GROUP,
                                                                               kez::KezSourceLoading_Stream, nullptr);
    if (!m_engine->IsValid(m_musicData))
        return false;
    m_musicEmitter = m_engine->CreateEmitter(m_musicData, 200, nullptr);
    if (!m_engine->IsValid(m_musicEmitter))
        return false;
    m_engine->SetGroup(m_musicEmitter, MUSIC_GROUP);
    m_engine->Play(m_musicEmitter, loop, fadeSeconds);
    m_currentMusic = id;
    return true;
}

void CKezManager::StopBGM(int, bool, float fadeSeconds)
{
    if (!m_enabled || !m_initialised)
        return;
    if (m_engine->IsValid(m_musicEmitter))
        m_engine->Stop(m_musicEmitter, fadeSeconds);
    m_musicData = kez::DataHandle();
    m_musicEmitter = kez::EmitterHandle();
    m_currentMusic = -1;
}

void CKezManager::PauseBGM(float fadeSeconds)
{
    if (!m_enabled || !m_initialised)
        return;
    if (m_engine->IsValid(m_musicData))
        m_engine->Pause(m_musicEmitter, fadeSeconds);
    m_engine->StopAllEmitters(SFX_MASK, fadeSeconds);
}

void CKezManager::ResumeBGM(float fadeSeconds)
{
    if (m_enabled && m_initialised && m_engine->IsValid(m_musicData))
        m_engine->Resume(m_musicEmitter, fadeSeconds);
}

kez::DataHandle CKezManager::LoadSound(int id)
{
    if (!hasName(id))
        return kez::DataHandle();   // an empty entry plays nothing
    std::string archiveName = SOUND_FILE_NAMES[id];
    if (archiveName.size() < 4 || archiveName[archiveName.size() - 4] != '.')
        archiveName += ".mpc";
    const std::string cache = CachePath(id);
    kez::DataHandle data;
    if (FILE* f = std::fopen(cache.c_str(), "rb")) {
        std::fclose(f);
        data = kez::KezUtils::LoadDataSourceFromFileAutoDetectDecoderEx(cache.c_str(), SFX_GROUP,
                                                                        kez::KezSourceLoading_Stream, nullptr);
    } else {
        data = kez::KezUtils::LoadDataSourceFromFileAutoDetectDecoderEx(archiveName.c_str(), SFX_GROUP,
                                                                        kez::KezSourceLoading_Raw, nullptr);
    }
    m_sounds[id] = data;
    if (m_engine->IsValid(data))
        m_engine->SetPriorityBankId(data, SoundBankOf(id));
    return data;
}

kez::DataHandle CKezManager::SoundData(int id)
{
    auto it = m_sounds.find(id);
    return it == m_sounds.end() ? kez::DataHandle() : it->second;
}

bool CKezManager::PlaySoundWithBank(int id, bool loop, float fadeSeconds, int priority)
{
    if (!m_enabled || !m_initialised || !m_sfxOn)
        return false;
    kez::DataHandle& data = m_sounds[id];
    if (!m_engine->IsValid(data))
        LoadSound(id);
    if (!m_engine->IsValid(data))
        return false;
    kez::EmitterHandle emitter = m_engine->CreateEmitter(data, priority, nullptr);
    if (!m_engine->IsValid(emitter))
        return false;
    m_engine->SetGroup(emitter, SFX_GROUP);
    m_engine->Set3DEmitterParameteri(emitter, 0, 1);   // relative to the listener
    m_engine->SetAutoKillAfterDone(emitter, true);
    m_engine->SetPlayCursor(emitter, 0.0f);
    if (!m_engine->IsValid(emitter))
        return false;
    m_engine->Play(emitter, loop, fadeSeconds);
    return true;
}

void CKezManager::StopSound(int id, bool, float fadeSeconds)
{
    if (!m_enabled || !m_initialised)
        return;
    kez::DataHandle& data = m_sounds[id];
    kez::EmitterHandle emitters[10];
    const int n = m_engine->GetEmitterHandles(data, emitters, 10);
    for (int i = 0; i < n; ++i)
        m_engine->Stop(emitters[i], fadeSeconds);
}

int CKezManager::IsSoundPlaying(int id)
{
    if (!m_enabled || !m_initialised)
        return 0;
    kez::DataHandle& data = m_sounds[id];
    kez::EmitterHandle emitters[10];
    return m_engine->IsValid(data) ? m_engine->GetEmitterHandles(data, emitters, 10) : 0;
}

void CKezManager::PauseSFX(float fadeSeconds)
{
    if (m_enabled && m_initialised)
        m_engine->PauseAllEmitters(SFX_MASK, fadeSeconds);
}

void CKezManager::ResumeSFX(float fadeSeconds)
{
    if (m_enabled && m_initialised)
        m_engine->ResumeAllEmitters(SFX_MASK, fadeSeconds);
}

void CKezManager::PauseAllSounds(int)
{
    if (!m_enabled || !m_initialised)
        return;
    if (GameInterface().InLevel()) {
        m_engine->PauseAllEmitters(MUSIC_MASK, 0.0f);
        m_engine->StopAllEmitters(SFX_MASK, 0.0f);
    } else {
        m_engine->PauseAllEmitters(ALL_GROUPS, 0.0f);
    }
    m_paused = true;
}

void CKezManager::ResumeAllSounds(int fadeMs)
{
    if (!m_enabled || !m_initialised)
        return;
    const float fade = float(fadeMs) / 1000.0f;
    if (GameInterface().InLevel()) {
        const int s = GameInterface().StateCurrent();
        const bool resumes = s == 13 || s == 14 || s == 15 || s == 17 || s == 22 || s == 49 || s == 51 ||
                             (s == 31 && GameInterface().Confirm() == 4);
        if (resumes)
            m_engine->ResumeAllEmitters(ALL_GROUPS, fade);
    } else {
        m_engine->ResumeAllEmitters(ALL_GROUPS, fade);
    }
    m_paused = false;
}

void CKezManager::SetBGMVolume(float percent)
{
    if (m_enabled && m_initialised)
        m_engine->SetGroupGain(MUSIC_MASK, percent / 100.0f, 0.0f);
}

void CKezManager::SetVFXVolume(float percent)
{
    if (m_enabled && m_initialised)
        m_engine->SetGroupGain(SFX_MASK, percent / 100.0f, 0.0f);
}

bool SND_PlaySFXSound(int id)
{
    return CKezManager::GetInstance()->PlaySoundWithBank(id, false, 0.0f, 500);
}
