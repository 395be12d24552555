// The animated menu scene (nine background layers, sun rays, the brick signboard and the deferred
// switch that waits for every leave animation) and the main menu built on it.
#include <cmath>
#include <string>

#include "framework/CGame.h"
#include "framework/CPhoneDevice.h"
#include "framework/ScreenGeometry.h"
#include "framework/ViDuz.h"
#include "engine/video/CTextureManager.h"
#include "engine/video/IVideoDriver.h"
#include "game/CAIGame.h"
#include "platform/Bps.h"

namespace {

constexpr int kLayers = 9;
constexpr int kMenuSprite = 104;
constexpr int kMarkerSprite = 105;
constexpr int kStoreSprite = 113;
constexpr int kKeyTouch = 7;
constexpr int kSoundPick = 56;
constexpr bool USE_OPERATOR_IGP = true;

// Brick animations of the signboard sprite: idle, shake, press, held, release per brick.
constexpr int kBrickIdle[3] = {9, 8, 7};
constexpr int kBrickShake[3] = {5, 6, 4};
constexpr int kBrickPress[3] = {14, 15, 13};
constexpr int kBrickHeld[3] = {17, 18, 16};
constexpr int kBrickRelease[3] = {11, 12, 10};

// Layer 0's numbers differ in resolution modes 0 and 3.
// (The screen size tells the mode: 600 wide in mode 2, 1067 high in mode 4.)
bool SmallLayer0() { return Screen_Width() == 600 || Screen_Height() == 1067; }
int L0Idle() { return SmallLayer0() ? 17 : 27; }
int L0Enter() { return SmallLayer0() ? 16 : 26; }
int L0Leave() { return SmallLayer0() ? 14 : 24; }

bool Japanese() { return CAIGame::s_gameLanguage == 6; }
int LogoIn() { return Japanese() ? 21 : 18; }
int LogoOut() { return Japanese() ? 22 : 19; }
int LogoIdle() { return Japanese() ? 23 : 20; }

ViDuzPlayer* Layer(int i) { return CAIGame::g_pMenuBGAnimationPlayer[i]; }
void Play(int layer, int anim, int loops)
{
    if (ViDuzPlayer* p = Layer(layer))
        p->SetAnim(anim, loops);
}
bool On(ViDuzPlayer* p, int anim) { return p && p->GetAnim() == anim; }
bool OnAndOver(ViDuzPlayer* p, int anim) { return On(p, anim) && p->IsAnimOver(); }
bool OnAndRunning(ViDuzPlayer* p, int anim) { return On(p, anim) && !p->IsAnimOver(); }

void IdleConfig()
{
    Play(1, 0, -1), Play(8, -1, -1), Play(6, 6, -1), Play(3, 9, -1), Play(4, 10, -1);
    Play(5, -1, -1), Play(2, 13, -1), Play(0, L0Idle(), -1), Play(7, -1, -1);
}
void EnterConfig()
{
    Play(1, 0, -1), Play(8, -1, -1), Play(6, 4, 1), Play(3, -1, -1), Play(4, -1, -1);
    Play(5, 7, 1), Play(2, 11, 1), Play(0, L0Enter(), 1), Play(7, -1, -1);
}
void LeaveConfig()
{
    Play(1, 0, -1), Play(8, -1, -1), Play(6, 5, 1), Play(3, -1, -1), Play(4, -1, -1);
    Play(5, 8, 1), Play(2, 12, 1), Play(0, L0Leave(), 1), Play(7, -1, -1);
}

bool IsHubOfMain(int state) { return state == 36 || state == 37 || state == 39 || state == 46; }
bool HasTitle(int state)
{
    switch (state) {
    case 36: case 37: case 39: case 40: case 42: case 43: case 44: case 46: return true;
    default: return false;
    }
}

void DeletePlayer(ViDuzPlayer*& p)
{
    delete p;
    p = nullptr;
}

// A player on sprite slot 104 (background layers) or 105 (signboard and bricks).
ViDuzPlayer* NewSignboardPlayer(int slot = kMarkerSprite)
{
    auto* p = new ViDuzPlayer;
    p->SetSprite(CAIGame::_sprites[slot]);
    p->SetPos(CGame::GetLogicWidthOffset(), CGame::GetLogicHeighOffset());
    return p;
}

bool FingerDown() { return CAIGame::s_touchPressedNew && !CAIGame::s_touchReleased; }
int FingerSlot() { return FingerDown() && CAIGame::s_curObj ? CAIGame::s_curObj->m_slot : -1; }

}  // namespace

