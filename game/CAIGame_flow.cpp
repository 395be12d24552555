// The frame entry points, the state machine and its message dispatch, and the small services of
// play that every screen uses: music and sound requests, keys, effect pausing.
#include <array>
#include <cstring>

#include "engine/os/Timer.h"
#include "engine/video/C2DDriver.h"
#include "engine/video/IVideoDriver.h"
#include "engine/video/material/CMaterialRendererManager.h"
#include "game/CAIGame.h"

CAIGame::MessageObserver CAIGame::s_messageObserver = nullptr;

namespace {

constexpr int kMaxFrameMs = 50;
constexpr int kMaxFrameMsAbout = 100;
constexpr int kNoKeyReleased = 14;
constexpr int kKeyCount = 48;
constexpr int kBombButtonSlot = 40;

}  // namespace

// ---- Dispatch

// One handler a state number; null where a state has none.
const CAIGame::Handler* CAIGame::Handlers()
{
    static const auto table = [] {
        std::array<Handler, STATE_COUNT> handlers{};
#define QX_SCREEN(state, NAME, Init, Update, Paint, Exit) handlers[state] = &CAIGame::game_handleMessage_STATE_##NAME;
#define QX_SCREEN_NOTIFY(state, NAME, Init, Update, Paint, Exit, Notify) QX_SCREEN(state, NAME, Init, Update, Paint, Exit)
#define QX_SCREEN_BARE(state, NAME) handlers[state] = &CAIGame::game_handleMessage_STATE_##NAME;
#include "game/CAIGame_screens.inc"
#undef QX_SCREEN
#undef QX_SCREEN_NOTIFY
#undef QX_SCREEN_BARE
        handlers[STATE_MAIN] = &CAIGame::game_handleMessage_STATE_MAIN;
        handlers[STATE_INIT] = &CAIGame::game_handleMessage_STATE_INIT;
        handlers[STATE_QRN_LOGO] = &CAIGame::game_handleMessage_STATE_QRN_LOGO;
        handlers[STATE_LOADING] = &CAIGame::game_handleMessage_STATE_LOADING;
        handlers[STATE_SPLASH] = &CAIGame::game_handleMessage_STATE_SPLASH;
        handlers[STATE_SELECTBALL] = &CAIGame::game_handleMessage_STATE_SELECTBALL;
        handlers[STATE_RANKING] = &CAIGame::game_handleMessage_STATE_RANKING;
        return handlers;
    }();
    return table.data();
}

bool CAIGame::IsPlaceholderHandler(int state)
{
    static const auto table = [] {
        std::array<bool, STATE_COUNT> placeholder{};
#define QX_SCREEN(state, NAME, Init, Update, Paint, Exit) placeholder[state] = true;
#define QX_SCREEN_NOTIFY(state, NAME, Init, Update, Paint, Exit, Notify) placeholder[state] = true;
#define QX_SCREEN_BARE(state, NAME) placeholder[state] = true;
#include "game/CAIGame_screens.inc"
#undef QX_SCREEN
#undef QX_SCREEN_NOTIFY
#undef QX_SCREEN_BARE
        return placeholder;
    }();
    return state >= 0 && state < STATE_COUNT && table[state];
}

bool CAIGame::HasStateHandler(int state)
{
    return state >= 0 && state < STATE_COUNT && Handlers()[state] != nullptr;
}


// ---- Frame entry points

void CAIGame::Game_update()
{
    // Differences modulo 2^32: a wrap of the clock gives a short frame, not a huge one.
    const uint32_t now = pravik::os::Timer::getRealTime();
    if (s_nLastUpdateTime != 0) {
        s_game_frameDT = int32_t(now - uint32_t(s_nLastUpdateTime));
        s_game_totalExecutionTime = int32_t(uint32_t(s_game_totalExecutionTime) + uint32_t(s_game_frameDT));
    }
    s_nLastUpdateTime = int32_t(now);

    UpdateKeypad();
    Touch_update();
    StateMachine_Update();

    // A touch event stays visible in s_touchState for exactly one Touch_update pass.
    if (!s_touchStateNeedProcessed) {
        s_touchState = 0;
    } else if (s_touchStateHasProcessed) {
        s_touchState = 0;
        s_touchStateNeedProcessed = false;
    }
    _last_list_id = -1;
    s_release_x = -1;
    s_release_y = -1;
}

void CAIGame::Game_Paint() { StateMachine_SendMessage(MSG_PAINT); }

