#pragma once
// What the framework's drawing tests share: a headless GL ES context of the game's screen size
// with the engine's GL ES driver on it, textures filled from RGBA bytes, and pixel reads with the
// top row first (as the game's coordinates run).

#include "engine/video/gl/COpenGLESDriver.h"
#include "engine/video/gl/GLDispatch.h"
#include "tests/engine/video/DriverTestSupport.h"
#include "tests/engine/video/GLTestContext.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

namespace test {

// (x, y) in pixels of a 1024-row surface, from the top-left.
inline std::array<int, 4> pixel(int x, int y)
{
    unsigned char p[4] = {7, 7, 7, 7};
    pravik::video::g_gl.glReadPixels(x, 1024 - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2], p[3]};
}

inline void expectColour(int x, int y, int r, int g, int b, int tolerance = 1)
{
    const auto p = pixel(x, y);
    EXPECT_NEAR(p[0], r, tolerance) << "at " << x << "," << y;
    EXPECT_NEAR(p[1], g, tolerance) << "at " << x << "," << y;
    EXPECT_NEAR(p[2], b, tolerance) << "at " << x << "," << y;
}

class FrameworkGL : public ::testing::Test {
protected:
    static constexpr int kWidth = 600, kHeight = 1024;

    void SetUp() override
    {
        ASSERT_TRUE(m_context.ok());
        m_driver = pravik::video::createOpenGLES1Driver(nullptr, {kWidth, kHeight});
        ASSERT_NE(m_driver, nullptr);
    }
    void TearDown() override
    {
        if (m_driver)
            m_driver->drop();
    }

    boost::intrusive_ptr<pravik::video::ITexture> makeTexture(int w, int h, const std::vector<unsigned char>& rgba,
                                                              const char* name = "t")
    {
        pravik::video::STextureDesc desc;
        desc.format = pravik::video::EPF_R8G8B8A8;
        desc.width = w;
        desc.height = unsigned(h);
        boost::intrusive_ptr<pravik::video::ITexture> t = m_driver->createTexture(name, desc);
        if (t && !rgba.empty()) {
            void* p = t->map(pravik::video::EBMA_CLIENT_WRITE);
            std::memcpy(p, rgba.data(), rgba.size());
            t->unmap();
        }
        return t;
    }
    boost::intrusive_ptr<pravik::video::ITexture> solidTexture(unsigned char r, unsigned char g, unsigned char b,
                                                               const char* name = "t")
    {
        return makeTexture(2, 2, {r, g, b, 255, r, g, b, 255, r, g, b, 255, r, g, b, 255}, name);
    }

    ProcessBufferHeap m_heap;
    pravik::video::test::GLTestContext m_context{kWidth, kHeight};
    pravik::video::COpenGLESDriver* m_driver = nullptr;
};

}  // namespace test
