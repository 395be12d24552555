#include "engine/scene/CAppendMeshBuffer.h"
#include "engine/video/CFPSCounter.h"
#include "engine/video/material/CGlobalMaterialParameterManager.h"
#include "engine/video/CLight.h"
#include "engine/video/material/CVertexStreams.h"
#include "engine/video/IVideoDriver.h"
#include "tests/engine/video/DriverTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace pravik;
using namespace pravik::video;

namespace {

// A null driver that records what reaches the device.
class RecordingDriver : public CNullDriver {
public:
    struct Draw {
        unsigned firstVertex, vertexEnd, count;
        E_PRIMITIVE_TYPE type;
        CMaterial* material;
        std::vector<unsigned short> indices;
        std::vector<float> positions;  // x, y, z of every vertex of the range
    };
    RecordingDriver() : CNullDriver(static_cast<IDevice*>(nullptr)) {}
    unsigned drawImpl(const boost::intrusive_ptr<CVertexStreams>& streams, const CPrimitiveStream& p, CDriverBinding**) override
    {
        Draw d{p.FirstVertex, p.VertexEnd, p.Count, p.PrimitiveType, getCurrentMaterial(), {}, {}};
        if (p.IndexBuffer && p.IndexType == EIT_16BIT && p.IndexBuffer->getData()) {
            const auto* i = static_cast<const unsigned short*>(p.IndexBuffer->getData());
            d.indices.assign(i, i + p.Count);
        }
        const SVertexStream* pos = streams->begin();
        if (pos->buffer && pos->buffer->getData() && pos->valueType == EVAVT_FLOAT) {
            const auto* base = static_cast<const unsigned char*>(pos->buffer->getData()) + pos->offset;
            for (unsigned v = p.FirstVertex; v < p.VertexEnd; ++v) {
                float xyz[3];
                std::memcpy(xyz, base + size_t(v) * pos->stride, sizeof xyz);
                d.positions.insert(d.positions.end(), xyz, xyz + 3);
            }
        }
        draws.push_back(d);
        ++m_drawCalls;
        return 0;
    }
    std::vector<Draw> draws;
};

// Quads of 4 float positions and 6 16-bit indices, one stream set per draw.
struct QuadMesh {
    boost::intrusive_ptr<IBuffer> vertices, indices;
    boost::intrusive_ptr<CVertexStreams> streams;
    CPrimitiveStream primitives;
    QuadMesh(IVideoDriver& driver, float x, unsigned vertexCount = 4)
    {
        std::vector<float> p;
        for (unsigned v = 0; v < vertexCount; ++v) p.insert(p.end(), {x + float(v), float(v % 2), 0.f});
        vertices = driver.createBuffer(EBT_VERTEX, EBU_CLIENT_ONLY, unsigned(p.size() * 4), new unsigned char[p.size() * 4], true);
        std::memcpy(vertices->getData(), p.data(), p.size() * 4);
        std::vector<unsigned short> i;
        for (unsigned t = 0; t + 2 < vertexCount; ++t) i.insert(i.end(), {(unsigned short)t, (unsigned short)(t + 1), (unsigned short)(t + 2)});
        indices = driver.createBuffer(EBT_INDEX, EBU_CLIENT_ONLY, unsigned(i.size() * 2), new unsigned char[i.size() * 2], true);
        std::memcpy(indices->getData(), i.data(), i.size() * 2);
        streams = CVertexStreams::allocate(1u << EVA_POSITION);
        SVertexStream* s = streams->begin();
        s->buffer = vertices;
        s->valueType = EVAVT_FLOAT;
        s->componentCount = 3;
        s->stride = 12;
        streams->setVertexCount(vertexCount);
        primitives = CPrimitiveStream(indices, 0, unsigned(i.size()), 0, vertexCount, EIT_16BIT, EPT_TRIANGLES);
    }
};

class DriverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        driver.initImplementationDependentData();
        shader = test::addTestShader(driver, "merge shader", {{"Diffuse", ESPT_DIFFUSE_COLOR, ESPVT_COLOR}}, {EVA_POSITION});
        material = driver.getMaterialRendererManager()->getMaterialInstance(test::buildRenderer(driver, "merge renderer", shader));
        ASSERT_TRUE(material);
    }
    pravik::CEngineServicesScope services;  // outlives the driver
    test::ProcessBufferHeap heap;
    RecordingDriver driver;
    boost::intrusive_ptr<IShader> shader;
    boost::intrusive_ptr<CMaterial> material;
};