// ---- The scene

void CAIGame::LoadAllMMSprites()
{
    LoadTexture(g_pSunLightTexture, "SFX/sunlight.tga", pravik::video::ETFT_NEAREST);
    ViDuz::Pack_Open("15");
    ReloadSprite(kMenuSprite, 30);
    ReloadSprite(kMarkerSprite, 31);
    if (g_pStringManager && g_pStringManager->IsWCharLanguage())
        ReloadSprite(110, 35);
    ViDuz::Pack_Close();
    s_bInitedAllMMSprites = true;
}

void CAIGame::UnLoadAllMMSprites() {}

void CAIGame::InitMainMenuBGAnimPlayer()
{
    for (int i = 0; i < kLayers; ++i) {
        if (!g_pMenuBGAnimationPlayer[i]) {
            g_pMenuBGAnimationPlayer[i] = NewSignboardPlayer(kMenuSprite);
            g_pMenuBGAnimationPlayer[i]->SetAnim(-1, -1);
        }
    }
}

void CAIGame::DeleteMainMenuPlayers()
{
    DeletePlayer(g_pTitleBrickAnimPlayer);
    DeletePlayer(g_pMenuBrickAnimPlayer);
    for (ViDuzPlayer*& p : g_pMenuBrickCtrAniPlayer)
        DeletePlayer(p);
    for (ViDuzPlayer*& p : g_pMenuBGAnimationPlayer)
        DeletePlayer(p);
}

void CAIGame::SetAllUIExitAnimOver()
{
    for (uint8_t& flag : s_arrUIExitAnimOver)
        flag = 1;
}

void CAIGame::UpdateUIStateChangeTranslation()
{
    for (uint8_t flag : s_arrUIExitAnimOver)
        if (!flag)
            return;
    const int next = s_loadingType != 0 ? STATE_LOADING : s_loadingNextState;
    // A screen not built yet sends the menu back in rather than to an empty state.
    SwitchState(IsPlaceholderHandler(next) ? STATE_MAIN : next);
}

void CAIGame::StartMenuTranslation(int mode, int layer, int anim)
{
    const int state = s_stateCurrent;
    const bool known = state == 26 || state == 36 || state == 37 || state == 39 || state == 40 || state == 42 ||
                       state == 43 || state == 44 || state == 46;
    if (!known)
        return;
    if (layer >= 0 && layer < kLayers) {
        g_nMainMenuBGTranslationMode[layer] = mode;
        Play(layer, anim, -1);
        return;
    }
    g_nMenuTranslationMode = mode;
    for (int32_t& m : g_nMainMenuBGTranslationMode)
        m = mode;
    const int last = s_stateLast, next = s_loadingNextState;
    const bool enter = mode == 1;
    switch (state) {
    case 26:
        if (enter) {
            EnterConfig();
            Play(8, 1, 1);
            Play(2, IsHubOfMain(last) ? 13 : 11, IsHubOfMain(last) ? -1 : 1);
            if (last == 20 || last == 23)
                Play(0, L0Enter(), 1);
            else
                Play(0, L0Idle(), -1);
            Play(7, LogoIn(), 1);
        } else {
            if (IsHubOfMain(next))
                IdleConfig();
            else
                LeaveConfig();
            Play(1, 0, -1), Play(8, 2, 1), Play(7, LogoOut(), 1);
        }
        break;
    case 36: (enter ? last == 49 : next == 49) ? (enter ? EnterConfig() : LeaveConfig()) : IdleConfig(); break;
    case 37: (enter ? last == 26 : next == 26) ? IdleConfig() : (enter ? EnterConfig() : LeaveConfig()); break;
    case 39:
        (enter ? last == 26 || last == 40 : next == 26 || next == 40) ? IdleConfig()
                                                                       : (enter ? EnterConfig() : LeaveConfig());
        break;
    case 40:
        if (enter)
            last == 39 ? IdleConfig() : EnterConfig();
        else
            next == 28 || next == 47 ? LeaveConfig() : IdleConfig();
        break;
    case 42:
    case 43:
        if (enter ? last == 36 : next == 36)
            IdleConfig();
        break;
    case 44:
    case 46: {
        const int hub = state == 44 ? 36 : 26;
        (enter ? last == hub : next == hub) ? IdleConfig() : (enter ? EnterConfig() : LeaveConfig());
        break;
    }
    default: break;
    }
}

