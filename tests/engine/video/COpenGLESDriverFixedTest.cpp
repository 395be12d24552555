#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/video/gl/CFixedGLShaderManager.h"
#include "engine/video/gl/CGLCallRecorder.h"
#include "engine/video/material/CMaterial.h"
#include "engine/video/material/CMaterialRendererManager.h"
#include "engine/video/gl/COpenGLESDriver.h"
#include "engine/video/gl/COpenGLESDriver_resources.h"
#include "engine/video/material/CVertexStreams.h"
#include "engine/video/gl/SphereMapTexCoords.h"
#include "engine/EngineServices.h"
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

    // Combiner setters act on the active unit and repeat nothing.
    recorder.clear();
    m_driver->setActiveTexture(1);
    m_driver->setCombineRGB(ETCM_ADD);
    m_driver->setCombineRGB(ETCM_ADD);
    m_driver->setSourceRGB(1, ETCS_CONSTANT);
    m_driver->setSourceRGB(1, ETCS_CONSTANT);
    m_driver->setRGBScale(2.f);
    m_driver->setRGBScale(2.f);
    EXPECT_EQ(recorder.count("glTexEnvi"), 2u);
    EXPECT_EQ(recorder.count("glTexEnvf"), 1u);
    GLint combine = 0, source = 0;
    ::glGetTexEnviv(GL_TEXTURE_ENV, GL_COMBINE_RGB, &combine);
    ::glGetTexEnviv(GL_TEXTURE_ENV, GL_SRC1_RGB, &source);
    EXPECT_EQ(combine, GL_ADD);
    EXPECT_EQ(source, GL_CONSTANT);
    m_driver->setActiveTexture(0);

    // Light and fog setters start from GL's defaults: only the changed value is sent.
    recorder.clear();
    m_driver->setLightAttenuation(0, 1.f, 0.5f, 0.f);
    m_driver->setLightSpotCutoff(0, 180.f);
    m_driver->setFogStartEndInternal(core::vector2d<float>(0.f, 20.f));
    m_driver->setFogDensityInternal(1.f);
    EXPECT_EQ(recorder.log(), (std::vector<std::string>{CGLCallRecorder::format("glLightf", GL_LIGHT0,
                                                                                GL_LINEAR_ATTENUATION, 0.5f),
                                                        CGLCallRecorder::format("glFogf", GL_FOG_END, 20.f)}));
}

