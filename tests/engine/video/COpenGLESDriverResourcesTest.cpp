#include <gtest/gtest.h>

#include <vector>

#include "engine/video/gl/CGLCallRecorder.h"
#include "engine/video/gl/COpenGLESDriver_resources.h"
#include "tests/engine/video/DriverTestSupport.h"
#include "tests/engine/video/GLTestContext.h"

namespace pravik::video {
namespace {

class COpenGLESDriverResourcesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_context.ok());
        m_driver = createOpenGLES1Driver(nullptr, {64, 64});
        ASSERT_NE(m_driver, nullptr);
    }
    void TearDown() override
    {
        if (m_driver) m_driver->drop();
    }
    boost::intrusive_ptr<ITexture> create(E_TEXTURE_TYPE type, E_PIXEL_FORMAT format, int w, unsigned h,
                                          E_TEXTURE_LAYOUT layout = ETL_LINEAR)
    {
        STextureDesc desc;
        desc.type = type;
        desc.format = format;
        desc.layout = layout;
        desc.width = w;
        desc.height = h;
        return m_driver->createTexture("t", desc);
    }

    ::test::ProcessBufferHeap m_heap;
    test::GLTestContext m_context{64, 64};
    COpenGLESDriver* m_driver = nullptr;
};

TEST_F(COpenGLESDriverResourcesTest, TextureRequestsAreRefusedOrAdjustedByTheFormatTable)
{
    const struct {
        const char* why;
        E_TEXTURE_TYPE type;
        E_PIXEL_FORMAT format;
        int w;
        unsigned h;
        E_TEXTURE_LAYOUT layout;
        bool made;
        E_PIXEL_FORMAT madeAs;
    } cases[] = {
        {"plain RGBA", ETT_2D, EPF_R8G8B8A8, 8, 8, ETL_LINEAR, true, EPF_R8G8B8A8},
        {"ARGB becomes RGBA", ETT_2D, EPF_A8R8G8B8, 8, 8, ETL_LINEAR, true, EPF_R8G8B8A8},
        {"packed depth stencil texture", ETT_2D, EPF_DEPTH24_STENCIL8, 8, 8, ETL_LINEAR, false, EPF_COUNT},
        {"depth without depth textures", ETT_2D, EPF_DEPTH16, 8, 8, ETL_LINEAR, false, EPF_COUNT},
        {"3D depth", ETT_3D, EPF_DEPTH16, 8, 8, ETL_LINEAR, false, EPF_COUNT},
        {"tiled", ETT_2D, EPF_R8G8B8A8, 8, 8, ETL_TILED_32, false, EPF_COUNT},
        {"swizzled, not a power of two", ETT_2D, EPF_R8G8B8A8, 60, 64, ETL_SWIZZLED, false, EPF_COUNT},
        {"swizzled power of two", ETT_2D, EPF_R8G8B8A8, 64, 64, ETL_SWIZZLED, true, EPF_R8G8B8A8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        auto t = create(c.type, c.format, c.w, c.h, c.layout);
        ASSERT_EQ(bool(t), c.made);
        if (!t) continue;
        EXPECT_EQ(t->getPixelFormat(), c.madeAs);
        EXPECT_EQ(t->getLayout(), ETL_LINEAR);
    }
}

TEST_F(COpenGLESDriverResourcesTest, TextureUnitsAreCheckedAndClearingARecordCallsNoGL)
{
    auto t = create(ETT_2D, EPF_R8G8B8A8, 4, 4);
    EXPECT_FALSE(m_driver->setTexture(4, t.get(), ETT_2D));
    CGLCallRecorder recorder;
    EXPECT_TRUE(m_driver->setTexture(0, nullptr, ETT_2D));
    EXPECT_EQ(recorder.total(), 0u);
    EXPECT_TRUE(m_driver->setTexture(1, t.get(), ETT_2D));
    EXPECT_GT(recorder.count("glTexImage2D"), 0u);
    GLint bound = 0;
    g_gl.glActiveTexture(GL_TEXTURE1);
    g_gl.glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);  // on the unit asked for, not elsewhere
    EXPECT_EQ(GLuint(bound), static_cast<COpenGLESDriver::CTexture*>(t.get())->getGLName());
    recorder.clear();
    EXPECT_TRUE(m_driver->setTexture(1, t.get(), ETT_2D));  // the same, clean texture
    EXPECT_EQ(recorder.total(), 0u);
    t->setWrapS(ETC_MIRROR);
    EXPECT_TRUE(m_driver->setTexture(1, t.get(), ETT_2D));
    EXPECT_EQ(recorder.log(), (std::vector<std::string>{CGLCallRecorder::format(
                                  "glTexParameteri", GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_MIRRORED_REPEAT_OES)}));
    m_driver->setTexture(1, nullptr, ETT_2D);
}

