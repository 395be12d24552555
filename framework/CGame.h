// The application object: the one CGame, made by the shell at start-up and reached through
// GetGame(). It owns the framework's services (render device, key state, touch tracker, sensors,
// random generator, the window session), runs a frame per OnMainLoop, pauses and resumes, holds
// the resolution mode with the window and logic sizes and the touch scaling, counts frames per
// second and reads the optional start-up configuration file.
#pragma once

#include "framework/CRandom.h"

#include "engine/core/quaternion.h"
#include "engine/core/vector3d.h"

class CPad;
class EffectImpl;
namespace pravik::scene {
class ISceneNode;
}
class CTouchPad;
class CPhoneDevice;
class CVuvDevice;
class CHQGameWndSession;

extern bool IS_P1000;
extern int X_BRICK1_TOUCH, Y_BRICK1_TOUCH, W_BRICK1_TOUCH, H_BRICK1_TOUCH;
extern int X_BRICK2_TOUCH, Y_BRICK2_TOUCH, W_BRICK2_TOUCH, H_BRICK2_TOUCH;
extern int X_BRICK3_TOUCH, Y_BRICK3_TOUCH, W_BRICK3_TOUCH, H_BRICK3_TOUCH;
extern const wchar_t g_chVersion[];   // "1.0.2"

int LOGX_2_SCR(int x);   // fixed-point logic x to a screen pixel, through the level camera
int LOGY_2_SCR(int y);

class CGame {
public:
    static constexpr int CONFIG_LINES = 29;
    static constexpr int CONFIG_LINE_SIZE = 256;
    static constexpr int KEY_COUNT = 48;
    static constexpr int GAMESTATE_PLAY = 2;

    CGame();
    virtual ~CGame();
    virtual void OnGameExit() {}

    static CGame* GetGame();
    int GetWindowWidth() const { return m_nWindowWidth; }
    int GetWindowHeigh() const { return m_nWindowHeight; }
    static int GetLogicWidth();
    static int GetLogicHeigh();
    static int GetLogicWidthOffset();
    static int GetLogicHeighOffset();

    bool OnInitialize();   // false when the engine device could not be made
    void OnMainLoop();
    void Pause();
    void Resume();
    void TestPauseGame();
    void TestResumeGame();

    void SetResolutionMode(int mode);
    void TranslateMousePositionTo480Size(int* x, int* y) const;
    void Translate480PositionToMouseSize(int* x, int* y) const;
    void SetAnimateInterval(int n);
    void EnterState(int state, int, int);
    bool InitializeDevice();

    int IsKeyPressed(int key) const;
    int IsKeyHold(int key) const;
    int IsKeyReleased(int key) const;
    int IsKeyDoublePressed(int key) const;
    bool IsAnyKeyPressed() const;
    void ClearKeyPress();
    void OnKeyClick(int key, bool pressed);
    int GetKeyPressCount(int key) const;   // 0 outside 0-47

    int GetLanguage() const;
    void ClearTouchPad();
    void SaveWrite();
    void Touch_RemoveAllObj();
    void SetTouchFlagRelease();
    void GetVersion(char* out) const;      // terminated
    bool GetCurRacketPos(int index, pravik::core::vector3d<float>& out) const;
    void RenderDebugText();

    // Effect placement; each does nothing for a null effect. The world has y up, so screen
    // and logic y are negated. Logic coordinates are fixed point with 8 fraction bits.
    void SetEffectPosition(EffectImpl* effect, int x, int y) const;
    void SetEffectPositionByRealScr(EffectImpl* effect, int x, int y) const;         // with the level camera
    void SetEffectPositionByRealScrNoCaeram(EffectImpl* effect, int x, int y) const; // from the screen centre
    // Instances come from the game's effect manager; none when it has none for the type.
    void PlayEffect(int type, int x, int y, float scale);
    EffectImpl* PlayEffectAtRealSrcPos(int type, int x, int y, float scale, pravik::scene::ISceneNode* node = nullptr,
                                       const pravik::core::quaternion* rotation = nullptr);
    // With a node the effect replaces the node's children and the node moves instead.
    EffectImpl* PlayEffectAtLogicPos(int type, int x, int y, float scale, pravik::scene::ISceneNode* node = nullptr,
                                     const pravik::core::quaternion* rotation = nullptr);
    void UpdateWin32Key(int) {}
    void OnInputKeyer() {}
    void OnInputFinger() {}
    void ResetSetting() {}
    void GetSetting() {}
    void SaveSetting() {}
    void ResumeUsrMusic() {}
    int GetCurrentMS() { return 0; }

    // The configuration file: 29 lines, each stored after its first '@' with '^' as spaces.
    // A missing file leaves the entries as they were.
    void ReadConfigFile(const char* path);
    const char* ConfigEntry(int line) const { return m_config[line]; }

    CPad* GetPad() const { return m_pPad; }
    CTouchPad* GetTouchPad() const { return m_pTouchPad; }
    CVuvDevice* GetDevice() const { return m_pDevice; }
    CHQGameWndSession* GetSession() const { return m_pSession; }
    bool IsPaused() const { return m_bPaused != 0; }
    int GetFrameInterval() const { return m_nFrameInterval; }
    int GetFramesPerSecond() const { return m_nFps; }
    unsigned MainLoopCount() const { return m_nMainLoopCount; }   // OnMainLoop calls (tests, tools)

    int m_bShowFps = 0;

private:
    int m_bPaused = 0;
    int m_nFrameInterval = 0;
    int m_nAnimateInterval = 0;
    int m_nGameState = GAMESTATE_PLAY;
    char m_config[CONFIG_LINES][CONFIG_LINE_SIZE] = {};
    CTouchPad* m_pTouchPad = nullptr;
    CPad* m_pPad = nullptr;
    int m_nWindowWidth = 0, m_nWindowHeight = 0;
    int m_nLogicWidth = 0, m_nLogicHeight = 0;
    int m_nLogicWidthOffset = 0, m_nLogicHeightOffset = 0;
    float m_fTouchScaleX = 0, m_fTouchScaleY = 0;
    char m_szFps[1024] = {};
    wchar_t m_wszFps[1024] = {};
    int m_nSecondStart = 0, m_nFramesInSecond = 0, m_nFps = 0;
    CVuvDevice* m_pDevice = nullptr;
    CPhoneDevice* m_pPhone = nullptr;
    CRandom m_random;
    CHQGameWndSession* m_pSession = nullptr;
    bool m_bEffectManager = false;
    bool m_bSound = false;   // the sound facade was made by OnInitialize
    int m_nResolutionMode = 0;
    int m_keyPressCount[KEY_COUNT] = {};
    unsigned m_nMainLoopCount = 0;
};
