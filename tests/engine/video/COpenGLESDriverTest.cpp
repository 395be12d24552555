#include "engine/video/gl/COpenGLESDriver.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/video/gl/CGLCallRecorder.h"
#include "engine/video/gl/COpenGLESDriver_resources.h"
#include "tests/engine/video/DriverTestSupport.h"
#include "tests/engine/video/GLTestContext.h"

namespace pravik::video {
namespace {

class COpenGLESDriverTest : public ::testing::Test {
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
        CCommonGLDriverBase::clearHiddenExtensions();
    }

    boost::intrusive_ptr<ITexture> makeTexture(int w, int h, const std::vector<unsigned char>& rgba,
                                               bool renderTarget = false)
    {
        STextureDesc desc;
        desc.format = EPF_R8G8B8A8;
        desc.width = w;
        desc.height = unsigned(h);
        desc.isRenderTarget = renderTarget;
        boost::intrusive_ptr<ITexture> t = m_driver->createTexture("t", desc);
        if (t && !rgba.empty()) {
            void* p = t->map(EBMA_CLIENT_WRITE);
            std::memcpy(p, rgba.data(), rgba.size());
            t->unmap();
        }
        return t;
    }

    ::test::ProcessBufferHeap m_heap;
    test::GLTestContext m_context{64, 64};
    COpenGLESDriver* m_driver = nullptr;
};

std::vector<unsigned char> readPixel(int x, int y)
{
    std::vector<unsigned char> p(4, 7);
    g_gl.glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
    return p;
}

TEST_F(COpenGLESDriverTest, StartsOnMesaAsVersion101WithTheFeaturesItsExtensionsGive)
{
    EXPECT_EQ(m_driver->getVersion(), 101u);
    EXPECT_EQ(m_driver->getDriverType(), EDT_OGLES1);
    EXPECT_TRUE(m_driver->queryExtension(EGLE_OES_framebuffer_object));
    std::vector<unsigned> features;
    for (unsigned f = 0; f < EVDF_FEATURE_COUNT; ++f)
        if (m_driver->queryFeature(E_VIDEO_DRIVER_FEATURE(f))) features.push_back(f);
    EXPECT_EQ(features, (std::vector<unsigned>{0, 1, 2, 4, 5, 6, 8, 11, 12, 17, 18, 19, 24}));
    EXPECT_EQ(m_driver->getTextureUnitCount(), 4u);
    EXPECT_EQ(m_driver->getMaxUserClipPlanes(), 6u);
    EXPECT_EQ(m_driver->getGLFormat(EPF_R8G8B8A8).renderTargetFormat, EPF_R8G8B8A8);
    EXPECT_EQ(m_driver->getGLFormat(EPF_DEPTH24_STENCIL8).renderBufferFormat, unsigned(GL_DEPTH24_STENCIL8_OES));
    EXPECT_THROW(m_driver->queryExtension(E_GL_EXTENSION(EGLE_COUNT)), std::out_of_range);
    EXPECT_EQ(g_gl.glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(COpenGLESDriverTest, ExtensionTextIsReadNameByNameTheLastOneIncluded)
{
    boost::intrusive_ptr<COpenGLESDriver> fresh(new COpenGLESDriver(nullptr, {8, 8}), false);
    const char* text = "GL_OES_texture_npot GL_unknown_thing  GL_OES_depth24";
    fresh->initExtensions(reinterpret_cast<const unsigned char*>(text));
    EXPECT_TRUE(fresh->queryExtension(EGLE_OES_texture_npot));
    EXPECT_TRUE(fresh->queryExtension(EGLE_OES_depth24));  // no space after it
    EXPECT_FALSE(fresh->queryExtension(EGLE_OES_framebuffer_object));
    fresh->initExtensions(nullptr);
}

TEST_F(COpenGLESDriverTest, UnchangedStateMakesNoGLCall)
{
    const struct {
        const char* why;
        void (*set)(COpenGLESDriver&);
        const char* call;
    } cases[] = {
        {"blend", [](COpenGLESDriver& d) { d.setBlendEnable(true); }, "glEnable"},
        {"blend func", [](COpenGLESDriver& d) { d.setBlendFunc(EBF_SRC_ALPHA, EBF_ONE_MINUS_SRC_ALPHA); }, "glBlendFunc"},
        {"clear colour", [](COpenGLESDriver& d) { d.setClearColor(SColor(255, 0, 0, 255)); }, "glClearColor"},
        {"clear depth", [](COpenGLESDriver& d) { d.setClearDepth(0.5f); }, "glClearDepthf"},
        {"colour mask", [](COpenGLESDriver& d) { d.setColorMask(true, false, true, false); }, "glColorMask"},
        {"depth func", [](COpenGLESDriver& d) { d.setDepthFunc(ECF_GREATER); }, "glDepthFunc"},
        {"depth range", [](COpenGLESDriver& d) { d.setDepthRange(0.25f, 0.75f); }, "glDepthRangef"},
        {"cull face", [](COpenGLESDriver& d) { d.setCullFace(EFS_FRONT); }, "glCullFace"},
        {"front face", [](COpenGLESDriver& d) { d.setFrontFace(EFW_CW); }, "glFrontFace"},
        {"line width", [](COpenGLESDriver& d) { d.setLineWidth(2.f); }, "glLineWidth"},
        {"polygon offset", [](COpenGLESDriver& d) { d.setPolygonOffset(1.f, 2.f); }, "glPolygonOffset"},
        {"scissor", [](COpenGLESDriver& d) { d.setScissor(core::rect<int>(1, 2, 30, 40)); }, "glScissor"},
        {"blend equation", [](COpenGLESDriver& d) { d.setBlendEquation(EBE_SUBTRACT); }, "glBlendEquationOES"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        CGLCallRecorder recorder;
        c.set(*m_driver);
        EXPECT_EQ(recorder.count(c.call), 1u);
        recorder.clear();
        c.set(*m_driver);
        EXPECT_EQ(recorder.total(), 0u);
    }
    EXPECT_EQ(m_driver->getClearDepth(), 0.5f);
    EXPECT_EQ(g_gl.glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(COpenGLESDriverTest, WholeRecordAndFlippedTargetsReachGLAsExpected)
{
    detail::driver::SRenderState state;
    m_driver->getRenderState(state);
    state.clearColor = SColor(255, 0, 0, 255);
    CGLCallRecorder recorder;
    m_driver->setRenderState(state);
    EXPECT_EQ(recorder.log(), (std::vector<std::string>{"glClearColor(1, 0, 0, 1)"}));
    recorder.clear();
    m_driver->setFlipped(true);
    m_driver->setFrontFace(EFW_CW);
    EXPECT_EQ(recorder.countLogged(CGLCallRecorder::format("glFrontFace", GL_CCW)), 1u);
    m_driver->setFlipped(false);
}

TEST_F(COpenGLESDriverTest, PassRecordsSwitchGroupsOffWhenTheNextPassLeavesThemOut)
{
    detail::renderpass::SRenderState coverage;
    coverage.set(1, 25, 1, 1);
    coverage.sampleCoverageValue = 0.5f;
    m_driver->applyRenderPass(coverage);
    EXPECT_TRUE(m_driver->getSampleCoverageEnable());
    CGLCallRecorder recorder;
    m_driver->applyRenderPass(detail::renderpass::SRenderState());
    EXPECT_EQ(recorder.countLogged(CGLCallRecorder::format("glDisable", GL_SAMPLE_COVERAGE)), 1u);
    GLboolean on = GL_TRUE;
    g_gl.glGetBooleanv(GL_SAMPLE_COVERAGE, &on);
    EXPECT_EQ(on, GL_FALSE);
    recorder.clear();
    m_driver->applyRenderPass(detail::renderpass::SRenderState());
    EXPECT_EQ(recorder.total(), 0u);
}

TEST_F(COpenGLESDriverTest, ViewportIsTurnedForTheScreenOnlyAndSentOnce)
{
    CGLCallRecorder recorder;
    m_driver->setViewportImpl(core::rect<int>(0, 0, 32, 16));
    m_driver->setViewportImpl(core::rect<int>(0, 0, 32, 16));
    EXPECT_EQ(recorder.log(), (std::vector<std::string>{"glViewport(0, 48, 32, 16)"}));  // origin bottom left
    recorder.clear();
    m_driver->setOrientation(EOO_180);
    m_driver->setViewportImpl(core::rect<int>(0, 0, 32, 16));
    EXPECT_EQ(recorder.countLogged("glViewport(32, 0, 32, 16)"), 1u);
    m_driver->setOrientation(EOO_0);

    auto texture = makeTexture(16, 16, {}, true);
    auto target = m_driver->createRenderTarget(texture, 0);
    ASSERT_TRUE(target);
    m_driver->pushRenderTarget(target);
    recorder.clear();
    m_driver->setViewportImpl(core::rect<int>(0, 0, 8, 4));
    EXPECT_EQ(recorder.countLogged("glViewport(0, 0, 8, 4)"), 1u);  // off screen: no flip, no turn
    m_driver->popRenderTarget();
}

TEST_F(COpenGLESDriverTest, RenderTargetOnAnUploadedTextureIsCompleteAndClearsToRed)
{
    auto texture = makeTexture(16, 16, std::vector<unsigned char>(16 * 16 * 4, 0), true);
    ASSERT_TRUE(texture);
    EXPECT_EQ(texture->getPixelFormat(), EPF_R8G8B8A8);
    auto target = m_driver->createRenderTarget(texture, 0);
    ASSERT_TRUE(target);
    ASSERT_TRUE(m_driver->pushRenderTarget(target));
    auto* rt = static_cast<COpenGLESDriver::CRenderTarget*>(target.get());
    EXPECT_EQ(rt->getStatus(), GLenum(GL_FRAMEBUFFER_COMPLETE_OES));
    EXPECT_EQ(g_gl.glCheckFramebufferStatusOES(GL_FRAMEBUFFER_OES), GLenum(GL_FRAMEBUFFER_COMPLETE_OES));
    EXPECT_TRUE(texture->getStateFlags() & 0x08);  // uploaded
    m_driver->setClearColor(SColor(255, 0, 0, 255));
    m_driver->clearBuffers(1);
    EXPECT_EQ(readPixel(5, 5), (std::vector<unsigned char>{255, 0, 0, 255}));
    m_driver->popRenderTarget();
    EXPECT_EQ(g_gl.glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(COpenGLESDriverTest, TextureUploadedByTheDriverSamplesItsColoursWithPlainGL)
{
    // 2 x 2: red, green / blue, white, nearest filtering.
    auto texture = makeTexture(2, 2, {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255});
    ASSERT_TRUE(texture);
    texture->setMinFilter(ETFT_NEAREST);
    texture->setMagFilter(ETFT_NEAREST);
    ASSERT_TRUE(m_driver->setTexture(0, texture.get(), ETT_2D));
    auto* t = static_cast<COpenGLESDriver::CTexture*>(texture.get());
    ASSERT_NE(t->getGLName(), 0u);

    // Plain GL from here on; the driver's shadow is put back afterwards.
    g_gl.glViewport(0, 0, 64, 64);
    g_gl.glMatrixMode(GL_PROJECTION);
    g_gl.glLoadIdentity();
    g_gl.glMatrixMode(GL_MODELVIEW);
    g_gl.glLoadIdentity();
    g_gl.glDisable(GL_DEPTH_TEST);
    g_gl.glActiveTexture(GL_TEXTURE0);
    g_gl.glEnable(GL_TEXTURE_2D);
    g_gl.glBindTexture(GL_TEXTURE_2D, t->getGLName());
    g_gl.glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    const GLfloat positions[] = {-1, -1, 1, -1, -1, 1, 1, 1};
    const GLfloat coords[] = {0, 0, 1, 0, 0, 1, 1, 1};
    g_gl.glBindBuffer(GL_ARRAY_BUFFER, 0);
    g_gl.glEnableClientState(GL_VERTEX_ARRAY);
    g_gl.glVertexPointer(2, GL_FLOAT, 0, positions);
    g_gl.glClientActiveTexture(GL_TEXTURE0);
    g_gl.glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    g_gl.glTexCoordPointer(2, GL_FLOAT, 0, coords);
    g_gl.glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    g_gl.glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    EXPECT_EQ(readPixel(10, 10), (std::vector<unsigned char>{255, 0, 0, 255}));
    EXPECT_EQ(readPixel(50, 10), (std::vector<unsigned char>{0, 255, 0, 255}));
    EXPECT_EQ(readPixel(10, 50), (std::vector<unsigned char>{0, 0, 255, 255}));
    EXPECT_EQ(readPixel(50, 50), (std::vector<unsigned char>{255, 255, 255, 255}));
    EXPECT_EQ(g_gl.glGetError(), GLenum(GL_NO_ERROR));
    m_driver->restoreShadowState();
}

TEST_F(COpenGLESDriverTest, DXT1IsAdvertisedButItsUploadFails)
{
    STextureDesc desc;
    desc.format = EPF_COMPRESSED_RGB_S3TC_DXT1;
    desc.width = 4;
    desc.height = 4;
    auto texture = m_driver->createTexture("dxt1", desc);
    ASSERT_TRUE(texture);
    EXPECT_EQ(texture->getPixelFormat(), EPF_COMPRESSED_RGB_S3TC_DXT1);
    void* p = texture->map(EBMA_CLIENT_WRITE);
    ASSERT_NE(p, nullptr);
    std::memset(p, 0, 8);
    texture->unmap();
    EXPECT_FALSE(texture->bind());
    EXPECT_TRUE(texture->getStateFlags() & 0x10);   // failed
    EXPECT_FALSE(texture->getStateFlags() & 0x08);  // and without a GL object
}

TEST_F(COpenGLESDriverTest, MovedScreenAreaClearsTheWholeSurfaceBlackOnce)
{
    m_driver->setClearColor(SColor(255, 0, 0, 255));
    m_driver->clearBuffers(1);
    m_driver->setClearColor(SColor(0, 0, 255, 255));
    m_driver->setScissorEnable(true);
    m_driver->setScissor(core::rect<int>(0, 0, 8, 8));
    m_driver->setFramebufferScreen(core::rect<int>(0, 0, 32, 32));
    m_driver->clearBuffers(0);
    EXPECT_EQ(readPixel(60, 60), (std::vector<unsigned char>{0, 0, 0, 0}));  // outside scissor and area
    GLfloat clear[4] = {};
    g_gl.glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[2], 1.f);  // the clear colour is back
    GLboolean scissor = GL_FALSE;
    g_gl.glGetBooleanv(GL_SCISSOR_TEST, &scissor);
    EXPECT_EQ(scissor, GL_TRUE);
    CGLCallRecorder recorder;
    m_driver->clearBuffers(0);
    EXPECT_EQ(recorder.count("glClear"), 0u);
}

TEST_F(COpenGLESDriverTest, ScreenShotReadsTheClearedScreen)
{
    m_driver->setClearColor(SColor(0, 0, 255, 255));
    m_driver->clearBuffers(1);
    auto image = m_driver->createScreenShot();
    ASSERT_TRUE(image);
    EXPECT_EQ(image->getColorFormat(), EPF_R8G8B8);
    const auto* pixels = static_cast<const unsigned char*>(image->getData());
    EXPECT_EQ(pixels[0], 0);
    EXPECT_EQ(pixels[2], 255);
}

TEST_F(COpenGLESDriverTest, ScreenShotIsNullWhenGLRefusesTheRead)
{
    const auto real = g_gl.glReadPixels;
    // A read GL refuses: an enumeration it does not know as the format.
    g_gl.glReadPixels = [](GLint x, GLint y, GLsizei w, GLsizei h, GLenum, GLenum type, void* pixels) {
        ::glReadPixels(x, y, w, h, 0x1234, type, pixels);
    };
    auto image = m_driver->createScreenShot();
    g_gl.glReadPixels = real;
    EXPECT_FALSE(image);
    EXPECT_EQ(g_gl.glGetError(), GLenum(GL_NO_ERROR));  // the error was taken, not left behind
}

// Records what reaches the driver's copy after the checks and clipping.
class CCaptureRecordingDriver : public COpenGLESDriver {
public:
    using COpenGLESDriver::COpenGLESDriver;
    bool captureFramebufferImpl(const boost::intrusive_ptr<ITexture>&, const core::position2d<int>& d,
                                const core::rect<int>& s, unsigned char, E_TEXTURE_CUBE_MAP_FACE, bool) override
    {
        destination = d;
        source = s;
        return true;
    }
    core::position2d<int> destination;
    core::rect<int> source;
};

TEST(COpenGLESDriverCapture, SourceIsShiftedByNegativeDestinationsAndClippedToTheViewport)
{
    ::test::ProcessBufferHeap heap;
    test::GLTestContext context(64, 64);
    ASSERT_TRUE(context.ok());
    ASSERT_TRUE(loadGLDispatch());
    boost::intrusive_ptr<CCaptureRecordingDriver> driver(new CCaptureRecordingDriver(nullptr, {64, 64}), false);
    ASSERT_TRUE(driver->initDriver());
    STextureDesc desc;
    desc.format = EPF_R8G8B8A8;
    desc.width = 32;
    desc.height = 32;
    boost::intrusive_ptr<ITexture> texture = driver->createTexture("capture", desc);
    ASSERT_TRUE(texture);
    const auto face = E_TEXTURE_CUBE_MAP_FACE(0);
    struct Case {
        core::position2d<int> destination;
        core::rect<int> source;
        core::position2d<int> wantDestination;
        core::rect<int> wantSource;
    };
    const Case cases[] = {
        {{-4, 0}, {0, 0, 16, 16}, {0, 0}, {4, 0, 16, 16}},
        {{2, -3}, {0, 0, 16, 16}, {2, 0}, {0, 3, 16, 16}},
        {{0, 0}, {50, 50, 100, 100}, {0, 0}, {50, 50, 64, 64}},
        {{0, 0}, {-8, 70, 10, 90}, {0, 0}, {0, 64, 10, 64}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.destination.X << "," << c.destination.Y);
        ASSERT_TRUE(driver->captureFramebuffer(texture, c.destination, c.source, 0, face, false));
        EXPECT_EQ(driver->destination, c.wantDestination);
        EXPECT_EQ(driver->source, c.wantSource);
    }
    const core::rect<int> any(0, 0, 8, 8);
    EXPECT_FALSE(driver->captureFramebuffer(nullptr, {0, 0}, any, 0, face, false));
    EXPECT_FALSE(driver->captureFramebuffer(texture, {32, 0}, any, 0, face, false));
    EXPECT_FALSE(driver->captureFramebuffer(texture, {0, 32}, any, 0, face, false));
    EXPECT_FALSE(driver->captureFramebuffer(texture, {0, 0}, any, 1, face, false));  // one level only
    EXPECT_FALSE(driver->captureFramebuffer(texture, {0, 0}, any, 0, E_TEXTURE_CUBE_MAP_FACE(1), false));
    // The driver itself cannot copy the framebuffer into a texture.
    EXPECT_FALSE(driver->COpenGLESDriver::captureFramebufferImpl(texture, {0, 0}, any, 0, face, false));
}

TEST(COpenGLESDriverWithoutFramebufferObjects, RenderTargetsCopyFromTheBackBuffer)
{
    ::test::ProcessBufferHeap heap;
    test::GLTestContext context(64, 64);
    ASSERT_TRUE(context.ok());
    CCommonGLDriverBase::hideExtensions({EGLE_OES_framebuffer_object});
    COpenGLESDriver* driver = createOpenGLES1Driver(nullptr, {64, 64});
    CCommonGLDriverBase::clearHiddenExtensions();
    ASSERT_NE(driver, nullptr);
    EXPECT_FALSE(driver->queryFeature(EVDF_RENDER_BUFFER));
    EXPECT_FALSE(driver->queryFeature(EVDF_MIP_MAP_GENERATION));
    EXPECT_EQ(driver->createRenderBuffer({16, 16}, EPF_DEPTH16), nullptr);
    {
        STextureDesc desc;
        desc.format = EPF_R8G8B8A8;
        desc.width = 16;
        desc.height = 16;
        desc.isRenderTarget = true;
        auto texture = driver->createTexture("rt", desc);
        ASSERT_TRUE(texture);
        auto target = driver->createRenderTarget(texture, 0);
        ASSERT_TRUE(target);
        CGLCallRecorder recorder;
        driver->pushRenderTarget(target);
        EXPECT_EQ(recorder.count("glBindFramebufferOES"), 0u);
        driver->setClearColor(SColor(0, 255, 0, 255));
        driver->clearBuffers(1);
        driver->popRenderTarget();
        EXPECT_EQ(recorder.count("glCopyTexImage2D"), 1u);
        EXPECT_EQ(recorder.countLogged(CGLCallRecorder::format("glClear", GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT)), 1u);
        EXPECT_EQ(g_gl.glGetError(), GLenum(GL_NO_ERROR));
    }
    driver->drop();
}

}  // namespace
}  // namespace pravik::video