TEST_F(COpenGLESDriverResourcesTest, VertexBuffersUploadOnceAndBindThroughTheCache)
{
    std::vector<float> data(12, 1.f);
    auto buffer = m_driver->createBuffer(EBT_VERTEX, EBU_STATIC, unsigned(data.size() * 4), data.data(), false);
    CGLCallRecorder recorder;
    EXPECT_EQ(m_driver->setBuffer(buffer.get()), nullptr);  // offsets into the GL buffer
    EXPECT_EQ(recorder.count("glBufferData"), 1u);
    EXPECT_NE(static_cast<COpenGLESDriver::CBuffer*>(buffer.get())->getGLName(), 0u);
    recorder.clear();
    m_driver->setBuffer(buffer.get());
    EXPECT_EQ(recorder.total(), 0u);

    auto client = m_driver->createBuffer(EBT_VERTEX, EBU_CLIENT_ONLY, unsigned(data.size() * 4), data.data(), false);
    EXPECT_EQ(m_driver->setBuffer(client.get()), reinterpret_cast<const unsigned char*>(data.data()));
    EXPECT_EQ(recorder.log(), (std::vector<std::string>{CGLCallRecorder::format("glBindBuffer", GL_ARRAY_BUFFER, 0u)}));
    EXPECT_EQ(g_gl.glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(COpenGLESDriverResourcesTest, PackedDepthStencilBufferCompletesARenderTarget)
{
    auto texture = create(ETT_2D, EPF_R8G8B8A8, 16, 16);
    auto* depth = static_cast<COpenGLESDriver::CRenderBuffer*>(m_driver->createRenderBuffer({16, 16}, EPF_DEPTH24_STENCIL8));
    ASSERT_NE(depth, nullptr);
    auto* small = static_cast<COpenGLESDriver::CRenderBuffer*>(m_driver->createRenderBuffer({8, 8}, EPF_DEPTH16));
    ASSERT_NE(small, nullptr);
    {
        auto target = m_driver->createRenderTarget(texture, 0);
        ASSERT_TRUE(target);
        auto* rt = static_cast<COpenGLESDriver::CRenderTarget*>(target.get());
        EXPECT_FALSE(rt->addTarget(COpenGLESDriver::CRenderTarget::EAT_DEPTH, small));  // another size
        EXPECT_FALSE(rt->addTarget(COpenGLESDriver::CRenderTarget::EAT_COLOR, texture, ETCMF_POSITIVE_X, 0));  // one only
        EXPECT_TRUE(rt->addTarget(COpenGLESDriver::CRenderTarget::EAT_DEPTH_STENCIL, depth));
        EXPECT_EQ(rt->getTargetCount(COpenGLESDriver::CRenderTarget::EAT_DEPTH_STENCIL), 1u);
        ASSERT_TRUE(m_driver->pushRenderTarget(target));
        EXPECT_EQ(rt->getStatus(), GLenum(GL_FRAMEBUFFER_COMPLETE_OES));
        m_driver->popRenderTarget();
    }
    depth->drop();
    small->drop();
    EXPECT_EQ(g_gl.glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(COpenGLESDriverResourcesTest, AttachmentsAreReplacedByIndexAndKeepOneColourFormat)
{
    using RT = COpenGLESDriver::CRenderTarget;
    auto red = create(ETT_2D, EPF_R8G8B8A8, 16, 16), other = create(ETT_2D, EPF_R8G8B8A8, 16, 16);
    auto rgb = create(ETT_2D, EPF_R8G8B8, 16, 16);
    auto* packed = static_cast<COpenGLESDriver::CRenderBuffer*>(m_driver->createRenderBuffer({16, 16}, EPF_DEPTH24_STENCIL8));
    auto* depth16 = static_cast<COpenGLESDriver::CRenderBuffer*>(m_driver->createRenderBuffer({16, 16}, EPF_DEPTH16));
    ASSERT_NE(packed, nullptr);
    ASSERT_NE(depth16, nullptr);
    {
        auto target = m_driver->createRenderTarget(red, 0);
        ASSERT_TRUE(target);
        auto* rt = static_cast<RT*>(target.get());
        EXPECT_FALSE(rt->setTarget(RT::EAT_COLOR, other, ETCMF_POSITIVE_X, 0, 1));  // no attachment 1
        // The only colour attachment may change the format; the count stays.
        EXPECT_TRUE(rt->setTarget(RT::EAT_COLOR, rgb, ETCMF_POSITIVE_X, 0, 0));
        EXPECT_EQ(rt->getColorFormat(), EPF_R8G8B8);
        EXPECT_EQ(rt->getTargetCount(RT::EAT_COLOR), 1u);
        EXPECT_TRUE(rt->setTarget(RT::EAT_COLOR, other, ETCMF_POSITIVE_X, 0, 0));
        EXPECT_EQ(rt->getColorFormat(), EPF_R8G8B8A8);

        // A plain depth buffer may not sit beside a packed stencil; replacing depth and stencil
        // together with one packed object may.
        EXPECT_TRUE(rt->addTarget(RT::EAT_STENCIL, packed));
        EXPECT_FALSE(rt->addTarget(RT::EAT_DEPTH, depth16));
        EXPECT_TRUE(rt->addTarget(RT::EAT_DEPTH, packed));
        EXPECT_EQ(rt->getTargetCount(RT::EAT_DEPTH_STENCIL), 1u);
        EXPECT_FALSE(rt->addTarget(RT::EAT_DEPTH_STENCIL, packed));  // already there
        EXPECT_TRUE(rt->setTarget(RT::EAT_DEPTH_STENCIL, packed, 0));
        EXPECT_EQ(rt->getTargetCount(RT::EAT_DEPTH_STENCIL), 1u);
        EXPECT_FALSE(rt->setTarget(RT::EAT_DEPTH_STENCIL, depth16, 0));  // not a packed format
        EXPECT_FALSE(rt->addTarget(RT::E_ATTACHMENT_TYPE(7), depth16));  // unknown type: refused, no crash
        EXPECT_TRUE(rt->removeTarget(RT::EAT_DEPTH_STENCIL, 0));
        EXPECT_EQ(rt->getTargetCount(RT::EAT_DEPTH), 0u);
        EXPECT_EQ(rt->getTargetCount(RT::EAT_STENCIL), 0u);
        EXPECT_TRUE(rt->setTarget(RT::EAT_DEPTH, depth16, 0));
        ASSERT_TRUE(m_driver->pushRenderTarget(target));
        EXPECT_EQ(rt->getStatus(), GLenum(GL_FRAMEBUFFER_COMPLETE_OES));
        m_driver->popRenderTarget();
    }
    packed->drop();
    depth16->drop();
    EXPECT_EQ(g_gl.glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace
}  // namespace pravik::video
