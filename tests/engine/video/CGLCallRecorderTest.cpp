#include "engine/video/gl/CGLCallRecorder.h"

#include <gtest/gtest.h>

#include "tests/engine/video/GLTestContext.h"

namespace pravik::video {
namespace {

TEST(GLDispatch, LoadsTheExtensionEntryPointsTheLibraryDoesNotExport)
{
    test::GLTestContext context;
    ASSERT_TRUE(context.ok());
    EXPECT_NE(g_gl.glBindFramebufferOES, nullptr);
    EXPECT_NE(g_gl.glGenerateMipmapOES, nullptr);
    EXPECT_NE(g_gl.glMapBufferOES, nullptr);
    EXPECT_NE(g_gl.glBlendEquationOES, nullptr);

    GLuint fbo = 0;
    g_gl.glGenFramebuffersOES(1, &fbo);
    EXPECT_NE(fbo, 0u);
    g_gl.glDeleteFramebuffersOES(1, &fbo);
    EXPECT_EQ(g_gl.glGetError(), GLenum(GL_NO_ERROR));
}

TEST(GLDispatch, RecorderCountsAndForwardsThenRestoresTheTable)
{
    test::GLTestContext context;
    ASSERT_TRUE(context.ok());
    const auto original = g_gl.glEnable;
    {
        CGLCallRecorder recorder;
        g_gl.glEnable(GL_BLEND);
        g_gl.glClearColor(1.0f, 0.5f, 0.0f, 1.0f);
        GLboolean on = GL_FALSE;
        g_gl.glGetBooleanv(GL_BLEND, &on);
        EXPECT_EQ(on, GL_TRUE);  // forwarded to GL
        EXPECT_EQ(recorder.total(), 3u);
        EXPECT_EQ(recorder.count("glEnable"), 1u);
        ASSERT_EQ(recorder.log().size(), 3u);
        EXPECT_EQ(recorder.log()[0], CGLCallRecorder::format("glEnable", GL_BLEND));
        EXPECT_EQ(recorder.log()[0], "glEnable(3042)");
        EXPECT_EQ(recorder.log()[1], "glClearColor(1, 0.5, 0, 1)");
        EXPECT_EQ(recorder.log()[2], "glGetBooleanv(3042, ptr)");
    }
    EXPECT_EQ(g_gl.glEnable, original);
    g_gl.glDisable(GL_BLEND);
}

}  // namespace
}  // namespace pravik::video