TEST_F(DriverTest, SmallDrawsMergeIntoOneDrawAtFlush)
{
    driver.setOption(0x100, true);
    driver.setMaterial(material, 0);
    std::vector<QuadMesh> quads;
    for (int q = 0; q < 10; ++q) quads.emplace_back(driver, float(q * 10));
    for (const QuadMesh& q : quads) driver.draw(q.streams, q.primitives);
    EXPECT_TRUE(driver.draws.empty());
    driver.flush();
    ASSERT_EQ(driver.draws.size(), 1u);
    const RecordingDriver::Draw& merged = driver.draws[0];
    EXPECT_EQ(merged.vertexEnd, 40u);
    EXPECT_EQ(merged.count, 60u);
    EXPECT_EQ(merged.material, driver.getBatchMaterial().get());
    // The third quad's triangles name its own copied vertices.
    ASSERT_EQ(merged.indices.size(), 60u);
    EXPECT_EQ(merged.indices[12], 8);
    EXPECT_EQ(merged.indices[17], 11);
    ASSERT_EQ(merged.positions.size(), 120u);
    EXPECT_EQ(merged.positions[8 * 3], 20.f);

    // A second flush has nothing left; the buffers alternate only after a real draw.
    driver.flush();
    EXPECT_EQ(driver.draws.size(), 1u);
}

TEST_F(DriverTest, DrawOfSeventeenVerticesGoesThroughUnmerged)
{
    driver.setOption(0x100, true);
    driver.setMaterial(material, 0);
    QuadMesh small(driver, 0), large(driver, 100, 17);
    driver.draw(small.streams, small.primitives);
    driver.draw(large.streams, large.primitives);
    ASSERT_EQ(driver.draws.size(), 2u);
    EXPECT_EQ(driver.draws[0].vertexEnd, 4u);   // the pending batch goes first
    EXPECT_EQ(driver.draws[1].vertexEnd, 17u);  // then the large draw, with the source material
    EXPECT_EQ(driver.draws[1].material, driver.getBatchSourceCopy());

    // Sixteen vertices still merge.
    QuadMesh sixteen(driver, 0, 16);
    driver.draw(sixteen.streams, sixteen.primitives);
    EXPECT_EQ(driver.draws.size(), 2u);
}

TEST_F(DriverTest, KeepingThePendingBatchDrawsTheUnmergedDrawFirst)
{
    driver.setOption(0x100 | 0x200, true);
    driver.setMaterial(material, 0);
    QuadMesh small(driver, 0);
    driver.draw(small.streams, small.primitives);
    driver.draw3DLine({0, 0, 0}, {1, 1, 1}, SColor(255, 0, 0, 255));
    ASSERT_EQ(driver.draws.size(), 1u);
    EXPECT_EQ(driver.draws[0].type, EPT_LINES);
    driver.setOption(0x100, false);  // clearing merging flushes
    ASSERT_EQ(driver.draws.size(), 2u);
    EXPECT_EQ(driver.draws[1].vertexEnd, 4u);
}

TEST_F(DriverTest, SameMaterialKeepsItsBatchCopyAndAChangedOneIsCopiedAgain)
{
    driver.setOption(0x100, true);
    driver.setMaterial(material, 0);
    CMaterial* copy = driver.getBatchSourceCopy();
    ASSERT_NE(copy, nullptr);
    driver.setMaterial(material, 0);
    EXPECT_EQ(driver.getBatchSourceCopy(), copy);
    material->setParameter(0, 0, SColor(1, 2, 3, 4));
    driver.setMaterial(material, 0);
    ASSERT_NE(driver.getBatchSourceCopy(), nullptr);
    SColor c;
    driver.getBatchSourceCopy()->getParameter(0, 0, c);
    EXPECT_EQ(c, SColor(1, 2, 3, 4));
}

TEST_F(DriverTest, DestroyedCurrentMaterialIsForgotten)
{
    boost::intrusive_ptr<CMaterial> own = material->clone();
    driver.setMaterial(own, 0);
    EXPECT_EQ(driver.getCurrentMaterial(), own.get());
    EXPECT_EQ(driver.getCommittedMaterial(), own.get());
    own.reset();
    EXPECT_EQ(driver.getCurrentMaterial(), nullptr);
    EXPECT_EQ(driver.getCommittedMaterial(), nullptr);
    EXPECT_EQ(driver.getCurrentTechnique(), 255);
}

