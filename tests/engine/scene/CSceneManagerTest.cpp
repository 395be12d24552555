#include "engine/scene/CSceneManager.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/scene/CCameraSceneNode.h"
#include "engine/scene/CDefaultSceneNodeFactory.h"
#include "engine/scene/CEmptySceneNode.h"
#include "tests/engine/scene/SceneTestSupport.h"
#include "tests/engine/video/DriverTestSupport.h"

#include <numbers>
#include <random>

namespace pravik::scene {
namespace {

using core::aabbox3d;
using core::vector3d;

class CSceneManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_driver = ::test::makeNullDriver();
        m_manager = new CSceneManager(m_driver.get(), nullptr);
    }
    void TearDown() override { m_manager->drop(); }

    pravik::CEngineServicesScope m_services;  // outlives the driver

    test::RecordingNode* add(const char* name, E_SCENE_NODE_RENDER_PASS pass, ISceneNode* parent = nullptr,
                             const aabbox3d<float>& box = {-1, -1, -1, 1, 1, 1})
    {
        auto* node = new test::RecordingNode(&m_log, name, pass, box);
        (parent ? parent : m_manager->getRootSceneNode())->addChild(node);
        node->drop();
        return node;
    }
    // The render device's camera.
    CCameraSceneNode* addCamera()
    {
        auto* camera = static_cast<CCameraSceneNode*>(m_manager->addSceneNode("camera"));
        camera->setPosition(vector3d<float>(0, 0, 512));
        camera->setTarget({0, 0, 0});
        camera->setFOV(std::numbers::pi_v<float> / 2);
        camera->setAspectRatio(600.f / 1024.f);
        return camera;
    }
    int parameter(const char* name) { return m_manager->getParameters().getInt(name); }

    ::test::ProcessBufferHeap m_heap;
    boost::intrusive_ptr<video::CNullDriver> m_driver;
    CSceneManager* m_manager = nullptr;
    test::RenderLog m_log;
};

TEST_F(CSceneManagerTest, OneFrameDrawsThePassesInOrder)
{
    CCameraSceneNode* camera = addCamera();
    const unsigned limit = m_driver->getDynamicLightParameterCount();
    ASSERT_GE(limit, 1u);
    for (unsigned i = 0; i < limit + 2; ++i) {
        auto* light = add(("light" + std::to_string(i)).c_str(), ESNRP_LIGHT);
        light->setPosition(vector3d<float>(0, 0, 512 - 10.f * float(limit + 2 - i)));  // the last is nearest
    }
    add("sky", ESNRP_SKY_BOX);
    add("solid-layer0", ESNRP_SOLID);
    add("solid-layer1", ESNRP_SOLID)->setRenderingLayer(1);
    add("near-glass", ESNRP_TRANSPARENT)->setPosition(vector3d<float>(0, 0, 400));
    add("far-glass", ESNRP_TRANSPARENT)->setPosition(vector3d<float>(0, 0, -400));
    add("data", ESNRP_DATA_SORTED);
    add("shadow", ESNRP_SHADOW_CASTER);
    add("extra", ESNRP_EXTRA_DATA_SORTED);

    m_manager->update(16);
    m_manager->drawAll();

    std::vector<std::string> want;
    for (unsigned i = 0; i < limit; ++i) want.push_back("light" + std::to_string(limit + 1 - i));
    want.insert(want.end(), {"sky", "solid-layer1", "solid-layer0", "data", "far-glass", "near-glass"});
    EXPECT_EQ(m_log.entries, want);
    EXPECT_EQ(m_manager->getSceneNodeRenderPass(), ESNRP_NONE);
    // Nothing draws passes 5 and 7; they do not pile up from frame to frame.
    EXPECT_EQ(m_manager->getShadowCasterCount(), 0u);
    EXPECT_EQ(m_manager->getExtraDataSortedCount(), 0u);
    EXPECT_EQ(m_driver->getTransform(video::ETS_VIEW), camera->getViewMatrix());
}

