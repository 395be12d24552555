// What the layout-layer painters share: bounded element values, the slide-in of an element
// over the screen's reveal time, and saving the clip around a painter.
#pragma once

#include <algorithm>
#include <cstdint>

#include "framework/ViDuz.h"
#include "game/CAIGame.h"

namespace layout_paint {

// A frame's width and height; 0 by 0 without a sprite.
inline void FrameSize(CAISprite* sprite, int frame, int& w, int& h)
{
    w = h = 0;
    if (!sprite)
        return;
    int r[4];
    sprite->GetFrameRect(r, frame, 0, 0, 0);
    w = r[2] - r[0], h = r[3] - r[1];
}

inline int V(int layer, int element, int index) { return CAIGame::GetParamValue(layer, element, index); }

// r of the u milliseconds of an element's slide remain; (dx, dy) is its offset now.
struct SSlide {
    int dx = 0, dy = 0, r = 0, u = 0;
};

inline SSlide Slide(int delay, int dx, int dy, int duration)
{
    const int R = CAIGame::s_menu_box_reveal_time;
    const int64_t T = CAIGame::s_genericTimer;
    int u = R * duration / 100, d = delay;
    if (delay > 0) {
        d = delay * R / 100;
        u = std::min(u, R - d);
    }
    SSlide s;
    if (u > 0) {
        s.u = u;
        s.r = int(std::clamp<int64_t>(d + u - T, 0, u));
        s.dx = dx * s.r / u;
        s.dy = dy * s.r / u;
    }
    return s;
}

struct SSavedClip {
    int x = ViDuz::GetClipX(), y = ViDuz::GetClipY(), w = ViDuz::GetClipWidth(), h = ViDuz::GetClipHeight();
    void restore() const { ViDuz::SetClip(x, y, w, h); }
};

}  // namespace layout_paint