TEST(DriverBuffer, NestedMapsNeedAsManyUnmaps)
{
    test::ProcessBufferHeap heap;
    RecordingDriver driver;
    auto buffer = driver.createBuffer(EBT_VERTEX, EBU_DYNAMIC, 16, new unsigned char[16](), true);
    EXPECT_TRUE(buffer->getFlags() & 0x02);  // data from the start is dirty
    void* a = buffer->map(EBMA_CLIENT_WRITE);
    void* b = buffer->map(EBMA_CLIENT_WRITE);
    EXPECT_EQ(a, b);
    EXPECT_EQ(buffer->getMapState() & 0x1f, 2);
    buffer->unmap();
    EXPECT_EQ(buffer->getMapState() & 0x1f, 1);
    buffer->unmap();
    EXPECT_EQ(buffer->getMapState(), 0);
    auto client = driver.createBuffer(EBT_VERTEX, EBU_CLIENT_ONLY, 16, new unsigned char[16](), true);
    EXPECT_FALSE(client->getFlags() & 0x02);
}

TEST(DriverRenderTargets, StackKeepsTheScreenAtTheBottom)
{
    test::ProcessBufferHeap heap;
    RecordingDriver driver;
    struct Target : IRenderTarget {
        Target(IVideoDriver* d, std::vector<std::string>& log, const char* name) : IRenderTarget(d, {64, 64}), log(log), name(name) {}
        bool bind() override { log.push_back(std::string("bind ") + name); return true; }
        bool unbind() override { log.push_back(std::string("unbind ") + name); return true; }
        std::vector<std::string>& log;
        const char* name;
    };
    std::vector<std::string> log;
    IRenderTarget* screen = driver.getCurrentRenderTarget();
    boost::intrusive_ptr<IRenderTarget> a(new Target(&driver, log, "A")), b(new Target(&driver, log, "B"));
    driver.pushRenderTarget(a);
    driver.pushRenderTarget(b);
    EXPECT_EQ(driver.popRenderTarget(), b);
    EXPECT_EQ(driver.getCurrentRenderTarget(), a.get());
    EXPECT_EQ(log, (std::vector<std::string>{"bind A", "bind B", "unbind B", "bind A"}));
    EXPECT_EQ(driver.popRenderTarget(), a);
    EXPECT_EQ(driver.popRenderTarget().get(), screen);  // the screen is never popped
    EXPECT_EQ(driver.getRenderTargetCount(), 1u);

    screen->setViewport(core::rect<int>(-5, -5, 2000, 2000));
    EXPECT_EQ(screen->getViewport(), core::rect<int>(0, 0, 600, 1024));
}

TEST(DriverStatistics, FramesPerSecondOverWindowsOfOneAndAHalfSeconds)
{
    CFPSCounter fps;
    for (unsigned t = 0; t <= 1488; t += 16) fps.registerFrame(t, 10, 1, 0, 0);
    EXPECT_EQ(fps.getFPS(), 60);  // 94 frames, still the first window
    fps.registerFrame(1504, 10, 1, 0, 0);
    EXPECT_EQ(fps.getFPS(), 64);  // ceil(95 * 1000 / 1504)
    EXPECT_EQ(fps.getPrimitiveTotal(), 950u);

    CFPSCounter late;
    late.registerFrame(5000, 0, 0, 0, 0);
    EXPECT_EQ(late.getFPS(), 1);
    for (unsigned i = 1; i <= 90; ++i) late.registerFrame(5000 + i * 1500 / 90, 0, 0, 0, 0);
    EXPECT_EQ(late.getFPS(), 60);
    EXPECT_EQ(late.getPrimitiveAverage(), 0);

    // Large primitive counts do not wrap the rate.
    CFPSCounter heavy;
    heavy.registerFrame(0, 0, 0, 0, 0);
    heavy.registerFrame(1500, 6000000, 0, 0, 0);
    EXPECT_EQ(heavy.getPrimitiveAverage(), 4000000);
}

TEST(DriverLights, DynamicLightsReachTheGlobalParameters)
{
    test::ProcessBufferHeap heap;
    RecordingDriver driver;
    // The null driver made one light parameter; a driver with eight makes DynamicLight0..7.
    boost::intrusive_ptr<CNullDriver> shared(new CNullDriver(&driver), false);
    CGlobalMaterialParameterManager* g = driver.getGlobalMaterialParameterManager();
    auto light = CLight::allocate();
    light->DiffuseColor = SColorf(1, 0, 0, 1);
    driver.addDynamicLight(light);
    boost::intrusive_ptr<CLight> stored;
    ASSERT_TRUE(g->getParameter(g->getId("DynamicLight0"), 0, stored));
    EXPECT_EQ(stored, light);
    EXPECT_EQ(driver.getDynamicLight(0), light);
    driver.addDynamicLight(CLight::allocate());  // beyond the parameter count: ignored
    EXPECT_EQ(driver.getDynamicLightCount(), 1);
    driver.deleteAllDynamicLights();
    EXPECT_FALSE(driver.getDynamicLight(0));
    g->getParameter(g->getId("DynamicLight0"), 0, stored);
    EXPECT_EQ(stored, driver.getDefaultLight());
    EXPECT_EQ(driver.getDefaultLight()->Type, ELT_AMBIENT);
}