void CAIGame::Render3D()
{
    switch (s_stateCurrent) {
    case STATE_INGAME:
        for (int i = 0; i < _nb_ball && i < 32; ++i) {
            if (_ball[i])
                _ball[i]->Render3D();
        }
        if (s_bNeedPaintVortexCannonFont)
            PaintBallModifiersFont();
        if (IsInCinematic()) {
            PaintCinematic();
            DrawNewKeyHints(_leftSoftkeyId, _rightSoftkeyId, false);
        }
        break;
    case STATE_MAIN:
        StateMMPaint_New_Added();
        if (s_bShowConfirm && s_bConfirmInited)
            StateConfirmPaint();
        break;
    case STATE_OPTIONS_MAIN_MENU: StateOptionsMainMenuPaint_Added(); break;
    case STATE_GAME_MODE_MAIN_MENU: StateGameModeMainMenuPaint_Added(); break;
    case STATE_INFORMATION: StateInformationPaint_Added(); break;
    case STATE_RECORD: StateRecordPaint_Added(); break;
    case STATE_SOUND_SETTING: StateSoundSettingPaint_Added(); break;
    case STATE_CONTROL_SETTING: StateControlSettingPaint_Added(); break;
    case STATE_GAME_SETTING: StateGameSettingPaint_Added(); break;
    case STATE_BONUS_SETTING: StateBonusSettingPaint_Added(); break;
    default: break;
    }

    if ((s_stateCurrent == STATE_INGAME && !IsInCinematic()) || s_stateCurrent == STATE_END_LEVEL_ANIMATIONS) {
        PaintInterface();
        DrawNewKeyHints(_leftSoftkeyId, _rightSoftkeyId, false);
        if (s_pBombPlayer && s_pBombPlayer->GetAnim() != 4 && s_pBombPlayer->GetAnim() != 14) {
            const bool held = s_touchPressedNew && !s_touchReleased && s_curObj && s_curObj->m_slot == kBombButtonSlot;
            const int anim = held ? (CanUseBomb() ? 12 : 13) : (CanUseBomb() ? 9 : 11);
            if (s_pBombPlayer->GetAnim() != anim)
                s_pBombPlayer->SetAnim(anim, -1);
        }
        // DisableShopForNOOK: neither the bomb button nor the bomb count is drawn.
    }

    PaintAchievement();
}

// ---- State machine

void CAIGame::StateMachine_Init()
{
    s_stateCurrent = STATE_INIT;
    s_stateLast = -1;
    s_stateNext = -1;
    s_stateExitCurrent = false;
    s_stateEnterNext = true;
    s_stateFrameCounter = 0;
    s_stateTime = 0;
    s_scrollingTime = -2000;
    _stateTimer = 0;
    _stateMillis = 0;
}

void CAIGame::SwitchState(int next)
{
    s_stateNext = next;
    s_stateExitCurrent = true;
    if (next == STATE_GAME_POPUP_BOX || next == STATE_INGAME_MENU || next == STATE_CONFIRM
        || next == STATE_END_LEVEL_ANIMATIONS)
        SFXPause();
    else if (next == STATE_INGAME)
        SFXResume();
    else if (next == STATE_MAIN) {
        if (CVuvDevice* device = CVuvDevice::GetVuvDevice())
            device->ResetCamera();
    }
    g_bCurrentInGame = 0;
}

