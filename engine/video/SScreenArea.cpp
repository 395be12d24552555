#include "engine/video/SScreenArea.h"

#include <algorithm>
#include <utility>

namespace pravik::video {

core::dimension2d<int> SScreenArea::setArea(const core::rect<int>& area)
{
    const core::dimension2d<int> previous(width, height);
    const int FW = fullWidth(), FH = fullHeight();
    const int x1 = std::max(std::min(area.LowerRightCorner.X, FW), 0);
    const int x0 = std::clamp(area.UpperLeftCorner.X, 0, x1);
    const int y1 = std::max(std::min(area.LowerRightCorner.Y, FH), 0);
    const int y0 = std::clamp(area.UpperLeftCorner.Y, 0, y1);
    areaX = x0;
    areaY = y0;
    width = x1 - x0;
    height = y1 - y0;
    extraWidth = FW - width;
    extraHeight = FH - height;
    return previous;
}

core::dimension2d<int> SScreenArea::resize(const core::dimension2d<int>& physicalSize)
{
    const bool odd = orientation & 1;
    const int a = odd ? physicalSize.Height : physicalSize.Width;
    const int b = odd ? physicalSize.Width : physicalSize.Height;
    if (hasArea()) {
        const int x1 = std::max(std::min(a, areaX + width), 0);
        areaX = std::clamp(areaX, 0, x1);
        const int y1 = std::max(std::min(b, areaY + height), 0);
        areaY = std::clamp(areaY, 0, y1);
        extraHeight = b + areaY - y1;
        extraWidth = a + areaX - x1;
    }
    width = a - extraWidth;
    height = b - extraHeight;
    return {width, height};
}

void SScreenArea::setOrientation(unsigned newOrientation, core::rect<int>& viewport)
{
    if (newOrientation == orientation) return;
    core::rect<int> deviceViewport = viewport;
    screen2Device(deviceViewport);
    core::rect<int> area(areaX, areaY, areaX + width, areaY + height);
    setArea(core::rect<int>(0, 0, fullWidth(), fullHeight()));
    screen2Device(area);
    if ((newOrientation ^ orientation) & 1) std::swap(width, height);
    orientation = newOrientation;
    device2Screen(area);
    setArea(area);
    device2Screen(deviceViewport);
    viewport = deviceViewport;
}

void SScreenArea::fixUpProjectionMatrixOrientation(core::CMatrix4<float>& m, bool screenBound) const
{
    if (!screenBound || orientation == 0) return;
    m.setDefinitelyIdentityMatrix(false);
    float* e = m.pointer();
    if (orientation == 1 || orientation == 3)
        for (int g = 0; g < 16; g += 4) std::swap(e[g], e[g + 1]);
    if (orientation == 2 || orientation == 3)
        for (int g = 1; g < 16; g += 4) e[g] = -e[g];
    if (orientation == 1 || orientation == 2)
        for (int g = 0; g < 16; g += 4) e[g] = -e[g];
}

bool SScreenArea::fixUpScreenArea(const core::rect<int>& area, int& x, int& y, int& w, int& h, bool allowEmpty,
                                  bool force, bool screenBound) const
{
    w = area.LowerRightCorner.X - area.UpperLeftCorner.X;
    h = area.LowerRightCorner.Y - area.UpperLeftCorner.Y;
    if (!allowEmpty && (w <= 0 || h <= 0)) return false;
    if (!screenBound && !force) {
        x = area.UpperLeftCorner.X;
        y = area.UpperLeftCorner.Y;
        return true;
    }
    core::rect<int> device = area;
    screen2Device(device);
    int fullHeightOnDevice;
    if (screenBound && (orientation & 1)) {
        fullHeightOnDevice = fullWidth();
        std::swap(w, h);
    } else {
        fullHeightOnDevice = fullHeight();
    }
    x = device.UpperLeftCorner.X;
    y = fullHeightOnDevice - device.UpperLeftCorner.Y - h;
    return true;
}

}  // namespace pravik::video
