#pragma once
// Frame statistics: frames and primitives per second over windows of at least 1500 ms, and
// the figures of the last frame. Rates use 64-bit products so large primitive counts do not wrap.

namespace pravik::video {

class CFPSCounter {
public:
    void registerFrame(unsigned int nowMs, unsigned int primitives, unsigned int drawCalls, unsigned int drawCalls2D,
                       unsigned int textureBindings);

    int getFPS() const { return m_fps; }
    unsigned int getPrimitive() const { return m_primitives; }
    int getPrimitiveAverage() const { return m_primitiveAverage; }
    unsigned int getPrimitiveTotal() const { return m_primitiveTotal; }
    unsigned int getDrawCalls() const { return m_drawCalls; }
    unsigned int getDrawCalls2D() const { return m_drawCalls2D; }
    unsigned int getTextureBindings() const { return m_textureBindings; }

private:
    int m_fps = 60;
    unsigned int m_primitives = 0;
    unsigned int m_windowStart = 0;
    unsigned int m_windowFrames = 0;
    unsigned int m_windowPrimitives = 0;
    int m_primitiveAverage = 0;
    unsigned int m_primitiveTotal = 0;
    unsigned int m_drawCalls = 0;
    unsigned int m_drawCalls2D = 0;
    unsigned int m_textureBindings = 0;
};

}  // namespace pravik::video
