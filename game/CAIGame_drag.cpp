// Swipe recognition for the paged screens: each call compares the pad's last point with the sample
// kept from the previous gesture step and answers a direction once the finger has moved over one
// pixel inside the screen's drag rectangle.
#include "game/CAIGame.h"

#include <cstdint>
#include <cstdlib>

#include "engine/os/Timer.h"
#include "framework/CTouchPad.h"
#include "framework/ScreenGeometry.h"

namespace {

constexpr int kClickSound = 61;

struct SDragSample {
    bool started = false;   // the first call takes the pad's point, the clock and the finger
    bool down = false;
    int x = 0, y = 0;
    uint32_t time = 0;
} s_drag;

bool Inside(int x, int y, int rx, int ry, int rw, int rh) { return x >= rx && x <= rx + rw && y >= ry && y <= ry + rh; }

}  // namespace

void CAIGame::ResetDragGesture() { s_drag = SDragSample(); }

int CAIGame::getPointerTouchOnDragDir(int& speed, int& distance, bool timed, int minDX, int minDY, bool horizontal,
                                      int rx, int ry, int rw, int rh, bool clickSound)
{
    // The pad keeps its points in the half-size input space.
    const int x = CTouchPad::m_nLastX * 2, y = CTouchPad::m_nLastY * 2;
    const uint32_t now = pravik::os::Timer::getRealTime();
    if (!s_drag.started) {
        s_drag.started = true;
        s_drag.x = x, s_drag.y = y, s_drag.time = now;
        s_drag.down = s_touchPressedNew;
    }
    const bool inside = Inside(x, y, rx, ry, rw, rh);
    speed = 1;
    if (!s_touchPressedNew && s_touchReleased) {
        if (s_drag.down && clickSound && inside)
            SND_PlaySFXSound(kClickSound);
        s_drag.down = false;
        return -1;
    }
    if (!s_drag.down) {
        s_drag.x = x, s_drag.y = y, s_drag.time = now;
        s_drag.down = true;
        if (clickSound && inside)
            SND_PlaySFXSound(kClickSound);
        if (timed)
            s_bPageDragThisPress = false;
    }
    const int dx = x - s_drag.x, dy = y - s_drag.y;
    if (timed && (horizontal ? std::abs(dx) < minDX : std::abs(dy) < minDY))
        return 0;
    if (!Inside(s_drag.x, s_drag.y, rx, ry, rw, rh) || !inside || (std::abs(dx) <= 1 && std::abs(dy) <= 1))
        return 0;
    s_drag.x = x, s_drag.y = y;
    const int32_t elapsed = int32_t(now - s_drag.time);   // across the clock's wrap too
    s_drag.time = now;

    int dir;
    if (std::abs(dx) > std::abs(dy)) {
        distance = std::abs(dx);
        dir = dx > 0 ? 2 : 1;
    } else {
        distance = std::abs(dy);
        dir = dy < 0 ? 3 : 4;
    }
    const bool alongX = dir <= 2;
    if (timed) {
        speed = elapsed > 120 ? 1 : elapsed > 70 ? 2 : 3;
    } else {
        const int size = alongX ? Screen_Width() : Screen_Height();
        const int base = alongX ? 640 : 960, slow = alongX ? 80 : 120, middle = alongX ? 113 : 170;
        speed = distance < size * slow / base ? 1 : distance < size * middle / base ? 2 : 3;
    }
    if (timed && alongX == horizontal)
        s_bPageDragThisPress = true;
    return dir;
}
