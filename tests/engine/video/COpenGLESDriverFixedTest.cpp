#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/video/CFixedGLShaderManager.h"
#include "engine/video/CGLCallRecorder.h"
#include "engine/video/CMaterial.h"
#include "engine/video/CMaterialRendererManager.h"
#include "engine/video/COpenGLESDriver.h"
#include "engine/video/CVertexStreams.h"
#include "tests/engine/video/DriverTestSupport.h"
#include "tests/engine/video/GLTestContext.h"

namespace pravik::video {
namespace {

class COpenGLESDriverFixedTest : public ::testing::Test {
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

    boost::intrusive_ptr<IShader> shader(const char* name, unsigned lights, unsigned units, unsigned clipPlanes = 0)
    {
        SFixedGLShaderVertexState vs;
        vs.setLightCount(lights);
        vs.setShadeModel(ESM_SMOOTH);
        SFixedGLShaderFragmentState fs;
        fs.setActiveUnitCount((unsigned char)units);
        for (unsigned p = 0; p < 6; ++p) fs.setClipPlaneEnable(p, clipPlanes >> p & 1);
        auto* manager = static_cast<CFixedGLShaderManager*>(m_driver->getShaderManager());
        return manager->createShader(name, vs, fs);
    }

    // Commits a shader as the current one, returning the GL calls it made.
    std::vector<std::string> commit(const boost::intrusive_ptr<IShader>& s)
    {
        CGLCallRecorder recorder;
        m_driver->commitShader(s.get());
        m_driver->setCommittedShader(s.get());
        return recorder.log();
    }

    static std::string call(const char* name, GLenum value) { return CGLCallRecorder::format(name, value); }

    // A one-pass material over the shader, and four zeroed vertices carrying the mask's attributes.
    boost::intrusive_ptr<CMaterial> onePass(const char* name, const boost::intrusive_ptr<IShader>& s)
    {
        CMaterialRendererManager& renderers = *m_driver->getMaterialRendererManager();
        renderers.beginMaterialRenderer(name, true);
        renderers.beginTechnique("Technique #1", true);
        renderers.addRenderPass(boost::intrusive_ptr<const IShader>(s), detail::renderpass::SRenderState());
        renderers.endTechnique(true, 0);
        return renderers.getMaterialInstance(renderers.endMaterialRenderer());
    }
    boost::intrusive_ptr<CVertexStreams> quad(unsigned mask)
    {
        auto streams = CVertexStreams::allocate(1, mask);
        auto buffer = m_driver->createBuffer(EBT_VERTEX, EBU_CLIENT_ONLY, 0, nullptr, true);
        const unsigned short stride = streams->setupStreams(buffer, mask);
        m_vertices.assign(4u * stride, 0);
        buffer->reset(unsigned(m_vertices.size()), m_vertices.data(), false);
        streams->setVertexCount(4);
        return streams;
    }
    std::vector<unsigned char> m_vertices;

    ::test::ProcessBufferHeap m_heap;
    test::GLTestContext m_context{64, 64};
    COpenGLESDriver* m_driver = nullptr;
};

TEST_F(COpenGLESDriverFixedTest, LightSwitchingTouchesOnlyTheLightsThatChange)
{
    auto three = shader("three lights", 3, 0), one = shader("one light", 1, 0), none = shader("no light", 0, 0);
    auto log = commit(three);
    EXPECT_EQ(std::count(log.begin(), log.end(), call("glEnable", GL_LIGHTING)), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), call("glEnable", GL_LIGHT2)), 1);

    log = commit(one);
    EXPECT_EQ(log, (std::vector<std::string>{call("glDisable", GL_LIGHT1), call("glDisable", GL_LIGHT2)}));
    log = commit(none);
    EXPECT_EQ(log, (std::vector<std::string>{call("glDisable", GL_LIGHTING)}));
    EXPECT_TRUE(commit(none).empty());
}