TEST_F(COpenGLESDriverFixedTest, LODBiasIsSentPerUnitOnlyWithTheExtensionAndOnlyOnChange)
{
    const std::string send = CGLCallRecorder::format("glTexEnvf", GL_TEXTURE_FILTER_CONTROL_EXT,
                                                     GL_TEXTURE_LOD_BIAS_EXT, 1.5f);
    const std::string reset = CGLCallRecorder::format("glTexEnvf", GL_TEXTURE_FILTER_CONTROL_EXT,
                                                      GL_TEXTURE_LOD_BIAS_EXT, 0.f);
    for (bool present : {true, false}) {
        SCOPED_TRACE(present ? "with GL_EXT_texture_lod_bias" : "without GL_EXT_texture_lod_bias");
        m_driver->drop();
        if (!present) CCommonGLDriverBase::hideExtensions({EGLE_EXT_texture_lod_bias});
        m_driver = createOpenGLES1Driver(nullptr, {64, 64});
        CCommonGLDriverBase::clearHiddenExtensions();
        ASSERT_NE(m_driver, nullptr);
        ASSERT_EQ(m_driver->queryExtension(EGLE_EXT_texture_lod_bias), present);

        STextureDesc desc;
        desc.type = ETT_2D;
        desc.format = EPF_R8G8B8A8;
        desc.width = desc.height = 8;
        auto a = m_driver->createTexture("a", desc);
        auto b = m_driver->createTexture("b", desc);
        ASSERT_TRUE(a && b);
        a->setLODBias(1.5f);
        const float sent = present ? 1.5f : 0.f;

        // A bind sends the bias once per unit; the setter does not repeat an equal bias.
        CGLCallRecorder recorder;
        ASSERT_TRUE(m_driver->setTexture(0, a.get(), ETT_2D));
        m_driver->setTextureLODBiasTexEnv(a.get());
        EXPECT_EQ(recorder.countLogged(send), present ? 1u : 0u);
        EXPECT_EQ(m_driver->getTextureLODBias(0), sent);
        ASSERT_TRUE(m_driver->setTexture(1, a.get(), ETT_2D));  // another unit keeps its own bias
        EXPECT_EQ(recorder.countLogged(send), present ? 2u : 0u);
        EXPECT_EQ(m_driver->getTextureLODBias(1), sent);
        recorder.clear();
        ASSERT_TRUE(m_driver->setTexture(0, b.get(), ETT_2D));  // back to 0 on unit 0 only
        m_driver->setTextureLODBiasTexEnv(nullptr);
        EXPECT_EQ(recorder.countLogged(reset), present ? 1u : 0u);
        EXPECT_EQ(recorder.count("glTexEnvf"), present ? 1u : 0u);
        EXPECT_EQ(m_driver->getTextureLODBias(0), 0.f);
        EXPECT_EQ(m_driver->getTextureLODBias(1), sent);
        if (present) {
            GLfloat bias = -1.f;
            ::glGetTexEnvfv(GL_TEXTURE_FILTER_CONTROL_EXT, GL_TEXTURE_LOD_BIAS_EXT, &bias);
            EXPECT_EQ(bias, 0.f);
        }
        EXPECT_EQ(::glGetError(), GLenum(GL_NO_ERROR));
        ASSERT_TRUE(m_driver->disableTextures(0));
    }
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

// Four vertices with float positions and normals in client memory, values written in place.
struct SPositionsAndNormals {
    boost::intrusive_ptr<CVertexStreams> streams;
    std::vector<unsigned char> bytes;
    core::vector3d<float>* position(unsigned v) { return at(EVA_POSITION, v); }
    core::vector3d<float>* normal(unsigned v) { return at(EVA_NORMAL, v); }
    core::vector3d<float>* at(unsigned attribute, unsigned v)
    {
        const SVertexStream* s = streams->getStream(attribute);
        return reinterpret_cast<core::vector3d<float>*>(bytes.data() + s->offset + v * s->stride);
    }
};

TEST_F(COpenGLESDriverFixedTest, SphereMapCoordinatesAreGeneratedFromClientPositionsAndNormals)
{
    SPositionsAndNormals q;
    q.streams = quad(1u << EVA_POSITION | 1u << EVA_NORMAL);
    q.bytes.swap(m_vertices);
    q.streams->getStream(EVA_POSITION)->buffer->reset(unsigned(q.bytes.size()), q.bytes.data(), false);
    for (unsigned v = 0; v < 4; ++v) {
        *q.position(v) = core::vector3d<float>(float(v), 1.f, -2.f);
        *q.normal(v) = core::vector3d<float>(0.f, v * 0.25f, 1.f);
    }
    unsigned char map[EVA_COUNT];
    std::fill(map, map + EVA_COUNT, 255);
    map[EVA_POSITION] = (unsigned char)(q.streams->getStream(EVA_POSITION) - q.streams->begin());
    map[EVA_NORMAL] = (unsigned char)(q.streams->getStream(EVA_NORMAL) - q.streams->begin());
    const CPrimitiveStream primitives(nullptr, 0, 3, 1, 4, EIT_NONE, EPT_TRIANGLES);
    core::CMatrix4<float> view;
    view.setTranslation(core::vector3d<float>(0, 0, -3));
    m_driver->setTransform(ETS_VIEW, view);

    core::SScopedProcessArray<float> scratch;
    ASSERT_TRUE(m_driver->softTexGen(ETGT_SPHERE_MAP, q.streams.get(), map, primitives, scratch));
    core::vector2d<float> expected[3];
    computeSphereMapTexCoords(view, nullptr, 3, q.position(1), q.streams->getStream(EVA_POSITION)->stride,
                              q.normal(1), q.streams->getStream(EVA_NORMAL)->stride, expected, 8);
    for (unsigned v = 0; v < 3; ++v) {
        SCOPED_TRACE(v);
        EXPECT_FLOAT_EQ(scratch.get()[2 * v], expected[v].X);
        EXPECT_FLOAT_EQ(scratch.get()[2 * v + 1], expected[v].Y);
    }
    // Unusable data: no normal stream, or positions that are not floats.
    map[EVA_NORMAL] = 255;
    EXPECT_FALSE(m_driver->softTexGen(ETGT_SPHERE_MAP, q.streams.get(), map, primitives, scratch));
    map[EVA_NORMAL] = (unsigned char)(q.streams->getStream(EVA_NORMAL) - q.streams->begin());
    q.streams->getStream(EVA_POSITION)->valueType = EVAVT_SHORT;
    EXPECT_FALSE(m_driver->softTexGen(ETGT_SPHERE_MAP, q.streams.get(), map, primitives, scratch));
    q.streams->getStream(EVA_POSITION)->valueType = EVAVT_FLOAT;

    // Through a draw: the unit reads the generated pairs instead of a constant coordinate.
    SFixedGLShaderVertexState vs;
    vs.setTexGen(0, ETGT_SPHERE_MAP);
    SFixedGLShaderFragmentState fs;
    fs.setActiveUnitCount(1);
    auto s = static_cast<CFixedGLShaderManager*>(m_driver->getShaderManager())->createShader("sphere map", vs, fs);
    auto material = onePass("sphere map", s);
    ASSERT_TRUE(material);
    m_driver->setMaterial(material, 0);
    CGLCallRecorder recorder;
    m_driver->draw(q.streams, primitives);
    EXPECT_EQ(recorder.count("glMultiTexCoord4f"), 0u);
    EXPECT_EQ(recorder.count("glTexCoordPointer"), 1u);
    EXPECT_TRUE(m_driver->getEnabledClientArrays() & 2u);
    m_driver->setMaterial(nullptr, 0);
}

TEST_F(COpenGLESDriverFixedTest, PointLightColoursPointFromEachVertexToTheLightInObjectSpace)
{
    SPositionsAndNormals q;
    q.streams = quad(1u << EVA_POSITION | 1u << EVA_NORMAL);
    q.bytes.swap(m_vertices);
    q.streams->getStream(EVA_POSITION)->buffer->reset(unsigned(q.bytes.size()), q.bytes.data(), false);
    *q.position(0) = core::vector3d<float>(0, 0, 0);
    *q.position(1) = core::vector3d<float>(0, 0, -10);
    *q.position(2) = core::vector3d<float>(3, 0, -5);
    unsigned char map[EVA_COUNT];
    std::fill(map, map + EVA_COUNT, 255);
    map[EVA_POSITION] = (unsigned char)(q.streams->getStream(EVA_POSITION) - q.streams->begin());
    map[EVA_NORMAL] = (unsigned char)(q.streams->getStream(EVA_NORMAL) - q.streams->begin());
    // The object sits 5 units along z; the light at the world origin is at z = -5 for it.
    core::CMatrix4<float> world;
    world.setTranslation(core::vector3d<float>(0, 0, 5));
    m_driver->setTransform(ETS_WORLD, world);
    core::SScopedProcessArray<float> scratch;
    ASSERT_TRUE(m_driver->softColorGen(4, q.streams.get(), map, CPrimitiveStream(nullptr, 0, 3, 0, 3, EIT_NONE,
                                                                               EPT_TRIANGLES),
                                       scratch));
    const float expected[3][4] = {{0.5f, 0.5f, 0.f, 1.f}, {0.5f, 0.5f, 1.f, 1.f}, {0.f, 0.5f, 0.5f, 1.f}};
    for (unsigned v = 0; v < 3; ++v)
        for (unsigned c = 0; c < 4; ++c) {
            SCOPED_TRACE(testing::Message() << "vertex " << v << " component " << c);
            EXPECT_NEAR(scratch.get()[4 * v + c], expected[v][c], 1e-5f);
        }
    // Tangent space needs tangents and binormals that these streams do not carry.
    EXPECT_FALSE(m_driver->softColorGen(6, q.streams.get(), map,
                                        CPrimitiveStream(nullptr, 0, 3, 0, 3, EIT_NONE, EPT_TRIANGLES), scratch));
}

TEST_F(COpenGLESDriverFixedTest, DrawMatricesDequantisePositionsAndMapNormalsToSphereCoordinates)
{
    SFixedGLShaderVertexState vs;
    vs.setTexGen(0, ETGT_SIMPLE_SPHERE_MAP);
    SFixedGLShaderFragmentState fs;
    fs.setActiveUnitCount(1);
    auto s = static_cast<CFixedGLShaderManager*>(m_driver->getShaderManager())->createShader("simple", vs, fs);
    auto material = onePass("simple", s);
    ASSERT_TRUE(material);
    auto streams = quad(1u << EVA_POSITION | 1u << EVA_NORMAL);
    streams->setFlags((unsigned short)(streams->getFlags() | 4u));
    streams->getScaleAndOffsets()[0] = {{2, 2, 2}, {1, 0, 0}};
    m_driver->setMaterial(material, 0);
    CGLCallRecorder recorder;
    m_driver->draw(streams, CPrimitiveStream(nullptr, 0, 4, 0, 4, EIT_NONE, EPT_TRIANGLE_STRIP));
    EXPECT_EQ(recorder.count("glMultMatrixf"), 1u);  // float normals need no dequantisation
    EXPECT_EQ(recorder.count("glPushMatrix"), 1u);
    EXPECT_EQ(recorder.count("glPopMatrix"), 1u);
    EXPECT_EQ(recorder.count("glMultiTexCoord4f"), 0u);
    GLint depth = 0, mode = 0;
    g_gl.glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    g_gl.glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(depth, 1);
    EXPECT_EQ(mode, GL_MODELVIEW);
    // With an identity view the normal's x and y land in [0, 1], y flipped.
    GLfloat t[16];
    g_gl.glActiveTexture(GL_TEXTURE0);
    g_gl.glGetFloatv(GL_TEXTURE_MATRIX, t);
    const float expected[16] = {0.5f, 0, 0, 0, 0, -0.5f, 0, 0, 0, 0, 1, 0, 0.5f, 0.5f, 0, 1};
    for (unsigned k = 0; k < 16; ++k) {
        SCOPED_TRACE(k);
        EXPECT_FLOAT_EQ(t[k], expected[k]);
    }
    m_driver->setMaterial(nullptr, 0);
}

TEST_F(COpenGLESDriverFixedTest, TexturedRectangleTakesCoordinatesFromTheSourceAndClipsThemWithTheDestination)
{
    auto material = onePass("rectangle", shader("rectangle", 0, 1));
    ASSERT_TRUE(material);
    const unsigned short id = material->getMaterialRenderer()->getParameterID(ESPT_TEXTURE, 0);
    STextureDesc desc;
    desc.format = EPF_R8G8B8A8;
    desc.width = 8;
    desc.height = 4;
    boost::intrusive_ptr<ITexture> texture = m_driver->createTexture("rectangle", desc);
    ASSERT_TRUE(texture);
    ASSERT_TRUE(material->setParameter(id, 0, texture));
    m_driver->setMaterial(material, 0);
    // The quad's corner order puts the lower-right corner first: (s, t) come before colour and position.
    auto firstCorner = [&] {
        void* p = nullptr;
        g_gl.glClientActiveTexture(GL_TEXTURE0);
        ::glGetPointerv(GL_TEXTURE_COORD_ARRAY_POINTER, &p);
        const float* f = static_cast<const float*>(p);
        return std::vector<float>{f[0], f[1], f[3], f[4]};
    };
    m_driver->draw2DRectangle(core::rect<int>(0, 0, 20, 10), core::rect<int>(0, 0, 4, 2), nullptr, nullptr);
    EXPECT_EQ(firstCorner(), (std::vector<float>{0.5f, 0.5f, 20.f, 10.f}));
    const core::rect<int> clip(0, 0, 10, 10);
    m_driver->draw2DRectangle(core::rect<int>(0, 0, 20, 10), core::rect<int>(0, 0, 4, 2), nullptr, &clip);
    EXPECT_EQ(firstCorner(), (std::vector<float>{0.25f, 0.5f, 10.f, 10.f}));
    // Nothing of it inside the clip: nothing is drawn.
    CGLCallRecorder recorder;
    const core::rect<int> away(40, 40, 50, 50);
    m_driver->draw2DRectangle(core::rect<int>(0, 0, 20, 10), core::rect<int>(0, 0, 4, 2), nullptr, &away);
    EXPECT_EQ(recorder.count("glTexCoordPointer") + recorder.count("glVertexPointer"), 0u);
    m_driver->setMaterial(nullptr, 0);
}

TEST_F(COpenGLESDriverFixedTest, TextureStillLoadingIsDrawnThroughItsSubstitute)
{
    auto material = onePass("substitute", shader("substitute", 0, 1));
    ASSERT_TRUE(material);
    STextureDesc desc;
    desc.format = EPF_R8G8B8A8;
    desc.width = 16;
    desc.height = 16;
    boost::intrusive_ptr<ITexture> texture = m_driver->createTexture("full", desc);
    desc.width = desc.height = 2;
    boost::intrusive_ptr<ITexture> proxy = m_driver->createTexture("proxy", desc);
    ASSERT_TRUE(texture && proxy);
    texture->setProxy(proxy);
    ASSERT_TRUE(material->setParameter(material->getMaterialRenderer()->getParameterID(ESPT_TEXTURE, 0), 0, texture));
    m_driver->setMaterial(material, 0);
    m_driver->draw(quad(1u << EVA_POSITION | 1u << EVA_TEXCOORD0),
                   CPrimitiveStream(nullptr, 0, 4, 0, 4, EIT_NONE, EPT_TRIANGLE_STRIP));
    GLint bound = 0;
    g_gl.glActiveTexture(GL_TEXTURE0);
    g_gl.glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_NE(bound, 0);
    EXPECT_EQ(unsigned(bound), static_cast<COpenGLESDriver::CTexture*>(proxy.get())->getGLName());
    m_driver->setMaterial(nullptr, 0);
    texture->setProxy(nullptr);
}

TEST_F(COpenGLESDriverFixedTest, DrawCommandsOnlyWhenAskedWithTheStreamsModeAndIndices)
{
    auto material = onePass("submitted", shader("plain", 0, 0));
    auto streams = quad(1u << EVA_POSITION);
    m_driver->setMaterial(material, 0);
    EXPECT_FALSE(m_driver->getSubmitDraws());
    m_driver->setSubmitDraws(true);

    unsigned short indices[6] = {0, 1, 2, 2, 1, 3};
    auto indexBuffer = m_driver->createBuffer(EBT_INDEX, EBU_CLIENT_ONLY, sizeof indices, indices, false);
    const struct {
        const char* why;
        CPrimitiveStream primitives;
        std::string call;
    } cases[] = {
        {"strip", CPrimitiveStream(nullptr, 0, 4, 0, 4, EIT_NONE, EPT_TRIANGLE_STRIP),
         CGLCallRecorder::format("glDrawArrays", GL_TRIANGLE_STRIP, 0, 4)},
        {"fan from vertex 1", CPrimitiveStream(nullptr, 0, 3, 1, 4, EIT_NONE, EPT_TRIANGLE_FAN),
         CGLCallRecorder::format("glDrawArrays", GL_TRIANGLE_FAN, 1, 3)},
        {"16-bit list", CPrimitiveStream(indexBuffer, 0, 6, 0, 4, EIT_16BIT, EPT_TRIANGLES), "glDrawElements"},
        {"quads: no GL ES mode", CPrimitiveStream(nullptr, 0, 4, 0, 4, EIT_NONE, EPT_QUADS), ""},
        {"indices past the buffer", CPrimitiveStream(indexBuffer, 4, 6, 0, 4, EIT_16BIT, EPT_TRIANGLES), ""},
        {"32-bit indices", CPrimitiveStream(indexBuffer, 0, 3, 0, 4, EIT_32BIT, EPT_TRIANGLES), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        CGLCallRecorder recorder;
        m_driver->draw(streams, c.primitives);
        const size_t draws = recorder.count("glDrawArrays") + recorder.count("glDrawElements");
        if (c.call.empty()) {
            EXPECT_EQ(draws, 0u);
        } else {
            EXPECT_EQ(draws, 1u);
            EXPECT_TRUE(c.call == "glDrawElements" ? recorder.count("glDrawElements") == 1
                                                   : recorder.countLogged(c.call) == 1);
        }
    }
    EXPECT_EQ(g_gl.glGetError(), GLenum(GL_NO_ERROR));
    m_driver->setMaterial(nullptr, 0);
}

// Small draws merged while merging is on reach GL as one draw when the batch is flushed, for
// every baker (with and without lights and texture units).
TEST_F(COpenGLESDriverFixedTest, MergedDrawsReachGLAsOneDrawAtTheFlush)
{
    CEngineServicesScope services;  // shaders find their batch bakers through it
    m_driver->setSubmitDraws(true);
    unsigned short indices[6] = {0, 1, 2, 2, 1, 3};
    auto indexBuffer = m_driver->createBuffer(EBT_INDEX, EBU_CLIENT_ONLY, sizeof indices, indices, false);
    for (unsigned lights : {0u, 1u})
        for (unsigned units : {0u, 1u}) {
            SCOPED_TRACE(testing::Message() << lights << " lights, " << units << " units");
            const std::string name = "merged " + std::to_string(lights) + std::to_string(units);
            auto material = onePass(name.c_str(), shader(name.c_str(), lights, units));
            auto streams = quad(1u << EVA_POSITION | (units ? 1u << EVA_TEXCOORD0 : 0u) | (lights ? 1u << EVA_NORMAL : 0u));
            m_driver->setOption(0x100, true);
            m_driver->setMaterial(material, 0);
            ASSERT_TRUE(m_driver->getBatchBaker());
            CGLCallRecorder recorder;
            for (int i = 0; i < 3; ++i)
                m_driver->draw(streams, CPrimitiveStream(indexBuffer, 0, 6, 0, 4, EIT_16BIT, EPT_TRIANGLES));
            EXPECT_EQ(recorder.count("glDrawElements"), 0u);
            m_driver->flush();
            ASSERT_EQ(recorder.count("glDrawElements"), 1u);
            const std::string all = CGLCallRecorder::format("glDrawElements", GL_TRIANGLES, 18, GL_UNSIGNED_SHORT,
                                                            static_cast<const void*>(indices));
            EXPECT_EQ(recorder.countLogged(all), 1u);
            m_driver->setOption(0x100, false);
            m_driver->setMaterial(nullptr, 0);
        }
    EXPECT_EQ(g_gl.glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace
}  // namespace pravik::video
