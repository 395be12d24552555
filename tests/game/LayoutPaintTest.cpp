// The slide-in of layout elements over a screen's reveal time.
#include <gtest/gtest.h>

#include "game/LayoutPaint.h"
#include "tests/game/GameTestSupport.h"

namespace {

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

}  // namespace
