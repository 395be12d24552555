// The framework's one way into the game. The framework never includes game/: what it needs of
// the game controller, the racket and the effect manager it asks of the installed IGameInterface.
// main installs the game's implementation before the shell starts; tests install recording ones.
// With none installed every call does nothing and every query answers its default, so the
// framework runs on its own (an empty session).
//
// To add a call: give it a default body here and override it in the game. Main thread only.
#pragma once

namespace pravik::video {
class ITexture;
}
class CAISprite;
class EffectImpl;

class IGameInterface {
public:
    virtual ~IGameInterface() = default;

    // The game controller's life inside the session (made at session construction, gone with it).
    virtual void CreateController() {}
    virtual void DestroyController() {}   // releases the game's static data too

    // One frame of the controller, in the session's order.
    virtual void Game_update() {}         // logic: frame time, keys, touch regions, state switch
    virtual void Game_Paint() {}          // the 2D layer, into the open batch
    virtual void Render3D() {}            // the overlay after the scene and the particle quads

    // Pointer entry points, in logic coordinates.
    virtual void pointerPressed(int x, int y) { (void)x, (void)y; }
    virtual void pointerDragged(int x, int y) { (void)x, (void)y; }
    virtual void pointerReleased(int x, int y) { (void)x, (void)y; }

    // The protagonist racket: taken, let go and moved by the one finger down.
    virtual void RacketOnClick(int x, int y, bool down) { (void)x, (void)y, (void)down; }
    virtual void RacketOnMove(int x, int y) { (void)x, (void)y; }
    virtual bool HasProtagonistRacket() { return false; }

    // Controller state the framework reads or writes.
    virtual int StateCurrent() { return -1; }                 // the current state, -1 with none
    virtual void ActivateIngameMenu() {}
    virtual void SetShakeBrickCount(int strength) { (void)strength; }
    virtual void SetUserMusicPlaying(bool playing) { (void)playing; }
    virtual int CameraX() { return 0; }                       // fixed point, 8 fraction bits
    virtual int CameraY() { return 0; }
    virtual int GetLanguage() { return 0; }                   // the string manager's language
    virtual void SaveWrite() {}
    virtual void WaitForSave() {}                             // at exit: the last save asked is on disk
    virtual void Touch_RemoveAllObj() {}
    virtual void SetTouchFlagReleased() {}
    // The frame counter text in the game's small font; false when that font is not loaded.
    virtual bool DrawDebugText(const wchar_t* text, int x, int y) { (void)text, (void)x, (void)y; return false; }
    virtual pravik::video::ITexture* LockLineTexture() { return nullptr; }   // the line texture, not counted

    // What sprites, texts and sounds read of the controller.
    virtual int CurrentLocation() { return 0; }               // first number of GetCurLevel
    virtual int FrameDT() { return 0; }                       // s_game_frameDT, milliseconds
    virtual CAISprite* Sprite(int slot) { (void)slot; return nullptr; }  // _sprites[slot], not owned
    virtual bool DontUseAlphaBlend() { return false; }        // m_bDontUseAlphaBlend
    virtual int RenderTargetHeight() { return 0; }            // of s_pRenderTargetTexture, 0 when none
    virtual bool UseWestDigits() { return false; }
    virtual bool InLevel() { return false; }                  // g_bCurrentInGame
    virtual int Confirm() { return 0; }                       // s_confirm
    virtual CAISprite* FontSprite(int fontId) { (void)fontId; return nullptr; }  // not owned

    // The special-effects manager, owned by the game.
    virtual void CreateEffectManager() {}                     // made and initialised
    virtual void DestroyEffectManager() {}
    virtual void UpdateEffects(int frameIntervalMs) { (void)frameIntervalMs; }
    virtual void RenderEffects() {}
    virtual EffectImpl* GetEffect(int type) { (void)type; return nullptr; }  // a pooled instance, not owned
};

IGameInterface& GameInterface();                 // the installed one, or one that does nothing
void SetGameInterface(IGameInterface* game);     // not owned; null goes back to doing nothing
