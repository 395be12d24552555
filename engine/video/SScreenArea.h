#pragma once
// The geometry of the screen framebuffer: the area the application draws in (width x height),
// where it lies in the logical framebuffer (area x, y) and how much of that framebuffer lies
// outside it (extra width, height), plus the screen orientation (0 to 3 for 0, 90, 180 and 270
// degrees). Screen coordinates have their origin at the area's top left; device coordinates
// are those of the physical framebuffer. For odd orientations the logical framebuffer is the
// physical one with width and height exchanged.

#include "engine/core/CMatrix4.h"
#include "engine/core/dimension2d.h"
#include "engine/core/rect.h"

namespace pravik::video {

struct SScreenArea {
    int width = 0;
    int height = 0;
    int areaX = 0;
    int areaY = 0;
    int extraWidth = 0;
    int extraHeight = 0;
    unsigned orientation = 0;

    int fullWidth() const { return extraWidth + width; }
    int fullHeight() const { return extraHeight + height; }
    bool hasArea() const { return extraWidth != 0 || extraHeight != 0; }

    // Clamps the area into the logical framebuffer and returns the previous size.
    core::dimension2d<int> setArea(const core::rect<int>& area);
    // Follows a new physical size, keeping the area; returns the new size.
    core::dimension2d<int> resize(const core::dimension2d<int>& physicalSize);
    // Turns the framebuffer, keeping area and viewport (screen coordinates) on the same
    // device pixels. Nothing happens when the orientation is the current one.
    void setOrientation(unsigned newOrientation, core::rect<int>& viewport);

    template <typename T> void screen2DevicePos(T& x, T& y) const;
    template <typename T> void device2ScreenPos(T& x, T& y) const;
    template <typename T> void screen2Device(core::rect<T>& r) const;
    template <typename T> void device2Screen(core::rect<T>& r) const;

    // Turns a projection for the orientation; only while drawing to the screen.
    void fixUpProjectionMatrixOrientation(core::CMatrix4<float>& m, bool screenBound) const;
    // An area in screen coordinates (origin top left) as GL viewport or scissor values
    // (origin bottom left). False for an empty area unless allowEmpty. Off screen, without
    // force, the area is taken as it is.
    bool fixUpScreenArea(const core::rect<int>& area, int& x, int& y, int& w, int& h, bool allowEmpty, bool force,
                         bool screenBound) const;
};

template <typename T>
void SScreenArea::screen2DevicePos(T& x, T& y) const
{
    if (orientation == 0 && !hasArea()) return;
    const T X = x + T(areaX), Y = y + T(areaY);
    const T FW = T(fullWidth()), FH = T(fullHeight());
    switch (orientation) {
    case 0: x = X; y = Y; break;
    case 1: x = Y; y = FW - X; break;
    case 2: x = FW - X; y = FH - Y; break;
    default: x = FH - Y; y = X; break;
    }
}

template <typename T>
void SScreenArea::device2ScreenPos(T& x, T& y) const
{
    if (orientation == 0 && !hasArea()) return;
    const T FW = T(fullWidth()), FH = T(fullHeight());
    T X = x, Y = y;
    switch (orientation) {
    case 0: break;
    case 1: X = FW - y; Y = x; break;
    case 2: X = FW - x; Y = FH - y; break;
    default: X = y; Y = FH - x; break;
    }
    x = X - T(areaX);
    y = Y - T(areaY);
}

template <typename T>
void SScreenArea::screen2Device(core::rect<T>& r) const
{
    if (orientation == 0 && !hasArea()) return;
    auto& a = r.UpperLeftCorner;
    auto& b = r.LowerRightCorner;
    screen2DevicePos(a.X, a.Y);
    screen2DevicePos(b.X, b.Y);
    if (orientation == 2) std::swap(a, b);
    else if (orientation == 3) std::swap(a.X, b.X);
    else if (orientation == 1) std::swap(a.Y, b.Y);
}

template <typename T>
void SScreenArea::device2Screen(core::rect<T>& r) const
{
    if (orientation == 0 && !hasArea()) return;
    auto& a = r.UpperLeftCorner;
    auto& b = r.LowerRightCorner;
    device2ScreenPos(a.X, a.Y);
    device2ScreenPos(b.X, b.Y);
    if (orientation == 2) std::swap(a, b);
    else if (orientation == 3) std::swap(a.Y, b.Y);
    else if (orientation == 1) std::swap(a.X, b.X);
}

}  // namespace pravik::video
