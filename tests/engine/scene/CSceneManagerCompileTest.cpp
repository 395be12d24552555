// Compiling static nodes through the batch driver into a batch node's mesh.
#include "engine/core/RandomString.h"
#include "engine/scene/CBatchSceneNode.h"
#include "engine/scene/CGeometryCreator.h"
#include "engine/scene/CMeshSceneNode.h"
#include "engine/scene/CSceneManager.h"
#include "engine/video/CBatchDriver.h"
#include "engine/video/material/CMaterialRenderer.h"
#include "engine/video/material/CMaterialRendererManager.h"
#include "tests/engine/scene/SceneTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace pravik::scene {
namespace {

// The counter behind a name: its hexadecimal digits, least significant first.
unsigned counterOf(const core::stringc& name)
{
    unsigned value = 0;
    for (size_t i = name.size() - 1; i-- > 0;) value = value * 16 + unsigned(std::stoi(std::string(1, name[i]), nullptr, 16));
    return value;
}

TEST(RandomString, HexDigitsOfACounterLeastSignificantFirst)
{
    const core::stringc first = core::randomString(14);
    ASSERT_EQ(first.size(), 14u);
    EXPECT_EQ(first.back(), 'r');
    const unsigned n = counterOf(first);
    if (n == 1) { EXPECT_EQ(first, "1000000000000r"); }  // the first call of the process
    EXPECT_EQ(counterOf(core::randomString(14)), n + 1);
    EXPECT_EQ(core::randomString(1), "r");
    EXPECT_EQ(core::randomString(0), "r");  // still counted
    for (int i = 0; i < 12; ++i) core::randomString(3);
    // Sixteen calls on: 17 reads "11" when the first was 1.
    const core::stringc later = core::randomString(14);
    EXPECT_EQ(counterOf(later), n + 16);
    if (n == 1) { EXPECT_EQ(later, "1100000000000r"); }
}

class CSceneManagerCompileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_driver = ::test::makeNullDriver();
        m_manager = new CSceneManager(m_driver.get(), nullptr);
        auto shader = ::test::addTestShader(*m_driver, "positions", {}, {video::EVA_POSITION});
        m_material = m_driver->getMaterialRendererManager()->getMaterialInstance(::test::buildRenderer(*m_driver, "solid", shader));
    }
    void TearDown() override { m_manager->drop(); }

    CMeshSceneNode* addCube(ISceneNode* parent, float x)
    {
        boost::intrusive_ptr<CMesh> cube = createCubeMesh(1u << video::EVA_POSITION, m_driver.get(), 10);
        cube->setMaterial(0, m_material, nullptr);
        auto* node = new CMeshSceneNode(cube);
        node->setPosition(core::vector3d<float>(x, 0, 0));
        parent->addChild(node);
        node->drop();
        return node;
    }

    CEngineServicesScope m_services;
    ::test::ProcessBufferHeap m_heap;
    boost::intrusive_ptr<video::CNullDriver> m_driver;
    CSceneManager* m_manager = nullptr;
    boost::intrusive_ptr<video::CMaterial> m_material;
};

TEST_F(CSceneManagerCompileTest, ThreeCubesOfOneMaterialMakeOneBatchOfThreeSegments)
{
    ASSERT_NE(m_manager->getBatchDriver(), nullptr);
    EXPECT_EQ(m_manager->getBatchDriver()->getVertexCapacity(), 5242880u);
    EXPECT_EQ(m_manager->getBatchDriver()->getIndexCapacity(), 655360u);
    ISceneNode* group = m_manager->addSceneNode("empty");
    for (float x : {-30.f, 0.f, 30.f}) addCube(group, x);
    m_manager->update(16);  // the nodes' absolute positions

    CBatchSceneNode* node = m_manager->compile(group, nullptr, false, nullptr, nullptr, 0u);
    ASSERT_NE(node, nullptr);
    CBatchMesh& mesh = *node->getBatchMesh();
    ASSERT_EQ(mesh.getBatchCount(), 1u);
    ASSERT_EQ(mesh.getSegmentCount(), 3u);
    for (unsigned s = 0; s < 3; ++s) {
        SCOPED_TRACE(s);
        const CBatchMesh::SSegment& seg = mesh.getSegment(s);
        EXPECT_EQ(seg.FirstVertex, 24u * s);
        EXPECT_EQ(seg.EndVertex, 24u * (s + 1));
        EXPECT_EQ(seg.FirstIndex, 36u * s);
        EXPECT_EQ(seg.EndIndex, 36u * (s + 1));
    }
    const CBatchMesh::SBatch& batch = mesh.getBatch(0);
    ASSERT_TRUE(batch.MeshBuffer && batch.Material && batch.AttributeMap);
    EXPECT_EQ(batch.MeshBuffer->PrimitiveStream.Count, 108u);
    EXPECT_EQ(batch.MeshBuffer->PrimitiveStream.VertexEnd, 72u);
    const video::CMaterialRenderer& renderer = *batch.Material->getMaterialRenderer();
    ASSERT_EQ(renderer.getTechniqueCount(), 1u);
    EXPECT_STREQ(renderer.getTechnique(0).name.c_str(), "ZeTechnique");
    EXPECT_EQ(renderer.getTechnique(0).passCount, 1u);

    // The cubes were baked where their nodes stand.
    const auto* positions = static_cast<const float*>(batch.MeshBuffer->VertexStreams->begin()->buffer->getData());
    const unsigned stride = batch.MeshBuffer->VertexStreams->begin()->stride / 4;
    float lowest = 1e9f, highest = -1e9f;
    for (unsigned v = 0; v < 72; ++v) {
        lowest = std::min(lowest, positions[v * stride]);
        highest = std::max(highest, positions[v * stride]);
    }
    EXPECT_FLOAT_EQ(lowest, -35.f);
    EXPECT_FLOAT_EQ(highest, 35.f);

    // The compilation left the scene drawing into its own driver, the batch driver empty.
    EXPECT_EQ(m_manager->getVideoDriver(), m_driver.get());
    EXPECT_FALSE(m_manager->isCompiling());
    EXPECT_EQ(m_manager->getBatchDriver()->getCurrentAppendBuffer(), nullptr);
    EXPECT_FALSE(m_manager->getBatchDriver()->getBatchBaker());
    node->drop();
}

TEST_F(CSceneManagerCompileTest, NothingVisibleMakesNoBatchAndAGivenNodeComesBack)
{
    ISceneNode* group = m_manager->addSceneNode("empty");
    addCube(group, 0)->setVisible(false);
    auto* given = new CBatchSceneNode(5);
    EXPECT_EQ(m_manager->compile(group, given, false, nullptr, nullptr, core::vector3d<float>(0, 0, 0)), given);
    EXPECT_EQ(given->getBatchMesh()->getBatchCount(), 0u);
    EXPECT_EQ(given->getBatchMesh()->getSegmentCount(), 0u);
    EXPECT_EQ(given->getSolidBatchCount(), 0u);  // set up all the same
    EXPECT_EQ(given->getType(), E_SCENE_NODE_TYPE(0x6E736162));
    given->drop();
}

}  // namespace
}  // namespace pravik::scene
