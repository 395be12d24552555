// Touch-highlighted painting of layout graphics: list buttons with their touch child, the blink
// of a pressed entry, the soft keys, and the loading tips under the progress bar.
#include "framework/CGame.h"
#include "framework/ScreenGeometry.h"
#include "framework/ViDuz.h"
#include "game/CAIGame.h"
#include "game/LayoutPaint.h"

using namespace layout_paint;

namespace {

constexpr int kLastListSlot = 13;
constexpr int kTipsLayer = 8, kTipsElement = 5, kTipsSprite = 10;
// The exit button: drawn with frame 10, highlighted by frame 11, which cycles frames 31 to 36.
constexpr int kExitFrame = 10, kExitHighlight = 11, kExitFirst = 31, kExitLast = 36;
int s_exitCycle = kExitLast;   // the first highlighted call shows frame 31
// The soft keys: touch layer 2, the bar and pause button in layer 7, the texts' font in slot 7.
constexpr int kKeysTouchLayer = 2, kKeysLayer = 7, kKeysFontSlot = 7, kNoCommand = 204;
constexpr int kLeftSlot = 14, kRightSlot = 15, kPauseSlot = 16, kPauseBandSlot = 41;
constexpr int kButtonFrame = 6, kPauseFrame = 6;

bool OnListEntry() { return !CAIGame::s_curObj || CAIGame::s_curObj->m_slot <= kLastListSlot; }

// The picture of a tip (frame of sprite slot 10), -1 for none.
int TipPicture(int text)
{
    switch (text) {
    case 472: return 0;
    case 485: return 13;
    case 491: return 19;
    case 498: return 26;
    case 504: return 32;
    case 506: return 34;
    case 507: return 35;
    case 508: return 36;
    default: return -1;
    }
}

}  // namespace

const int CAIGame::s_textLoading_tips[14] = {452, 454, 455, 457, 458, 472, 485, 491, 498, 504, 506, 507, 508, 510};

void CAIGame::Touch_Draw_HL_frame(CAISprite* sprite, int frame, int x, int y, int flags, bool highlighted)
{
    if (!sprite)
        return;
    x += CGame::GetLogicWidthOffset();
    if (highlighted && OnListEntry()) {
        if (s_touchAni && (!s_touchAni->IsAnimOver() || s_touch_ani_cnt > 0)) {
            s_touchAni->SetPos(x, y);
            s_touchAni->Render();
            return;
        }
        if (s_effectTick % 10 < 5 && s_frame_HL_id >= 0) {
            sprite->PaintFrame(s_frame_HL_id, x, y, flags);
            return;
        }
    }
    sprite->PaintFrame(frame, x, y, flags);
}

void CAIGame::Touch_Draw_HL_frame2(CAISprite* sprite, int frame, int x, int y, int anchor, bool blink)
{
    if (!sprite)
        return;
    // The exit button's place, bottom right, centred on the touch sprite's frame 31.
    auto exitButton = [sprite](int exitFrame) {
        int w = 0, h = 0;
        layout_paint::FrameSize(s_touchSpr, kExitFirst, w, h);
        sprite->PaintFrame(exitFrame, Screen_Width() - 95 + w / 2, Screen_Height() - 100 + h / 2, 0);
    };
    const bool onButton = !s_curObj || s_curObj->m_slot > kLastListSlot;
    if (blink && onButton && s_effectTick % 10 <= 4 && s_frame_HL_id >= 0) {
        if (s_frame_HL_id == kExitHighlight) {
            s_exitCycle = s_exitCycle >= kExitLast || s_exitCycle < kExitFirst ? kExitFirst : s_exitCycle + 1;
            exitButton(s_exitCycle);
        } else {
            sprite->PaintFrame(s_frame_HL_id, x, y, anchor);
        }
        return;
    }
    if (frame == kExitFrame)
        exitButton(kExitFirst);
    else
        sprite->PaintFrame(frame, x, y, anchor);
}

