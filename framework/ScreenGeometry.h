// The logical screen of the resolution mode the application object chose at start-up (mode 2,
// 600x1024, is the game's). Before any choice the geometry is mode 2's.
#pragma once

enum RESOLUTION_MODE {
    RESOLUTION_MODE_320X480 = 0,
    RESOLUTION_MODE_640X960 = 1,
    RESOLUTION_MODE_600X1024 = 2,
    RESOLUTION_MODE_3 = 3,
    RESOLUTION_MODE_480X800 = 4,
};

void ScreenGeometry_SetMode(int mode);
int ScreenGeometry_Mode();

int Screen_Width();            // 600 in mode 2, 640 otherwise
int Screen_Height();           // 1024 in mode 2, 1067 in mode 4, 960 otherwise
int Display_Border_Left();     // 21
int Display_Border_Top();      // 94
int Level_Display_Height();    // height - top border - 80
