// The device on the GL ES 1.1 driver, over a current llvmpipe pbuffer context.

#include "tests/engine/device/DeviceTestSupport.h"

#include "engine/scene/CAppendMeshBuffer.h"
#include "engine/video/gl/COpenGLESDriver.h"
#include "engine/video/gl/GLDispatch.h"
#include "tests/engine/core/RecordingLogger.h"
#include "tests/engine/video/GLTestContext.h"

#include <gtest/gtest.h>

#include <EGL/egl.h>

namespace {

using namespace pravik;

TEST(DeviceGL, MakesTheGLDriverFromTheRecord)
{
    video::test::GLTestContext context(600, 1024);
    ASSERT_TRUE(context.ok());
    SCreationParameters parameters;
    parameters.DriverType = video::EDT_OGLES1;
    parameters.AppendVertexBufferSize = 0x4000;
    parameters.AppendIndexBufferSize = 0x800;
    const boost::intrusive_ptr<IDevice> device(createDeviceEx(parameters), false);
    ASSERT_TRUE(device);
    auto* driver = dynamic_cast<video::COpenGLESDriver*>(device->getVideoDriver());
    ASSERT_TRUE(driver);
    EXPECT_EQ(driver->getDevice(), device.get());
    EXPECT_EQ(driver->getVersion(), 101u);
    ASSERT_TRUE(driver->getBottomRenderTarget());
    EXPECT_EQ(driver->getBottomRenderTarget()->getSize(), (core::dimension2d<int>{600, 1024}));
    ASSERT_EQ(driver->getAppendBuffers().size(), 2u);
    for (const auto& buffer : driver->getAppendBuffers()) {
        EXPECT_EQ(buffer->VertexCapacity, 0x4000u);
        EXPECT_EQ(buffer->IndexCapacity, 0x800u);
    }
    EXPECT_TRUE(device->get2DDriver());

    driver->setClearColor(video::SColor(20, 200, 60, 255));
    driver->clearBuffers(1);
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{599, 1023}, std::pair{300, 512}}) {
        unsigned char pixel[4] = {1, 2, 3, 4};
        video::g_gl.glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        EXPECT_EQ(pixel[0], 20);
        EXPECT_EQ(pixel[1], 200);
        EXPECT_EQ(pixel[2], 60);
        EXPECT_EQ(pixel[3], 255);
    }
}

TEST(DeviceGL, WithoutACurrentContextThereIsNoDevice)
{
    ASSERT_EQ(eglGetCurrentContext(), EGL_NO_CONTEXT);
    test::SLoggerScope log;
    EXPECT_EQ(test::makeDevice(video::EDT_OGLES1), nullptr);
    EXPECT_TRUE(log.logger().contains("no current EGL context"));
}

}  // namespace
