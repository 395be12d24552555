#include "engine/scene/CMesh.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/io/CAttributes.h"
#include "engine/scene/CMeshCache.h"
#include "engine/scene/CMeshSceneNode.h"
#include "tests/engine/scene/SceneTestSupport.h"

#include <vector>

namespace pravik::scene {
namespace {

using core::aabbox3d;
using core::vector3d;

std::vector<std::string> attributeNames(const io::CAttributes& store)
{
    std::vector<std::string> names;
    for (int i = 0; i < store.getAttributeCount(); ++i) names.push_back(store.getAttributeName(i));
    return names;
}

TEST(CPrimitiveStream, AttributesWithAndWithoutAnIndexBuffer)
{
    video::CPrimitiveStream strip(nullptr, 0, 7, 2, 9, video::EIT_NONE, video::EPT_TRIANGLES);
    io::CAttributes store(nullptr);
    strip.serializeAttributes(&store);
    EXPECT_EQ(attributeNames(store), (std::vector<std::string>{"PrimitiveType", "VertexStart", "IndexCount", "PrimitiveCount"}));
    EXPECT_STREQ(store.getEnum("PrimitiveType"), "Triangles");
    EXPECT_EQ(store.getInt("PrimitiveCount"), 2);

    video::CPrimitiveStream back;
    back.PrimitiveType = video::EPT_POINTS;
    back.VertexEnd = 77;
    back.deserializeAttributes(&store);
    EXPECT_EQ(back.PrimitiveType, video::EPT_TRIANGLES);
    EXPECT_EQ(back.Count, 7u);
    EXPECT_EQ(back.FirstVertex, 2u);
    EXPECT_EQ(back.VertexEnd, 77u);  // without an index buffer the end is not read

    const struct { video::E_PRIMITIVE_TYPE type; unsigned n, primitives; } counts[] = {
        {video::EPT_TRIANGLES, 7, 2}, {video::EPT_LINE_STRIP, 0, 0}, {video::EPT_QUAD_STRIP, 3, 0},
        {video::EPT_TRIANGLE_FAN, 1, 0}, {video::EPT_QUADS, 9, 2}, {video::E_PRIMITIVE_TYPE(12), 9, 0}};
    for (const auto& c : counts) {
        SCOPED_TRACE(c.type);
        EXPECT_EQ(video::CPrimitiveStream(nullptr, 0, c.n, 0, 0, video::EIT_NONE, c.type).getPrimitiveCount(), c.primitives);
    }
}

boost::intrusive_ptr<IAnimatedMesh> animated() { return new SAnimatedMesh(new CMesh()); }

TEST(CMeshCache, KeepsNamesSortedIgnoringAsciiCase)
{
    CMeshCache cache(nullptr);
    auto b = animated(), a = animated(), c = animated();
    cache.addMesh("b", b);
    cache.addMesh("a", a);
    cache.addMesh("c", c);
    EXPECT_EQ(cache.getMeshByIndex(0), a);
    EXPECT_EQ(cache.getMeshByFilename("B"), b);
    EXPECT_EQ(cache.getMeshByFilename("c"), c);
    EXPECT_EQ(cache.getMeshByFilename("d"), nullptr);

    auto upper = animated();
    cache.addMesh("Dir/Mesh.BDAE", upper);
    EXPECT_EQ(cache.getMeshByFilename("dir/mesh.bdae"), upper);
    EXPECT_STREQ(cache.getMeshFilename(upper.get()), "dir/mesh.bdae");
    EXPECT_FALSE(cache.isMeshLoaded("dir/m\xc9sh.bdae"));  // only ASCII letters fold
    EXPECT_EQ(cache.getMeshIndex(animated().get()), -1);

    EXPECT_TRUE(cache.setMeshFilename(upper.get(), "0first"));
    EXPECT_EQ(cache.getMeshByIndex(0), upper);
    EXPECT_EQ(cache.getMeshIndex(upper->getMesh(0).get()), 0);
}

TEST(CMeshCache, ClearUnusedKeepsWhatOthersHold)
{
    CMeshCache cache(nullptr);
    boost::intrusive_ptr<IAnimatedMesh> held = animated();
    cache.addMesh("1", animated());
    cache.addMesh("2", held);
    cache.addMesh("3", animated());
    cache.clearUnusedMeshes();
    ASSERT_EQ(cache.getMeshCount(), 1u);
    EXPECT_EQ(cache.getMeshByIndex(0), held);
}

TEST(CMesh, BoxesAndMaterialsByIndex)
{
    boost::intrusive_ptr<CMesh> mesh(new CMesh());
    mesh->recalculateBoundingBox();
    EXPECT_EQ(mesh->getBoundingBox(), aabbox3d<float>(0, 0, 0, 0, 0, 0));
    SAnimatedMesh empty;
    empty.recalculateBoundingBox();
    EXPECT_EQ(empty.getBoundingBox(), aabbox3d<float>(0, 0, 0, 0, 0, 0));
    mesh->addMeshBuffer(new CMeshBuffer());
    mesh->setMaterial(1, nullptr, nullptr);  // past the end: nothing
    EXPECT_EQ(mesh->getMaterial(1), nullptr);
    EXPECT_EQ(mesh->getMeshBuffer(5), nullptr);
    auto copy = mesh->clone();
    EXPECT_EQ(copy->getMeshBuffer(0), mesh->getMeshBuffer(0));  // shared, not copied
}

// Logs every draw with the pass the scene manager is in.
class CPassRecordingDriver : public video::CNullDriver {
public:
    using CNullDriver::CNullDriver;
    void draw(const boost::intrusive_ptr<video::CVertexStreams>&, const video::CPrimitiveStream&, video::CDriverBinding**,
              const CMeshBuffer* buffer) override
    {
        draws.push_back({buffer, manager ? manager->getSceneNodeRenderPass() : ESNRP_NONE});
    }
    struct Draw {
        const CMeshBuffer* buffer;
        E_SCENE_NODE_RENDER_PASS pass;
        bool operator==(const Draw& o) const { return buffer == o.buffer && pass == o.pass; }
    };
    std::vector<Draw> draws;
    CSceneManager* manager = nullptr;
};

class CMeshSceneNodeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_driver = new CPassRecordingDriver(static_cast<IDevice*>(nullptr));
        m_driver->initImplementationDependentData();
        m_manager = new CSceneManager(m_driver.get(), nullptr);
        m_driver->manager = m_manager;
    }
    void TearDown() override { m_manager->drop(); }

