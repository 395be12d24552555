// Touch input reaching the game through the multi-touch pad: the swipe recogniser, the delayed
// and animated release of touched buttons, the list forms of the registry, the painting of a
// touched button's highlight, and the soft keys.
#include "framework/CTouchPad.h"
#include "framework/ScreenGeometry.h"
#include "tests/framework/RecordingTarget.h"
#include "tests/game/GameTestSupport.h"
#include "tools/formats/SpriteWriter.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using test::GameFixture;

// One finger on the pad, in the pad's 320x480 input space.
struct Finger {
    CTouchPad pad;
    void down(int x, int y) { pad.PadTouchEvent(x, y, this, 1); }
    void move(int x, int y) { pad.PadMoveEvent(x, y, this); }
    void up(int x, int y) { pad.PadUntouchEvent(x, y, this, 1); }
};

// The game's frame around the registry: the event is seen by one Touch_update, then cleared.
void touchFrame(GameFixture& f, int ms = 16)
{
    f.clock.advanceMs(uint64_t(ms));
    CAIGame::s_game_frameDT = ms;
    CAIGame::Touch_update();
    if (!CAIGame::s_touchStateNeedProcessed || CAIGame::s_touchStateHasProcessed) {
        CAIGame::s_touchState = 0;
        CAIGame::s_touchStateNeedProcessed = false;
    }
    CAIGame::s_release_x = CAIGame::s_release_y = -1;
}

// A screen of 640x960 logic pixels for the gesture thresholds; the game's own mode afterwards.
struct Mode640 {
    Mode640() { ScreenGeometry_SetMode(RESOLUTION_MODE_640X960); }
    ~Mode640() { ScreenGeometry_SetMode(RESOLUTION_MODE_600X1024); }
};

struct Gesture {
    int dir = 0, speed = 0, distance = 0;
};

Gesture drag(bool timed = false, int minD = 0, bool horizontal = true, int rx = 0, int ry = 0, int rw = 640,
             int rh = 960, bool sound = false)
{
    Gesture g;
    g.dir = CAIGame::getPointerTouchOnDragDir(g.speed, g.distance, timed, minD, minD, horizontal, rx, ry, rw, rh, sound);
    return g;
}

TEST(DragGesture, DirectionDistanceAndSpeedByDistance)
{
    GameFixture f;
    Mode640 mode;
    // Pad moves are doubled: the thresholds of a 640x960 screen are 80 and 113 across, 120 and 170 down.
    const struct {
        int dx, dy;   // pad units
        int dir, distance, speed;
    } rows[] = {
        {39, 0, 2, 78, 1},   {40, 0, 2, 80, 2},   {56, 3, 2, 112, 2}, {57, 0, 2, 114, 3},
        {-40, 10, 1, 80, 2}, {0, -59, 3, 118, 1}, {5, -60, 3, 120, 2}, {0, 84, 4, 168, 2},
        {0, 85, 4, 170, 3},  {20, 20, 4, 40, 1},   // a tie goes to the vertical
    };
    Finger finger;
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.dx << "," << r.dy);
        finger.down(100, 200);
        EXPECT_EQ(drag().dir, 0);   // the press takes the sample
        finger.move(100 + r.dx, 200 + r.dy);
        const Gesture g = drag();
        EXPECT_EQ(g.dir, r.dir);
        EXPECT_EQ(g.distance, r.distance);
        EXPECT_EQ(g.speed, r.speed);
        EXPECT_EQ(drag().dir, 0) << "the sample moved with the gesture";
        finger.up(100 + r.dx, 200 + r.dy);
        const Gesture up = drag();
        EXPECT_EQ(up.dir, -1);
        EXPECT_EQ(up.speed, 1);
    }
    // One pixel of jitter is no gesture.
    finger.down(100, 200);
    drag();
    finger.move(100, 200);
    EXPECT_EQ(drag().dir, 0);
}

