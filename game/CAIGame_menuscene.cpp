// Pieces of the animated menu scene beside the transitions: the four-square figure that draws the
// sun rays and the levels' turning background element, the cached level background, the brick
// captions and the six floating menu effects.
#include <cmath>

#include "framework/CGame.h"
#include "framework/CM3DRender.h"
#include "framework/GameInterface.h"
#include "framework/ViDuz.h"
#include "framework/WideString.h"
#include "game/CAIGame.h"
#include "game/CGameLink.h"
#include "game/SpecialFX/CSpecialFXManager.h"

namespace {

constexpr int kBrickCount = 3;
constexpr int kCaptionFont = 6;
constexpr int kCaptionSprite = 110;
constexpr int kCaptionModule[kBrickCount] = {51, 52, 50};
constexpr int kEffectMenu1 = 76, kEffectMenu2 = 77;

CSpecialFXManager* EffectManager()
{
    auto* link = dynamic_cast<CGameLink*>(&GameInterface());
    return link ? link->effects() : nullptr;
}

// The caption position of a brick this frame, stored for the frames the single bricks show;
// false when nothing is to be drawn.
bool CaptionPos(int brick, int& x, int& y)
{
    if (brick < 0 || brick >= kBrickCount)
        return false;
    if (CAIGame::g_nMenuBrickTranslationMode != 0) {
        ViDuzPlayer* board = CAIGame::g_pMenuBrickAnimPlayer;
        ViDuzPlayer* marker = CAIGame::g_pTitleBrickAnimPlayer;
        if (!board || board->GetAnim() < 0 || !marker || !marker->GetModulePos(kCaptionModule[brick], x, y))
            return false;
        CAIGame::g_nMenuBrickPosX[brick] = x;
        CAIGame::g_nMenuBrickPosY[brick] = y;
        return true;
    }
    ViDuzPlayer* own = CAIGame::g_pMenuBrickCtrAniPlayer[brick];
    if (!own || own->GetAnim() < 0)
        return false;
    x = CAIGame::g_nMenuBrickPosX[brick];
    y = CAIGame::g_nMenuBrickPosY[brick];
    return true;
}

}  // namespace

// Four squares of side r, each with a corner at (px, py), a quarter turn apart, turned by t.
void CAIGame::PaintFourSquares(pravik::video::ITexture* texture, int px, int py, float r, float t)
{
    if (!texture)
        return;
    constexpr float kPi = 3.14159265358979f;
    const float diagonal = r * std::sqrt(2.0f);
    const int a = int(std::cos(t) * r), b = int(std::sin(t) * r);
    const int c = int(std::cos(t - kPi / 2) * r), d = int(std::sin(t - kPi / 2) * r);
    const int e = int(std::cos(t - kPi / 4) * diagonal), f = int(std::sin(t - kPi / 4) * diagonal);
    CM3DRender* batcher = CM3DRender::GetM3DRender();
    const int blend = batcher ? batcher->m_nBlendMode : 0;
    ViDuz::DrawImage(texture, px, py, px + a, py + b, px + c, py + d, px + e, py + f, 255);
    ViDuz::DrawImage(texture, px, py, px - a, py - b, px - c, py - d, px - e, py - f, 255);
    ViDuz::DrawImage(texture, px, py, px + b, py - a, px + d, py - c, px + f, py - e, 255);
    ViDuz::DrawImage(texture, px, py, px - b, py + a, px - d, py + c, px - f, py + e, 255);
    if (batcher)
        batcher->m_nBlendMode = blend;   // the rays' blending is theirs alone: later sprites draw as before
}

void CAIGame::DrawBackGroundElement(float x, float y)
{
    pravik::video::ITexture* texture = g_pBackGroundElementTexture.get();
    if (!texture)
        return;
    PaintFourSquares(texture, int(x + 460), int(y + 750), 400.0f, g_fBackGroundElementCounter);
    g_fBackGroundElementCounter += float(_timeElapsed) * 0.01f / 33.0f;
}

void CAIGame::PaintBackGround_FromBackupBuffer()
{
    if (pravik::video::ITexture* texture = s_pRenderTargetTexture.get())
        ViDuz::Draw2DImageFullScreen(texture, 1);
}

// ---- Captions

void CAIGame::DrawMenuTitle_New(wchar_t* text, int brick, int scaleX, int scaleY)
{
    CAISprite* font = _sprites[kCaptionFont];
    int x = 0, y = 0;
    if (!text || !font || !CaptionPos(brick, x, y))
        return;
    MenuCaptionOrigin(brick, droid_wcslen(text), x, y);
    font->DrawStringInternal(text, x, y, 36, font->m_palette, 255, 0, scaleX, scaleY, false, false, 340, false, true,
                             false);
}

// Longer captions start further left and lower, so that the tilted text stays on its brick.
void CAIGame::MenuCaptionOrigin(int brick, int length, int& x, int& y)
{
    static const int kSlope[kBrickCount][4] = {{-8, -58, 3, 67}, {-24, -48, 8, 50}, {-9, -124, 3, 73}};
    if (brick < 0 || brick >= kBrickCount)
        return;
    const int* k = kSlope[brick];
    x += k[0] * length + k[1];
    y += k[2] * length + k[3];
}

void CAIGame::DrawMenuTitle_New_Special(int frame, int brick)
{
    CAISprite* captions = _sprites[kCaptionSprite];
    int x = 0, y = 0;
    if (!captions || !CaptionPos(brick, x, y))
        return;
    captions->PaintFrame(frame, brick == 1 ? x - 20 : x, y, 0);
}

// ---- The six floating menu effects

void CAIGame::MMEffectInit()
{
    if (m_bMenuEffectsCreated)
        return;
    CSpecialFXManager* manager = EffectManager();
    if (s_stateCurrent != STATE_ISLAND && manager) {
        for (int i = 0; i < 6; ++i) {
            EffectImpl* e = manager->CreateEffect(i < 4 ? kEffectMenu1 : kEffectMenu2);
            if (!e)
                continue;
            const float s = i < 4 ? 3.0f : 2.0f;
            e->SetScale(pravik::core::vector3d<float>(s, s, s));
            e->SetVisible(false);
            m_pMenuEffects[i] = e;
        }
    }
    m_bMenuEffectsCreated = true;
}

void CAIGame::MMEffectOpen()
{
    static const int kPlaces[6][2] = {{1, 550}, {120, 440}, {620, 500}, {80, 480}, {115, 350}, {500, 350}};
    CGame* game = CGame::GetGame();
    for (int i = 0; i < 6; ++i) {
        EffectImpl* e = m_pMenuEffects[i];
        if (!e)
            continue;
        if (game)
            game->SetEffectPositionByRealScrNoCaeram(e, kPlaces[i][0], kPlaces[i][1]);
        e->SetVisible(true);
    }
}

void CAIGame::MMEffectClose()
{
    for (EffectImpl* e : m_pMenuEffects)
        if (e)
            e->SetVisible(false);
}

void CAIGame::MMEffectDestroy()
{
    for (EffectImpl*& e : m_pMenuEffects) {
        delete e;
        e = nullptr;
    }
    m_bMenuEffectsCreated = false;
}