TEST(DriverFrame, BeginSceneCountsFramesAndClearsCounters)
{
    test::ProcessBufferHeap heap;
    RecordingDriver driver;
    driver.m_drawCalls = 5;
    driver.beginScene();
    EXPECT_EQ(driver.getFrameNumber(), 1u);
    EXPECT_EQ(driver.m_drawCalls, 0u);
    EXPECT_TRUE(driver.checkPrimitiveCount(0xffffffffu));
}

TEST(DriverClip, RectanglesAreClippedWithTheirColours)
{
    const SColor w(255, 255, 255, 255), k(0, 0, 0, 255);
    core::rect<int> inside(10, 10, 20, 20);
    core::rect<float> source(0, 0, 1, 1);
    SColor colours[4] = {w, w, w, w};
    EXPECT_TRUE(IVideoDriver::clip(inside, source, core::rect<int>(0, 0, 100, 100), colours));
    EXPECT_EQ(inside, core::rect<int>(10, 10, 20, 20));
    core::rect<int> edge(100, 0, 110, 10);
    EXPECT_TRUE(IVideoDriver::clip(edge, source, core::rect<int>(0, 0, 100, 100), nullptr));
    core::rect<int> outside(200, 0, 210, 10);
    EXPECT_FALSE(IVideoDriver::clip(outside, source, core::rect<int>(0, 0, 100, 100), nullptr));

    core::rect<int> half(0, 0, 100, 10);
    core::rect<float> tex(0, 0, 1, 1);
    SColor ramp[4] = {w, w, k, k};
    EXPECT_TRUE(IVideoDriver::clip(half, tex, core::rect<int>(0, 0, 50, 100), ramp));
    EXPECT_EQ(half.LowerRightCorner.X, 50);
    EXPECT_FLOAT_EQ(tex.LowerRightCorner.X, 0.5f);
    EXPECT_EQ(ramp[3].r, 127);
}

}  // namespace

namespace {

// Stands in for the built-in "Force Commit Texture" type: one 2D sampler, technique 0.
void buildForceCommit(CMaterialRendererManager& m)
{
    IVideoDriver& driver = *m.getVideoDriver();
    auto shader = test::addTestShader(driver, "commit", {{"Texture0", ESPT_TEXTURE, ESPVT_SAMPLER2D, 0}}, {EVA_POSITION});
    m.setBuiltInId(EMT_FORCE_COMMIT_TEXTURE, test::buildRenderer(driver, "Force Commit Texture", shader));
}

class CommitDriver : public RecordingDriver {
public:
    CommitDriver() { setFeature(EVDF_TEXTURE_COMMIT, true); }
    void commitCurrentMaterial() override
    {
        boost::intrusive_ptr<ITexture> t;
        if (getCurrentMaterial() && getCurrentMaterial()->getMaterialRenderer()->getParameterCount())
            getCurrentMaterial()->getParameter(0, 0, t);
        committedTextures.push_back(t.get());
    }
    std::vector<ITexture*> committedTextures;
};

TEST(DriverTextureCommit, DrawsOnePointWithTheTextureAndRestoresTheMaterial)
{
    test::ProcessBufferHeap heap;
    CMaterialRendererManager::setBuiltInBuilder(&buildForceCommit);
    {
        RecordingDriver plain;
        plain.initImplementationDependentData();
        STextureDesc d;
        d.width = d.height = 4;
        auto t = plain.createTexture("t", d);
        plain.forceCommitTexture(t);  // no texture commit without feature 24
        EXPECT_TRUE(plain.draws.empty());

        CommitDriver driver;
        driver.initImplementationDependentData();
        EXPECT_TRUE(driver.getOptions() & 0x2000);
        auto shader = test::addTestShader(driver, "plain", {}, {EVA_POSITION});
        auto material = driver.getMaterialRendererManager()->getMaterialInstance(test::buildRenderer(driver, "plain", shader));
        driver.setMaterial(material, 0);
        auto texture = driver.createTexture("t", d);
        driver.forceCommitTexture(texture);
        ASSERT_EQ(driver.draws.size(), 1u);
        EXPECT_EQ(driver.draws[0].type, EPT_POINTS);
        EXPECT_EQ(driver.draws[0].vertexEnd, 1u);
        ASSERT_GE(driver.committedTextures.size(), 2u);
        EXPECT_EQ(driver.committedTextures[1], texture.get());
        EXPECT_EQ(driver.getCurrentMaterial(), material.get());
        EXPECT_EQ(texture->getReferenceCount(), 1);  // the commit material let it go
    }
    CMaterialRendererManager::setBuiltInBuilder(nullptr);
}

}  // namespace