TEST(DragGesture, TimedPagesNeedTheAxisDistanceAndTakeSpeedFromTheClock)
{
    GameFixture f;
    Mode640 mode;
    Finger finger;
    finger.down(100, 200);
    drag(true, 30);
    EXPECT_FALSE(CAIGame::s_bPageDragThisPress);
    finger.move(110, 200);   // 20 across: under the page's 30
    EXPECT_EQ(drag(true, 30).dir, 0);
    finger.move(100, 260);   // down, on a horizontal request with no sideways move
    EXPECT_EQ(drag(true, 30).dir, 0);

    const struct {
        int ms, speed;
    } clock[] = {{121, 1}, {120, 2}, {71, 2}, {70, 3}};
    int x = 100;
    for (const auto& c : clock) {
        SCOPED_TRACE(c.ms);
        f.clock.advanceMs(uint64_t(c.ms));
        x -= 20;
        finger.move(x, 200);
        const Gesture g = drag(true, 30);
        EXPECT_EQ(g.dir, 1);
        EXPECT_EQ(g.speed, c.speed);
        EXPECT_TRUE(CAIGame::s_bPageDragThisPress);
    }
    finger.up(x, 200);
    drag(true, 30);

    // A vertical swipe on a horizontal request is reported but is no page drag.
    finger.down(100, 100);
    drag(true, 30);
    finger.move(120, 200);
    EXPECT_EQ(drag(true, 30).dir, 4);
    EXPECT_FALSE(CAIGame::s_bPageDragThisPress);
    finger.up(120, 200);
    drag(true, 30);
}

TEST(DragGesture, OnlyInsideTheRectangleWithItsClickSound)
{
    GameFixture f;
    Mode640 mode;
    Finger finger;
    // The rectangle (100, 100, 200, 200) in logic pixels: pad 50 to 150.
    auto inRect = [] { return drag(false, 0, true, 100, 100, 200, 200, true); };
    finger.down(10, 10);   // outside: no click either way
    inRect();
    finger.up(10, 10);
    EXPECT_EQ(inRect().dir, -1);
    EXPECT_TRUE(f.traced("sound").empty());

    finger.down(60, 60);
    EXPECT_EQ(inRect().dir, 0);
    EXPECT_EQ(f.traced("sound"), std::vector<int>{61}) << "a press inside clicks";
    finger.move(160, 60);   // out of the rectangle
    EXPECT_EQ(inRect().dir, 0);
    finger.move(80, 60);    // back in: the sample never moved
    const Gesture g = drag(false, 0, true, 100, 100, 200, 200, true);
    EXPECT_EQ(g.dir, 2);
    EXPECT_EQ(g.distance, 40);
    finger.up(80, 60);
    EXPECT_EQ(inRect().dir, -1);
    EXPECT_EQ(f.traced("sound"), (std::vector<int>{61, 61})) << "and so does the release";
}

// A sprite whose frame k is a rectangle 10 + k pixels wide and 4 high; animation 0 runs two
// frames of 33 ms.
CAISprite* frameSprite(int frames)
{
    formats::sprites::Sprite s;
    for (int k = 0; k < frames; ++k) {
        formats::sprites::Module m;
        m.type = 0xFE;
        m.colour = 0xFF102030;
        m.w = 10 + k;
        m.h = 4;
        s.modules.push_back(m);
        formats::sprites::FModule fm;
        fm.index = k;
        s.addFrame({fm});
    }
    s.addAnim({{0, 1}, {1, 1}});
    const std::vector<uint8_t> bytes = formats::sprites::Write(s);
    auto* sprite = new CAISprite;
    sprite->Load(bytes.data(), bytes.size());
    return sprite;
}

TEST(TouchRouting, ABlinkingButtonReleasesItsKeyAfterItsTicks)
{
    GameFixture f;
    CAIGame::s_can_touch = true;
    Finger finger;
    const struct {
        const char* why;
        int highlight, ticks, heldFrames;
    } rows[] = {
        {"ticks 8, frame 5: eight frames after the release", 5, 8, 8},
        {"no ticks: at the release", 5, 0, 0},
        {"no highlight frame: at the release", -1, 8, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.why);
        CAIGame::Touch_RemoveAllObj();
        ASSERT_EQ(CAIGame::Touch_Add_Button(0, 20, 0, CAITouchObj::RECT, 0, 0, 300, 300, r.highlight, 9, r.ticks), 0);
        finger.down(50, 50);   // logic (93, 106)
        touchFrame(f);
        EXPECT_TRUE(CAIGame::IsKeyDown(9));
        EXPECT_EQ(CAIGame::s_frame_HL_id, r.highlight);
        finger.up(50, 50);
        touchFrame(f);
        for (int i = 0; i < r.heldFrames; ++i) {
            EXPECT_TRUE(CAIGame::IsKeyDown(9)) << i;
            EXPECT_EQ(CAIGame::s_frame_HL_id, r.highlight) << "blinking";
            touchFrame(f);
        }
        EXPECT_FALSE(CAIGame::IsKeyDown(9));
        EXPECT_TRUE(CAIGame::WasKeyPressed(9));
        EXPECT_EQ(CAIGame::s_frame_HL_id, -1);
        EXPECT_EQ(CAIGame::s_effectTick, 0);
        CAIGame::ResetKey();
    }
}

