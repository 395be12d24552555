// The batch node drawing a compiled mesh on a driver that records each draw's index count.
#include "engine/io/CAttributes.h"
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
    void draw3DBox(const core::aabbox3d<float>& box, video::SColor color) override
    {
        boxes.push_back(box);
        colors.push_back({color.getRed(), color.getGreen(), color.getBlue(), color.getAlpha()});
    }
    std::vector<unsigned> draws;  // index counts
    std::vector<core::aabbox3d<float>> boxes;
    std::vector<std::vector<int>> colors;
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


TEST_F(CBatchSceneNodeTest, AttributesCarryTheSegmentCullingAndTheSwitches)
{
    auto* node = new CBatchSceneNode(-1);
    compileCubes(node, false, {{-30, 0, 0}, {0, 0, 0}});
    node->drop();
    // Segment culling 4 is "frustum_sphere" here, not the 3 of a node's own culling.
    const struct { unsigned culling; const char* literal; } kCases[] = {
        {0, "false"}, {1, "box"}, {2, "frustum_box"}, {4, "frustum_sphere"}, {8, "frustum_box_3"}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.literal);
        node->setSegmentCulling(E_CULLING_TYPE(c.culling));
        node->setRegisterSolidBatchesOnce(c.culling % 2 == 0);
        io::CAttributes store(nullptr);
        node->serializeAttributes(&store);
        EXPECT_STREQ(store.getEnum("SegmentAutomaticCulling"), c.literal);
        EXPECT_EQ(store.getBool("RegisterSolidBatchesOnce"), c.culling % 2 == 0);
        EXPECT_TRUE(store.getBool("HasVisibleIndexCache"));
        EXPECT_EQ(store.getInt("Max index count (solid)"), 72);
        EXPECT_EQ(store.getInt("Max index count (transparent)"), 0);
        EXPECT_EQ(store.getInt("Solid batch count"), 1);
        EXPECT_STREQ(store.getEnum("AutomaticCulling"), "frustum_box");  // the node's own come first

        auto* copy = new CBatchSceneNode(-1);
        copy->setVisibleIndexCache(false);
        store.setAttribute("Solid batch count", 7);  // shown, never read back
        copy->deserializeAttributes(&store);
        EXPECT_EQ(unsigned(copy->getSegmentCulling()), c.culling);
        EXPECT_EQ(copy->getRegisterSolidBatchesOnce(), c.culling % 2 == 0);
        EXPECT_TRUE(copy->hasVisibleIndexCache());
        EXPECT_EQ(copy->getSolidBatchCount(), 0xFFFFFFFFu);
        copy->drop();
    }
}

class SegmentLog : public ISegmentUpdateCallback {
public:
    void onSegmentUpdated(CBatchMesh* mesh, unsigned segment, bool contentChanged, bool flag) override
    {
        calls.push_back({mesh, segment, contentChanged, flag});
    }
    struct SCall {
        CBatchMesh* mesh;
        unsigned segment;
        bool contentChanged, flag;
        bool operator==(const SCall&) const = default;
    };
    std::vector<SCall> calls;
};

TEST_F(CBatchSceneNodeTest, UpdatedSegmentTakesTheNewGeometryAndTellsTheCallback)
{
    auto* node = new CBatchSceneNode(-1);
    compileCubes(node, false, {{-30, 0, 0}, {30, 0, 0}});
    node->drop();
    CBatchMesh& mesh = *node->getBatchMesh();
    SegmentLog log;
    mesh.setSegmentUpdateCallback(&log);
    const boost::intrusive_ptr<video::CMaterial> material = mesh.getMaterial(0);
    boost::intrusive_ptr<CMesh> small = createCubeMesh(1u << video::EVA_POSITION, m_driver.get(), 4);
    small->setMaterial(0, ::test::makeMaterial(*m_driver, "solid", false), nullptr);
    const boost::intrusive_ptr<video::CVertexAttributeMap> table(
        new video::CVertexAttributeMap(*small->getMeshBuffer(0)->VertexStreams));
    m_driver->setTransform(video::ETS_WORLD, core::CMatrix4<float>());

    auto segmentBox = [&](unsigned number) {
        const CBatchMesh::SSegment& s = mesh.getSegment(number);
        core::aabbox3d<float> box;
        mesh.getMeshBuffer(0)->VertexStreams->computeBoundingBox(s.FirstVertex, s.EndVertex, box);
        return box;
    };
    // No attribute asked: the geometry stays, the callback still hears of the call.
    mesh.updateSegmentContent(1, small->getMeshBuffer(0), 0, true, small->getMaterial(0), table, m_driver.get());
    EXPECT_EQ(segmentBox(1).MinEdge, core::vector3d<float>(25, -5, -5));
    // Positions asked: segment 1 now holds the small cube (drawn untransformed), segment 0 is untouched.
    mesh.updateSegmentContent(1, small->getMeshBuffer(0), 1u << video::EVA_POSITION, false, small->getMaterial(0), table,
                              m_driver.get());
    EXPECT_EQ(segmentBox(1).MinEdge, core::vector3d<float>(-2, -2, -2));
    EXPECT_EQ(segmentBox(1).MaxEdge, core::vector3d<float>(2, 2, 2));
    EXPECT_EQ(segmentBox(0).MinEdge, core::vector3d<float>(-35, -5, -5));
    unsigned first = 0, end = 0;
    mesh.getIndexRange(first, end, 1);
    EXPECT_EQ(first, 36u);
    EXPECT_EQ(end, 72u);
    EXPECT_EQ(mesh.getSegment(1).EndVertex - mesh.getSegment(1).FirstVertex, 24);
    EXPECT_EQ(log.calls, (std::vector<SegmentLog::SCall>{{&mesh, 1, false, true}, {&mesh, 1, true, false}}));
    EXPECT_EQ(mesh.getMaterial(0), material);
}


TEST_F(CBatchSceneNodeTest, BoxesOfTheVisibleSegmentsDrawInGreen)
{
    auto* node = new CBatchSceneNode(-1);
    compileCubes(node, false, {{-30, 0, 0}, {0, 0, 0}, {30, 0, 0}});
    node->drop();
    EXPECT_EQ(frame(), std::vector<unsigned>{36});  // the middle cube is in view
    node->renderBatchBBoxes(m_driver.get(), 0);
    ASSERT_EQ(m_driver->boxes.size(), 1u);
    EXPECT_EQ(m_driver->boxes[0].MinEdge, core::vector3d<float>(-5, -5, -5));
    EXPECT_EQ(m_driver->boxes[0].MaxEdge, core::vector3d<float>(5, 5, 5));
    EXPECT_EQ(m_driver->colors[0], (std::vector<int>{0, 255, 0, 255}));
    node->renderBatchBBoxes(m_driver.get(), 1);  // no such batch
    EXPECT_EQ(m_driver->boxes.size(), 1u);

    // The node made for a manager belongs to it from the start.
    boost::intrusive_ptr<CBatchMesh> mesh(new CBatchMesh);
    auto* attached = new CBatchSceneNode(-1, mesh, m_manager);
    EXPECT_EQ(attached->getSceneManager(), m_manager);
    EXPECT_EQ(attached->getBatchMesh(), mesh.get());
    EXPECT_TRUE(attached->getRegisterSolidBatchesOnce());
    attached->drop();
}

}  // namespace
}  // namespace pravik::scene