// Files a list of entries (material, layer, distance) in one pass and logs the render data it
// is called with; an entry's render vertex count is chosen per entry, -1 included.
class EntriesNode : public ISceneNode {
public:
    struct SEntry {
        boost::intrusive_ptr<video::CMaterial> material;
        int layer;
        float z;
        unsigned vertices;
    };
    EntriesNode(std::vector<SEntry> entries, E_SCENE_NODE_RENDER_PASS pass) : ISceneNode(-1), m_entries(std::move(entries)), m_pass(pass) {}
    bool onRegisterSceneNode() override
    {
        for (size_t i = 0; i < m_entries.size(); ++i) {
            const vector3d<float> at(0, 0, m_entries[i].z);
            SceneManager->registerNodeForRendering(this, m_entries[i].material, reinterpret_cast<void*>(i + 1), m_pass, &at,
                                                   m_entries[i].layer);
        }
        return true;
    }
    void render(void* data) override { drawn.push_back(reinterpret_cast<size_t>(data) - 1); }
    unsigned getRenderVertexCount(void* data) const override { return m_entries[reinterpret_cast<size_t>(data) - 1].vertices; }
    const aabbox3d<float>& getBoundingBox() const override { return m_box; }

    std::vector<size_t> drawn;
    const std::vector<SEntry>& entries() const { return m_entries; }

private:
    std::vector<SEntry> m_entries;
    E_SCENE_NODE_RENDER_PASS m_pass;
    aabbox3d<float> m_box;
};

TEST_F(CSceneManagerTest, SolidAndTransparentOrdersOverMaterialsLayersAndDistances)
{
    // Three renderers, two equal instances of each, and no material.
    std::vector<boost::intrusive_ptr<video::CMaterial>> materials{nullptr};
    for (const char* name : {"m0", "m1", "m2"}) {
        materials.push_back(test::makeMaterial(*m_driver, name, false));
        materials.push_back(video::CMaterial::allocate(materials.back()->getMaterialRenderer()));
    }
    ASSERT_TRUE(*materials[1] == *materials[2]);
    std::mt19937 rng(7);
    std::vector<EntriesNode::SEntry> mixed, oneLayer;
    for (int i = 0; i < 200; ++i) {
        mixed.push_back({materials[rng() % materials.size()], int(rng() % 3) - 1, float(rng() % 4) * 10.f,
                         rng() % 5 == 0 ? 0xFFFFFFFFu : unsigned(rng() % 4)});
        oneLayer.push_back(mixed.back());
        oneLayer.back().layer = 2;
    }

    // x must not be drawn after y when x goes before y.
    auto materialBefore = [](const EntriesNode::SEntry& x, const EntriesNode::SEntry& y) {
        if (x.material && y.material) {
            if (*x.material == *y.material) return int(x.vertices) < int(y.vertices);
            return *x.material < *y.material;
        }
        return !x.material && y.material;  // entries of one node without material tie
    };
    const struct {
        const char* why;
        const std::vector<EntriesNode::SEntry>& entries;
        E_SCENE_NODE_RENDER_PASS pass;
    } kCases[] = {{"solid, mixed layers", mixed, ESNRP_SOLID},
                  {"transparent, mixed layers", mixed, ESNRP_TRANSPARENT},
                  {"solid, one layer", oneLayer, ESNRP_SOLID},
                  {"transparent, one layer", oneLayer, ESNRP_TRANSPARENT}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        const std::vector<EntriesNode::SEntry>& entries = c.entries;
        const E_SCENE_NODE_RENDER_PASS pass = c.pass;
        auto* node = new EntriesNode(entries, pass);
        m_manager->getRootSceneNode()->addChild(node);
        m_manager->drawAll();
        ASSERT_EQ(node->drawn.size(), entries.size());
        for (size_t k = 1; k < entries.size(); ++k) {
            const EntriesNode::SEntry& earlier = entries[node->drawn[k - 1]];
            const EntriesNode::SEntry& later = entries[node->drawn[k]];
            bool laterFirst = later.layer > earlier.layer;
            if (later.layer == earlier.layer) {
                // Seen from the origin: larger z is farther.
                if (pass == ESNRP_TRANSPARENT && later.z != earlier.z) laterFirst = later.z > earlier.z;
                else laterFirst = materialBefore(later, earlier);
            }
            EXPECT_FALSE(laterFirst) << k;
            const bool tie = later.layer == earlier.layer && (pass == ESNRP_SOLID || later.z == earlier.z) &&
                             !materialBefore(later, earlier) && !materialBefore(earlier, later);
            if (tie) {
                EXPECT_LT(node->drawn[k - 1], node->drawn[k]) << "ties keep the order of registration, " << k;
            }
        }
        node->remove();
        node->drop();
    }
}

