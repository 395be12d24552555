// What the framework's sprites, texts and sounds read of the game controller, kept as plain
// values the controller refreshes (the framework never includes the game). Until the
// controller writes them they hold its start values.
#pragma once

#include <cstdint>

namespace pravik::video {
class ITexture;
}
class CAISprite;

struct SGameReadings {
    int location = 0;           // first number of CAIGame::GetCurLevel
    int frameDT = 0;            // s_game_frameDT, milliseconds of the current frame
    bool dontUseAlphaBlend = false;   // m_bDontUseAlphaBlend
    int renderTargetHeight = 0;       // height of s_pRenderTargetTexture, 0 when there is none
    CAISprite* spriteSlot27 = nullptr;  // sprite slots read by the painters (not owned)
    CAISprite* spriteSlot28 = nullptr;
    int language = 0;           // 0-8: en fr de it sp cn jp ko br
    bool westDigits = false;
    int state = 0;              // s_stateCurrent
    bool inLevel = false;       // g_bCurrentInGame
    int confirm = 0;            // s_confirm
    CAISprite* fontSprites[8] = {};   // font sprites by font id (not owned)
};

SGameReadings& GetGameReadings();
