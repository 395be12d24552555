// The shared list model of the front end's text lists: a list set up from text ids with a
// remembered cursor per menu number, vertical and grid navigation by keys and touch with their
// sounds, and the list box's opening and closing animation that carries a pending state switch.
// Everything is statics of the controller; main thread only.
#include <algorithm>

#include "game/CAIGame.h"

namespace {

constexpr int kMaxItems = 40;
constexpr int kMenuNumbers = 16;
constexpr int kDisabled = 0x10000;
constexpr int kIdFlags = 0x10000 | 0x20000 | 0x80000;

constexpr int kKeyConfirm = 7, kKeyBack = 8, kKeyUp = 10, kKeyDown = 13;
constexpr int kSoundConfirm = 56, kSoundBack = 57, kSoundBrowse = 61, kSoundBuy = 65;

bool Disabled(int i) { return (CAIGame::s_menuCurrent[i] & kDisabled) != 0; }

// A finger on a list entry this frame: its absolute index is cursor + offset.
bool ListTouched() { return CAIGame::s_curObj && CAITouchObj::_list_cursor_id >= 0; }

}  // namespace

void CAIGame::Menu_Init(int menu, int* items, int count, int shown, unsigned char confirmSound,
                        unsigned char backSound)
{
    count = std::clamp(count, 0, kMaxItems);
    s_menuRef = items;
    s_menuNumItems = count;
    for (int i = 0; i < count; ++i)
        s_menuCurrent[i] = items ? items[i] : 0;
    Menu_Reset(menu, shown, confirmSound, backSound);
}

void CAIGame::Menu_Init(int menu, int* items, int count, int shown) { Menu_Init(menu, items, count, shown, 1, 1); }

void CAIGame::Menu_Reset(int menu, int shown, unsigned char confirmSound, unsigned char backSound)
{
    s_menuStartIndex = 0;
    s_menuMaxItemsShown = shown;
    s_menuSelection = menu >= 0 && menu < kMenuNumbers ? s_menuLastIndex[menu] : 0;
    s_menuConfirmSoundEnabled = confirmSound != 0;
    s_menuBackSoundEnabled = backSound != 0;
    s_pressingObj = nullptr;
    s_nPressingSelectItem = -1;
    Menu_CheckLimits();
}

void CAIGame::Menu_CheckLimits()
{
    if (s_menuSelection >= s_menuNumItems || s_menuSelection < 0)
        s_menuSelection = 0, s_menuStartIndex = 0;
    if (s_menuSelection > s_menuMaxItemsShown - 1)
        s_menuStartIndex = s_menuSelection - s_menuMaxItemsShown + 1;
    if (s_menuStartIndex + s_menuMaxItemsShown > s_menuNumItems)
        s_menuStartIndex = std::max(0, s_menuNumItems - s_menuMaxItemsShown);
}

int CAIGame::Menu_GetSelectedID()
{
    if (s_menuSelection < 0 || s_menuSelection >= kMaxItems)
        return 0;
    return s_menuCurrent[s_menuSelection] & ~kIdFlags;
}

void CAIGame::Menu_Update() { Menu_Update(0, 0); }
void CAIGame::Menu_Update(unsigned char wrap) { Menu_Update(wrap, 0); }

void CAIGame::Menu_Update(unsigned char wrap, unsigned char swapped)
{
    const int before = s_menuSelection;
    const int count = s_menuNumItems, shown = s_menuMaxItemsShown;
    if (ListTouched())
        s_menuSelection = CAITouchObj::_list_cursor_id + s_menuStartIndex;

    if (WasKeyPressed(swapped ? kKeyDown : kKeyUp)) {
        if (wrap || s_menuSelection > 0) {
            if (--s_menuSelection < s_menuStartIndex)
                --s_menuStartIndex;
            if (s_menuSelection < 0)
                s_menuSelection = count - 1, s_menuStartIndex = std::max(0, count - shown);
        }
        s_refreshAll = true;
    }
    if (WasKeyPressed(swapped ? kKeyUp : kKeyDown)) {
        if (wrap || s_menuSelection < count - 1) {
            if (++s_menuSelection > s_menuStartIndex + shown - 1)
                ++s_menuStartIndex;
            if (s_menuSelection == count)
                s_menuSelection = 0, s_menuStartIndex = 0;
        }
        s_refreshAll = true;
    }

    if (s_menuSelection != before) {
        s_refreshAll = true;
        s_menuSelectionHasChanged = true;
        // The entry a finger went down on was chosen silently; only keys and later touches browse.
        const bool fromPress = ListTouched() && s_pressingObj == s_curObj &&
                               s_nPressingSelectItem == CAITouchObj::_list_cursor_id;
        if (!fromPress)
            SND_PlaySFXSound(kSoundBrowse);
    }

    if (WasKeyPressed(kKeyBack) && s_menuBackSoundEnabled)
        SND_PlaySFXSound(kSoundBack);

    const bool select = WasKeyPressed(3) || WasKeyPressed(1) || WasKeyPressed(33) || WasKeyPressed(kKeyConfirm);
    if (select && s_nVolumeSFX != 0) {
        switch (Menu_GetSelectedID()) {
        case 1081:
        case 245:
        case 244: SND_PlaySFXSound(kSoundBrowse); break;
        case 246: break;
        case 207: SND_PlaySFXSound(kSoundBack); break;
        default: SND_PlaySFXSound(s_stateCurrent == STATE_SHOP_BUY ? kSoundBuy : kSoundConfirm); break;
        }
    }
}

