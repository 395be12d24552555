#include "engine/video/CFPSCounter.h"

#include <cmath>
#include <cstdint>

namespace pravik::video {

void CFPSCounter::registerFrame(unsigned int now, unsigned int primitives, unsigned int drawCalls,
                                unsigned int drawCalls2D, unsigned int textureBindings)
{
    ++m_windowFrames;
    m_primitiveTotal += primitives;
    m_windowPrimitives += primitives;
    m_primitives = primitives;
    m_drawCalls = drawCalls;
    m_drawCalls2D = drawCalls2D;
    m_textureBindings = textureBindings;

    const unsigned int elapsed = now - m_windowStart;
    if (elapsed < 1500) return;
    const float r = 1.0f / float(elapsed);
    m_fps = int(std::ceil(float(std::uint64_t(m_windowFrames) * 1000u) * r));
    m_primitiveAverage = int(std::ceil(float(std::uint64_t(m_windowPrimitives) * 1000u) * r));
    m_windowFrames = 0;
    m_windowPrimitives = 0;
    m_windowStart = now;
}

}  // namespace pravik::video