    CEngineServicesScope m_services;
    ::test::ProcessBufferHeap m_heap;
    boost::intrusive_ptr<CPassRecordingDriver> m_driver;
    CSceneManager* m_manager = nullptr;
};

TEST_F(CMeshSceneNodeTest, MixedMeshRegistersTwiceAndDrawsEachBufferInItsOwnPass)
{
    boost::intrusive_ptr<CMesh> mesh(new CMesh());
    boost::intrusive_ptr<CMeshBuffer> glass(new CMeshBuffer()), stone(new CMeshBuffer()), bare(new CMeshBuffer());
    mesh->addMeshBuffer(glass, test::makeMaterial(*m_driver, "glass", true));
    mesh->addMeshBuffer(stone, test::makeMaterial(*m_driver, "stone", false));
    mesh->addMeshBuffer(bare);  // no material: solid, not drawn
    auto* node = new CMeshSceneNode(mesh);
    m_manager->getRootSceneNode()->addChild(node);
    node->drop();
    EXPECT_EQ(node->getMaterialCount(), 3u);

    m_manager->update(16);
    m_manager->registerSceneNodes(nullptr);
    EXPECT_EQ(m_manager->getSolidCount(), 1u);
    EXPECT_EQ(m_manager->getTransparentCount(), 1u);
    m_manager->renderLists(m_driver.get());
    using Draw = CPassRecordingDriver::Draw;
    EXPECT_EQ(m_driver->draws, (std::vector<Draw>{{stone.get(), ESNRP_SOLID}, {glass.get(), ESNRP_TRANSPARENT}}));

    // While compiling every buffer with a material is drawn in whatever pass.
    m_driver->draws.clear();
    m_manager->setCompiling(true);
    m_manager->setSceneNodeRenderPass(ESNRP_SOLID);
    node->render(nullptr);
    m_manager->setCompiling(false);
    EXPECT_EQ(m_driver->draws.size(), 2u);
}

TEST_F(CMeshSceneNodeTest, NodeWithoutAMeshRegistersNothingAndClonesWithoutOne)
{
    ISceneNode* node = m_manager->addSceneNode("mesh");
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->getMaterialCount(), 0u);
    EXPECT_EQ(node->getMaterial(0), nullptr);
    EXPECT_EQ(node->getBoundingBox(), aabbox3d<float>(0, 0, 0, 0, 0, 0));
    m_manager->addSceneNode("camera");
    m_manager->update(16);
    m_manager->drawAll();
    EXPECT_TRUE(m_driver->draws.empty());
    ISceneNode* copy = node->clone();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(static_cast<CMeshSceneNode*>(copy)->getMesh(), nullptr);
    copy->drop();
}

TEST_F(CMeshSceneNodeTest, MeshAttributeNamesTheCachedMesh)
{
    boost::intrusive_ptr<CMesh> mesh(new CMesh());
    boost::intrusive_ptr<IAnimatedMesh> holder(new SAnimatedMesh(mesh));
    m_manager->getMeshCache()->addMesh("shapes/box.bdae", holder);
    auto* node = new CMeshSceneNode(mesh);
    m_manager->getRootSceneNode()->addChild(node);
    node->drop();
    io::CAttributes store(nullptr);
    node->serializeAttributes(&store);
    EXPECT_EQ(store.getString("Mesh"), "shapes/box.bdae");

    auto* other = new CMeshSceneNode(nullptr);
    m_manager->getRootSceneNode()->addChild(other);
    other->drop();
    other->deserializeAttributes(&store);
    EXPECT_EQ(other->getMesh(), mesh);

    auto* stranger = new CMeshSceneNode(new CMesh());
    m_manager->getRootSceneNode()->addChild(stranger);
    stranger->drop();
    io::CAttributes unnamed(nullptr);
    stranger->serializeAttributes(&unnamed);
    EXPECT_EQ(unnamed.getString("Mesh"), "");
}

}  // namespace
}  // namespace pravik::scene