TEST_F(COpenGLESDriverFixedTest, RequestedClipPlanesArePackedOntoTheFirstPlanes)
{
    auto planes13 = shader("planes 1 and 3", 0, 0, 0b1010), planesNone = shader("no planes", 0, 0, 0);
    commit(planesNone);
    auto log = commit(planes13);
    EXPECT_EQ(log, (std::vector<std::string>{call("glEnable", GL_CLIP_PLANE0), call("glEnable", GL_CLIP_PLANE1)}));
    GLboolean on = GL_FALSE;
    g_gl.glGetBooleanv(GL_CLIP_PLANE1, &on);
    EXPECT_EQ(on, GL_TRUE);
    log = commit(planesNone);
    EXPECT_EQ(log, (std::vector<std::string>{call("glDisable", GL_CLIP_PLANE1), call("glDisable", GL_CLIP_PLANE0)}));
}

TEST_F(COpenGLESDriverFixedTest, TwoPassDrawSetsUpEachPassAndDrawsNothing)
{
    auto textured = shader("textured", 0, 1), lit = shader("lit", 1, 0);
    CMaterialRendererManager& renderers = *m_driver->getMaterialRendererManager();
    ASSERT_TRUE(renderers.beginMaterialRenderer("two passes", true));
    renderers.beginTechnique("Technique #1", true);
    detail::renderpass::SRenderState first;   // depth test, no blending
    detail::renderpass::SRenderState second;  // additive blending on top
    second.set(1, 16, 1, 1);
    second.set(0, 0, 4, EBF_ONE);
    second.set(0, 4, 4, EBF_ONE);
    second.set(1, 20, 1, 0);  // no depth writes
    renderers.addRenderPass(boost::intrusive_ptr<const IShader>(textured), first);
    renderers.addRenderPass(boost::intrusive_ptr<const IShader>(lit), second);
    renderers.endTechnique(true, 0);
    auto material = renderers.getMaterialInstance(renderers.endMaterialRenderer());
    ASSERT_TRUE(material);

    // Four vertices: position, normal, texture coordinates, interleaved in client memory.
    const unsigned mask = 1u << EVA_POSITION | 1u << EVA_NORMAL | 1u << EVA_TEXCOORD0;
    auto streams = CVertexStreams::allocate(1, mask);
    ASSERT_TRUE(streams);
    auto buffer = m_driver->createBuffer(EBT_VERTEX, EBU_CLIENT_ONLY, 0, nullptr, true);
    const unsigned short stride = streams->setupStreams(buffer, mask);
    std::vector<unsigned char> vertices(4u * stride, 0);
    buffer->reset(unsigned(vertices.size()), vertices.data(), false);
    streams->setVertexCount(4);
    CPrimitiveStream primitives(nullptr, 0, 4, 0, 4, EIT_NONE, EPT_TRIANGLE_STRIP);

    m_driver->setMaterial(material, 0);
    CGLCallRecorder recorder;
    m_driver->draw(streams, primitives);
    const auto& log = recorder.log();
    auto at = [&](const std::string& c) { return std::find(log.begin(), log.end(), c) - log.begin(); };
    auto has = [&](const std::string& c) { return std::find(log.begin(), log.end(), c) != log.end(); };

    EXPECT_EQ(recorder.count("glDrawArrays") + recorder.count("glDrawElements"), 0u);
    EXPECT_EQ(recorder.count("glPushMatrix"), recorder.count("glPopMatrix"));
    // Pass 0: the textured unit reads the texture coordinates.
    EXPECT_TRUE(has(call("glEnableClientState", GL_TEXTURE_COORD_ARRAY)));
    EXPECT_EQ(recorder.count("glVertexPointer"), 1u);  // the second pass reuses the pointer
    // Pass 1: blending on, lighting on, the texture array no longer wanted, normals pointed at.
    EXPECT_TRUE(has(call("glEnable", GL_BLEND)));
    EXPECT_TRUE(has(CGLCallRecorder::format("glBlendFunc", GL_ONE, GL_ONE)));
    EXPECT_TRUE(has(CGLCallRecorder::format("glDepthMask", (unsigned char)GL_FALSE)));
    EXPECT_TRUE(has(call("glEnable", GL_LIGHTING)));
    EXPECT_TRUE(has(call("glDisableClientState", GL_TEXTURE_COORD_ARRAY)));
    EXPECT_TRUE(has(call("glEnableClientState", GL_NORMAL_ARRAY)));
    EXPECT_LT(at(call("glEnableClientState", GL_TEXTURE_COORD_ARRAY)), at(call("glEnable", GL_BLEND)));
    EXPECT_EQ(recorder.count("glNormalPointer"), 1u);
    EXPECT_GT(recorder.count("glLightfv"), 0u);  // the dynamic light reaches GL_LIGHT0
    EXPECT_EQ(m_driver->getEnabledClientArrays(), 1u << 17);

    GLint depth = 0;
    g_gl.glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    EXPECT_EQ(g_gl.glGetError(), GLenum(GL_NO_ERROR));
    m_driver->setMaterial(nullptr, 0);
}