int CAIGame::UpdateMenuTranslation()
{
    auto settle = [](int layer) {
        g_nMainMenuBGTranslationMode[layer] = 0;
        g_nMenuTranslationMode = 0;
    };
    if (OnAndOver(Layer(8), 1))
        Play(8, 3, -1), settle(8);
    if (OnAndOver(Layer(6), 4))
        Play(6, 6, -1), settle(6);
    if (OnAndOver(Layer(5), 7)) {
        Play(5, -1, -1), Play(3, 9, -1), Play(4, 10, -1);
        settle(3), settle(4), settle(5);
    }
    if (OnAndOver(Layer(2), 11))
        Play(2, 13, -1), settle(2);
    if (g_nMainMenuBGTranslationMode[0] == 1) {
        if (OnAndOver(Layer(0), L0Leave()))
            Play(0, L0Leave() + 1, -1), settle(0);
        if (OnAndOver(Layer(0), L0Enter()))
            Play(0, L0Idle(), -1), settle(0);
    }
    if (OnAndOver(Layer(7), 21) || OnAndOver(Layer(7), 18)) {
        Play(7, LogoIdle(), -1), settle(7);
        return g_nMenuTranslationMode;
    }
    if (g_nMenuTranslationMode == -1) {
        const bool running = OnAndRunning(Layer(0), 14) || OnAndRunning(Layer(0), 16) ||
                             OnAndRunning(Layer(0), 24) || OnAndRunning(Layer(0), 26) ||
                             OnAndRunning(Layer(2), 11) || OnAndRunning(Layer(2), 12) ||
                             OnAndRunning(Layer(5), 8) || OnAndRunning(Layer(6), 5) ||
                             OnAndRunning(Layer(7), 22) || OnAndRunning(Layer(7), 19) ||
                             OnAndRunning(Layer(8), 2);
        if (!running)
            s_arrUIExitAnimOver[0] = 1;
    }
    return g_nMenuTranslationMode;
}

void CAIGame::StartMenuBrickTranslation(int mode, int anim, int brick, unsigned char useBrickMode)
{
    if (HasTitle(s_stateCurrent) && mode == -1 && g_pMenuTitleAnimPlayer)
        g_pMenuTitleAnimPlayer->SetAnim(2, 1);
    if (brick < 0) {
        for (ViDuzPlayer* p : g_pMenuBrickCtrAniPlayer)
            if (p)
                p->SetAnim(-1, -1);
        g_nMenuBrickTranslationMode = mode;
        if (g_pMenuBrickAnimPlayer)
            g_pMenuBrickAnimPlayer->SetAnim(anim, mode == 0 ? -1 : 1);
        return;
    }
    if (brick >= kMenuBrickSlots)
        return;
    if (g_pMenuBrickAnimPlayer)
        g_pMenuBrickAnimPlayer->SetAnim(-1, -1);
    g_nMenuBrickTranslationMode = mode;
    if (useBrickMode)
        mode = g_nMenuBrickTransMode_Part[brick];
    ViDuzPlayer* p = g_pMenuBrickCtrAniPlayer[brick];
    if (!p)
        return;
    if (mode == 0) {
        if (p->GetAnim() != anim)
            p->SetAnim(anim, anim >= 4 && anim <= 6 ? s_nShakeBrickCount : -1);
    } else {
        p->SetAnim(anim, 1);
    }
}