TEST(TouchRouting, AnimatedButtonFiresWhenTheTouchAnimationEndsThenBlocksTouch)
{
    for (const bool withSprite : {true, false}) {
        SCOPED_TRACE(withSprite ? "touch animation" : "touch sprite missing");
        GameFixture f;
        CAIGame::s_can_touch = true;
        CAIGame::s_touchAni = new ViDuzPlayer;
        CAISprite* sprite = withSprite ? frameSprite(2) : nullptr;
        CAIGame::s_touchAni->SetSprite(sprite);
        ASSERT_EQ(CAIGame::Touch_Add_Button(1, 30, 0, CAITouchObj::RECT, 0, 0, 300, 300, 23, 7, 5), 0);
        Finger finger;
        finger.down(50, 50);
        touchFrame(f);
        finger.up(50, 50);
        touchFrame(f);
        EXPECT_EQ(CAIGame::s_touch_ani_state, 1);
        EXPECT_FALSE(CAIGame::s_can_touch);
        EXPECT_EQ(CAIGame::s_touchAni->GetAnim(), withSprite ? 0 : -1);
        // Two 33 ms frames of animation take six 16 ms updates; the next one sees it over and fires.
        const int frames = withSprite ? 7 : 1;
        for (int i = 0; i < frames - 1; ++i) {
            touchFrame(f);
            EXPECT_TRUE(CAIGame::IsKeyDown(7)) << i;
        }
        touchFrame(f);
        EXPECT_FALSE(CAIGame::IsKeyDown(7));
        EXPECT_TRUE(CAIGame::WasKeyPressed(7));
        EXPECT_EQ(CAIGame::s_touch_ani_state, 0);
        EXPECT_EQ(CAIGame::s_touch_ani_cnt, 1);
        CAIGame::ResetKey();

        // Touch stays blocked until the screen changes.
        finger.down(50, 50);
        touchFrame(f);
        EXPECT_FALSE(CAIGame::IsKeyDown(7));
        finger.up(50, 50);
        touchFrame(f);
        delete CAIGame::s_touchAni;
        CAIGame::s_touchAni = nullptr;
        if (sprite)
            sprite->drop();
    }
}

