#include "engine/CCursorControl.h"

namespace pravik {

CCursorControl::CCursorControl(const core::dimension2d<int>& windowSize, CAndroidOSDevice* device)
    : m_windowWidth(windowSize.Width),
      m_windowHeight(windowSize.Height),
      m_invWindowWidth(windowSize.Width != 0 ? 1.0f / float(windowSize.Width) : 0.0f),
      m_invWindowHeight(windowSize.Height != 0 ? 1.0f / float(windowSize.Height) : 0.0f),
      m_device(device)
{
}

void CCursorControl::setPosition(float x, float y)
{
    setPosition(int(float(m_windowWidth) * x), int(float(m_windowHeight) * y));
}

void CCursorControl::setPosition(const core::position2d<int>& position)
{
    if (position.X != m_x || position.Y != m_y)
        setPosition(position.X, position.Y);
}

core::position2d<float> CCursorControl::getRelativePosition()
{
    if (!m_useReferenceRect)
        return {float(m_x) * m_invWindowWidth, float(m_y) * m_invWindowHeight};
    // The stored rectangle never has a zero width or height (see setReferenceRect).
    return {float(m_x) / float(m_referenceRect.getWidth()), float(m_y) / float(m_referenceRect.getHeight())};
}

void CCursorControl::setReferenceRect(core::rect<int>* rect)
{
    if (!rect) {
        m_useReferenceRect = false;
        return;
    }
    m_referenceRect = *rect;
    m_useReferenceRect = true;
    const int height = m_referenceRect.getHeight();
    if (height == 0 || (height & 1))
        ++m_referenceRect.LowerRightCorner.Y;
    const int width = m_referenceRect.getWidth();
    if (width == 0 || (width & 1))
        ++m_referenceRect.LowerRightCorner.X;
}

} // namespace pravik