int CAIGame::UpdateMenuBrickTranslation()
{
    if (HasTitle(s_stateCurrent) && OnAndOver(g_pMenuTitleAnimPlayer, 1))
        g_pMenuTitleAnimPlayer->SetAnim(3, -1);
    ViDuzPlayer* board = g_pMenuBrickAnimPlayer;
    if (g_nMenuBrickTranslationMode == 1 && board && board->GetAnim() >= 0 && board->IsAnimOver()) {
        for (int b = 0; b < kMenuBrickSlots; ++b)
            StartMenuBrickTranslation(0, kBrickIdle[b], b, 0);
    } else if (g_nMenuBrickTranslationMode == 0) {
        for (int b = 0; b < kMenuBrickSlots; ++b) {
            ViDuzPlayer* p = g_pMenuBrickCtrAniPlayer[b];
            if (OnAndOver(p, kBrickShake[b])) {
                g_nMenuBrickTransMode_Part[b] = 1;
                StartMenuBrickTranslation(0, kBrickRelease[b], b, 1);
            } else if (OnAndOver(p, kBrickRelease[b])) {
                StartMenuBrickTranslation(0, kBrickIdle[b], b, 0);
            }
        }
    } else if (g_nMenuBrickTranslationMode == -1 && board && board->IsAnimOver()) {
        s_arrUIExitAnimOver[1] = 1;
    }
    return g_nMenuBrickTranslationMode;
}

// Brick n is pressed through touch slot n + 1.
void CAIGame::UpdateBrickPressFeedback(int bricks)
{
    const int slot = FingerSlot();
    for (int b = 0; b < bricks && b < kMenuBrickSlots; ++b) {
        ViDuzPlayer* p = g_pMenuBrickCtrAniPlayer[b];
        if (!p)
            continue;
        if (slot == b + 1) {
            if (On(p, kBrickIdle[b])) {
                g_nMenuBrickTransMode_Part[b] = 1;
                StartMenuBrickTranslation(0, kBrickPress[b], b, 1);
            } else if (OnAndOver(p, kBrickPress[b])) {
                StartMenuBrickTranslation(0, kBrickHeld[b], b, 0);
            }
        } else if (On(p, kBrickPress[b]) || On(p, kBrickHeld[b])) {
            g_nMenuBrickTransMode_Part[b] = 1;
            StartMenuBrickTranslation(0, kBrickRelease[b], b, 1);
        }
    }
}

void CAIGame::PaintSunLight()
{
    PaintFourSquares(g_pSunLightTexture.get(), CGame::GetLogicWidthOffset() + 320, CGame::GetLogicHeighOffset() + 600,
                     g_fSunLightRadius, g_fSunLightAngle);
    g_fSunLightAngle += 0.01f;
    if (On(Layer(0), 24) || On(Layer(0), 14))
        g_fSunLightRadius = std::max(0.0f, g_fSunLightRadius - 5);
    else
        g_fSunLightRadius = std::min(600.0f, g_fSunLightRadius + 15);
}

void CAIGame::PaintMainMenuBGAnim()
{
    for (int i : {1, 8})
        if (Layer(i))
            Layer(i)->Render();
    PaintSunLight();
    for (int i : {6, 5, 3, 4, 2})
        if (Layer(i))
            Layer(i)->Render();
}

void CAIGame::PaintMainMenuBGAnim_Added()
{
    for (int i : {0, 7})
        if (Layer(i))
            Layer(i)->Render();
}

// ---- The main menu

std::string CAIGame::MMOnlineServiceUrl(int language)
{
    static const int kTable[9] = {0, 1, 2, 3, 4, 7, 5, 6, 8};
    static const char* const kCodes[9] = {"EN", "FR", "DE", "IT", "ES", "JA", "KO", "CN", "BR"};
    const int v = language >= 0 && language < 9 ? kTable[language] : -1;
    const char* code = v >= 0 && v < 9 ? kCodes[v] : "EN";
    return std::string("https://online.quendrax.example/zyliveweb/index/index?lg=") + code + "&TXR=70342";
}

int CAIGame::MMStoreButtonFrame(int language)
{
    static const int kFrames[9] = {0, 1, 4, 2, 3, 6, 7, 8, 5};
    return language >= 0 && language < 9 ? kFrames[language] : 0;
}

void CAIGame::MMOpenLink(int slot)
{
    const std::string url =
        slot == 4 ? MMOnlineServiceUrl(s_gameLanguage) : std::string("https://store.quendrax.example/store/tablet.php");
    char* error = nullptr;
    platform::navigator_invoke(url.c_str(), &error);   // a failed launch leaves the menu as it is
}

void CAIGame::MMLeaveTo(int state, int anim)
{
    s_loadingNextState = state;
    StartMenuTranslation(-1, -1, -1);
    StartMenuBrickTranslation(-1, anim, -1, 0);
    if (g_pTitleBrickAnimPlayer)
        g_pTitleBrickAnimPlayer->SetAnim(anim, 1);
}