void CAIGame::DrawNewKeyHints(int right, int left, bool drawBar)
{
    const int sw = Screen_Width(), sh = Screen_Height();
    CAISprite* font = _sprites[kKeysFontSlot];
    const int savedPalette = font ? font->m_palette : 0;
    if (s_isIngame) {
        if (font)
            font->m_palette = drawBar ? 1 : 3;
        if (drawBar && s_stateCurrent != STATE_INGAME)
            PaintGraphItem(kKeysLayer, 0, 0, 0, 0);
        if (s_stateCurrent == STATE_INGAME) {
            int rect[4];
            GetGraphItemRectTouch(rect, kKeysLayer, 2);
            Touch_Add_Button(kKeysTouchLayer, kPauseSlot, 0, CAITouchObj::RECT, sw - rect[2], 0, rect[2], rect[3], 7, 27,
                             0);
            Touch_Draw_HL_frame2(s_touchSpr, kPauseFrame, sw - rect[2] / 2, V(kKeysLayer, 2, 3), 0, s_frame_HL_id == 7);
            Touch_Add_Button(kKeysTouchLayer, kPauseBandSlot, 0, CAITouchObj::RECT, sw / 4, 20, sw / 2, 60, -1, 8, 0);
        } else {
            SetGraphItemVisibility(kKeysLayer, 2, 0);
            SetGraphItemVisibility(kKeysLayer, 3, 0);
        }
    } else {
        if (drawBar)
            PaintGraphItem(kKeysLayer, 0, 0, 0, 0);
        if (font)
            font->m_palette = 1;
    }
    if (right != s_cmd_right || left != s_cmd_left)
        Touch_RemoveLayer(kKeysTouchLayer);
    s_cmd_right = right, s_cmd_left = left;
    if (left == 229 || left == 254 || left == 255)
        left = kNoCommand;
    int w = 0, h = 0;
    layout_paint::FrameSize(s_touchSpr, kButtonFrame, w, h);
    // The Parts' "key" of a soft key is the highlight frame its region shows; its key code follows.
    if (left == 383) {
        Touch_Add_Button(kKeysTouchLayer, kLeftSlot, 0, CAITouchObj::RECT, 0, sh - h, w, h, 9, 27, 10);
        Touch_Draw_HL_frame2(s_touchSpr, 8, w / 2, sh - h / 2, 0, s_frame_HL_id == 9);
    }
    if (right != kNoCommand) {
        const bool skip = right == 800 || right == 383;
        const int highlight = skip ? 9 : 11, frame = skip ? 8 : 10;
        Touch_Add_Button(kKeysTouchLayer, kRightSlot, 0, CAITouchObj::RECT, sw - w, sh - h, w, h, highlight, 8,
                         right == 746 ? 0 : 10);
        Touch_Draw_HL_frame2(s_touchSpr, frame, sw - w / 2, sh - h / 2, 0, s_frame_HL_id == highlight);
    }
    if (font)
        font->m_palette = savedPalette;
}

void CAIGame::PaintGraphItemTouch(int layer, int element, int frame, bool blink)
{
    PaintGraphItemTouch(layer, element, frame, blink, 0);
}

void CAIGame::PaintGraphItemTouch(int layer, int element, int frame, bool blink, int selectFirst)
{
    int w = 0, h = 0;
    layout_paint::FrameSize(s_touchSpr, frame, w, h);
    const int x = V(layer, element, 2), y = V(layer, element, 3);
    const int child = Touch_Add_List_Btn(1, _last_list_id, x, y, w, h);
    if (selectFirst && child >= 0 && _last_list_id >= 0)
        if (CAITouchObj* list = Touch_GetObj(1, _last_list_id); list && child < int(list->m_children.size()))
            list->m_children[size_t(child)]->m_selectFirst = 1;
    const SSlide s = Slide(V(layer, element, 14), V(layer, element, 15), V(layer, element, 16), V(layer, element, 17));
    if (s.r > 0) {
        // Sliding in: half the slide plus half the button, so it lines up with the frame drawn after.
        const int dy = (V(layer, element, 16) * s.r / s.u + h) / 2;
        PaintGraphItem(layer, element, 0, 0, dy - s.dy);
    } else {
        Touch_Draw_HL_frame(s_touchSpr, frame, x, y + h / 2, 0, blink);
    }
}

void CAIGame::Touch_Draw_GraphItem_No_Blank(int layer, int element, bool flag, int x, int y, bool blink, int,
                                            int altFrame)
{
    const bool shopBuyOk = s_stateCurrent != STATE_SHOP_BUY || s_bShowConfirm || s_nLastShopBuyPressed == s_menuSelection;
    const bool lit = blink && OnListEntry() && s_sel_cnt <= 0 && s_effectTick != 0 && s_effectTick % 10 <= 4 && shopBuyOk;
    if (!lit) {
        PaintGraphItem(layer, element, flag, x, y);
        return;
    }
    const int frame = V(layer, element, 6);
    SetParamValue(layer, element, 6, altFrame);
    PaintGraphItem(layer, element, flag, x, y);
    SetParamValue(layer, element, 6, frame);
}

void CAIGame::PaintLoadingTips_New()
{
    if (m_loadingTipId < 0 || m_loadingTipId >= int(std::size(s_textLoading_tips)))
        return;
    const int text = s_textLoading_tips[m_loadingTipId];
    const int picture = TipPicture(text);
    if (CAISprite* sprite = picture >= 0 ? _sprites[kTipsSprite] : nullptr) {
        int w = 0, h = 0;
        layout_paint::FrameSize(sprite, picture, w, h);
        sprite->PaintFrame(picture, CGame::GetLogicWidthOffset() + 50,
                           CGame::GetLogicHeighOffset() + V(kTipsLayer, kTipsElement, 3) - h / 2 - 10, 0);
    }
    PaintTextAreaItem(text & ~0x60000000 & ~0xB0000, kTipsLayer, kTipsElement, 0, 0, CGame::GetLogicHeighOffset(),
                      COLOR_NAME(2));
}