class CountingCamera : public CCameraSceneNode {
public:
    void render(void* data) override
    {
        ++renders;
        CCameraSceneNode::render(data);
    }
    int renders = 0;
};

TEST_F(CSceneManagerTest, CameraRegisteredBySetUpAndByTheWalkIsRenderedOnce)
{
    auto* camera = new CountingCamera();
    m_manager->getRootSceneNode()->addChild(camera);
    m_manager->setActiveCamera(camera);
    camera->drop();
    m_manager->update(16);
    m_manager->drawAll();
    EXPECT_EQ(camera->renders, 1);
    EXPECT_FALSE(m_manager->registerNodeForRendering(camera, nullptr, nullptr, ESNRP_NONE));
}

TEST_F(CSceneManagerTest, CullingStatisticsForATableOfBoxes)
{
    CCameraSceneNode* camera = addCamera();
    m_manager->update(16);
    m_manager->drawAll();
    const float boxLeft = camera->getViewFrustum()->boundingBox.MinEdge.X;
    // The camera sees x in [-300, 300] and y in [-512, 512] on the plane z = 0.
    const struct {
        const char* why;
        aabbox3d<float> box;
        int culling;
        bool drawn;
        int calls;
    } cases[] = {
        {"inside, off", {-1, -1, -1, 1, 1, 1}, EAC_OFF, true, 0},
        {"inside, box", {-1, -1, -1, 1, 1, 1}, EAC_BOX, true, 1},
        {"far right, box", {5000, -1, -1, 5001, 1, 1}, EAC_BOX, false, 1},
        {"behind the camera, box", {-1, -1, 600, 1, 1, 601}, EAC_BOX, false, 1},
        {"touching the box, box", {boxLeft - 10, -1, -1, boxLeft, 1, 1}, EAC_BOX, true, 1},
        {"right of the view, in the box, box", {350, -1, -1, 360, 1, 1}, EAC_BOX, true, 1},
        {"right of the view, frustum", {350, -1, -1, 360, 1, 1}, EAC_FRUSTUM_BOX, false, 1},
        {"inside, frustum", {-1, -1, -1, 1, 1, 1}, EAC_FRUSTUM_BOX, true, 1},
        {"above the view, frustum 3", {-1, 600, -1, 1, 601, 1}, EAC_FRUSTUM_BOX_3, true, 1},
        {"right of the view, frustum 3", {350, -1, -1, 360, 1, 1}, EAC_FRUSTUM_BOX_3, false, 1},
        {"far right, type 4", {5000, -1, -1, 5001, 1, 1}, 4, true, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        m_log.entries.clear();
        test::RecordingNode* node = add("probe", ESNRP_SOLID, nullptr, c.box);
        node->setAutomaticCulling(E_CULLING_TYPE(c.culling));
        add("hidden-child", ESNRP_SOLID, node);
        m_manager->update(16);
        m_manager->drawAll();
        EXPECT_EQ(!m_log.entries.empty(), c.drawn);
        EXPECT_EQ(parameter("calls"), c.calls);
        EXPECT_EQ(parameter("culled"), c.drawn ? 0 : 1);
        // root, camera, probe, and the child only when the probe was entered
        EXPECT_EQ(parameter("traversed_nodes"), c.drawn ? 4 : 3);
        node->remove();
    }
}

TEST_F(CSceneManagerTest, NodeQueuedForDeletionWhileAnimatingIsGoneAfterTheFrame)
{
    ISceneNode* doomed = add("doomed", ESNRP_SOLID);
    add("child", ESNRP_SOLID, doomed);
    auto* animator = new test::CallbackAnimator([this](ISceneNode* node, unsigned) {
        m_manager->addToDeletionQueue(node);
        m_manager->addToDeletionQueue(node);  // twice: removed once, released twice
    });
    doomed->addAnimator(animator);
    animator->drop();
    m_manager->update(16);
    EXPECT_EQ(m_manager->getRootSceneNode()->getChildren().size(), 1u);
    m_manager->drawAll();
    EXPECT_THAT(m_log.entries, testing::UnorderedElementsAre("child", "doomed"));  // drawn in the frame
    EXPECT_TRUE(m_manager->getRootSceneNode()->getChildren().empty());
}

// Answers "camera" with an empty node, to show it is asked before the default factory.
class OverridingFactory : public ISceneNodeFactory {
public:
    ISceneNode* addSceneNode(E_SCENE_NODE_TYPE, ISceneNode*) override { return nullptr; }
    ISceneNode* addSceneNode(const char* name, ISceneNode* parent) override
    {
        if (std::string(name) != "camera") return nullptr;
        auto* node = new CEmptySceneNode(99);
        parent->addChild(node);
        node->drop();
        return node;
    }
    unsigned getCreatableSceneNodeTypeCount() const override { return 1; }
    E_SCENE_NODE_TYPE getCreateableSceneNodeType(unsigned) const override { return ESNT_CAMERA; }
    const char* getCreateableSceneNodeTypeName(unsigned) const override { return "camera"; }
    const char* getCreateableSceneNodeTypeName(E_SCENE_NODE_TYPE) const override { return nullptr; }
};

TEST_F(CSceneManagerTest, FactoriesAreAskedNewestFirstAndLookupsFindNodes)
{
    ISceneNode* camera = m_manager->addSceneNode("camera");
    ASSERT_NE(camera, nullptr);
    EXPECT_EQ(camera->getType(), ESNT_CAMERA);
    EXPECT_EQ(m_manager->getActiveCamera(), camera);
    EXPECT_EQ(camera->getReferenceCount(), 2);  // the root's and the manager's

    const struct { const char* name; E_SCENE_NODE_TYPE type; } kinds[] = {
        {"light", ESNT_LIGHT}, {"empty", ESNT_EMPTY}, {"dummyTransformation", ESNT_DUMMY_TRANSFORMATION}};
    for (const auto& k : kinds) {
        SCOPED_TRACE(k.name);
        ISceneNode* node = m_manager->addSceneNode(k.name);
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(node->getType(), k.type);
        EXPECT_EQ(node->getParent(), m_manager->getRootSceneNode());
        EXPECT_EQ(node->getReferenceCount(), 1);
    }
    EXPECT_EQ(m_manager->addSceneNode("Empty"), nullptr);
    EXPECT_EQ(m_manager->addSceneNode("shadowVolume"), nullptr);
    EXPECT_STREQ(m_manager->getSceneNodeTypeName(ESNT_DUMMY_TRANSFORMATION), "dummyTransformation");

    ISceneNode* light = m_manager->getSceneNodeFromType(ESNT_LIGHT);
    light->setName("light");
    light->setID(12);
    EXPECT_EQ(m_manager->getSceneNodeFromName("LIGHT"), light);
    EXPECT_EQ(m_manager->getSceneNodeFromId(12), light);
    std::vector<ISceneNode*> all;
    m_manager->getSceneNodesFromType(ESNT_ANY, all);
    EXPECT_EQ(all.size(), 5u);
    EXPECT_EQ(all.front(), m_manager->getRootSceneNode());

    auto* factory = new OverridingFactory();
    m_manager->registerSceneNodeFactory(factory);
    factory->drop();
    ISceneNode* overridden = m_manager->addSceneNode("camera");
    ASSERT_NE(overridden, nullptr);
    EXPECT_EQ(overridden->getID(), 99);
    EXPECT_EQ(m_manager->getActiveCamera(), camera);

    camera->remove();  // removing the active camera clears it
    EXPECT_EQ(m_manager->getActiveCamera(), nullptr);
}

TEST_F(CSceneManagerTest, SceneTimeAccumulatesAndAnimatorsSeeIt)
{
    unsigned seen = 0;
    ISceneNode* node = add("timed", ESNRP_NONE);
    auto* animator = new test::CallbackAnimator([&seen](ISceneNode*, unsigned t) { seen = t; });
    node->addAnimator(animator);
    animator->drop();
    for (int i = 0; i < 3; ++i) m_manager->update(16.5f);
    EXPECT_EQ(seen, 49u);
    EXPECT_DOUBLE_EQ(m_manager->getSceneTime(), 49.5);
}

}  // namespace
}  // namespace pravik::scene