void CAIGame::game_handleMessage_STATE_MAIN(int kind)
{
    switch (kind) {
    case MSG_INIT:
        StateMMInit_New();
        MMEffectInit();
        MMEffectOpen();
        break;
    case MSG_UPDATE:
        if (s_bShowConfirm)
            StateConfirmUpdate();
        else
            StateMMUpdate_New();
        break;
    case MSG_PAINT: StateMMPaint_New(); break;
    case MSG_EXIT:
        if (s_stateNext != STATE_MAIN) {
            StateMMExit_New();
            MMEffectClose();
            MMEffectDestroy();
        }
        if (s_bShowConfirm)
            StateConfirmExit();
        s_bShowConfirm = false;
        break;
    default: break;
    }
}

void CAIGame::StateMMInit_New()
{
    if (!s_bInitedAllMMSprites)
        LoadAllMMSprites();
    DeleteMainMenuPlayers();
    g_pTitleBrickAnimPlayer = NewSignboardPlayer();
    g_pTitleBrickAnimPlayer->SetAnim(0, 1);
    g_pMenuBrickAnimPlayer = NewSignboardPlayer();
    for (ViDuzPlayer*& p : g_pMenuBrickCtrAniPlayer)
        p = NewSignboardPlayer();
    InitMainMenuBGAnimPlayer();

    s_menuSelection = 0;
    g_fSunLightAngle = 0;
    g_fSunLightRadius = 0;
    StartMenuTranslation(1, -1, -1);
    s_nShakeBrickCount = 1;
    for (int b = 0; b < kMenuBrickSlots; ++b) {
        g_nMenuBrickTransMode_Part[b] = 0;
        g_nMenuBrickPosX[b] = g_nMenuBrickPosY[b] = -1;
    }
    StartMenuBrickTranslation(1, 0, -1, 0);

    if (!SND_IsSoundPlaying(1) && (s_stateLast == STATE_LOADING || s_stateLast == STATE_GAME_MODE_MAIN_MENU))
        SND_PlayBGMusic(1, true);

    SetAllUIExitAnimOver();
    s_arrUIExitAnimOver[0] = s_arrUIExitAnimOver[1] = 0;
    s_curFrameInfoIcon = 51;
    s_curFrameOptionsIcon = 61;
    ViDuz::Pack_Open("15");
    LoadSprite(kStoreSprite, 37, ViDuz::m_szCurrentOpenPackName);
    ViDuz::Pack_Close();
    s_IsMMOtherItemHide = false;
}

