#include "engine/video/SScreenArea.h"

#include <gtest/gtest.h>

namespace pravik::video {
namespace {

SScreenArea screen(int w, int h, unsigned orientation = 0)
{
    SScreenArea s;
    s.width = w;
    s.height = h;
    s.orientation = orientation;
    return s;
}

TEST(SScreenArea, UnrotatedWithoutAreaConvertsNothing)
{
    const SScreenArea s = screen(600, 1024);
    int x = 13, y = 17;
    s.screen2DevicePos(x, y);
    EXPECT_EQ(x, 13);
    EXPECT_EQ(y, 17);
    core::rect<float> r(1.5f, 2.5f, 3.5f, 4.5f);
    s.device2Screen(r);
    EXPECT_EQ(r, core::rect<float>(1.5f, 2.5f, 3.5f, 4.5f));
}

TEST(SScreenArea, QuarterTurnMapsTheScreenOriginToTheDeviceEdge)
{
    // A 1024 x 600 device turned by 90 degrees shows a 600 x 1024 screen.
    SScreenArea s = screen(1024, 600);
    core::rect<int> viewport(0, 0, 1024, 600);
    s.setOrientation(1, viewport);
    EXPECT_EQ(s.width, 600);
    EXPECT_EQ(s.height, 1024);
    EXPECT_EQ(viewport, core::rect<int>(0, 0, 600, 1024));
    int x = 0, y = 0;
    s.screen2DevicePos(x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 600);
}

TEST(SScreenArea, PositionsAndRectanglesRoundTripForEveryOrientationAndArea)
{
    const core::rect<int> areas[] = {{0, 0, 600, 1024}, {10, 30, 410, 930}, {0, 100, 600, 200}};
    for (unsigned o = 0; o < 4; ++o)
        for (const auto& area : areas) {
            SCOPED_TRACE(testing::Message() << "orientation " << o << " area " << area.UpperLeftCorner.X << ","
                                            << area.UpperLeftCorner.Y);
            SScreenArea s = screen(600, 1024);
            core::rect<int> viewport(0, 0, 600, 1024);
            s.setOrientation(o, viewport);
            s.setArea(area);
            for (const auto& p : {core::position2d<int>(0, 0), core::position2d<int>(7, 300), {399, 5}}) {
                int x = p.X, y = p.Y;
                s.screen2DevicePos(x, y);
                s.device2ScreenPos(x, y);
                EXPECT_EQ(x, p.X);
                EXPECT_EQ(y, p.Y);
                float fx = p.X + 0.25f, fy = p.Y + 0.5f;
                s.screen2DevicePos(fx, fy);
                s.device2ScreenPos(fx, fy);
                EXPECT_FLOAT_EQ(fx, p.X + 0.25f);
                EXPECT_FLOAT_EQ(fy, p.Y + 0.5f);
            }
            core::rect<int> r(5, 6, 50, 80);
            s.screen2Device(r);
            EXPECT_LE(r.UpperLeftCorner.X, r.LowerRightCorner.X);  // kept in order
            EXPECT_LE(r.UpperLeftCorner.Y, r.LowerRightCorner.Y);
            s.device2Screen(r);
            EXPECT_EQ(r, core::rect<int>(5, 6, 50, 80));
        }
}

TEST(SScreenArea, AreaIsClampedToTheFramebuffer)
{
    SScreenArea s = screen(600, 1024);
    const auto previous = s.setArea({-10, -10, 5000, 5000});
    EXPECT_EQ(previous, core::dimension2d<int>(600, 1024));
    EXPECT_EQ(s.width, 600);
    EXPECT_EQ(s.height, 1024);
    EXPECT_FALSE(s.hasArea());

    s.setArea({100, 200, 300, 260});
    EXPECT_EQ(s.areaX, 100);
    EXPECT_EQ(s.areaY, 200);
    EXPECT_EQ(s.width, 200);
    EXPECT_EQ(s.extraWidth, 400);
    EXPECT_EQ(s.extraHeight, 964);
    int x = 0, y = 0;
    s.screen2DevicePos(x, y);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 200);
}

TEST(SScreenArea, ResizeKeepsTheArea)
{
    SScreenArea s = screen(600, 1024);
    s.setArea({100, 200, 300, 260});
    const auto size = s.resize({800, 1024});
    EXPECT_EQ(size, core::dimension2d<int>(200, 60));
    EXPECT_EQ(s.fullWidth(), 800);
    EXPECT_EQ(s.fullHeight(), 1024);
    s.resize({150, 1024});  // the area now sticks out on the right
    EXPECT_EQ(s.areaX, 100);
    EXPECT_EQ(s.width, 50);
    EXPECT_EQ(s.fullWidth(), 150);
}

TEST(SScreenArea, SettingTheCurrentOrientationChangesNothing)
{
    SScreenArea s = screen(600, 1024, 2);
    s.setArea({10, 10, 100, 100});
    const SScreenArea before = s;
    core::rect<int> viewport(1, 2, 3, 4);
    s.setOrientation(2, viewport);
    EXPECT_EQ(viewport, core::rect<int>(1, 2, 3, 4));
    EXPECT_EQ(s.areaX, before.areaX);
    EXPECT_EQ(s.width, before.width);
}

TEST(SScreenArea, ProjectionFixUpForOrientation)
{
    core::CMatrix4<float> m;
    for (unsigned i = 0; i < 16; ++i) m[i] = float(i + 1);
    const core::CMatrix4<float> original = m;

    screen(600, 1024, 2).fixUpProjectionMatrixOrientation(m, true);
    for (unsigned i = 0; i < 16; ++i) {
        SCOPED_TRACE(i);
        const bool negated = (i % 4) < 2;
        EXPECT_EQ(m[i], negated ? -original[i] : original[i]);
    }

    m = original;
    screen(600, 1024, 1).fixUpProjectionMatrixOrientation(m, true);
    EXPECT_EQ(m[0], -original[1]);
    EXPECT_EQ(m[1], original[0]);

    m = original;
    screen(600, 1024, 2).fixUpProjectionMatrixOrientation(m, false);  // off screen
    EXPECT_EQ(m[0], original[0]);
}

TEST(SScreenArea, ScreenAreaBecomesGLWindowCoordinates)
{
    const struct {
        const char* why;
        unsigned orientation;
        bool screenBound, allowEmpty, force;
        core::rect<int> area;
        bool ok;
        int x, y, w, h;
    } cases[] = {
        {"unrotated screen", 0, true, false, false, {10, 20, 110, 70}, true, 10, 954, 100, 50},
        {"empty refused", 0, true, false, false, {10, 20, 10, 70}, false, 0, 0, 0, 0},
        {"empty allowed", 0, true, true, false, {10, 20, 10, 70}, true, 10, 954, 0, 50},
        {"off screen taken as it is", 0, false, false, false, {10, 20, 110, 70}, true, 10, 20, 100, 50},
        {"off screen forced", 0, false, false, true, {10, 20, 110, 70}, true, 10, 954, 100, 50},
        {"upside down", 2, true, false, false, {10, 20, 110, 70}, true, 490, 20, 100, 50},
        {"quarter turn", 1, true, false, false, {10, 20, 110, 70}, true, 20, 10, 50, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        SScreenArea s = screen(600, 1024, c.orientation);
        int x = 0, y = 0, w = 0, h = 0;
        ASSERT_EQ(s.fixUpScreenArea(c.area, x, y, w, h, c.allowEmpty, c.force, c.screenBound), c.ok);
        if (!c.ok) continue;
        EXPECT_EQ(x, c.x);
        EXPECT_EQ(y, c.y);
        EXPECT_EQ(w, c.w);
        EXPECT_EQ(h, c.h);
    }
}

}  // namespace
}  // namespace pravik::video
