#include "game/CGameLink.h"

#include <iterator>

#include "game/CAIGame.h"
#include "game/CSaveWriter.h"
#include "game/SpecialFX/CSpecialFXManager.h"

CGameLink::CGameLink() = default;
CGameLink::~CGameLink()
{
    DestroyController();
    DestroyEffectManager();
}

void CGameLink::CreateController()
{
    if (!m_game)
        m_game = std::make_unique<CAIGame>();
}

void CGameLink::DestroyController()
{
    if (!m_game)
        return;
    CAIGame::ReleaseStaticData();
    m_game.reset();
}

void CGameLink::Game_update()
{
    if (m_game)
        m_game->Game_update();
}

void CGameLink::Game_Paint()
{
    if (m_game)
        m_game->Game_Paint();
}

void CGameLink::Render3D()
{
    if (m_game)
        m_game->Render3D();
}

int CGameLink::StateCurrent() { return m_game ? CAIGame::s_stateCurrent : -1; }
void CGameLink::SetShakeBrickCount(int strength) { CAIGame::s_nShakeBrickCount = strength; }
void CGameLink::SetUserMusicPlaying(bool playing) { CAIGame::m_bIsUserMusicPlaying = playing; }
int CGameLink::CameraX() { return CAIGame::s_cameraX; }
int CGameLink::CameraY() { return CAIGame::s_cameraY; }
int CGameLink::GetLanguage() { return CAIGame::s_gameLanguage; }
void CGameLink::SaveWrite() { CAIGame::SaveWrite(); }
void CGameLink::WaitForSave() { CSaveWriter::Get().WaitIdle(); }
void CGameLink::pointerPressed(int x, int y) { CAIGame::pointerPressed(x, y); }
void CGameLink::pointerDragged(int x, int y) { CAIGame::pointerDragged(x, y); }
void CGameLink::pointerReleased(int x, int y) { CAIGame::pointerReleased(x, y); }
void CGameLink::Touch_RemoveAllObj() { CAIGame::Touch_RemoveAllObj(); }
void CGameLink::SetTouchFlagReleased() { CAIGame::SetTouchFlagReleased(); }

int CGameLink::CurrentLocation() { return CAIGame::_currentPlace; }
int CGameLink::FrameDT() { return CAIGame::s_game_frameDT; }

CAISprite* CGameLink::Sprite(int slot)
{
    return slot >= 0 && slot < int(std::size(CAIGame::_sprites)) ? CAIGame::_sprites[slot] : nullptr;
}

bool CGameLink::DontUseAlphaBlend() { return CAIGame::m_bDontUseAlphaBlend != 0; }

int CGameLink::RenderTargetHeight()
{
    return CAIGame::s_pRenderTargetTexture ? CAIGame::s_pRenderTargetTexture->getHeight() : 0;
}

bool CGameLink::InLevel() { return CAIGame::g_bCurrentInGame != 0; }
int CGameLink::Confirm() { return CAIGame::s_confirm; }
pravik::video::ITexture* CGameLink::LockLineTexture() { return CAIGame::g_pLockLine.get(); }

void CGameLink::CreateEffectManager()
{
    if (m_effects)
        return;
    m_effects = std::make_unique<CSpecialFXManager>(CGame::GetGame());
    m_effects->Initialize();
}

void CGameLink::DestroyEffectManager() { m_effects.reset(); }

void CGameLink::UpdateEffects(int frameIntervalMs)
{
    if (m_effects)
        m_effects->Update(frameIntervalMs);
}

void CGameLink::RenderEffects()
{
    if (m_effects)
        m_effects->Render();
}

EffectImpl* CGameLink::GetEffect(int type) { return m_effects ? m_effects->GetEffect(type) : nullptr; }

// The game puts itself behind the framework's interface when the program starts; the game
// target asks the linker to keep this object (quendrax_game_link) so that it always does.
extern "C" {
int quendrax_game_link = 0;
}

namespace {

struct InstallGame {
    InstallGame() { SetGameInterface(&link); }
    ~InstallGame() { SetGameInterface(nullptr); }
    CGameLink link;
};
InstallGame s_install;

}  // namespace

CGameLink& GameLink() { return s_install.link; }
