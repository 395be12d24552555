// The batch node drawing a compiled mesh on a driver that records each draw's index count.
#include "engine/os/Timer.h"
#include "engine/scene/CBatchSceneNode.h"
#include "engine/scene/CCameraSceneNode.h"
#include "engine/scene/CGeometryCreator.h"
#include "engine/scene/CMeshSceneNode.h"
#include "tests/engine/scene/SceneTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace pravik::scene {
namespace {

class RecordingDriver : public video::CNullDriver {
public:
    RecordingDriver() : CNullDriver(static_cast<IDevice*>(nullptr)) {}
    unsigned drawImpl(const boost::intrusive_ptr<video::CVertexStreams>&, const video::CPrimitiveStream& p,
                      video::CDriverBinding**) override
    {
        draws.push_back(p.Count);
        return 0;
    }
    std::vector<unsigned> draws;  // index counts
};

class CountingBatchNode : public CBatchSceneNode {
public:
    CountingBatchNode() : CBatchSceneNode(-1) {}
    unsigned updateIndices(unsigned batch, const boost::intrusive_ptr<video::IBuffer>& to,
                           const boost::intrusive_ptr<const video::IBuffer>& from) override
    {
        ++gathers;
        return CBatchSceneNode::updateIndices(batch, to, from);
    }
    int gathers = 0;
};

class CBatchSceneNodeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_driver = boost::intrusive_ptr<RecordingDriver>(new RecordingDriver, false);
        m_driver->initImplementationDependentData();
        m_manager = new CSceneManager(m_driver.get(), nullptr);
        // Looking down -z from z = 50 with a view about 20 units wide at the origin.
        m_camera = static_cast<CCameraSceneNode*>(m_manager->addSceneNode("camera"));
        m_camera->setPosition(core::vector3d<float>(0, 0, 50));
        m_camera->setTarget({0, 0, 0});
        m_camera->setFOV(0.36f);
        m_camera->setAspectRatio(1);
        m_camera->setFarValue(60);
    }
    void TearDown() override { m_manager->drop(); }

    // Cubes of edge 10 at the given places, compiled into node, which then hangs in the scene.
    void compileCubes(CBatchSceneNode* node, bool blended, std::initializer_list<core::vector3d<float>> places)
    {
        const auto material = ::test::makeMaterial(*m_driver, blended ? "blended" : "solid", blended);
        ISceneNode* group = m_manager->addSceneNode("empty");
        for (const core::vector3d<float>& p : places) {
            boost::intrusive_ptr<CMesh> cube = createCubeMesh(1u << video::EVA_POSITION, m_driver.get(), 10);
            cube->setMaterial(0, material, nullptr);
            auto* mesh = new CMeshSceneNode(cube);
            mesh->setPosition(p);
            group->addChild(mesh);
            mesh->drop();
        }
        m_manager->update(16);
        ASSERT_EQ(m_manager->compile(group, node, false, nullptr, nullptr, 0u), node);
        group->remove();
        m_manager->getRootSceneNode()->addChild(node);
    }
    const std::vector<unsigned>& frame()
    {
        ++os::Timer::TickCount;
        m_driver->draws.clear();
        m_manager->update(16);
        m_manager->drawAll();
        return m_driver->draws;
    }

    CEngineServicesScope m_services;
    ::test::ProcessBufferHeap m_heap;
    boost::intrusive_ptr<RecordingDriver> m_driver;
    CSceneManager* m_manager = nullptr;
    CCameraSceneNode* m_camera = nullptr;
};

TEST_F(CBatchSceneNodeTest, SegmentCullingPicksTheDrawnSegments)
{
    auto* node = new CBatchSceneNode(-1);
    compileCubes(node, false, {{-30, 0, 0}, {0, 0, 0}, {30, 0, 0}});
    node->drop();
    ASSERT_EQ(node->getSolidBatchCount(), 1u);
    EXPECT_EQ(node->getMaxSolidIndices(), 108u);
    EXPECT_EQ(node->getAutomaticCulling(), EAC_FRUSTUM_BOX);
    EXPECT_EQ(node->getBoundingBox().MinEdge.X, -35.f);
    EXPECT_EQ(node->getBoundingBox().MaxEdge.X, 35.f);

    // Only the middle cube stands in the view (and in the view volume's box).
    const struct { int culling; std::vector<unsigned> draws; } kCases[] = {
        {0, {108}}, {1, {36}}, {2, {36}}, {3, {}}, {4, {108}}, {8, {36}}, {9, {}}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.culling);
        node->setSegmentCulling(E_CULLING_TYPE(c.culling));
        EXPECT_EQ(frame(), c.draws);
        EXPECT_TRUE(m_manager->isCullingEnabled());
    }
    // With the manager's culling off every segment is taken, whatever the node's own setting.
    m_manager->setCullingEnabled(false);
    EXPECT_EQ(frame(), std::vector<unsigned>{108});
    EXPECT_FALSE(m_manager->isCullingEnabled());
}

TEST_F(CBatchSceneNodeTest, SolidIndicesAreGatheredAgainOnlyWhenTheVisibleSetChanges)
{
    auto* node = new CountingBatchNode;
    compileCubes(node, false, {{-30, 0, 0}, {0, 0, 0}, {30, 0, 0}});
    node->drop();
    EXPECT_EQ(frame(), std::vector<unsigned>{36});
    EXPECT_EQ(frame(), std::vector<unsigned>{36});
    EXPECT_EQ(node->gathers, 1);
    m_camera->setPosition(core::vector3d<float>(30, 0, 50));  // the right cube instead
    m_camera->setTarget({30, 0, 0});
    EXPECT_EQ(frame(), std::vector<unsigned>{36});
    EXPECT_EQ(node->gathers, 2);
    node->setVisibleIndexCache(false);  // gathered every frame into scratch memory
    frame();
    EXPECT_EQ(frame(), std::vector<unsigned>{36});
    EXPECT_EQ(node->gathers, 4);
}

TEST_F(CBatchSceneNodeTest, TransparentSegmentsDrawnInARowMakeOneDraw)
{
    m_camera->setFarValue(1000);
    m_camera->setFOV(1.5f);
    auto* node = new CBatchSceneNode(-1);
    compileCubes(node, true, {{0, 0, -30}, {0, 0, 0}, {0, 0, 30}});
    node->drop();
    ASSERT_EQ(node->getSolidBatchCount(), 0u);
    EXPECT_EQ(frame(), std::vector<unsigned>{108});

    // Another transparent node between the two nearer cubes splits the run.
    ::test::RenderLog log;
    auto* other = new ::test::RecordingNode(&log, "between", ESNRP_TRANSPARENT);
    other->setPosition(core::vector3d<float>(0, 0, 15));
    m_manager->getRootSceneNode()->addChild(other);
    other->drop();
    EXPECT_EQ(frame(), (std::vector<unsigned>{72, 36}));
    EXPECT_EQ(log.entries.size(), 1u);
}

}  // namespace
}  // namespace pravik::scene
