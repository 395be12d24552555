// The shared list model: set-up and remembered cursors, vertical and grid navigation with their
// sounds, and the list box's window animation with the switch it carries.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "tests/game/GameTestSupport.h"

namespace {

using test::GameFixture;

constexpr int kNone = -1;

// One frame's input: a key let go (or none) and a finger on a list entry (or none).
void Input(GameFixture& f, int key, CAITouchObj* touched = nullptr, int cursor = -1)
{
    f.pad = std::make_unique<CPad>();
    CAIGame::SetKeyPad(f.pad.get());
    if (key != kNone)
        f.release(key);
    CAIGame::s_curObj = touched;
    CAITouchObj::_list_cursor_id = cursor;
}

std::vector<int> Items(int n)
{
    std::vector<int> items;
    for (int i = 0; i < n; ++i)
        items.push_back(100 + i);
    return items;
}

TEST(ListMenu, SetUpKeepsRangesAndRememberedCursors)
{
    GameFixture f;
    std::vector<int> items = Items(50);
    CAIGame::Menu_Init(3, items.data(), 50, 5);
    EXPECT_EQ(CAIGame::s_menuNumItems, 40);   // a list holds at most 40 items

    const struct {
        const char* why;
        int menu, remembered, count, shown, selection, start;
    } rows[] = {
        {"no menu number", -1, 0, 5, 3, 0, 0},
        {"remembered entry", 2, 4, 5, 3, 4, 2},
        {"stale remembered entry", 2, 7, 5, 3, 0, 0},
        {"menu number past the table", 16, 0, 5, 3, 0, 0},
        {"window larger than the list", 2, 1, 2, 3, 1, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        if (row.menu >= 0 && row.menu < 16)
            CAIGame::s_menuLastIndex[row.menu] = row.remembered;
        CAIGame::Menu_Init(row.menu, items.data(), row.count, row.shown);
        EXPECT_EQ(CAIGame::s_menuSelection, row.selection);
        EXPECT_EQ(CAIGame::s_menuStartIndex, row.start);
        EXPECT_EQ(CAIGame::s_nPressingSelectItem, -1);
    }
    items[1] |= 0x10000 | 0x20000 | 0x80000;
    CAIGame::s_menuLastIndex[0] = 1;
    CAIGame::Menu_Init(0, items.data(), 5, 3);
    EXPECT_EQ(CAIGame::Menu_GetSelectedID(), 101);
}

TEST(ListMenu, VerticalKeysAndTouch)
{
    const int up = 10, down = 13;
    const struct {
        const char* why;
        int selection, start;
        bool wrap;
        int key, cursor;
        int wantSelection, wantStart;
        bool browse;
    } rows[] = {
        {"down at the end stops", 4, 2, false, down, -1, 4, 2, false},
        {"down at the end wraps to the top", 4, 2, true, down, -1, 0, 0, true},
        {"up at the top stops", 0, 0, false, up, -1, 0, 0, false},
        {"up at the top wraps to the end", 0, 0, true, up, -1, 4, 2, true},
        {"down scrolls the window", 2, 0, false, down, -1, 3, 1, true},
        {"up scrolls the window", 1, 1, false, up, -1, 0, 0, true},
        {"a touch counts from the first shown entry", 3, 3, false, kNone, 1, 4, 3, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        GameFixture f;
        std::vector<int> items = Items(5);
        CAIGame::Menu_Init(-1, items.data(), 5, 3);
        CAIGame::s_menuSelection = row.selection, CAIGame::s_menuStartIndex = row.start;
        CAIGame::s_refreshAll = false;
        CAITouchObj list;
        Input(f, row.key, row.cursor >= 0 ? &list : nullptr, row.cursor);
        CAIGame::Menu_Update(row.wrap);
        EXPECT_EQ(CAIGame::s_menuSelection, row.wantSelection);
        EXPECT_EQ(CAIGame::s_menuStartIndex, row.wantStart);
        EXPECT_TRUE(CAIGame::s_refreshAll);   // a navigation key repaints even when nothing moved
        EXPECT_EQ(CAIGame::s_menuSelectionHasChanged, row.browse);
        EXPECT_EQ(f.traced("sound"), row.browse ? std::vector<int>{61} : std::vector<int>{});
        CAIGame::s_curObj = nullptr;
    }
}

TEST(ListMenu, PressOnAnEntryChoosesItSilently)
{
    GameFixture f;
    std::vector<int> items = Items(5);
    CAIGame::Menu_Init(-1, items.data(), 5, 3);
    CAITouchObj list;
    CAIGame::s_pressingObj = &list;
    CAIGame::s_nPressingSelectItem = 2;
    Input(f, kNone, &list, 2);
    CAIGame::Menu_Update();
    EXPECT_EQ(CAIGame::s_menuSelection, 2);
    EXPECT_TRUE(CAIGame::s_menuSelectionHasChanged);
    EXPECT_EQ(f.traced("sound"), std::vector<int>{});
    // The finger slides onto another entry: that one browses.
    Input(f, kNone, &list, 1);
    CAIGame::Menu_Update();
    EXPECT_EQ(f.traced("sound"), std::vector<int>{61});   // the first sound of the test
    CAIGame::s_curObj = nullptr;
}

TEST(ListMenu, SelectAndBackSounds)
{
    const struct {
        const char* why;
        int id, key, volume, state;
        bool backSound;
        std::vector<int> sounds;
    } rows[] = {
        {"confirm", 500, 7, 100, STATE_OPTIONS, true, {56}},
        {"select key 3", 500, 3, 100, STATE_OPTIONS, true, {56}},
        {"buying", 500, 33, 100, STATE_SHOP_BUY, true, {65}},
        {"browse entries", 245, 1, 100, STATE_OPTIONS, true, {61}},
        {"silent entry", 246, 7, 100, STATE_OPTIONS, true, {}},
        {"back entry", 207, 7, 100, STATE_OPTIONS, true, {57}},
        {"effects off", 500, 7, 0, STATE_OPTIONS, true, {}},
        {"back key", 500, 8, 0, STATE_OPTIONS, true, {57}},
        {"back key without its sound", 500, 8, 100, STATE_OPTIONS, false, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        GameFixture f;
        int items[1] = {row.id};
        CAIGame::Menu_Init(-1, items, 1, 1, 1, row.backSound);
        CAIGame::s_nVolumeSFX = row.volume;
        CAIGame::s_stateCurrent = row.state;
        Input(f, row.key);
        CAIGame::Menu_Update();
        EXPECT_EQ(f.traced("sound"), row.sounds);
    }
}

TEST(ListMenu, GridNavigation)
{
    const int left = 11, right = 12, up = 10, down = 13;
    const struct {
        const char* why;
        int count;
        std::vector<int> disabled;
        bool wrap;
        int selection, key, want;
    } rows[] = {
        {"up from the first row", 8, {}, true, 1, up, 1},
        {"down one row", 8, {}, true, 1, down, 4},
        {"down onto a disabled item", 8, {4}, true, 1, down, 1},
        {"down past the end", 8, {}, true, 6, down, 6},
        {"right at the end wraps", 8, {}, true, 7, right, 0},
        {"right at the end stops", 8, {}, false, 7, right, 7},
        {"right skips disabled items", 8, {3, 4}, true, 2, right, 5},
        {"right at the end stops on the last enabled", 8, {7}, false, 6, right, 6},
        {"left at the start wraps", 8, {}, true, 0, left, 7},
        {"left at the start stops", 8, {}, false, 0, left, 0},
        {"left skips disabled items", 8, {1}, true, 2, left, 0},
        {"nowhere enabled keeps the selection", 4, {0, 1, 2, 3}, true, 2, right, 2},
        {"nowhere enabled to the left", 4, {0, 1, 2, 3}, false, 2, left, 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        GameFixture f;
        std::vector<int> items = Items(row.count);
        for (int d : row.disabled)
            items[d] |= 0x10000;
        CAIGame::Menu_Init(-1, items.data(), row.count, 6);
        CAIGame::s_menuSelection = row.selection;
        Input(f, row.key);
        CAIGame::Menu_UpdateGrid(row.wrap, 3);
        EXPECT_EQ(CAIGame::s_menuSelection, row.want);
        EXPECT_GE(CAIGame::s_menuStartIndex, 0);
        EXPECT_LE(CAIGame::s_menuStartIndex, row.count);
        EXPECT_EQ(f.traced("sound"), row.want != row.selection ? std::vector<int>{61} : std::vector<int>{});
    }
}

TEST(ListMenu, WindowOpensAfterTheRevealTime)
{
    GameFixture f;
    CAIGame::s_menu_box_reveal_time = 500;
    CAIGame::_timeElapsed = 20;
    CAIGame::Menu_ResetWindowAnim();
    int completedIn = 0;
    for (int frame = 1; frame <= 30 && !completedIn; ++frame) {
        if (CAIGame::Menu_WindowUpdate(1))
            completedIn = frame;
        else
            EXPECT_FALSE(CAIGame::s_can_touch);
    }
    EXPECT_EQ(completedIn, 26);   // 500 ms exactly is not yet open
    EXPECT_EQ(CAIGame::s_genericTimer, 500);
    EXPECT_TRUE(CAIGame::s_can_touch);
    EXPECT_EQ(CAIGame::Menu_WindowUpdate(1), 0);   // open and nothing pending
}

TEST(ListMenu, ClosingWindowCarriesTheSwitch)
{
    const struct {
        int transition;
        bool switchOnClose;
        int want;
    } rows[] = {
        {4, true, STATE_HIGHSCORE},
        {1, true, STATE_LOADING},   // whatever the next state says
        {4, false, -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.transition);
        GameFixture f;
        CAIGame::s_stateNext = -1;
        CAIGame::s_menu_box_reveal_time = 100;
        CAIGame::s_genericCounter = 0, CAIGame::s_genericTimer = 100;
        CAIGame::_timeElapsed = 40;
        CAIGame::s_loadingNextState = STATE_HIGHSCORE;
        CAIGame::s_menuTransition = row.transition;
        int frames = 0;
        while (!CAIGame::Menu_WindowUpdate(row.switchOnClose) && frames < 10) {
            EXPECT_EQ(CAIGame::s_stateNext, -1);
            EXPECT_GT(CAIGame::s_keysDisabledTimer, 0);
            ++frames;
        }
        EXPECT_EQ(frames, 2);   // 100 ms at 40 ms a frame closes in the third
        EXPECT_EQ(CAIGame::s_stateNext, row.want);
        EXPECT_EQ(CAIGame::s_menuTransition, 0);
        EXPECT_TRUE(CAIGame::s_can_touch);
    }
}

TEST(ListMenu, BlinkPhaseAndSnapshot)
{
    GameFixture f;
    std::vector<bool> lit;
    for (int n = 0; n <= 21; ++n) {
        CAIGame::s_nFrameCount_New = n;
        lit.push_back(CAIGame::PressNeedToBeLighted());
    }
    const std::vector<bool> want = {0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 0};
    EXPECT_EQ(lit, want);

    std::vector<int> items = Items(7);
    CAIGame::s_menuLastIndex[5] = 6;
    CAIGame::Menu_Init(5, items.data(), 7, 4);
    CAIGame::GetMenuFreeze();
    EXPECT_EQ(CAIGame::s_menuCurrent_Freeze[6], 106);
    EXPECT_EQ(CAIGame::s_menuSelection_Freeze, 6);
    EXPECT_EQ(CAIGame::s_menuStartIndex_Freeze, 3);
    EXPECT_EQ(CAIGame::s_menuNumItems_Freeze, 7);
    EXPECT_EQ(CAIGame::s_menuMaxItemsShown_Freeze, 4);
}

}  // namespace