void CAIGame::StateMachine_Update()
{
    m_nCurrentFrameTime = s_nLastUpdateTime;   // the frame's clock reading, taken once
    ++s_game_currentFrameNB;

    const int cap = s_stateCurrent == STATE_ABOUT ? kMaxFrameMsAbout : kMaxFrameMs;
    if (s_game_frameDT > cap)
        s_game_frameDT = cap;

    _timeElapsed = ApplyBulletTime(s_game_frameDT);
    _timeElapsedWithoutBulletTime = s_game_frameDT;

    bool switched = false;
    if (s_stateExitCurrent) {
        StateMachine_SendMessage(MSG_EXIT);
        s_stateExitCurrent = false;
        s_stateEnterNext = true;
        s_stateLast = s_stateCurrent;
        s_stateCurrent = s_stateNext;
        Trace("state %d %d", s_stateLast, s_stateCurrent);
        switched = true;
        if (s_stateCurrent == STATE_LEVEL_COMPLETE)
            StartLoadingWithLevelComplete();
        s_stateNext = -1;
    }

    if (s_stateEnterNext) {
        if (!switched)
            Trace("state %d %d", s_stateLast, s_stateCurrent);   // the machine's first entry
        s_stateEnterNext = false;
        s_stateFrameCounter = 0;
        s_stateTime = 0;
        s_scrollingTime = -2000;
        _stateTimer = 0;
        _stateMillis = 0;
        StateMachine_SendMessage(MSG_INIT);
    } else {
        StateMachine_SendMessage(MSG_UPDATE);
    }

    ++s_stateFrameCounter;
    s_stateTime += s_game_frameDT;

    if (s_genericCounter == 0 && s_genericTimer == s_menu_box_reveal_time)
        s_scrollingTime += s_game_frameDT;

    if (s_useShowNotifyCounter) {
        s_showNotifyCounter -= s_game_frameDT;
        s_showNotifyFrame -= 1;
        if (s_showNotifyCounter <= 0 && s_showNotifyFrame <= 0) {
            s_showNotifyCounter = 0;
            s_showNotifyFrame = 0;
            s_useShowNotifyCounter = false;
            if (!s_isIngame && s_loopingMusicId != -1)
                SND_PlayBGMusic(s_loopingMusicId, true);
        }
    }

    s_currFrameNB = s_game_currentFrameNB;
}

void CAIGame::StateMachine_SendMessage(int kind)
{
    if (kind == MSG_UPDATE) {
        if (_life > 99)
            _life = 99;
        if (_stateTimer == 0)
            _stateMillis = 0;
        _stateMillis += _timeElapsed;
        ++_stateTimer;
    } else if (kind == MSG_EXIT) {
        s_touch_ani_cnt = 0;
        Touch_RemoveAllObj();
        s_press_item_cnt = 0;
        s_can_touch = true;
        // The old screen's 3D resources go back: 2D textures, batch bakers, unheld material
        // instances and every material renderer; the game's renderers are built again.
        if (pravik::video::IVideoDriver* driver = CVuvDevice::GetVideoDriver()) {
            pravik::video::C2DDriver::freeTextures(driver);
            if (pravik::video::CMaterialRendererManager* renderers = driver->getMaterialRendererManager()) {
                renderers->removeAllBatchBaker();
                renderers->clearUnusedInstances();
                renderers->removeAll(false);
            }
        }
        if (CVuvDevice* device = CVuvDevice::GetVuvDevice()) {
            device->InitializeMaterialRender();
            device->GetM3DRender().ResetAllVertexBuffer();
        }
    } else if (kind == MSG_INIT) {
        s_touch_ani_cnt = 0;
        s_press_item_cnt = 0;
        s_can_touch = true;
    }
    m_bDontUseAlphaBlend = 0;
    // CAISprite::m_bDontSetMaterial = 0 once sprites paint.

    if (!HasStateHandler(s_stateCurrent))
        return;
    if (s_messageObserver)
        s_messageObserver(s_stateCurrent, kind);
    (this->*Handlers()[s_stateCurrent])(kind);
}

void CAIGame::showNotify()
{
    DisableKeys(200);
    if (s_touchAniInterrupt && s_touchAni) {
        s_touchAni->SetAnim(0, 1);
        s_touch_ani_state = 1;
        s_touchAniInterrupt = false;
    }
    s_touch_ani_cnt = 0;
    s_can_touch = true;
    StateMachine_SendMessage(MSG_SHOW_NOTIFY);
    if (s_loopingMusicId != -1)
        SND_PlayBGMusic(s_loopingMusicId, true);
    s_useShowNotifyCounter = true;
    s_showNotifyCounter = 500;
    s_showNotifyFrame = 5;
}

void CAIGame::hideNotify()
{
    if (s_touchAni && !s_touchAni->IsAnimOver()) {
        s_touch_ani_state = 1;
        s_touchAniInterrupt = true;
        s_touchAni->SetAnim(-1, 0);
    }
    CAITouchObj::_list_cursor_id = -1;
    s_frame_HL_id = -1;
    s_touch_ani_cnt = 0;
    s_can_touch = true;
    ResetKey();
    DisableKeys(200);
    StateMachine_SendMessage(MSG_HIDE_NOTIFY);
}

bool CAIGame::CanActivateIngameMenu() { return s_stateCurrent == STATE_INGAME && _life >= 0; }

void CAIGame::WinLevel()
{
    SwitchState(STATE_END_LEVEL_ANIMATIONS);
    if (s_pTouchZoneTrail)
        s_pTouchZoneTrail->SetVisible(false);
}