TEST(TouchRegistry, ListFormsGrowTheirBoundsAndNameTheTouchedEntry)
{
    GameFixture f;
    CAIGame::s_can_touch = true;
    ASSERT_EQ(CAIGame::Touch_Add_List(1, 2, 0, CAITouchObj::RECT, 0, 0, 0, 0, 4, 11, 0), 0);
    EXPECT_EQ(CAIGame::_last_list_id, 0);
    EXPECT_EQ(CAIGame::Touch_Add_List(1, 2, CAITouchObj::RECT, 4, 11, 0), -1) << "slot taken";
    EXPECT_EQ(CAIGame::Touch_Add_List_Btns(1, 0, 14, 3, 100, 200, 80, 40, 0, 60, 6, 12), 0);
    EXPECT_EQ(CAIGame::Touch_Add_List_Btns(1, 0, 15, 1, 20, 500, 10, 10, 0, 0, 6, 13), 3);
    EXPECT_EQ(CAIGame::Touch_Add_List_Btn(1, 5, 0, 0, 10, 10), -1) << "no such list";
    EXPECT_EQ(CAIGame::Touch_Add_List_Btns(1, -1, 14, 2, 0, 0, 1, 1, 0, 0, 6, 12), -1);
    ASSERT_EQ(CAIGame::Touch_Add_Button(1, 3, 0, CAITouchObj::RECT, 500, 0, 10, 10, -1, 1, 0), 1);
    EXPECT_EQ(CAIGame::Touch_Add_List_Btn(1, 1, 0, 0, 10, 10), -1) << "a button is no list";

    CAITouchObj* list = CAIGame::Touch_GetObj(1, 0);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->m_children.size(), 4u);
    EXPECT_EQ((std::vector<int>(list->m_bounds, list->m_bounds + 4)), (std::vector<int>{20, 200, 180, 510}));
    const CAITouchObj* third = list->m_children[2];
    EXPECT_EQ((std::vector<int>{third->m_x, third->m_y, third->m_slot, third->m_highlightFrame, third->m_key}),
              (std::vector<int>{100, 320, 14, 6, 12}));
    EXPECT_EQ(CAIGame::Touch_GetObjID(1, list), 0);
    EXPECT_EQ(CAIGame::Touch_GetObjID(0, list), -1);
    EXPECT_EQ(CAIGame::Touch_GetObjID(3, list), -1);

    // A press on the third entry: pad (64, 155) is logic (120, 330) at 600x1024.
    Finger finger;
    finger.down(64, 155);
    touchFrame(f);
    EXPECT_EQ(CAIGame::s_curObj, list);
    EXPECT_EQ(CAITouchObj::_list_cursor_id, 2);
    EXPECT_EQ(CAIGame::s_nPressingSelectItem, 2);
    EXPECT_TRUE(CAIGame::IsKeyDown(11));
    finger.up(64, 155);
    touchFrame(f);
    EXPECT_TRUE(CAIGame::WasKeyPressed(11)) << "the list's own key";

    CAIGame::Touch_RemoveObj(1, 0);
    EXPECT_EQ(CAIGame::_last_list_id, -1);
    EXPECT_EQ(CAIGame::s_curObj, nullptr);
    EXPECT_EQ(CAIGame::Touch_Add_List(1, 2, CAITouchObj::RECT, 4, 11, 0), 1) << "its slot is free again";
}

TEST(TouchHighlight, ButtonHighlightBlinksAndTheExitButtonCycles)
{
    GameFixture f;
    CAISprite* sprite = frameSprite(40);
    CAIGame::s_touchSpr = sprite;
    test::RecordingTarget target;
    // The frame painted and where: its width tells the frame (10 + k).
    auto paint = [&](int frame, bool blink) {
        target.quads.clear();
        CAIGame::Touch_Draw_HL_frame2(sprite, frame, 50, 60, 0, blink);
        if (target.quads.size() != 1u)
            return std::vector<int>{-1};
        const auto& v = target.quads[0].v;
        const float left = std::min({v[0].x, v[1].x, v[2].x, v[3].x});
        const float right = std::max({v[0].x, v[1].x, v[2].x, v[3].x});
        const float top = std::min({v[0].y, v[1].y, v[2].y, v[3].y});
        return std::vector<int>{int(right - left) - 10, int(left), int(top)};
    };
    CAITouchObj button;
    button.m_slot = 20;
    CAIGame::s_curObj = &button;
    CAIGame::s_frame_HL_id = 5;
    const struct {
        const char* why;
        bool blink;
        int slot, tick;
        std::vector<int> painted;
    } rows[] = {
        {"highlight phase", true, 20, 14, {5, 50, 60}},
        {"dark half of the blink", true, 20, 15, {2, 50, 60}},
        {"no blink asked", false, 20, 14, {2, 50, 60}},
        {"a list entry is the other painter's", true, 13, 14, {2, 50, 60}},
        {"blink at rest", true, 20, 0, {5, 50, 60}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.why);
        button.m_slot = r.slot;
        CAIGame::s_effectTick = r.tick;
        EXPECT_EQ(paint(2, r.blink), r.painted);
    }
    CAIGame::s_curObj = nullptr;
    CAIGame::s_effectTick = 3;
    // The exit button sits bottom right, centred on frame 31 (41 x 4): (600 - 95 + 20, 1024 - 100 + 2).
    EXPECT_EQ(paint(10, false), (std::vector<int>{31, 525, 926}));
    CAIGame::s_frame_HL_id = 11;
    int last = paint(10, true)[0];
    for (int i = 0; i < 8; ++i) {
        const std::vector<int> p = paint(10, true);
        EXPECT_EQ(p[0], last == 36 ? 31 : last + 1);
        EXPECT_EQ((std::vector<int>{p[1], p[2]}), (std::vector<int>{525, 926}));
        last = p[0];
    }
    CAIGame::s_frame_HL_id = -1;
    EXPECT_EQ(paint(7, true), (std::vector<int>{7, 50, 60})) << "no highlight frame";
    CAIGame::s_touchSpr = nullptr;
    sprite->drop();
}

