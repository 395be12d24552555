#include "framework/CGame.h"

#include "framework/AppPlaybook.h"
#include "framework/CHQGameWndSession.h"
#include "framework/CKezManager.h"
#include "framework/CPad.h"
#include "framework/CPhoneDevice.h"
#include "framework/CTouchPad.h"
#include "framework/CVuvDevice.h"
#include "framework/GameInterface.h"
#include "framework/ScreenGeometry.h"
#include "framework/Trace.h"
#include "framework/WideString.h"

#include "engine/os/Timer.h"

#include <cstdio>
#include <cstring>
#include <fstream>

namespace {
CGame* g_pGame = nullptr;
} // namespace

bool IS_P1000 = true;
int X_BRICK1_TOUCH, Y_BRICK1_TOUCH, W_BRICK1_TOUCH, H_BRICK1_TOUCH;
int X_BRICK2_TOUCH, Y_BRICK2_TOUCH, W_BRICK2_TOUCH, H_BRICK2_TOUCH;
int X_BRICK3_TOUCH, Y_BRICK3_TOUCH, W_BRICK3_TOUCH, H_BRICK3_TOUCH;
const wchar_t g_chVersion[] = L"1.0.2";

int LOGX_2_SCR(int x)
{
    const int cx = GameInterface().CameraX();
    return int((x >> 8) - (cx >> 8) + Display_Border_Left() - 0.5 * Screen_Width());
}

int LOGY_2_SCR(int y)
{
    const int cy = GameInterface().CameraY();
    return int(0.5 * Screen_Height() - ((y >> 8) - (cy >> 8) + Display_Border_Top()));
}

CGame::CGame()
{
    g_pGame = this;
}

CGame::~CGame()
{
    if (m_bEffectManager)
        GameInterface().DestroyEffectManager();
    if (m_bSound) {
        CKezManager::GetInstance()->Destroy();
        CKezManager::DeleteInstance();
    }
    CPhoneDevice::DestroyInstance();
    m_pPhone = nullptr;
    delete m_pSession;
    m_pSession = nullptr;
    delete m_pPad;
    m_pPad = nullptr;
    delete m_pTouchPad;
    m_pTouchPad = nullptr;
    delete m_pDevice;
    m_pDevice = nullptr;
    if (g_pGame == this)
        g_pGame = nullptr;
}

CGame* CGame::GetGame()
{
    return g_pGame;
}

int CGame::GetLogicWidth()
{
    return g_pGame ? g_pGame->m_nLogicWidth : 0;
}

int CGame::GetLogicHeigh()
{
    return g_pGame ? g_pGame->m_nLogicHeight : 0;
}

int CGame::GetLogicWidthOffset()
{
    return g_pGame ? g_pGame->m_nLogicWidthOffset : 0;
}

int CGame::GetLogicHeighOffset()
{
    return g_pGame ? g_pGame->m_nLogicHeightOffset : 0;
}

void CGame::ReadConfigFile(const char* path)
{
    std::ifstream in(path);
    if (!in)
        return;
    for (int line = 0; line < CONFIG_LINES; ++line) {
        char buffer[CONFIG_LINE_SIZE] = {};
        in.getline(buffer, CONFIG_LINE_SIZE);
        // A line without '@' (or past the end of a short file) stores an empty entry.
        const char* at = static_cast<const char*>(std::memchr(buffer, '@', CONFIG_LINE_SIZE));
        char* entry = m_config[line];
        int n = 0;
        if (at) {
            for (int i = int(at - buffer) + 1; i < CONFIG_LINE_SIZE && buffer[i]; ++i)
                entry[n++] = buffer[i] == '^' ? ' ' : buffer[i];
        }
        entry[n] = 0;
    }
}

bool CGame::OnInitialize()
{
    char path[2048];
    std::snprintf(path, sizeof path, "%sAndroidDevConfig.bin", g_appPath);
    ReadConfigFile(path);
    m_nWindowWidth = m_nWindowHeight = 0;
    m_nLogicWidth = m_nLogicHeight = 0;
    m_nLogicWidthOffset = m_nLogicHeightOffset = 0;
    m_fTouchScaleX = m_fTouchScaleY = 0;
    IS_P1000 = true;
    SetResolutionMode(RESOLUTION_MODE_600X1024);
    SetAnimateInterval(1);
    if (!InitializeDevice())
        return false;
    m_pPad = new CPad;
    m_pTouchPad = new CTouchPad;
    m_pPhone = CPhoneDevice::GetInstance();
    GameInterface().CreateEffectManager();
    m_bEffectManager = true;
    CKezManager* sound = CKezManager::GetInstance();
    sound->EnableKez(true);
    sound->Init();
    m_bSound = true;
    EnterState(GAMESTATE_PLAY, 0, 0);
    m_nSecondStart = int(pravik::os::Timer::getRealTime());
    m_nFramesInSecond = 0;
    m_nFps = 0;
    return true;
}

