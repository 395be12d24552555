// Screen handlers. Most screens are not built yet: their handlers are generated from
// CAIGame_screens.inc and call empty functions under the screens' own names. Every empty call
// of the frame and overlay passes is below too, so that one file lists what remains:
//   StartLoadingWithLevelComplete (level
//   complete), UnLoadAllMMSprites (main menu), CanUseBomb, PaintBallModifiersFont,
//   PaintCinematic, PaintInterface (level play), PaintAchievement (banner),
//   StateMMPaint_New_Added and the eight hubs' Paint_Added overlays (front end).
#include "game/CAIGame.h"


#define QX_SCREEN(state, NAME, Init, Update, Paint, Exit)        \
    void CAIGame::game_handleMessage_STATE_##NAME(int kind)      \
    {                                                            \
        switch (kind) {                                          \
        case MSG_INIT: Init(); break;                            \
        case MSG_UPDATE: Update(); break;                        \
        case MSG_PAINT: Paint(); break;                          \
        case MSG_EXIT: Exit(); break;                            \
        default: break;                                          \
        }                                                        \
    }                                                            \
    void CAIGame::Init() {}                                      \
    void CAIGame::Update() {}                                    \
    void CAIGame::Paint() {}                                     \
    void CAIGame::Exit() {}
#define QX_SCREEN_NOTIFY(state, NAME, Init, Update, Paint, Exit, Notify) \
    void CAIGame::game_handleMessage_STATE_##NAME(int kind)              \
    {                                                                    \
        switch (kind) {                                                  \
        case MSG_INIT: Init(); break;                                    \
        case MSG_UPDATE: Update(); break;                                \
        case MSG_PAINT: Paint(); break;                                  \
        case MSG_EXIT: Exit(); break;                                    \
        default: Notify(); break;                                        \
        }                                                                \
    }                                                                    \
    void CAIGame::Init() {}                                              \
    void CAIGame::Update() {}                                            \
    void CAIGame::Paint() {}                                             \
    void CAIGame::Exit() {}
#define QX_SCREEN_BARE(state, NAME) \
    void CAIGame::game_handleMessage_STATE_##NAME(int) {}
#include "game/CAIGame_screens.inc"
#undef QX_SCREEN
#undef QX_SCREEN_NOTIFY
#undef QX_SCREEN_BARE

void CAIGame::game_handleMessage_STATE_SELECTBALL(int) {}
void CAIGame::game_handleMessage_STATE_RANKING(int) {}

// Resume and suspend of the sound question: the selection back on "yes", the touch forgotten.
void CAIGame::StateSoundHideNotify()
{
    if (s_touch_ani_cnt == 0)
        s_menuSelection = 1;
    s_menuStartIndex = 0;
    s_first_intoConfirm = true;
    s_racket_target_x = s_racket_target_y = 0;
    s_touch_x = s_touch_y = 0;
    s_release_x = s_release_y = 0;
    s_touchReleased = false;
    s_touchPressed = false;
    s_touchState = 0;
}

// Resume and suspend of the confirm box: its remembered selection follows the kind of box.
void CAIGame::StateConfirmHideNotify()
{
    s_menuLastIndex[11] = s_confirm == 4 ? 0 : 1;
    s_can_touch = true;
}

void CAIGame::StateMessageHideNotify() {}

// ---- Placeholders of other screens' parts (listed at the top)
void CAIGame::StartLoadingWithLevelComplete() {}
bool CAIGame::CanUseBomb() { return false; }
void CAIGame::PaintBallModifiersFont() {}
void CAIGame::PaintCinematic() {}
void CAIGame::PaintInterface() {}
void CAIGame::PaintAchievement() {}
void CAIGame::StateOptionsMainMenuPaint_Added() {}
void CAIGame::StateGameModeMainMenuPaint_Added() {}
void CAIGame::StateInformationPaint_Added() {}
void CAIGame::StateRecordPaint_Added() {}
void CAIGame::StateSoundSettingPaint_Added() {}
void CAIGame::StateControlSettingPaint_Added() {}
void CAIGame::StateGameSettingPaint_Added() {}
void CAIGame::StateBonusSettingPaint_Added() {}