bool CAIGame::ActivatePopupBox()
{
    if (_nrPopupBoxItems <= 0)
        return false;
    SwitchState(STATE_GAME_POPUP_BOX);
    return true;
}

// ---- Music and sounds

void CAIGame::SND_PlayBGMusic(int id, bool loop)
{
    Trace("music %d", id);
    CKezManager::GetInstance()->PlayBGM(id, loop, 0.0f);
    s_loopingMusicId = id;
}

void CAIGame::SND_StopBGMusic()
{
    if (s_loopingMusicId != -1)
        CKezManager::GetInstance()->StopBGM(s_loopingMusicId, true, 1.0f);
    s_loopingMusicId = -1;
}

void CAIGame::SND_PlaySFXSound(int id)
{
    Trace("sound %d", id);
    CKezManager::GetInstance()->PlaySoundWithBank(id, false, 0.0f, 500);
}

// ---- Keys

void CAIGame::UpdateKeypad()
{
    if (s_keysDisabledTimer <= 0)
        return;
    ResetKey();
    if (s_keysDisabledTimer != 0x7FFFFFFF)
        s_keysDisabledTimer -= s_game_frameDT;
}

namespace {
CPad* g_keyPad = nullptr;
}  // namespace

CPad* CAIGame::KeyPad()
{
    if (g_keyPad)
        return g_keyPad;
    CGame* application = CGame::GetGame();
    return application ? application->GetPad() : nullptr;
}

void CAIGame::SetKeyPad(CPad* pad) { g_keyPad = pad; }
void CAIGame::DisableKeys(int ms) { s_keysDisabledTimer = ms; }

void CAIGame::ResetKey()
{
    if (CPad* pad = KeyPad())
        pad->ClearKeyPress();
}

bool CAIGame::IsKeyDown(int key) { return KeyPad() && KeyPad()->IsKeyHold(key); }
bool CAIGame::WasKeyPressed(int key) { return KeyPad() && KeyPad()->IsKeyReleased(key); }
bool CAIGame::WasKeyReleased(int key) { return WasKeyPressed(key); }
void CAIGame::ResetAKey(int) { ResetKey(); }

int CAIGame::WasAnyKeyPressed()
{
    for (int key = 0; key < kKeyCount; ++key) {
        if (WasKeyPressed(key))
            return key;
    }
    return kNoKeyReleased;
}

int CAIGame::WasAnyKeyReleased() { return WasAnyKeyPressed(); }

void CAIGame::SetTouchFlagReleased()
{
    s_touchPressedNew = false;
    s_touchPressed = false;
    s_touchReleased = true;
    s_frame_HL_id = -1;
}

void CAIGame::SetBulletTime(unsigned char on, unsigned char keepDelay)
{
    s_bulletTime = on != 0;
    if (!keepDelay)
        s_bulletTimeDelay = 0;
}

// ---- Effects of level play

void CAIGame::SFXPause()
{
    for (int i = 0; i < _nb_ball && i < 32; ++i) {
        if (_ball[i])
            _ball[i]->SFXPause();
    }
    for (int i = 0; i < s_enemyCount && i < 20; ++i) {
        if (s_enemyInstance[i])
            s_enemyInstance[i]->SFXPause();
    }
    for (CAIObject* item : _items_instance) {
        if (item && item->m_kind == 2)
            item->SFXPause();
    }
    for (CAIRacket* racket : _rackets) {
        if (racket)
            racket->SFXPause();
    }
    if (s_pTouchZoneTrail)
        s_pTouchZoneTrail->SetVisible(false);
    if (s_pTouchZoneEffect)
        s_pTouchZoneEffect->SetVisible(false);
}

void CAIGame::SFXResume()
{
    for (int i = 0; i < _nb_ball && i < 32; ++i) {
        if (_ball[i])
            _ball[i]->SFXResume();
    }
    for (int i = 0; i < s_enemyCount && i < 20; ++i) {
        if (s_enemyInstance[i])
            s_enemyInstance[i]->SFXResume();
    }
    for (CAIObject* item : _items_instance) {
        if (item && item->m_kind == 2)
            item->SFXResume();
    }
    for (CAIRacket* racket : _rackets) {
        if (racket && racket->m_enabled)
            racket->SFXResume();
    }
    if (s_pTouchZoneEffect)
        s_pTouchZoneEffect->SetVisible(true);   // the trail stays hidden until it is used
}
