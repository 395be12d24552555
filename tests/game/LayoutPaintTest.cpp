// The layout-layer painters: the slide-in of elements over a screen's reveal time, text areas
// (alignments, scrolling, wrapped pages) and touch-highlighted list buttons.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "framework/CStringManager.h"
#include "game/CAITouchObj.h"
#include "game/LayoutPaint.h"
#include "tests/framework/RecordingTarget.h"
#include "tests/framework/RuleFont.h"
#include "tests/framework/SizedTexture.h"
#include "tests/game/GameTestSupport.h"
#include "tools/formats/SpriteWriter.h"

namespace {

namespace fs = formats::sprites;
using P = std::vector<std::pair<int, int>>;

TEST(LayoutPaint, SlideInOverTheRevealTime)
{
    test::GameFixture f;
    CAIGame::s_menu_box_reveal_time = 500;
    const struct {
        const char* why;
        int delay, duration;
        int64_t timer;
        int dx, dy;
    } rows[] = {
        {"no slide: in place at once", 0, 0, 0, 0, 0},
        {"starts at the full offset", 0, 100, 0, 100, -40},
        {"half way", 0, 100, 250, 50, -20},
        {"arrived", 0, 100, 500, 0, 0},
        {"a delay holds the full offset", 40, 100, 150, 100, -40},
        {"until the timer passes it", 40, 100, 200, 100, -40},
        {"then it moves over what is left", 40, 100, 350, 50, -20},
        {"and arrives at the reveal's end", 40, 100, 500, 0, 0},
        {"without a delay a longer duration is kept", 0, 200, 250, 75, -30},
        {"timer past the end", 0, 100, 9000, 0, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        CAIGame::s_genericTimer = row.timer;
        const layout_paint::SSlide s = layout_paint::Slide(row.delay, 100, -40, row.duration);
        EXPECT_EQ(s.dx, row.dx);
        EXPECT_EQ(s.dy, row.dy);
    }
}

// Layer 3 with one element of the given values (the header's five included).
void setElement(std::vector<int16_t> values)
{
    CAIGame::InitGameLayers();
    auto& layer = CAIGame::m_gameData.data[3];
    layer.NewArray(1);
    layer.data[0].NewArray(int(values.size()));
    std::copy(values.begin(), values.end(), layer.data[0].data);
}

// The painters over a recording target: font 0 has glyphs 10 x 20 with spacing 1 (a space 6
// wide); the touch sprite's frame k is one module 10 + k wide and 4 high at its origin.
struct Painters : ::testing::Test {
    Painters()
    {
        test::LoadRuleFont(font);
        CAISprite::m_pCurrentTexture = nullptr;
        font.SetFontSpriteID(3);   // text goes through the string manager to sprite slot 3
        CAIGame::s_gameFonts[0] = CAIGame::_sprites[3] = &font;

        fs::Sprite t;
        for (int k = 0; k < 20; ++k) {
            fs::Module m;
            m.type = 0xFE;
            m.colour = 0xFF102030;
            m.w = 10 + k;
            m.h = 4;
            t.modules.push_back(m);
            fs::FModule fm;
            fm.index = k;
            t.addFrame({fm});
        }
        const auto tb = fs::Write(t);
        EXPECT_TRUE(touch.Load(tb.data(), tb.size()));
        CAIGame::s_touchSpr = &touch;
        CAIGame::s_menu_box_reveal_time = 500;
        CAIGame::s_genericTimer = 10000;
        ViDuz::SetClip(0, 0, 600, 1024);
    }
    ~Painters() override
    {
        CAIGame::s_gameFonts[0] = CAIGame::_sprites[3] = nullptr;
        CAIGame::s_touchSpr = nullptr;
        CAIGame::Touch_RemoveLayer(1);
        CAIGame::m_gameData.NewArray(0);
    }
    // Top-left corners of the quads painted, whichever way their corners run.
    P painted() const
    {
        P at;
        for (const auto& q : rec.quads) {
            const auto x = std::minmax({q.v[0].x, q.v[1].x, q.v[2].x, q.v[3].x});
            const auto y = std::minmax({q.v[0].y, q.v[1].y, q.v[2].y, q.v[3].y});
            at.push_back({int(x.first), int(y.first)});
        }
        return at;
    }

    test::GameFixture f;
    CStringManager strings;
    test::RecordingTarget rec;
    CAISprite font, touch;
};

// A text element at (100, 200), 200 x 100, in font 0: header, w, h, font, palette, alignments,
// 0, mode, then the slide (delay, dx, dy, duration).
std::vector<int16_t> textElement(int halign, int valign, int mode = 0, int font = 0)
{
    return {3, 0, 100, 200, 12, 200, 100, int16_t(font), -1, int16_t(halign), int16_t(valign), 0, int16_t(mode),
            0, 0, 0, 0};
}

TEST_F(Painters, TextAreaAlignments)
{
    wchar_t ab[] = L"AB";   // 21 wide as drawn, 20 high
    const struct {
        const char* why;
        int halign, valign;
        P at;
    } rows[] = {
        {"top left", 0, 0, {{100, 200}, {111, 200}}},
        {"centred across", 1, 0, {{190, 200}, {201, 200}}},
        {"right", 2, 0, {{279, 200}, {290, 200}}},
        {"alignment 3 across draws at 0", 3, 0, {{0, 200}, {11, 200}}},
        {"centred down", 0, 1, {{100, 240}, {111, 240}}},
        {"bottom", 0, 2, {{100, 280}, {111, 280}}},
        {"alignment 3 down draws at 0", 0, 3, {{100, 0}, {111, 0}}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.why);
        setElement(textElement(r.halign, r.valign));
        rec.quads.clear();
        CAIGame::PaintTextAreaItem(ab, 3, 0);
        EXPECT_EQ(painted(), r.at);
    }
    // Nothing without a text or with a font out of range.
    rec.quads.clear();
    CAIGame::PaintTextAreaItem(static_cast<wchar_t*>(nullptr), 3, 0);
    setElement(textElement(0, 0, 0, 6));
    CAIGame::PaintTextAreaItem(ab, 3, 0);
    EXPECT_TRUE(rec.quads.empty());
}

TEST_F(Painters, ScrollingAndWrappedTexts)
{
    wchar_t narrow[] = L"AB";
    wchar_t wide[] = L"ABCDEFGHIJKLMNOPQRST";   // 20 glyphs measuring 220, wider than the box
    setElement(textElement(1, 0, 1));
    const struct {
        const char* why;
        wchar_t* text;
        int clock, left;
    } rows[] = {
        {"narrow: stays centred", narrow, 0, 190},
        {"narrow: the clock does not move it", narrow, 3000, 190},
        {"wide: starts at the left edge", wide, 0, 100},
        {"a negative clock counts as 0", wide, -500, 100},
        {"50 px a second to the left", wide, 1000, 50},
        {"a lap is box, text and 50: back in at the right edge", wide, 5400, 300},
        {"and on to the left again", wide, 5600, 290},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.why);
        CAIGame::s_scrollingTime = r.clock;
        rec.quads.clear();
        CAIGame::PaintTextAreaItem(r.text, 3, 0);
        ASSERT_FALSE(rec.quads.empty());
        EXPECT_EQ(painted()[0].first, r.left);
        EXPECT_EQ(ViDuz::GetClipX(), 0) << "the clip is put back";
        EXPECT_EQ(ViDuz::GetClipWidth(), 600);
    }
    CAIGame::s_scrollingTime = 0;

    // Mode 2 breaks the words into lines inside the box's width.
    wchar_t words[] = L"AB AB AB AB AB AB AB AB AB AB";
    setElement(textElement(0, 0, 2));
    rec.quads.clear();
    CAIGame::PaintTextAreaItem(words, 3, 0);
    std::set<int> tops;
    for (const auto& [x, y] : painted()) {
        tops.insert(y);
        EXPECT_GE(x, 100);
        EXPECT_LE(x + 10, 300);
    }
    EXPECT_GE(tops.size(), 2u);
    EXPECT_EQ(*tops.begin(), 200);
}

// A graphic of the touch sprite (index 11), frame 4 still, at (50, 60), sliding dy 40 over the
// whole reveal time.
std::vector<int16_t> buttonElement()
{
    return {1, 0, 50, 60, 17, 11, 4, -1, 0, 0, 1, 0, 0, 0, 0, 0, 40, 100};
}

TEST_F(Painters, GraphItemTouchAddsItsChildAndPaints)
{
    setElement(buttonElement());
    const int list = CAIGame::Touch_Add_List(1, 2, CAITouchObj::RECT, 4, 7, 0);
    ASSERT_GE(list, 0);
    const struct {
        const char* why;
        int64_t timer;
        bool selectFirst;
        P at;
    } rows[] = {
        // In place: the touch frame 6 (16 x 4) drawn half its height lower.
        {"settled", 10000, false, {{50, 62}}},
        // Sliding: the element itself (frame 4), at (40 x 500 / 500 + 4) / 2 below its place.
        {"sliding, just begun", 0, true, {{50, 82}}},
        {"half way", 250, false, {{50, 72}}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.why);
        CAIGame::s_genericTimer = r.timer;
        rec.quads.clear();
        if (r.selectFirst)
            CAIGame::PaintGraphItemTouch(3, 0, 6, false, 1);
        else
            CAIGame::PaintGraphItemTouch(3, 0, 6, false);
        EXPECT_EQ(painted(), r.at);
        const CAITouchObj* obj = CAIGame::Touch_GetObj(1, list);
        ASSERT_NE(obj, nullptr);
        ASSERT_FALSE(obj->m_children.empty());
        const CAITouchObj* child = obj->m_children.back();
        EXPECT_EQ((std::vector<int>{child->m_x, child->m_y, child->m_w, child->m_h, child->m_selectFirst}),
                  (std::vector<int>{50, 60, 16, 4, r.selectFirst ? 1 : 0}));
    }
    EXPECT_EQ(CAIGame::Touch_GetObj(1, list)->m_children.size(), std::size(rows));
}

}  // namespace