TEST_F(COpenGLESDriverFixedTest, GeneratedColoursThatAreNotComputedFallBackToTheConstantColour)
{
    SFixedGLShaderVertexState vs;
    vs.setColorGen(ECG_TS_DIRECTIONAL_LIGHT);
    SFixedGLShaderFragmentState fs;
    auto s = static_cast<CFixedGLShaderManager*>(m_driver->getShaderManager())->createShader("tangent colours", vs, fs);
    auto material = onePass("tangent colours", s);
    ASSERT_TRUE(material);
    auto streams = quad(1u << EVA_POSITION | 1u << EVA_NORMAL | 1u << EVA_COLOR0);
    m_driver->setMaterial(material, 0);
    CGLCallRecorder recorder;
    m_driver->draw(streams, CPrimitiveStream(nullptr, 0, 4, 0, 4, EIT_NONE, EPT_TRIANGLE_STRIP));
    EXPECT_EQ(recorder.count("glColorPointer"), 0u);  // no array of colours nobody wrote
    EXPECT_EQ(recorder.countLogged(CGLCallRecorder::format("glColor4ub", (unsigned char)0, (unsigned char)0,
                                                           (unsigned char)0, (unsigned char)255)),
              1u);
    EXPECT_FALSE(m_driver->getEnabledClientArrays() & (1u << 18));
    m_driver->setMaterial(nullptr, 0);
}

TEST_F(COpenGLESDriverFixedTest, MaterialSettersCallGLOnlyOnChange)
{
    CGLCallRecorder recorder;
    m_driver->setMaterialShininess(12.f);
    m_driver->setMaterialShininess(12.f);
    m_driver->setTexEnvColor(SColor(10, 20, 30, 40));
    m_driver->setTexEnvColor(SColor(10, 20, 30, 40));
    m_driver->setColorMaterialEnable(true);
    m_driver->setColorMaterialEnable(true);
    EXPECT_EQ(recorder.count("glMaterialf"), 1u);
    EXPECT_EQ(recorder.count("glTexEnvfv"), 1u);
    EXPECT_EQ(recorder.count("glEnable"), 1u);
    EXPECT_EQ(recorder.count("glMaterialfv"), 0u);
    // Colour material overwrote GL's ambient and diffuse: turning it off restores the shadow.
    m_driver->setColorMaterialEnable(false);
    EXPECT_EQ(recorder.count("glMaterialfv"), 2u);
    GLfloat shininess = 0, envColor[4] = {};
    ::glGetMaterialfv(GL_FRONT, GL_SHININESS, &shininess);
    ::glGetTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, envColor);
    EXPECT_FLOAT_EQ(shininess, 12.f);
    EXPECT_NEAR(envColor[1], 20 / 255.f, 1e-4f);
}

TEST_F(COpenGLESDriverFixedTest, TexGenIsRecordedPerUnitWithinRange)
{
    m_driver->setTexGen(0, ETGT_SPHERE_MAP);
    m_driver->setTexGen(1, ETGT_SIMPLE_SPHERE_MAP);
    m_driver->setTexGen(4, ETGT_SPHERE_MAP);
    m_driver->setTexGen(-1, ETGT_SPHERE_MAP);
    EXPECT_EQ(m_driver->getTexGen(0), ETGT_SPHERE_MAP);
    EXPECT_EQ(m_driver->getTexGen(1), m_driver->queryFeature(E_VIDEO_DRIVER_FEATURE(1)) ? ETGT_SIMPLE_SPHERE_MAP
                                                                                           : ETGT_NONE);
    EXPECT_EQ(m_driver->getTexGen(4), ETGT_NONE);
}

}  // namespace
}  // namespace pravik::video
