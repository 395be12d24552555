#include "framework/ScreenGeometry.h"

#include <gtest/gtest.h>

TEST(ScreenGeometry, PerResolutionMode)
{
    const struct {
        int mode, width, height, levelHeight;
    } kCases[] = {{2, 600, 1024, 850}, {0, 640, 960, 786}, {1, 640, 960, 786}, {3, 640, 960, 786}, {4, 640, 1067, 893}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.mode);
        ScreenGeometry_SetMode(c.mode);
        EXPECT_EQ(Screen_Width(), c.width);
        EXPECT_EQ(Screen_Height(), c.height);
        EXPECT_EQ(Display_Border_Left(), 21);
        EXPECT_EQ(Display_Border_Top(), 94);
        EXPECT_EQ(Level_Display_Height(), c.levelHeight);
    }
    ScreenGeometry_SetMode(RESOLUTION_MODE_600X1024);
}