void CGame::OnMainLoop()
{
    ++m_nMainLoopCount;
    pravik::os::Timer::tick();
    if (m_pPad)
        m_pPad->UpdateKeyStatus();
    if (m_pTouchPad)
        m_pTouchPad->Update();
    if (m_bPaused)
        return;
    if (m_bSound)
        CKezManager::GetInstance()->Update(float(m_nFrameInterval));
    CHQGameWndSession* session = m_nGameState == GAMESTATE_PLAY ? m_pSession : nullptr;
    if (m_pDevice)
        m_pDevice->BeginScene();
    if (session) {
        if (session->IsLoading()) {
            session->LoadingLoop();
        } else {
            const bool stop = session->MainRenderLoop();
            GameInterface().UpdateEffects(m_nFrameInterval);
            GameInterface().RenderEffects();
            if (stop && m_nGameState == GAMESTATE_PLAY) {
                delete m_pSession;
                m_pSession = nullptr;
            }
        }
    }
    RenderDebugText();
    if (m_pDevice)
        m_pDevice->EndScene();
}

void CGame::Pause()
{
    Trace("pause");
    m_bPaused = 1;
    if (m_pSession && GameInterface().StateCurrent() == 12) {
        GameInterface().ActivateIngameMenu();
        GameInterface().pointerReleased(0, 0);
    }
    CKezManager* sound = CKezManager::GetInstance();
    sound->PauseAllSounds(100);
    if (m_pTouchPad)
        m_pTouchPad->Pause();
    GameInterface().SetUserMusicPlaying(sound->Ipod_IsPlaying());
}

void CGame::Resume()
{
    Trace("resume");
    m_bPaused = 0;
    CKezManager* sound = CKezManager::GetInstance();
    GameInterface().SetUserMusicPlaying(sound->Ipod_IsPlaying());
    sound->ResumeAllSounds(1000);
}

void CGame::TestPauseGame()
{
    CKezManager::GetInstance()->PauseAllSounds(100);
    Pause();
}

void CGame::TestResumeGame()
{
    Resume();
    CKezManager::GetInstance()->ResumeAllSounds(1000);
}

void CGame::SetResolutionMode(int mode)
{
    X_BRICK1_TOUCH = 52, Y_BRICK1_TOUCH = 550, W_BRICK1_TOUCH = 225, H_BRICK1_TOUCH = 168;
    X_BRICK2_TOUCH = 348, Y_BRICK2_TOUCH = 538, W_BRICK2_TOUCH = 245, H_BRICK2_TOUCH = 156;
    X_BRICK3_TOUCH = 335, Y_BRICK3_TOUCH = 704, W_BRICK3_TOUCH = 291, H_BRICK3_TOUCH = 193;
    switch (mode) {
    case RESOLUTION_MODE_640X960:
        m_nWindowWidth = 640, m_nWindowHeight = 960, m_nLogicWidth = 640, m_nLogicHeight = 960;
        m_fTouchScaleX = 0.5f, m_fTouchScaleY = 0.5f;
        break;
    case RESOLUTION_MODE_600X1024:
        m_nWindowWidth = 600, m_nWindowHeight = 1024, m_nLogicWidth = 600, m_nLogicHeight = 1024;
        m_fTouchScaleX = 320.0f / 600.0f, m_fTouchScaleY = 480.0f / 1024.0f;
        break;
    case RESOLUTION_MODE_480X800:
        m_nWindowWidth = 480, m_nWindowHeight = 800, m_nLogicWidth = 640, m_nLogicHeight = 1067;
        m_fTouchScaleX = 320.0f / 480.0f, m_fTouchScaleY = 0.6f;
        break;
    default:
        m_nWindowWidth = 320, m_nWindowHeight = 480, m_nLogicWidth = 640, m_nLogicHeight = 960;
        m_fTouchScaleX = 1.0f, m_fTouchScaleY = 1.0f;
        break;
    }
    m_nLogicWidthOffset = (m_nLogicWidth - 640) / 2;
    m_nLogicHeightOffset = (m_nLogicHeight - 960) / 2;
    m_nResolutionMode = mode;
    ScreenGeometry_SetMode(mode);
    if (m_pDevice)
        m_pDevice->ResetDevice(m_nWindowWidth, m_nWindowHeight);
}