void CAIGame::Menu_UpdateGrid(int columns) { Menu_UpdateGrid(1, columns); }

// Every search below gives up after one pass over the list, so a grid with no enabled item to
// move to keeps its selection and window.
void CAIGame::Menu_UpdateGrid(unsigned char wrap, int columns)
{
    const int count = s_menuNumItems, shown = s_menuMaxItemsShown;
    if (ListTouched()) {
        if (CAITouchObj::_list_cursor_id != s_menuSelection) {
            s_menuSelectionHasChanged = true;
            SND_PlaySFXSound(kSoundBrowse);
        }
        s_menuSelection = CAITouchObj::_list_cursor_id;
    }

    const int k = WasAnyKeyPressed();
    const int before = s_menuSelection;
    if ((k == 32 || k == 11) && count > 0) {
        int i = s_menuSelection, start = s_menuStartIndex;
        bool found = false;
        for (int steps = 0; steps <= count && !found; ++steps) {
            if (--i < 0) {
                if (wrap)
                    i = count - 1, start = std::max(0, count - shown);
                else
                    i = 0, start = 0;
            } else if (i < start) {
                --start;
            }
            found = !Disabled(i);
        }
        if (found)
            s_menuSelection = i, s_menuStartIndex = start;
        s_refreshAll = true;
    } else if ((k == 34 || k == 12) && count > 0) {
        int c = s_menuSelection, start = s_menuStartIndex;
        bool found = false;
        for (int steps = 0; steps <= count && !found; ++steps) {
            if (++c >= count) {
                if (wrap) {
                    c = 0, start = 0;
                } else {
                    // Back to the last enabled item before the end; the search ends there.
                    for (c = count - 1; c >= 0 && Disabled(c); --c)
                        if (c < start)
                            --start;
                    found = c >= 0;
                    break;
                }
            } else if (c > start + shown - 1) {
                ++start;
            }
            found = !Disabled(c);
        }
        if (found)
            s_menuSelection = c, s_menuStartIndex = std::max(0, start);
        s_refreshAll = true;
    } else if (k == kKeyUp) {
        const int to = s_menuSelection - columns;
        if (to >= 0 && to < kMaxItems && !Disabled(to)) {
            s_menuSelection = to;
            if (to < s_menuStartIndex)
                s_menuStartIndex = 0;
        }
        s_refreshAll = true;
    } else if (k == kKeyDown) {
        const int to = s_menuSelection + columns;
        if (to < count && to >= 0 && !Disabled(to)) {
            s_menuSelection = to;
            if (to > s_menuStartIndex + shown - 1)
                s_menuStartIndex += columns;
        }
        s_refreshAll = true;
    }
    if (s_menuSelection != before) {
        s_menuSelectionHasChanged = true;
        SND_PlaySFXSound(kSoundBrowse);
    }
    if ((k == 1 || k == 3 || k == 33) && s_menuConfirmSoundEnabled)
        SND_PlaySFXSound(kSoundConfirm);
}

void CAIGame::Menu_ResetWindowAnim()
{
    s_genericCounter = 1;
    s_genericTimer = 0;
}

int CAIGame::Menu_WindowUpdate(unsigned char switchOnClose) { return Menu_WindowUpdate(switchOnClose, s_menu_box_reveal_time); }

int CAIGame::Menu_WindowUpdate(unsigned char switchOnClose, int revealTime)
{
    if (s_menuTransition != 0 && s_genericCounter == 0)
        s_genericCounter = -1;

    if (s_genericCounter == 1) {
        s_can_touch = false;
        s_genericTimer += _timeElapsed;
        s_refreshAll = true;
        if (s_genericTimer > revealTime) {
            s_genericTimer = revealTime;
            s_genericCounter = 0;
            s_can_touch = true;
            return 1;
        }
        return 0;
    }
    if (s_genericCounter == -1) {
        s_can_touch = false;
        s_genericTimer -= _timeElapsed;
        s_refreshAll = true;
        DisableKeys(200);   // renewed every closing frame: keys stay dead until 200 ms after
        if (s_genericTimer <= 0) {
            s_genericTimer = 0;
            s_genericCounter = 0;
            if (switchOnClose) {
                if (s_menuTransition == 4)
                    SwitchState(s_loadingNextState);
                else if (s_menuTransition == 1)
                    SwitchState(STATE_LOADING);
            }
            s_menuTransition = 0;
            s_can_touch = true;
            return 1;
        }
    }
    return 0;
}

bool CAIGame::IsConfirmMenu() { return s_stateCurrent == STATE_CONFIRM || s_stateCurrent == STATE_SOUND_QUESTION; }

void CAIGame::GetMenuFreeze()
{
    std::copy(std::begin(s_menuCurrent), std::end(s_menuCurrent), std::begin(s_menuCurrent_Freeze));
    s_menuSelection_Freeze = s_menuSelection;
    s_menuStartIndex_Freeze = s_menuStartIndex;
    s_menuNumItems_Freeze = s_menuNumItems;
    s_menuMaxItemsShown_Freeze = s_menuMaxItemsShown;
}

bool CAIGame::PressNeedToBeLighted()
{
    const int n = s_nFrameCount_New;
    return (n >= 5 && n <= 10) || (n >= 15 && n <= 20);
}

void CAIGame::PaintMMBG()
{
    PaintGradientRectItem(12, 0, 0, 0);
    PaintRectItem(12, 1, 0, 0);
}
