// The game's answer to the framework's interface: the controller's life in the session, its
// three frame entry points and the few statics the framework reads or writes.
#pragma once

#include <memory>

#include "framework/GameInterface.h"

class CAIGame;
class CSpecialFXManager;

class CGameLink : public IGameInterface {
public:
    CGameLink();
    ~CGameLink() override;

    void CreateController() override;
    void DestroyController() override;   // the statics' data first, then the controller
    void Game_update() override;
    void Game_Paint() override;
    void Render3D() override;

    void pointerPressed(int x, int y) override;
    void pointerDragged(int x, int y) override;
    void pointerReleased(int x, int y) override;
    int StateCurrent() override;
    void SetShakeBrickCount(int strength) override;
    void SetUserMusicPlaying(bool playing) override;
    int CameraX() override;
    int CameraY() override;
    int GetLanguage() override;
    void SaveWrite() override;
    void WaitForSave() override;
    void Touch_RemoveAllObj() override;
    void SetTouchFlagReleased() override;

    int CurrentLocation() override;
    int FrameDT() override;
    CAISprite* Sprite(int slot) override;
    bool DontUseAlphaBlend() override;
    int RenderTargetHeight() override;
    bool InLevel() override;
    int Confirm() override;
    pravik::video::ITexture* LockLineTexture() override;

    void CreateEffectManager() override;
    void DestroyEffectManager() override;
    void UpdateEffects(int frameIntervalMs) override;
    void RenderEffects() override;
    EffectImpl* GetEffect(int type) override;

    CAIGame* controller() const { return m_game.get(); }
    CSpecialFXManager* effects() const { return m_effects.get(); }

private:
    std::unique_ptr<CAIGame> m_game;
    std::unique_ptr<CSpecialFXManager> m_effects;
};

// The game's link installed at start: the owner of the special-effects manager.
CGameLink& GameLink();
