// The one-button message tip (a text with an OK button over the current screen), the loading
// text with its moving dots, the credits sections, the level query, the touch-highlighted layout
// graphics and the small sound services of the front end.
#include "framework/CGame.h"
#include "framework/ScreenGeometry.h"
#include "framework/ViDuz.h"
#include "framework/WideFormat.h"
#include "framework/WideString.h"
#include "game/CAIGame.h"
#include "game/LayoutPaint.h"

namespace {

constexpr int kOkSlot = 51;
constexpr int kOkFrame = 50, kOkLitFrame = 42;
constexpr int kVeilAlpha = 180;
constexpr int kMessageFont = 4;
constexpr int kMenuFrameSprite = 17;
constexpr int kCreditsFirst = 877, kCreditsLast = 905;

wchar_t* Text(int id)
{
    CStringManager* strings = CAIGame::GetStringManager();
    return strings ? strings->GetString(id) : nullptr;
}

bool FingerOnOk() { return CAIGame::s_touchPressed && CAIGame::s_curObj && CAIGame::s_curObj->m_slot == kOkSlot; }

}  // namespace

// ---- One-button message

void CAIGame::OpenConfirmOneButtonMode(int kind)
{
    m_oneButtonMessageKind = kind;
    m_oneButtonMessageShown = true;
}

void CAIGame::CloseConfirmOneButtonMode()
{
    m_oneButtonMessageShown = false;
    m_oneButtonMessageKind = -1;
}

void CAIGame::UpdateMessageTip()
{
    if (_nMenuAlpha < kVeilAlpha) {
        _nMenuAlpha = std::min(kVeilAlpha, _nMenuAlpha + 24);
        if (_nMenuAlpha < kVeilAlpha)
            return;   // no button while the veil fades in
    }
    int w = 0, h = 0;
    layout_paint::FrameSize(s_touchSpr, kOkFrame, w, h);
    Touch_Add_Button(2, kOkSlot, 0, CAITouchObj::RECT, (Screen_Width() - w) / 2, Screen_Height() / 2 + 96 - h / 2, w,
                     h, -1, 7, 0);

    if (s_nFrameCount_New > 0) {
        s_scrollMenuSelected_New = -1;
        --s_nFrameCount_New;
        return;
    }
    if (s_nPressedBtn_New == -1) {
        if (!s_touchPressed) {
            s_scrollMenuSelected_New = -1;
        } else {
            if (!GetGUISprite(25))
                LoadGUISprite(25, true);
            s_scrollMenuSelected_New = FingerOnOk() ? kOkSlot : -1;
        }
    } else if (s_nPressedBtn_New == kOkSlot) {
        CloseConfirmOneButtonMode();
        s_nPressedBtn_New = -1;
        Touch_RemoveAllObj();
        return;
    } else {
        s_nPressedBtn_New = -1;
    }
    if (WasKeyReleased(7) && s_curObj && s_curObj->m_slot == kOkSlot) {
        s_nPressedBtn_New = kOkSlot;
        s_nFrameCount_New = 20;
        SND_PlaySFXSound(56);
    }
}

void CAIGame::ShowMessageTip()
{
    const int W = Screen_Width(), H = Screen_Height();
    ViDuz::SetClip(0, 0, W, H);
    ViDuz::SetColorRGBA(unsigned(std::clamp(_nMenuAlpha, 0, 255)) << 24);
    ViDuz::FillRect(0, 0, W, H);
    if (CAISprite* frame = CAIGame::GetGUISprite(kMenuFrameSprite))
        frame->PaintFrame(3, CGame::GetLogicWidthOffset(), CGame::GetLogicHeighOffset(), 0);
    CAISprite* font = s_gameFonts[kMessageFont];
    if (font && m_oneButtonMessageKind == 0) {
        if (wchar_t* text = Text(1211)) {
            wchar_t wrapped[1024];
            droid_wcscpy(wrapped, text);   // wrapping marks the text: never the table's own
            wrapped[1023] = 0;
            const SWrapResult lines = font->WraptextB(wrapped, 520, 0, false);
            font->DrawPageB(wrapped, lines, W / 2, H / 2 - 85, 0, lines.lines, 3, COLOR_NAME(-1));
        }
    }
    int w = 0, h = 0;
    layout_paint::FrameSize(s_touchSpr, kOkFrame, w, h);
    const bool lit = (s_nPressedBtn_New == kOkSlot && PressNeedToBeLighted()) || s_scrollMenuSelected_New == kOkSlot;
    if (s_touchSpr)
        s_touchSpr->PaintFrame(lit ? kOkLitFrame : kOkFrame, W / 2 - w / 2, H / 2 + 96, 0);
    if (font)
        font->DrawString(Text(1), W / 2, H / 2 + 96, 3, COLOR_NAME(-1));
}

// ---- Loading text, credits, level

void CAIGame::ShowLoadingText(bool full)
{
    static wchar_t textNet[256];
    static int lockFrame = 0;
    textNet[0] = 0;
    const wchar_t* dots;
    if (full) {
        dots = L"...";
    } else if (lockFrame < 20) {
        dots = L".", lockFrame += 1;
    } else if (lockFrame < 39) {
        dots = L"..", lockFrame += 2;
    } else if (lockFrame < 58) {
        dots = L"...", lockFrame += 3;
    } else if (lockFrame < 77) {
        dots = L"..", lockFrame += 4;
    } else {
        dots = L".", lockFrame = 0;
    }
    const wchar_t* label = Text(1077);
    WSPRINTFW(textNet, L"%s %w", label ? label : L"", dots);
    ViDuz::SetColorRGBA(100u << 24);
    ViDuz::FillRect(0, 0, Screen_Width(), Screen_Height());
    if (CAISprite* font = s_gameFonts[kMessageFont])
        font->DrawString(textNet, Screen_Width() / 2, Screen_Height() / 2, 17, COLOR_NAME(-1));
}

int CAIGame::SerchFirstString(int n)
{
    if (n <= 0)
        return kCreditsFirst;
    int sections = 0;
    for (int id = kCreditsFirst; id <= kCreditsLast; ++id) {
        const wchar_t* text = Text(id);
        if (text && text[0] == L'*' && ++sections == n)
            return id + 1;
    }
    return kCreditsLast + 2;
}

int CAIGame::SerchLastString(int n) { return SerchFirstString(n + 1) - 2; }

void CAIGame::GetCurLevel(int& location, int& level)
{
    location = _currentPlace;
    level = _current_level;
}

void CAIGame::BB_InitBackBuffer(int, int) {}
void CAIGame::BB_ClearBackBuffer(int) {}
void CAIGame::BB_DrawBuffer() {}
void CAIGame::BB_DrawBuffer(int, int) {}
void CAIGame::BB_FreeBuffer() {}
void BB_RestoreClip() {}
void CAIGame::LoadDebriefSprite() {}
void CAIGame::UnLoadDebriefSprite() {}

// ---- Sounds

void CAIGame::SND_StopAndPlaySFXSound(int id)
{
    CKezManager* kez = CKezManager::GetInstance();
    if (kez && kez->IsSoundPlaying(id))
        kez->StopSound(id, true, 0);
    SND_PlaySFXSound(id);
}

// Only devices that allow a music tempo change it; this one never does.
void CAIGame::SND_SetSoundTempo(int, int) {}