void CAIGame::StateMMUpdate_New()
{
    UpdateUIStateChangeTranslation();
    for (ViDuzPlayer* p : g_pMenuBGAnimationPlayer)
        if (p)
            p->Update(_timeElapsed);
    for (ViDuzPlayer* p : {g_pTitleBrickAnimPlayer, g_pMenuBrickAnimPlayer, g_pMenuBrickCtrAniPlayer[0],
                           g_pMenuBrickCtrAniPlayer[1], g_pMenuBrickCtrAniPlayer[2]})
        if (p)
            p->Update(_timeElapsed);
    UpdateMenuTranslation();
    if (UpdateMenuBrickTranslation() != 0)
        return;

    if (!s_bShowConfirm) {
        const int lw = CGame::GetLogicWidthOffset(), lh = CGame::GetLogicHeighOffset();
        const int w = Screen_Width(), h = Screen_Height();
        Touch_Add_Button(1, 1, 0, CAITouchObj::RECT, lw + X_BRICK1_TOUCH, lh + Y_BRICK1_TOUCH, W_BRICK1_TOUCH,
                         H_BRICK1_TOUCH, -1, kKeyTouch, 0);
        Touch_Add_Button(1, 2, 0, CAITouchObj::RECT, lw + X_BRICK2_TOUCH, lh + Y_BRICK2_TOUCH, W_BRICK2_TOUCH,
                         H_BRICK2_TOUCH, -1, kKeyTouch, 0);
        Touch_Add_Button(1, 3, 0, CAITouchObj::RECT, lw + X_BRICK3_TOUCH, lh + Y_BRICK3_TOUCH, W_BRICK3_TOUCH,
                         H_BRICK3_TOUCH, -1, kKeyTouch, 0);
        Touch_Add_Button(1, 4, 0, CAITouchObj::RECT, 0, 0, 134, 132, -1, kKeyTouch, 0);
        if (USE_OPERATOR_IGP)
            Touch_Add_Button(1, 5, 0, CAITouchObj::RECT, w - 80, 0, 80, 80, -1, kKeyTouch, 0);
        Touch_Add_Button(1, 6, 0, CAITouchObj::RECT, 10, h - 102, 92, 92, -1, kKeyTouch, 0);
        Touch_Add_Button(1, 7, 0, CAITouchObj::RECT, 112, h - 102, 92, 92, -1, kKeyTouch, 0);
    }

    if (WasKeyReleased(kKeyTouch)) {
        if (s_curObj) {
            SND_PlaySFXSound(kSoundPick);
            switch (s_curObj->m_slot) {
            case 1: MMLeaveTo(STATE_ISLAND, 1); break;
            case 2: MMLeaveTo(STATE_BONUS_SETTING, 2); break;
            case 3:
                s_stateEnterShop = STATE_MAIN;
                MMLeaveTo(STATE_SHOP, 3);
                break;
            case 4:
            case 5: MMOpenLink(s_curObj->m_slot); break;
            case 6:
                MMLeaveTo(STATE_INFORMATION, 27);
                s_curFrameInfoIcon = 52, s_curFrameOptionsIcon = 61;
                break;
            case 7:
                MMLeaveTo(STATE_OPTIONS_MAIN_MENU, 27);
                s_curFrameInfoIcon = 51, s_curFrameOptionsIcon = 62;
                break;
            default: break;
            }
        }
    } else if (CPhoneDevice::GetInstance()->IsShaked() && g_nMenuBrickTranslationMode == 0) {
        for (int b = 0; b < kMenuBrickSlots; ++b)
            StartMenuBrickTranslation(0, kBrickShake[b], b, 0);
    } else {
        UpdateBrickPressFeedback(kMenuBrickSlots);
        const int slot = FingerSlot();
        s_curFrameInfoIcon = slot == 6 ? 52 : 51;
        s_curFrameOptionsIcon = slot == 7 ? 62 : 61;
    }
    if (g_nMenuBrickTranslationMode == -1)
        s_IsMMOtherItemHide = true;
}

void CAIGame::StateMMPaint_New() { PaintMainMenuBGAnim(); }

void CAIGame::StateMMPaint_New_Added()
{
    PaintMainMenuBGAnim_Added();
    if (g_pMenuBrickAnimPlayer)
        g_pMenuBrickAnimPlayer->Render();
    static const int kCaptions[kMenuBrickSlots] = {952, 953, 319};
    static const int kPreDrawn[kMenuBrickSlots][3] = {{27, 23, 0}, {55, 51, 28}, {83, 79, 56}};   // cn, jp, ko
    const int language = g_pStringManager ? g_pStringManager->GetLanguage() : 0;
    for (int b = 0; b < kMenuBrickSlots; ++b) {
        if (g_pMenuBrickCtrAniPlayer[b])
            g_pMenuBrickCtrAniPlayer[b]->Render();
        if (language >= 5 && language <= 7)
            DrawMenuTitle_New_Special(kPreDrawn[b][language - 5], b);
        else if (g_pStringManager)
            DrawMenuTitle_New(g_pStringManager->GetString(kCaptions[b]), b, 100, 100);
    }
    if (s_IsMMOtherItemHide)
        return;
    const int w = Screen_Width(), h = Screen_Height();
    if (s_touchSpr) {
        s_touchSpr->PaintFrame(s_curFrameInfoIcon, 56, h - 56, 0);
        s_touchSpr->PaintFrame(s_curFrameOptionsIcon, 158, h - 56, 0);
        s_touchSpr->PaintFrame(FingerSlot() == 4 ? 65 : 59, 0, 0, 0);
    }
    if (_sprites[kStoreSprite] && USE_OPERATOR_IGP)
        _sprites[kStoreSprite]->PaintFrame(MMStoreButtonFrame(s_gameLanguage) + (FingerSlot() == 5 ? 9 : 0),
                                           w - 130, 0, 0);
}

void CAIGame::StateMMExit_New()
{
    DeleteMainMenuPlayers();
    UnloadSprite(kStoreSprite);
    s_IsMMOtherItemHide = false;
}
