#include "framework/ScreenGeometry.h"

namespace {
int s_mode = RESOLUTION_MODE_600X1024;
} // namespace

void ScreenGeometry_SetMode(int mode)
{
    s_mode = mode;
}

int ScreenGeometry_Mode()
{
    return s_mode;
}

int Screen_Width()
{
    return s_mode == RESOLUTION_MODE_600X1024 ? 600 : 640;
}

int Screen_Height()
{
    switch (s_mode) {
    case RESOLUTION_MODE_600X1024: return 1024;
    case RESOLUTION_MODE_480X800: return 1067;
    default: return 960;
    }
}

int Display_Border_Left()
{
    return 21;
}

int Display_Border_Top()
{
    return 94;
}

int Level_Display_Height()
{
    return Screen_Height() - Display_Border_Top() - 80;
}