namespace {

// A null driver emptied of its global parameters and initialised again with other counts.
class LitDriver : public RecordingDriver {
public:
    explicit LitDriver(unsigned short lights)
    {
        clearImplementationDependentData();
        getGlobalMaterialParameterManager()->removeAll();
        init(lights, lights, 0);
    }
};

TEST(DriverInit, LightParametersFollowTheCount)
{
    test::ProcessBufferHeap heap;
    for (unsigned short n : {0, 8}) {
        SCOPED_TRACE(n);
        LitDriver driver(n);
        CGlobalMaterialParameterManager* g = driver.getGlobalMaterialParameterManager();
        EXPECT_EQ(g->getId("DynamicLight0") != 0xffff, n > 0);
        EXPECT_EQ(g->getId("DynamicLight7") != 0xffff, n == 8);
        EXPECT_EQ(g->getId("DynamicLight8"), 0xffff);
        EXPECT_NE(g->getId("SceneAmbientLight"), 0xffff);
        EXPECT_NE(g->getId("FogStartEnd0"), 0xffff);
        if (n) {
            EXPECT_EQ(g->getId("DynamicLight7"), driver.getFirstDynamicLightId() + 7);
        }
    }
}

TEST(DriverShapes, BoxesAndTrianglesAreIndexedLineLists)
{
    test::ProcessBufferHeap heap;
    RecordingDriver driver;
    driver.initImplementationDependentData();
    driver.draw3DBox(core::aabbox3d<float>(core::vector3d<float>(0, 0, 0), core::vector3d<float>(1, 2, 3)), SColor(1, 2, 3, 4));
    ASSERT_EQ(driver.draws.size(), 1u);
    const RecordingDriver::Draw& box = driver.draws[0];
    EXPECT_EQ(box.type, EPT_LINES);
    EXPECT_EQ(box.count, 24u);
    EXPECT_EQ(box.indices, (std::vector<unsigned short>{5, 1, 1, 3, 3, 7, 7, 5, 0, 2, 2, 6, 6, 4, 4, 0, 1, 0, 3, 2, 7, 6, 5, 4}));
    // Corner 5 takes the maximum x and y and the minimum z.
    EXPECT_EQ(std::vector<float>(box.positions.begin() + 15, box.positions.begin() + 18), (std::vector<float>{1, 2, 0}));

    driver.draw3DTriangle(core::triangle3d<float>({0, 0, 0}, {1, 0, 0}, {0, 1, 0}), SColor());
    EXPECT_EQ(driver.draws[1].indices, (std::vector<unsigned short>{0, 1, 1, 2, 2, 0}));
    const SColor corners[4] = {SColor(1, 0, 0, 255), SColor(2, 0, 0, 255), SColor(3, 0, 0, 255), SColor(4, 0, 0, 255)};
    driver.drawFullScreenQuad(corners);
    EXPECT_EQ(driver.draws[2].type, EPT_TRIANGLE_STRIP);
    EXPECT_EQ(driver.draws[2].positions, (std::vector<float>{-1, -1, 0, -1, 1, 0, 1, -1, 0, 1, 1, 0}));
}

}  // namespace

namespace {

TEST(DriverMerge, BatchCopyIsMadeWithoutAProcessBufferHeap)
{
    RecordingDriver driver;  // no process-buffer heap at all
    driver.initImplementationDependentData();
    auto shader = test::addTestShader(driver, "s", {}, {EVA_POSITION});
    auto material = driver.getMaterialRendererManager()->getMaterialInstance(test::buildRenderer(driver, "r", shader));
    driver.setOption(0x100, true);
    driver.setMaterial(material, 0);
    ASSERT_NE(driver.getBatchSourceCopy(), nullptr);
    QuadMesh big(driver, 0, 17);
    driver.draw(big.streams, big.primitives);
    ASSERT_EQ(driver.draws.size(), 1u);
    EXPECT_EQ(driver.draws[0].material, driver.getBatchSourceCopy());
}

}  // namespace
