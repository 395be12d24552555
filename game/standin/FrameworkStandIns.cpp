// STAND-INS: see FrameworkStandIns.h.
#include "game/standin/FrameworkStandIns.h"

namespace game_standin {

namespace {
CKezManager* g_kez = nullptr;
}  // namespace

CKezManager* CKezManager::GetInstance()
{
    if (!g_kez)
        g_kez = new CKezManager;
    return g_kez;
}

CKezManager* CKezManager::PeekInstance() { return g_kez; }

void CKezManager::Destroy()
{
    delete g_kez;
    g_kez = nullptr;
}

void CKezManager::PlayBGM(int id, bool, int)
{
    ++m_bgmCalls;
    m_playingMusic = id;
}

void CKezManager::StopBGM(int id, int, int)
{
    ++m_stopCalls;
    if (m_playingMusic == id)
        m_playingMusic = -1;
}

void CKezManager::PlaySoundWithBank(int id, bool, int, int)
{
    ++m_soundCalls;
    m_lastSound = id;
}

CVuvDevice& CVuvDevice::Get()
{
    static CVuvDevice device;
    return device;
}

CM3DRender& CM3DRender::Get()
{
    static CM3DRender render;
    return render;
}

}  // namespace game_standin
