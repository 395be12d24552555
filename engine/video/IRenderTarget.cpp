// Render-target viewport clamping.

#include "engine/video/IRenderTarget.h"

#include "engine/video/IVideoDriver.h"

#include <algorithm>

namespace pravik::video {

void IRenderTarget::setViewport(const core::rect<int>& viewport)
{
    core::rect<int> v = viewport;
    v.LowerRightCorner.X = std::min(v.LowerRightCorner.X, m_size.Width);
    v.LowerRightCorner.Y = std::min(v.LowerRightCorner.Y, m_size.Height);
    v.UpperLeftCorner.X = std::max(v.UpperLeftCorner.X, 0);
    v.UpperLeftCorner.Y = std::max(v.UpperLeftCorner.Y, 0);
    v.UpperLeftCorner.Y = std::min(v.UpperLeftCorner.Y, v.LowerRightCorner.Y);
    v.UpperLeftCorner.X = std::min(v.UpperLeftCorner.X, v.LowerRightCorner.X);
    m_viewport = v;
    if (m_driver && m_driver->getCurrentRenderTarget() == this) m_driver->setViewportImpl(m_viewport);
}

}  // namespace pravik::video
