#include "platform/Egl.h"
#include "tests/platform/ShellHarness.h"

#include <GLES/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

using namespace platform;

TEST(HeadlessVideo, Es11ContextClearsToAColourThatReadsBack)
{
    setenv("QUENDRAX_VIDEO", "headless", 1);
    video_close();
    {
        test::ShellHarness shell;
        ASSERT_TRUE(shell.ok()) << "EGL error 0x" << std::hex << eglGetError();
        EXPECT_STREQ(video_backend_name(), "headless");
        EXPECT_NE(std::strstr(reinterpret_cast<const char*>(glGetString(GL_VERSION)), "OpenGL ES-CM 1.1"), nullptr);
        EGLint w = 0, h = 0;
        eglQuerySurface(shell.display, shell.surface(), EGL_WIDTH, &w);
        eglQuerySurface(shell.display, shell.surface(), EGL_HEIGHT, &h);
        EXPECT_EQ(w, 600);
        EXPECT_EQ(h, 1024);

        glClearColor(42 / 255.f, 7 / 255.f, 42 / 255.f, 1.f);
        glClear(GL_COLOR_BUFFER_BIT);
        uint8_t px[4] = {0, 0, 0, 0};
        glReadPixels(300, 500, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
        EXPECT_EQ(px[0], 42);
        EXPECT_EQ(px[1], 7);
        EXPECT_EQ(px[2], 42);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
    video_close();
}

TEST(HeadlessVideo, UnknownBackendStopsTheRun)
{
    EXPECT_EXIT(
        {
            setenv("QUENDRAX_VIDEO", "wayland", 1);
            video_close();
            egl_get_display();
        },
        testing::ExitedWithCode(2), "unknown QUENDRAX_VIDEO \"wayland\"");
}