namespace {
bool scaledMode(int mode)
{
    return mode == RESOLUTION_MODE_640X960 || mode == RESOLUTION_MODE_600X1024 || mode == RESOLUTION_MODE_480X800;
}
} // namespace

void CGame::TranslateMousePositionTo480Size(int* x, int* y) const
{
    if (!scaledMode(m_nResolutionMode))
        return;
    *x = int(float(*x) * m_fTouchScaleX);
    *y = int(float(*y) * m_fTouchScaleY);
}

void CGame::Translate480PositionToMouseSize(int* x, int* y) const
{
    if (!scaledMode(m_nResolutionMode))
        return;
    *x = int(float(*x) / m_fTouchScaleX);
    *y = int(float(*y) / m_fTouchScaleY);
}

void CGame::SetAnimateInterval(int n)
{
    m_nAnimateInterval = n;
    m_nFrameInterval = int(float(n) * 16.666666f);
}

void CGame::EnterState(int state, int, int)
{
    m_nGameState = state;
    if (state != GAMESTATE_PLAY)
        return;
    auto* play = new CGamePlay;
    play->StartSession();
    delete m_pSession;
    m_pSession = play;
}

bool CGame::InitializeDevice()
{
    delete m_pDevice;
    m_pDevice = new CVuvDevice(m_nWindowWidth, m_nWindowHeight);
    if (m_pDevice->IsValid())
        return true;
    delete m_pDevice;
    m_pDevice = nullptr;
    return false;
}

int CGame::IsKeyPressed(int key) const
{
    return m_pPad ? m_pPad->IsKeyPressed(key) : 0;
}

int CGame::IsKeyHold(int key) const
{
    return m_pPad ? m_pPad->IsKeyHold(key) : 0;
}

int CGame::IsKeyReleased(int key) const
{
    return m_pPad ? m_pPad->IsKeyReleased(key) : 0;
}

int CGame::IsKeyDoublePressed(int key) const
{
    return m_pPad ? m_pPad->IsKeyDoublePressed(key) : 0;
}

bool CGame::IsAnyKeyPressed() const
{
    return m_pPad && m_pPad->IsAnyKeyPressed();
}

void CGame::ClearKeyPress()
{
    if (m_pPad)
        m_pPad->ClearKeyPress();
}

void CGame::OnKeyClick(int key, bool pressed)
{
    if (pressed && unsigned(key) < unsigned(KEY_COUNT))
        ++m_keyPressCount[key];
}

int CGame::GetKeyPressCount(int key) const
{
    return unsigned(key) < unsigned(KEY_COUNT) ? m_keyPressCount[key] : 0;
}

int CGame::GetLanguage() const
{
    return GameInterface().GetLanguage();
}

void CGame::ClearTouchPad()
{
    if (!m_pTouchPad)
        return;
    CTouchPad::m_nLastX = -1;
    CTouchPad::m_nLastY = -1;
    m_pTouchPad->Clear();
}

void CGame::SaveWrite()
{
    GameInterface().SaveWrite();
}

void CGame::Touch_RemoveAllObj()
{
    GameInterface().Touch_RemoveAllObj();
}

void CGame::SetTouchFlagRelease()
{
    GameInterface().SetTouchFlagReleased();
}

void CGame::GetVersion(char* out) const
{
    const int n = droid_wcslen(g_chVersion);
    for (int i = 0; i < n; ++i)
        out[i] = char(g_chVersion[i]);
    out[n] = 0;
}

bool CGame::GetCurRacketPos(int index, pravik::core::vector3d<float>& out) const
{
    if (index > 0 || !GameInterface().HasProtagonistRacket())
        return false;
    out.X = float(GameInterface().CameraX() >> 8);
    out.Y = float(GameInterface().CameraY() >> 8);
    out.Z = 0;
    return true;
}

void CGame::RenderDebugText()
{
    ++m_nFramesInSecond;
    const int now = int(pravik::os::Timer::getRealTime());
    if (now - m_nSecondStart > 1000) {
        m_nSecondStart = now;
        m_nFps = m_nFramesInSecond;
        m_nFramesInSecond = 0;
    }
    if (!m_bShowFps)
        return;
    std::memset(m_szFps, 0, sizeof m_szFps);
    std::memset(m_wszFps, 0, sizeof m_wszFps);
    std::snprintf(m_szFps, sizeof m_szFps, "F:%d", m_nFps);
    droid_mbstowcs(m_wszFps, m_szFps, 1024);
    if (m_pDevice)
        m_pDevice->BeginScene2D();
    GameInterface().DrawDebugText(m_wszFps, 370, 170);
    if (m_pDevice)
        m_pDevice->EndScene2D();
}
