#include "framework/CHQGameWndSession.h"

#include "framework/CGame.h"
#include "framework/CVuvDevice.h"
#include "framework/GameInterface.h"

#include "engine/os/Timer.h"
#include "engine/scene/CSceneManager.h"
#include "engine/video/CTextureManager.h"
#include "engine/video/IVideoDriver.h"

CHQGameWndSession::CHQGameWndSession()
    : m_pFileSystem(CVuvDevice::GetFileSystem()),
      m_pVideoDriver(CVuvDevice::GetVideoDriver()),
      m_pSceneManager(CVuvDevice::GetSceneManager()),
      m_pDevice(CVuvDevice::GetPravikDevice()),
      m_pGame(CGame::GetGame())
{
}

void CHQGameWndSession::StartSession()
{
    m_nExitCode = 0;
    m_bLoading = true;
    m_nLoadingStage = 0;
}

bool CHQGameWndSession::LoadingLoop()
{
    auto step = [this](bool done) {
        if (done)
            ++m_nLoadingStage;
    };
    switch (m_nLoadingStage) {
    case 0: step(InitiaState()); break;
    case 1: step(InitiaTexture()); break;
    case 2: step(InitiaMeshData()); break;
    case 3: step(InitiaOthers()); break;
    case 4: step(InitiaMatrix()); break;
    case 5: step(InitiaSound()); break;
    case 6:
        m_bLoading = false;
        InitiaFinished();
        m_nLoadingStage = 7;
        break;
    default: break;
    }
    DrawLoadingBar();
    return m_bStop;
}

bool CHQGameWndSession::MainRenderLoop()
{
    ++m_nFrameCount;
    RenderPrivateData();
    return m_bStop;
}

void CHQGameWndSession::RenderPrivateData()
{
    if (RenderLoadingScreen())
        return;
    Update();
    Update2D();
    CVuvDevice* device = CVuvDevice::GetVuvDevice();
    if (device)
        device->BeginScene2D();
    Render2D();
    if (device)
        device->EndScene2D();
    Render();
}

void CHQGameWndSession::StopGameWndSession(long code)
{
    m_bStop = true;
    m_nExitCode = code;
}

bool CHQGameWndSession::IsAnyKeyPressed() const
{
    return m_pGame && m_pGame->IsAnyKeyPressed();
}

int CHQGameWndSession::IsKeyPressed(int key) const
{
    return m_pGame ? m_pGame->IsKeyPressed(key) : 0;
}

int CHQGameWndSession::IsKeyHold(int key) const
{
    return m_pGame ? m_pGame->IsKeyHold(key) : 0;
}

int CHQGameWndSession::IsKeyReleased(int key) const
{
    return m_pGame ? m_pGame->IsKeyReleased(key) : 0;
}

void CHQGameWndSession::ClearKeyPress()
{
    if (m_pGame)
        m_pGame->ClearKeyPress();
}

CGamePlay::CGamePlay()
{
    GameInterface().CreateController();
    if (m_pVideoDriver) {
        m_pVideoDriver->setOption(pravik::video::EVDO_MERGE_DRAWS, true);
        if (pravik::video::CTextureManager* textures = m_pVideoDriver->getTextureManager())
            textures->setFlags(pravik::video::ETMF_KEEP_TEXTURE_DATA, false);
    }
}

CGamePlay::~CGamePlay()
{
    GameInterface().DestroyController();
}

void CGamePlay::InitiaFinished()
{
    m_nPreviousUpdate = int(pravik::os::Timer::getRealTime());
}

void CGamePlay::Update()
{
    const int now = int(pravik::os::Timer::getRealTime());
    float elapsed = float(now - m_nPreviousUpdate);
    m_nPreviousUpdate = now;
    // A clock that went back gives no step; a long pause gives at most 100 ms.
    if (elapsed < 0)
        elapsed = 0;
    if (elapsed > 100)
        elapsed = 100;
    m_fLastSceneStep = elapsed;
    if (m_pSceneManager)
        m_pSceneManager->update(elapsed, false);
}

void CGamePlay::Render2D()
{
    GameInterface().Game_update();
    GameInterface().Game_Paint();
}

void CGamePlay::Render()
{
    CVuvDevice* device = CVuvDevice::GetVuvDevice();
    if (!device)
        return;
    if (m_pSceneManager)
        m_pSceneManager->drawAll(nullptr);
    device->GetM3DRender().Flsh3DRender();
    device->BeginScene2D();
    GameInterface().Render3D();
    device->EndScene2D();
}