// The regions of a touch layer: slot, x, y, w, h, highlight frame, key, ticks.
std::vector<std::vector<int>> regions(int layer)
{
    std::vector<std::vector<int>> out;
    for (int i = 0; CAITouchObj* o = CAIGame::Touch_GetObj(layer, i); ++i)
        out.push_back({o->m_slot, o->m_x, o->m_y, o->m_w, o->m_h, o->m_highlightFrame, o->m_key, o->m_effectTicks});
    return out;
}

TEST(SoftKeys, ButtonsByCommand)
{
    GameFixture f;
    CAISprite* sprite = frameSprite(40);   // frame 6, the button: 16 x 4
    CAIGame::s_touchSpr = sprite;
    CAIGame::s_isIngame = false;
    CAIGame::s_curObj = nullptr;
    CAIGame::s_frame_HL_id = -1;
    test::RecordingTarget target;
    using R = std::vector<std::vector<int>>;
    const std::vector<int> left383{14, 0, 1020, 16, 4, 9, 27, 10};
    const struct {
        const char* why;
        int right, left;
        R regions;
        int leftmost;   // x of the leftmost quad painted, -1 for none
    } rows[] = {
        {"none", 204, 204, {}, -1},
        {"back: the exit button, raising key 8", 253, 204, {{15, 584, 1020, 16, 4, 11, 8, 10}}, 525},
        {"skip", 800, 204, {{15, 584, 1020, 16, 4, 9, 8, 10}}, 592},
        {"next on both sides", 383, 383, {left383, {15, 584, 1020, 16, 4, 9, 8, 10}}, 8},
        {"746 releases at once", 746, 204, {{15, 584, 1020, 16, 4, 11, 8, 0}}, 525},
        {"left 229, 254 and 255 are none", 204, 254, {}, -1},
        {"", 204, 229, {}, -1},
        {"", 204, 255, {}, -1},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.why);
        CAIGame::Touch_RemoveLayer(2);
        CAIGame::s_cmd_left = CAIGame::s_cmd_right = 204;
        target.quads.clear();
        CAIGame::DrawNewKeyHints(r.right, r.left, false);
        EXPECT_EQ(regions(2), r.regions);
        int leftmost = -1;
        for (const auto& q : target.quads)
            for (const auto& v : q.v)
                leftmost = leftmost < 0 ? int(v.x) : std::min(leftmost, int(v.x));
        EXPECT_EQ(leftmost, r.leftmost);
    }

    // The same commands again keep their regions; a changed one rebuilds the layer.
    CAIGame::Touch_RemoveLayer(2);
    CAIGame::DrawNewKeyHints(800, 204, false);
    CAIGame::DrawNewKeyHints(800, 204, false);
    EXPECT_EQ(regions(2).size(), 1u);
    CAIGame::Touch_Add_Button(2, 30, 0, CAITouchObj::RECT, 0, 0, 5, 5, -1, 3, 0);
    CAIGame::DrawNewKeyHints(383, 204, false);
    EXPECT_EQ(regions(2), (R{{15, 584, 1020, 16, 4, 9, 8, 10}})) << "a stranger in layer 2 goes too";

    // In a level's play state: the pause button (key 27) and the band under the top, key 8.
    CAIGame::s_isIngame = true;
    CAIGame::s_stateCurrent = STATE_INGAME;
    CAIGame::DrawNewKeyHints(204, 204, false);
    EXPECT_TRUE(regions(2).empty()) << "registered before the change of commands empties the layer";
    CAIGame::DrawNewKeyHints(204, 204, false);
    const R inLevel = regions(2);
    ASSERT_EQ(inLevel.size(), 2u);
    EXPECT_EQ((std::vector<int>{inLevel[0][0], inLevel[0][5], inLevel[0][6], inLevel[0][7]}),
              (std::vector<int>{16, 7, 27, 0}));
    EXPECT_EQ(inLevel[1], (std::vector<int>{41, 150, 20, 300, 60, -1, 8, 0}));
    CAIGame::s_isIngame = false;
    CAIGame::Touch_RemoveLayer(2);
    CAIGame::s_touchSpr = nullptr;
    sprite->drop();
}

}  // namespace
